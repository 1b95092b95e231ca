// A clean platform, host scene and exporter module for the export shell's tests: the
// exporter's module is registered at a temporary folder, so its ini file lives there.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TZ2_Export/shell/Module.h"
#include "host/Interface.h"
#include "host/standalone/Scene.h"
#include "platform/Windows.h"

namespace tz2test {

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetPlatform();
    ResetScene();
    GetCOREInterface()->ResetSession();
    dir_ = std::filesystem::temp_directory_path() /
           ("tz2-shell-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    tz2::SetModuleInstance(RegisterModule((dir_ / "TZ2_Export.dle").string()));
  }
  void TearDown() override {
    tz2::SetModuleInstance(nullptr);
    ResetPlatform();
    ResetScene();
    std::filesystem::remove_all(dir_);
  }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Ini() const { return Path("TZ2_Export.ini"); }
  std::string IniValue(const char* key) const {
    char text[512];
    GetPrivateProfileStringA("TZ2EXPORT OPTIONS", key, "<missing>", text, sizeof text, Ini().c_str());
    return text;
  }
  static std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  std::filesystem::path dir_;
};

}  // namespace tz2test
