// The plug-in registry: classes by super class and class ID, refused duplicates, instances
// through descriptors and the exporter chosen for a file extension.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/Plugin.h"
#include "host/standalone/PluginRegistry.h"

namespace {

class TestExporter : public SceneExport {
 public:
  TestExporter(std::vector<const char*> exts, const char* desc)
      : exts_(std::move(exts)), desc_(desc) {}
  int ExtCount() override { return static_cast<int>(exts_.size()); }
  const char* Ext(int n) override { return n >= 0 && n < ExtCount() ? exts_[n] : ""; }
  const char* LongDesc() override { return desc_; }
  const char* ShortDesc() override { return desc_; }
  const char* AuthorName() override { return ""; }
  const char* CopyrightMessage() override { return ""; }
  const char* OtherMessage1() override { return ""; }
  const char* OtherMessage2() override { return ""; }
  unsigned int Version() override { return 100; }
  void ShowAbout(HWND) override {}
  int DoExport(const char*, ExpInterface*, Interface*, BOOL, DWORD) override { return 1; }

 private:
  std::vector<const char*> exts_;
  const char* desc_;
};

// A descriptor with settable answers; Create makes an exporter (for the scene-export super
// class) and counts the objects made.
class TestDesc : public ClassDesc2 {
 public:
  TestDesc(const char* name, SClass_ID sclass, Class_ID id, std::vector<const char*> exts = {},
           int isPublic = TRUE)
      : name_(name), sclass_(sclass), id_(id), exts_(std::move(exts)), public_(isPublic) {}
  int IsPublic() override { return public_; }
  void* Create(BOOL) override {
    ++created;
    return static_cast<SceneExport*>(new TestExporter(exts_, name_));
  }
  const char* ClassName() override { return name_; }
  SClass_ID SuperClassID() override { return sclass_; }
  Class_ID ClassID() override { return id_; }
  const char* Category() override { return "Test Category"; }
  int created = 0;

