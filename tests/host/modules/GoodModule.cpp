// A well-behaved test module ("Good.dlu"): three classes (a utility, a scene exporter for
// ".tst", a global utility), a published function interface, its instance kept from
// DllMain, its strings declared there, and an ini path found beside itself.
//
// The global utility counts NOTIFY_PRE_EXPORT broadcasts between its Start and Stop; the
// function interface "GoodModuleInterface" reports that count, the module's ini path and
// simple typed results, so the loader's tests can see the module from the outside.
#include <cstring>
#include <string>

#include "host/CustomControls.h"
#include "host/FunctionPublishing.h"
#include "host/Notify.h"
#include "host/Plugin.h"
#include "platform/Windows.h"

namespace {

HINSTANCE hInstance = nullptr;
int preExportCount = 0;

const char* LoadResourceString(UINT id) {
  static char buffer[256];
  if (hInstance == nullptr || LoadStringA(hInstance, id, buffer, sizeof buffer) == 0)
    return nullptr;
  return buffer;
}

// "<folder of Good.dlu>/Good.ini", or "" when the module path cannot be had.
std::string IniPath() {
  char path[1024] = {};
  if (GetModuleFileNameA(GetModuleHandleA("Good.dlu"), path, sizeof path - 1) == 0) return {};
  char full[1024] = {};
  LPSTR filePart = nullptr;
  if (GetFullPathNameA(path, sizeof full, full, &filePart) == 0 || filePart == nullptr) return {};
  std::strcpy(filePart, "Good.ini");
  return full;
}

class GoodUtility : public UtilityObj {
 public:
  void BeginEditParams(Interface*, IUtil*) override {}
  void EndEditParams(Interface*, IUtil*) override {}
  void DeleteThis() override {}
} theUtility;

class GoodExporter : public SceneExport {
 public:
  int ExtCount() override { return 2; }
  const char* Ext(int n) override { return n == 0 ? "tst" : (n == 1 ? "tst2" : ""); }
  const char* LongDesc() override { return "Test file"; }
  const char* ShortDesc() override { return "Test file"; }
  const char* AuthorName() override { return "Test"; }
  const char* CopyrightMessage() override { return ""; }
  const char* OtherMessage1() override { return ""; }
  const char* OtherMessage2() override { return ""; }
  unsigned int Version() override { return 100; }
  void ShowAbout(HWND) override {}
  int DoExport(const char*, ExpInterface*, Interface*, BOOL, DWORD) override { return 1; }
  BOOL SupportsOptions(int, DWORD options) override { return options == SCENE_EXPORT_SELECTED; }
};

void OnPreExport(void*, NotifyInfo*) { ++preExportCount; }

class GoodGup : public GUP {
 public:
  DWORD Start() override {
    RegisterNotification(OnPreExport, this, NOTIFY_PRE_EXPORT);
    return GUPRESULT_KEEP;
  }
  void Stop() override { UnRegisterNotification(OnPreExport, this, NOTIFY_PRE_EXPORT); }
};

template <SClass_ID kSuper, ULONG kA, ULONG kB>
class GoodClassDesc : public ClassDesc2 {
 public:
  explicit GoodClassDesc(const char* name) : name_(name) {}
  int IsPublic() override { return TRUE; }
  const char* ClassName() override { return name_; }
  SClass_ID SuperClassID() override { return kSuper; }
  Class_ID ClassID() override { return Class_ID(kA, kB); }
  const char* Category() override { return "Test Category"; }
  const char* InternalName() override { return name_; }
  HINSTANCE HInstance() override { return hInstance; }

 private:
  const char* name_;
};

class UtilityDesc : public GoodClassDesc<UTILITY_CLASS_ID, 0x600D0001, 0x1> {
 public:
  UtilityDesc() : GoodClassDesc("Good Utility") {}
  void* Create(BOOL) override { return static_cast<UtilityObj*>(&theUtility); }
} utilityDesc;

class ExporterDesc : public GoodClassDesc<SCENE_EXPORT_CLASS_ID, 0x600D0002, 0x2> {
 public:
  ExporterDesc() : GoodClassDesc("Good Exporter") {}
  void* Create(BOOL) override { return static_cast<SceneExport*>(new GoodExporter); }
} exporterDesc;

class GupDesc : public GoodClassDesc<GUP_CLASS_ID, 0x600D0003, 0x3> {
 public:
  GupDesc() : GoodClassDesc("Good Gup") {}
  void* Create(BOOL) override { return static_cast<GUP*>(new GoodGup); }
} gupDesc;

enum { kPreExportCount, kIniPath, kAdd, kNudge };

class GoodInterface : public FPStaticInterface {
 public:
  GoodInterface()
      : FPStaticInterface(
            Interface_ID(0x600D1111, 0x600D2222), "GoodModuleInterface", FP_CORE,
            {{kPreExportCount, "PreExportCount", TYPE_INT, {}},
             {kIniPath, "IniPath", TYPE_TSTR, {}},
             {kAdd, "Add", TYPE_INT, {{"a", TYPE_INT}, {"b", TYPE_INT}}},
             {kNudge, "Nudge", TYPE_POINT3, {{"p", TYPE_POINT3}, {"by", TYPE_FLOAT}}}}) {}

 protected:
  FPStatus _dispatch_fn(FunctionID fid, TimeValue, FPValue& result, FPParams* p) override {
    switch (fid) {
      case kPreExportCount: result = FPValue(preExportCount); return FPS_OK;
      case kIniPath: result = FPValue(IniPath()); return FPS_OK;
      case kAdd: result = FPValue(p->params[0].i() + p->params[1].i()); return FPS_OK;
      case kNudge: {
        const float by = p->params[1].f();
        result = FPValue(p->params[0].p() + Point3(by, by, by));
        return FPS_OK;
      }
      default: return FPS_NO_SUCH_FUNCTION;
    }
  }
} goodInterface;

}  // namespace

PLUGIN_EXPORT BOOL WINAPI DllMain(HINSTANCE hinstDLL, DWORD fdwReason, LPVOID) {
  if (fdwReason == DLL_PROCESS_ATTACH) {
    hInstance = hinstDLL;
    RegisterString(hInstance, 1, "Good test module");
    InitCustomControls(hInstance);
  } else if (fdwReason == DLL_PROCESS_DETACH) {
    OutputDebugStringA("Good.dlu detached");
  }
  return TRUE;
}

PLUGIN_EXPORT const char* LibDescription() { return LoadResourceString(1); }
PLUGIN_EXPORT int LibNumberClasses() { return 3; }
PLUGIN_EXPORT ClassDesc* LibClassDesc(int i) {
  switch (i) {
    case 0: return &utilityDesc;
    case 1: return &exporterDesc;
    case 2: return &gupDesc;
    default: return nullptr;
  }
}
PLUGIN_EXPORT ULONG LibVersion() { return HOST_SDK_VERSION_6; }
