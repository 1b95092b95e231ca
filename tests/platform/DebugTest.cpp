// Debug output: the trace log and the sink.
#include "PlatformFixture.h"

namespace {

using DebugTest = PlatformTest;

TEST_F(DebugTest, TraceGoesToTheLogAndTheSink) {
  std::vector<std::string> seen;
  SetTraceSink([&](const std::string& text) { seen.push_back(text); });
  OutputDebugStringA("Bone list: 12\n");
  OutputDebugStringA(nullptr);
  OutputDebugStringA("done");
  EXPECT_EQ(TraceLog(), (std::vector<std::string>{"Bone list: 12\n", "", "done"}));
  EXPECT_EQ(TraceText(), "Bone list: 12\ndone");
  EXPECT_EQ(seen, TraceLog());
  ClearTraceLog();
  EXPECT_TRUE(TraceLog().empty());
  ResetDesktop();
  OutputDebugStringA("after reset");
  EXPECT_EQ(seen.size(), 3u) << "ResetDesktop removes the sink";
}

}  // namespace