 private:
  const char* name_;
  SClass_ID sclass_;
  Class_ID id_;
  std::vector<const char*> exts_;
  int public_;
};

TEST(PluginRegistry, ClassesAreFoundBySuperClassAndClassId) {
  PluginRegistry registry;
  TestDesc exporter("Exporter", SCENE_EXPORT_CLASS_ID, Class_ID(1, 2), {"tz2"});
  TestDesc utility("Utility", UTILITY_CLASS_ID, Class_ID(1, 2));  // same ID, other super class
  EXPECT_EQ(registry.AddClass(&exporter, "/stage/plugins/Exporter.dle"), "");
  EXPECT_EQ(registry.AddClass(&utility), "");

  ASSERT_EQ(registry.Classes().size(), 2u);
  const PluginClass& first = registry.Classes()[0];
  EXPECT_EQ(first.className, "Exporter");
  EXPECT_EQ(first.module, "Exporter.dle");
  EXPECT_EQ(first.superClassID, SCENE_EXPORT_CLASS_ID);
  EXPECT_EQ(first.classID, Class_ID(1, 2));
  EXPECT_EQ(first.category, "Test Category");
  EXPECT_TRUE(first.isPublic);
  EXPECT_EQ(registry.Classes()[1].module, "");  // built in

  EXPECT_EQ(registry.FindClass(SCENE_EXPORT_CLASS_ID, Class_ID(1, 2)), &exporter);
  EXPECT_EQ(registry.FindClass(UTILITY_CLASS_ID, Class_ID(1, 2)), &utility);
  EXPECT_EQ(registry.FindClass(UTILITY_CLASS_ID, Class_ID(2, 1)), nullptr);
  EXPECT_EQ(registry.ClassesOf(UTILITY_CLASS_ID), (std::vector<ClassDesc*>{&utility}));

  registry.RemoveModuleClasses("/stage/plugins/Exporter.dle");
  EXPECT_EQ(registry.FindClass(SCENE_EXPORT_CLASS_ID, Class_ID(1, 2)), nullptr);
  EXPECT_EQ(registry.Classes().size(), 1u);
}

TEST(PluginRegistry, ASecondClassWithTheSameIdsIsRefused) {
  PluginRegistry registry;
  TestDesc first("First", UTILITY_CLASS_ID, Class_ID(0x497A1AE1, 0x130C655D));
  TestDesc second("Second", UTILITY_CLASS_ID, Class_ID(0x497A1AE1, 0x130C655D));
  EXPECT_EQ(registry.AddClass(&first, "/p/First.dlu"), "");
  const std::string why = registry.AddClass(&second, "/p/Second.dlu");
  EXPECT_EQ(
      why,
      "class \"Second\" (0x497A1AE1, 0x130C655D) has the class ID of \"First\" from First.dlu");
  EXPECT_EQ(registry.FindClass(UTILITY_CLASS_ID, Class_ID(0x497A1AE1, 0x130C655D)), &first);
  EXPECT_NE(registry.AddClass(nullptr), "");
  EXPECT_EQ(registry.Classes().size(), 1u);
}

TEST(PluginRegistry, InstancesAreMadeByTheDescriptor) {
  PluginRegistry registry;
  TestDesc exporter("Exporter", SCENE_EXPORT_CLASS_ID, Class_ID(5, 6), {"tz2"});
  registry.AddClass(&exporter);
  std::unique_ptr<SceneExport> made(
      static_cast<SceneExport*>(registry.CreateInstance(SCENE_EXPORT_CLASS_ID, Class_ID(5, 6))));
  ASSERT_NE(made, nullptr);
  EXPECT_STREQ(made->Ext(0), "tz2");
  EXPECT_EQ(registry.CreateInstance(SCENE_EXPORT_CLASS_ID, Class_ID(6, 5)), nullptr);
  EXPECT_EQ(exporter.created, 1);
}

TEST(PluginRegistry, TheExporterForAnExtensionIsTheFirstPublicOneThatWritesIt) {
  PluginRegistry registry;
  TestDesc hidden("Hidden", SCENE_EXPORT_CLASS_ID, Class_ID(1, 0), {"tz2"}, FALSE);
  TestDesc tz3("TZ3", SCENE_EXPORT_CLASS_ID, Class_ID(2, 0), {"tz3"});
  TestDesc tz2("TZ2", SCENE_EXPORT_CLASS_ID, Class_ID(3, 0), {"mdl", "tz2"});
  TestDesc later("Later", SCENE_EXPORT_CLASS_ID, Class_ID(4, 0), {"tz2"});
  TestDesc utility("Utility", UTILITY_CLASS_ID, Class_ID(5, 0), {"tz2"});
  for (TestDesc* d : {&hidden, &utility, &tz3, &tz2, &later}) registry.AddClass(d);

  const struct {
    const char* ext;
    const char* exporter;  // null: none
  } cases[] = {{"tz2", "TZ2"}, {".TZ2", "TZ2"},  {"tz3", "TZ3"},
               {"Mdl", "TZ2"}, {"obj", nullptr}, {"", nullptr}};
  for (const auto& c : cases) {
    std::unique_ptr<SceneExport> exporter = registry.CreateExporterForExtension(c.ext);
    if (c.exporter == nullptr) {
      EXPECT_EQ(exporter, nullptr) << c.ext;
    } else {
      ASSERT_NE(exporter, nullptr) << c.ext;
      EXPECT_STREQ(exporter->ShortDesc(), c.exporter) << c.ext;
    }
  }
  EXPECT_EQ(hidden.created, 0);
  EXPECT_EQ(utility.created, 0);
  EXPECT_EQ(later.created, 2);  // asked only when nothing before it writes the extension
}

TEST(PluginRegistry, NamesForListings) {
  EXPECT_EQ(FormatClassID(Class_ID(0x1A415687, 0x55D27CC6)), "0x1A415687, 0x55D27CC6");
  EXPECT_EQ(SuperClassName(SCENE_EXPORT_CLASS_ID), "scene export");
  EXPECT_EQ(SuperClassName(UTILITY_CLASS_ID), "utility");
  EXPECT_EQ(SuperClassName(GUP_CLASS_ID), "global utility");
  EXPECT_EQ(SuperClassName(0x50), "0x50");
}

TEST(PluginRegistry, SdkVersionsTheHostRuns) {
  EXPECT_TRUE(IsCompatibleSdkVersion(HOST_SDK_VERSION_6));
  EXPECT_TRUE(IsCompatibleSdkVersion(HOST_SDK_VERSION_7));
  EXPECT_FALSE(IsCompatibleSdkVersion(0x1F400D00));  // a newer release
  EXPECT_FALSE(IsCompatibleSdkVersion(0x17700C00));  // another interface
  EXPECT_FALSE(IsCompatibleSdkVersion(0x0FA00D00));  // older than the oldest supported
  EXPECT_FALSE(IsCompatibleSdkVersion(0));
}

}  // namespace
