// The module loader over the test modules of tests/host/modules: loading, reporting and
// skipping bad modules, class listing, module paths, function interfaces of loaded modules,
// global utilities and unloading.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "host/CustomControls.h"
#include "host/FunctionPublishing.h"
#include "host/Notify.h"
#include "host/Plugin.h"
#include "host/standalone/ModuleLoader.h"
#include "platform/Debug.h"
#include "platform/Modules.h"

namespace {

const std::string kFixture = TZ2_TEST_PLUGINS_DIR;
const Interface_ID kGoodInterface(0x600D1111, 0x600D2222);
const Class_ID kGoodUtility(0x600D0001, 0x1);

std::string FixturePath(const std::string& file) {
  return (std::filesystem::path(kFixture) / file).lexically_normal().string();
}

const ModuleReport* FindReport(const ModuleLoader& loader, const std::string& module) {
  for (const ModuleReport& r : loader.Reports())
    if (r.module == module) return &r;
  return nullptr;
}

TEST(ModuleLoader, LoadsTheGoodModulesOfAFolderAndReportsTheOthers) {
  PluginRegistry registry;
  ModuleLoader loader(registry);
  EXPECT_EQ(loader.LoadFolder(kFixture), 2);  // Good.dlu and Twin.dlu

  std::vector<std::string> loaded;
  for (const LoadedModule& m : loader.Modules()) loaded.push_back(m.fileName);
  EXPECT_EQ(loaded, (std::vector<std::string>{"Good.dlu", "Twin.dlu"}));

  const struct {
    const char* module;
    const char* reason;
  } expected[] = {
      {"BadCount.dlu", "LibNumberClasses answered -1 (0 to 256 expected)"},
      {"BadHugeCount.dlu", "LibNumberClasses answered 1000000 (0 to 256 expected)"},
      {"BadNoVersion.dlu", "does not export LibVersion"},
      {"BadNullDesc.dle", "LibClassDesc(0) answered no class descriptor"},
      {"BadRefuses.gup", "DllMain refused to attach the module"},
      {"BadVersion.dlu",
       "LibVersion answered 0x0FA00B00, a version this host (0x1B580D00) cannot run"},
      {"Twin.dlu",
       "class \"Twin Utility\" (0x600D0001, 0x00000001) has the class ID of \"Good Utility\" from "
       "Good.dlu"},
  };
  for (const auto& e : expected) {
    const ModuleReport* r = FindReport(loader, e.module);
    ASSERT_NE(r, nullptr) << e.module;
    EXPECT_EQ(r->reason, e.reason);
    EXPECT_EQ(r->path, FixturePath(e.module));
  }
  const ModuleReport* notAModule = FindReport(loader, "BadNotAModule.dlu");
  ASSERT_NE(notAModule, nullptr);
  EXPECT_EQ(notAModule->reason.rfind("cannot be loaded: ", 0), 0u) << notAModule->reason;
  EXPECT_EQ(FindReport(loader, "readme.txt"), nullptr);  // not a module file: passed over
  EXPECT_EQ(loader.Reports().size(), std::size(expected) + 1);
  EXPECT_EQ(FormatModuleReport(*FindReport(loader, "BadCount.dlu")),
            "BadCount.dlu: LibNumberClasses answered -1 (0 to 256 expected)");

  // Nothing of a skipped module stays: no instance, no class, no published interface.
  for (const char* skipped : {"BadCount.dlu", "BadNullDesc.dle", "BadVersion.dlu", "BadRefuses.gup",
                              "BadHugeCount.dlu", "BadNoVersion.dlu"}) {
    EXPECT_EQ(GetModuleHandleA(skipped), nullptr) << skipped;
    EXPECT_EQ(loader.FindModule(skipped), nullptr) << skipped;
  }
  for (const PluginClass& c : registry.Classes())
    EXPECT_TRUE(c.module == "Good.dlu" || c.module == "Twin.dlu") << c.module;
  for (int kind = 1; kind <= 6; ++kind)
    EXPECT_EQ(GetCOREInterfaceByName("BadModuleInterface" + std::to_string(kind)), nullptr) << kind;
  EXPECT_NE(GetCOREInterfaceByName("BadModuleInterface7"), nullptr);  // Twin.dlu is loaded
}

TEST(ModuleLoader, ListsTheClassesOfEveryLoadedModule) {
  PluginRegistry registry;
  ModuleLoader loader(registry);
  const int controlsBefore = InitCustomControlsCount();
  ASSERT_TRUE(loader.LoadModule(FixturePath("Good.dlu")));
  EXPECT_EQ(InitCustomControlsCount(), controlsBefore + 1);  // the module's own call
  ASSERT_TRUE(loader.LoadModule(FixturePath("Twin.dlu")));

  const LoadedModule* good = loader.FindModule("GOOD.DLU");  // any case
  ASSERT_NE(good, nullptr);
  EXPECT_EQ(good->description, "Good test module");  // its own string, read after DllMain
  EXPECT_EQ(good->version, HOST_SDK_VERSION_6);
  EXPECT_EQ(good->classes.size(), 3u);

  struct Row {
    std::string module, className;
    SClass_ID sclass;
    Class_ID id;
  };
  std::vector<Row> rows;
  for (const PluginClass& c : registry.Classes()) {
    rows.push_back({c.module, c.className, c.superClassID, c.classID});
    EXPECT_EQ(c.category, "Test Category");
  }
  ASSERT_EQ(rows.size(), 4u);  // Twin's copy of the utility ID is not among them
  const Row expected[] = {
      {"Good.dlu", "Good Utility", UTILITY_CLASS_ID, kGoodUtility},
      {"Good.dlu", "Good Exporter", SCENE_EXPORT_CLASS_ID, Class_ID(0x600D0002, 0x2)},
      {"Good.dlu", "Good Gup", GUP_CLASS_ID, Class_ID(0x600D0003, 0x3)},
      {"Twin.dlu", "Own Utility", UTILITY_CLASS_ID, Class_ID(0xBAD00007, 0x7)},
  };
  for (size_t k = 0; k < rows.size(); ++k) {
    EXPECT_EQ(rows[k].module, expected[k].module) << k;
    EXPECT_EQ(rows[k].className, expected[k].className) << k;
    EXPECT_EQ(rows[k].sclass, expected[k].sclass) << k;
    EXPECT_EQ(rows[k].id, expected[k].id) << k;
  }
  ClassDesc* utility = registry.FindClass(UTILITY_CLASS_ID, kGoodUtility);
  ASSERT_NE(utility, nullptr);
  EXPECT_EQ(utility->HInstance(), good->instance);

  std::unique_ptr<SceneExport> exporter = registry.CreateExporterForExtension("TST2");
  ASSERT_NE(exporter, nullptr);
  EXPECT_STREQ(exporter->LongDesc(), "Test file");
  EXPECT_TRUE(exporter->SupportsOptions(0, SCENE_EXPORT_SELECTED));
  EXPECT_FALSE(exporter->SupportsOptions(0, SCENE_EXPORT_SELECTED | 2));
}

TEST(ModuleLoader, AModuleFindsItsOwnPathAndPublishesItsInterface) {
  PluginRegistry registry;
  ModuleLoader loader(registry);
  ASSERT_TRUE(loader.LoadModule(FixturePath("Good.dlu")));
  const LoadedModule* good = loader.FindModule("Good.dlu");
  ASSERT_NE(good, nullptr);

  char path[1024] = {};
  ASSERT_GT(GetModuleFileNameA(GetModuleHandleA("Good.dlu"), path, sizeof path), 0u);
  EXPECT_EQ(std::string(path), FixturePath("Good.dlu"));
  EXPECT_EQ(GetModuleHandleA("good.dlu"), good->instance);

  FPInterface* fpi = GetCOREInterface(kGoodInterface);
  ASSERT_NE(fpi, nullptr);
  EXPECT_EQ(GetCOREInterfaceByName("GoodModuleInterface"), fpi);
  FPValue result;
  ASSERT_EQ(fpi->Invoke(fpi->FindFn("IniPath"), result), FPS_OK);
  EXPECT_EQ(result.s(), FixturePath("Good.ini"));  // beside the module, found by the module
  FPParams add{FPValue(20), FPValue(22)};
  ASSERT_EQ(fpi->Invoke(fpi->FindFn("Add"), result, &add), FPS_OK);
  EXPECT_EQ(result.i(), 42);
  EXPECT_EQ(fpi->Invoke(77, result), FPS_NO_SUCH_FUNCTION);
  std::string error;
  EXPECT_EQ(InvokeByName("GoodModuleInterface", "Nudge", {"1,1,1", "2"}, result, error), FPS_OK);
  EXPECT_EQ(result.p(), Point3(3, 3, 3));
}

TEST(ModuleLoader, GlobalUtilitiesRunFromStartToShutdown) {
  PluginRegistry registry;
  ModuleLoader loader(registry);
  ASSERT_TRUE(loader.LoadModule(FixturePath("Good.dlu")));
  FPInterface* fpi = GetCOREInterface(kGoodInterface);
  ASSERT_NE(fpi, nullptr);
  const FunctionID count = fpi->FindFn("PreExportCount");
  FPValue result;
  fpi->Invoke(count, result);
  const int before = result.i();

  const int handlers = NotificationHandlerCount(NOTIFY_PRE_EXPORT);
  loader.StartGlobalUtilities();
  loader.StartGlobalUtilities();  // once only
  EXPECT_EQ(loader.GlobalUtilities().size(), 1u);
  EXPECT_EQ(NotificationHandlerCount(NOTIFY_PRE_EXPORT), handlers + 1);
  BroadcastNotification(NOTIFY_PRE_EXPORT);
  BroadcastNotification(NOTIFY_PRE_EXPORT);
  fpi->Invoke(count, result);
  EXPECT_EQ(result.i(), before + 2);

  loader.StopGlobalUtilities();
  EXPECT_TRUE(loader.GlobalUtilities().empty());
  EXPECT_EQ(NotificationHandlerCount(NOTIFY_PRE_EXPORT), handlers);
}

TEST(ModuleLoader, UnloadingDetachesAndForgetsEveryModule) {
  const int handlers = NotificationHandlerCount(NOTIFY_PRE_EXPORT);
  PluginRegistry registry;
  {
    ModuleLoader loader(registry);
    ASSERT_TRUE(loader.LoadModule(FixturePath("Good.dlu")));
    EXPECT_FALSE(loader.LoadModule(FixturePath("Good.dlu")));  // already loaded
    ASSERT_NE(FindReport(loader, "Good.dlu"), nullptr);
    EXPECT_EQ(
        FindReport(loader, "Good.dlu")->reason.rfind("a module of that name is loaded already", 0),
        0u);
    loader.StartGlobalUtilities();
    ClearTraceLog();
    loader.UnloadAll();
    EXPECT_TRUE(loader.Modules().empty());
    const std::vector<std::string> trace = TraceLog();
    EXPECT_NE(std::find(trace.begin(), trace.end(), "Good.dlu detached"), trace.end());
    EXPECT_TRUE(registry.Classes().empty());
    EXPECT_EQ(GetModuleHandleA("Good.dlu"), nullptr);
    EXPECT_EQ(GetCOREInterface(kGoodInterface), nullptr);
    EXPECT_EQ(NotificationHandlerCount(NOTIFY_PRE_EXPORT), handlers);

    ASSERT_TRUE(loader.LoadModule(FixturePath("Good.dlu")));  // loads again after unloading
    loader.StartGlobalUtilities();
  }
  // The loader's end unloads what it still holds.
  EXPECT_TRUE(registry.Classes().empty());
  EXPECT_EQ(GetModuleHandleA("Good.dlu"), nullptr);
  EXPECT_EQ(NotificationHandlerCount(NOTIFY_PRE_EXPORT), handlers);
}

// A module linked into the test program: its entry points and what DllMain saw.
namespace linked {
HINSTANCE instance = nullptr;
std::vector<DWORD> reasons;
class Desc : public ClassDesc2 {
 public:
  int IsPublic() override { return TRUE; }
  void* Create(BOOL) override { return nullptr; }
  const char* ClassName() override { return "Linked Utility"; }
  SClass_ID SuperClassID() override { return UTILITY_CLASS_ID; }
  Class_ID ClassID() override { return Class_ID(0x11CED, 1); }
  const char* Category() override { return ""; }
} desc;
BOOL DllMain(HINSTANCE h, DWORD reason, LPVOID) {
  instance = h;
  reasons.push_back(reason);
  return TRUE;
}
const char* Description() { return "Linked"; }
int Count() { return 1; }
ClassDesc* Class(int i) { return i == 0 ? &desc : nullptr; }
ULONG Version() { return HOST_SDK_VERSION; }
}  // namespace linked

TEST(ModuleLoader, AModuleLinkedIntoTheProgramIsTakenLikeALoadedOne) {
  PluginRegistry registry;
  ModuleLoader loader(registry);
  linked::reasons.clear();
  ModuleEntryPoints entries{linked::DllMain, linked::Description, linked::Count, linked::Class,
                            linked::Version};
  ASSERT_TRUE(loader.AddLinkedModule("/virtual/plugins/Linked.dlu", entries));
  EXPECT_EQ(linked::reasons, (std::vector<DWORD>{DLL_PROCESS_ATTACH}));
  EXPECT_EQ(GetModuleHandleA("Linked.dlu"), linked::instance);
  char path[256] = {};
  GetModuleFileNameA(linked::instance, path, sizeof path);
  EXPECT_STREQ(path, "/virtual/plugins/Linked.dlu");
  EXPECT_EQ(registry.FindClass(UTILITY_CLASS_ID, Class_ID(0x11CED, 1)), &linked::desc);

  ModuleEntryPoints incomplete = entries;
  incomplete.libClassDesc = nullptr;
  incomplete.libVersion = nullptr;
  EXPECT_FALSE(loader.AddLinkedModule("/virtual/plugins/Half.dlu", incomplete));
  ASSERT_EQ(loader.Reports().size(), 1u);
  EXPECT_EQ(loader.Reports()[0].reason, "does not export LibClassDesc, LibVersion");

  loader.UnloadAll();
  EXPECT_EQ(linked::reasons, (std::vector<DWORD>{DLL_PROCESS_ATTACH, DLL_PROCESS_DETACH}));
  EXPECT_EQ(GetModuleHandleA("Linked.dlu"), nullptr);
  EXPECT_TRUE(registry.Classes().empty());
}

TEST(ModuleLoader, StartupLoadsThePluginsFolderOfTheStage) {
  const HostFolders saved = TheHostFolders();
  PluginRegistry registry;
  ModuleLoader loader(registry);
  const std::string missing = (std::filesystem::path(kFixture) / "no-such-stage").string();
  const int controlsBefore = InitCustomControlsCount();
  EXPECT_EQ(loader.Startup(HostFoldersFromRoot(missing)), 0);
  EXPECT_EQ(InitCustomControlsCount(), controlsBefore + 1);
  ASSERT_EQ(loader.Reports().size(), 1u);
  EXPECT_EQ(loader.Reports()[0].reason, "the plug-in folder does not exist");
  EXPECT_EQ(TheHostFolders().plugcfg, HostFoldersFromRoot(missing).plugcfg);
  loader.Shutdown();
  SetHostFolders(saved);
}

TEST(HostFolders, TheStageIsTheParentOfTheProgramsFolder) {
  const HostFolders f = HostFoldersFromProgram("/opt/tz2/stage/bin/tz2");
  EXPECT_EQ(f.root, "/opt/tz2/stage");
  EXPECT_EQ(f.bin, "/opt/tz2/stage/bin");
  EXPECT_EQ(f.plugins, "/opt/tz2/stage/plugins");
  EXPECT_EQ(f.plugcfg, "/opt/tz2/stage/plugcfg");
  EXPECT_EQ(HostFoldersFromRoot("/opt/tz2/stage/").plugins, "/opt/tz2/stage/plugins");
  EXPECT_EQ(HostFoldersFromRoot("/opt/tz2/x/../stage").root, "/opt/tz2/stage");
}

TEST(ModuleLoader, ModuleFileNamesAreKnownByTheirExtension) {
  const struct {
    const char* name;
    bool module;
  } cases[] = {{"TZ2_Export.dle", true}, {"TZ2Tool.DLU", true}, {"NameKeeper.gup", true},
               {"readme.txt", false},    {"dle", false},        {"TZ2_Export.dle.bak", false}};
  for (const auto& c : cases) EXPECT_EQ(IsModuleFileName(c.name), c.module) << c.name;
}

}  // namespace
