// Module registry and paths: lookup by file name, the program's own path, full paths with
// the file part, string resources of a module.
#include <cstring>

#include "PlatformFixture.h"

namespace {

using ModulesTest = PlatformTest;

TEST_F(ModulesTest, FindsRegisteredModulesByFileNameWithoutRegardToCase) {
  const HINSTANCE exporter = RegisterModule("/opt/tz2/plugins/TZ2_Export.dle");
  const HINSTANCE tool = RegisterModule("/opt/tz2/plugins/TZ2Tool.dlu");
  ASSERT_NE(exporter, nullptr);
  EXPECT_NE(exporter, tool);
  EXPECT_EQ(GetModuleHandleA("TZ2_Export.dle"), exporter);
  EXPECT_EQ(GetModuleHandleA("tz2_export.DLE"), exporter);
  EXPECT_EQ(GetModuleHandleA("TZ2Tool.dlu"), tool);
  EXPECT_EQ(GetModuleHandleA("TZ2_Export"), nullptr) << "a bare name means name.dll";
  EXPECT_EQ(GetModuleHandleA("Other.dle"), nullptr);

  char buffer[MAX_PATH];
  EXPECT_EQ(GetModuleFileNameA(exporter, buffer, MAX_PATH), std::strlen("/opt/tz2/plugins/TZ2_Export.dle"));
  EXPECT_STREQ(buffer, "/opt/tz2/plugins/TZ2_Export.dle");

  UnregisterModule(exporter);
  EXPECT_EQ(GetModuleHandleA("TZ2_Export.dle"), nullptr);
  EXPECT_EQ(GetModuleFileNameA(exporter, buffer, MAX_PATH), 0u);
  EXPECT_NE(RegisterModule("/opt/tz2/plugins/TZ2_Export.dle"), exporter) << "handles are never reused";
}

TEST_F(ModulesTest, NullModuleIsTheProgram) {
  char buffer[4096];
  ASSERT_NE(GetModuleHandleA(nullptr), nullptr);
  const DWORD n = GetModuleFileNameA(GetModuleHandleA(nullptr), buffer, sizeof buffer);
  ASSERT_GT(n, 0u);
  EXPECT_EQ(std::filesystem::path(buffer), std::filesystem::read_symlink("/proc/self/exe"));
  EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, sizeof buffer), n);
}

TEST_F(ModulesTest, ModuleFileNameTruncatesToTheBuffer) {
  const HINSTANCE m = RegisterModule("/a/b/Long.dlu");
  char buffer[5];
  EXPECT_EQ(GetModuleFileNameA(m, buffer, sizeof buffer), 5u);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_STREQ(buffer, "/a/b");
}

TEST_F(ModulesTest, FullPathNameResolvesAndPointsAtTheFilePart) {
  struct Case {
    std::string input, expected, filePart;
  } cases[] = {
      {"/opt/tz2/plugins/TZ2_Export.dle", "/opt/tz2/plugins/TZ2_Export.dle", "TZ2_Export.dle"},
      {"/opt/tz2/plugins/../plugcfg/./physique.ini", "/opt/tz2/plugcfg/physique.ini", "physique.ini"},
      {"/opt\\tz2\\plugins\\TZ2Tool.dlu", "/opt/tz2/plugins/TZ2Tool.dlu", "TZ2Tool.dlu"},
      {"/opt//tz2/", "/opt/tz2/", ""},
      {"rel/file.txt", dir_.string() + "/rel/file.txt", "file.txt"},
  };
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir_);
  for (const Case& c : cases) {
    char buffer[MAX_PATH];
    LPSTR filePart = nullptr;
    EXPECT_EQ(GetFullPathNameA(c.input.c_str(), MAX_PATH, buffer, &filePart), c.expected.size()) << c.input;
    EXPECT_EQ(buffer, c.expected);
    EXPECT_EQ(filePart ? std::string(filePart) : std::string(), c.filePart) << c.input;
    if (filePart) {
      EXPECT_EQ(filePart, buffer + c.expected.size() - c.filePart.size());
    }
  }
  std::filesystem::current_path(previous);
}

TEST_F(ModulesTest, FullPathNameReportsTheSizeNeededWhenTooSmall) {
  char buffer[4] = "xyz";
  EXPECT_EQ(GetFullPathNameA("/opt/tz2", sizeof buffer, buffer, nullptr), 9u);
  EXPECT_STREQ(buffer, "xyz");
  EXPECT_EQ(GetFullPathNameA("", sizeof buffer, buffer, nullptr), 0u);
}

TEST_F(ModulesTest, StringsBelongToTheirModule) {
  const HINSTANCE a = RegisterModule("/p/A.dlu");
  const HINSTANCE b = RegisterModule("/p/B.dlu");
  RegisterString(a, 1, "TZ2 objects properties tool");
  RegisterString(b, 1, "other");
  char buffer[8];
  EXPECT_EQ(LoadStringA(a, 1, buffer, sizeof buffer), 7);
  EXPECT_STREQ(buffer, "TZ2 obj");
  EXPECT_EQ(LoadStringA(a, 2, buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(LoadStringA(nullptr, 1, buffer, sizeof buffer), 0);
  UnregisterModule(a);
  EXPECT_EQ(LoadStringA(a, 1, buffer, sizeof buffer), 0);
  EXPECT_EQ(LoadStringA(b, 1, buffer, sizeof buffer), 5);
}

}  // namespace
