// The host test fixture: clean state before, checked assertion reports and cleanup after.
#include "tests/support/HostFixture.h"

#include <cstdlib>
#include <filesystem>

#include "host/Interface.h"
#include "host/standalone/Scene.h"
#include "platform/Desktop.h"

void HostTest::SetUp() {
  ResetPlatform();
  ResetScene();
}

void HostTest::TearDown() {
  EXPECT_EQ(static_cast<int>(AssertionRecords().size()), expectedAssertions_) << "unexpected assert1 reports";
  ResetScene();
  ResetPlatform();
  if (!tempDir_.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(tempDir_, ec);
  }
}

const std::string& HostTest::TempDir() {
  if (tempDir_.empty()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tz2testXXXXXX").string();
    if (char* made = ::mkdtemp(pattern.data())) tempDir_ = made;
  }
  return tempDir_;
}
