// Test modules that answer the host wrongly, one build per BAD_KIND:
//   1 BadCount.dlu     LibNumberClasses answers -1
//   2 BadNullDesc.dle  LibClassDesc(0) answers null
//   3 BadVersion.dlu   LibVersion answers an SDK version of another interface
//   4 BadNoVersion.dlu exports no LibVersion
//   5 BadRefuses.gup   DllMain refuses to attach
//   6 BadHugeCount.dlu LibNumberClasses answers 1000000
//   7 Twin.dlu         loads, but its first class has the class ID of Good.dlu's utility
//                      (its second class is its own)
// Each keeps a published interface "BadModuleInterface<kind>", so the tests can check that
// a skipped module leaves nothing published.
#include <string>

#include "host/FunctionPublishing.h"
#include "host/Plugin.h"
#include "platform/Windows.h"

#ifndef BAD_KIND
#error BAD_KIND must be defined
#endif

namespace {

HINSTANCE hInstance = nullptr;

class BadUtility : public UtilityObj {
 public:
  void BeginEditParams(Interface*, IUtil*) override {}
  void EndEditParams(Interface*, IUtil*) override {}
  void DeleteThis() override {}
} theUtility;

class BadDesc : public ClassDesc2 {
 public:
  BadDesc(const char* name, ULONG a, ULONG b) : name_(name), a_(a), b_(b) {}
  int IsPublic() override { return TRUE; }
  void* Create(BOOL) override { return static_cast<UtilityObj*>(&theUtility); }
  const char* ClassName() override { return name_; }
  SClass_ID SuperClassID() override { return UTILITY_CLASS_ID; }
  Class_ID ClassID() override { return Class_ID(a_, b_); }
  const char* Category() override { return "Test Category"; }
  HINSTANCE HInstance() override { return hInstance; }

 private:
  const char* name_;
  ULONG a_, b_;
};

BadDesc twinOfGood("Twin Utility", 0x600D0001, 0x1);
BadDesc ownClass("Own Utility", 0xBAD00000 + BAD_KIND, 0x7);

FPStaticInterface badInterface(Interface_ID(0xBAD01111, BAD_KIND),
                               "BadModuleInterface" + std::to_string(BAD_KIND), FP_CORE, {});

}  // namespace

PLUGIN_EXPORT BOOL WINAPI DllMain(HINSTANCE hinstDLL, DWORD fdwReason, LPVOID) {
  if (fdwReason == DLL_PROCESS_ATTACH) hInstance = hinstDLL;
  return BAD_KIND == 5 ? FALSE : TRUE;
}

PLUGIN_EXPORT const char* LibDescription() { return "Bad test module"; }

PLUGIN_EXPORT int LibNumberClasses() {
  switch (BAD_KIND) {
    case 1: return -1;
    case 6: return 1000000;
    case 7: return 2;
    default: return 1;
  }
}

PLUGIN_EXPORT ClassDesc* LibClassDesc(int i) {
  if (BAD_KIND == 2) return nullptr;
  if (BAD_KIND == 7) return i == 0 ? &twinOfGood : (i == 1 ? &ownClass : nullptr);
  return i == 0 ? &ownClass : nullptr;
}

#if BAD_KIND != 4
PLUGIN_EXPORT ULONG LibVersion() { return BAD_KIND == 3 ? 0x0FA00B00 : HOST_SDK_VERSION_7; }
#endif
