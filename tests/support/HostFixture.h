// HostTest: the fixture for tests that drive the standalone host. Every test starts with a
// clean platform (desktop, modules, records) and an empty scene, and fails when the host
// reported an assertion (assert1) that the test did not declare with ExpectAssertions.
#pragma once

#include <gtest/gtest.h>

#include <string>

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // The test expects exactly n assertion reports.
  void ExpectAssertions(int n) { expectedAssertions_ = n; }
  // A fresh directory for the test's files (removed afterwards).
  const std::string& TempDir();

 private:
  int expectedAssertions_ = 0;
  std::string tempDir_;
};
