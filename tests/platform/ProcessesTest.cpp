// Processes: Windows command-line splitting, real child processes through CreateProcessA
// and WinExec, exit codes, start failures, and Sleep delivering posted messages.
#include <sys/stat.h>

#include "PlatformFixture.h"

namespace {

using ProcessesTest = PlatformTest;

TEST_F(ProcessesTest, SplitsCommandLinesAsWindowsDoes) {
  struct Case {
    std::string line;
    std::vector<std::string> words;
  } cases[] = {
      {R"(E:\Game\_TZ2View.exe MODELS\TANK.TZ2)", {R"(E:\Game\_TZ2View.exe)", R"(MODELS\TANK.TZ2)"}},
      {R"("C:\Program Files\v.exe" "a b" c)", {R"(C:\Program Files\v.exe)", "a b", "c"}},
      {R"(p a\\\"b "c\\" d\e)", {"p", R"(a\"b)", R"(c\)", R"(d\e)"}},
      {R"(p "say ""hi""" "")", {"p", R"(say "hi")", ""}},
      {" \t p\tq  ", {"p", "q"}},
      {R"(p a"b c"d)", {"p", "ab cd"}},
      {"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.words) << c.line;
}

TEST_F(ProcessesTest, CreateProcessRunsARealChildInItsFolderWithItsEnvironment) {
  std::string line = "/bin/sh -c \"echo $TZ2VAR > out.txt; exit 3\"";
  const char environment[] = "TZ2VAR=from parent\0PATH=/usr/bin:/bin\0";
  STARTUPINFOA startup;
  PROCESS_INFORMATION info;
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE,
                             CREATE_NEW_CONSOLE | CREATE_NEW_PROCESS_GROUP | CREATE_DEFAULT_ERROR_MODE,
                             const_cast<char*>(environment), dir_.c_str(), &startup, &info));
  ASSERT_EQ(WaitForSingleObject(info.hProcess, INFINITE), WAIT_OBJECT_0);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeProcess(info.hProcess, &code));
  EXPECT_EQ(code, 3u);
  EXPECT_EQ(ReadText(Path("out.txt")), "from parent\n");
  EXPECT_TRUE(CloseHandle(info.hThread));
  EXPECT_TRUE(CloseHandle(info.hProcess));
  EXPECT_EQ(StartedCommandLines(), std::vector<std::string>{line});
}

TEST_F(ProcessesTest, AProgramThatCannotStartFails) {
  std::string missing = R"(E:\Game\_TZ2View.exe PREVIEW.TZ2)";
  PROCESS_INFORMATION info;
  EXPECT_FALSE(CreateProcessA(nullptr, missing.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  const std::string notExecutable = Path("_TZ2View.exe");
  WriteText(notExecutable, "not a program");
  std::string line = notExecutable + " x";
  EXPECT_FALSE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info));
  EXPECT_EQ(WinExec(missing.c_str(), SW_SHOW), ERROR_FILE_NOT_FOUND);
}

TEST_F(ProcessesTest, WinExecStartsWithoutWaiting) {
  const std::string fifo = Path("signal");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string line = "/bin/sh -c \"echo started > '" + fifo + "'\"";
  EXPECT_GT(WinExec(line.c_str(), SW_SHOW), 31u);
  EXPECT_EQ(ReadText(fifo), "started\n");  // blocks until the child writes
}

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER) SetWindowLongPtrA(window, GWLP_USERDATA, GetWindowLongPtrA(window, GWLP_USERDATA) + 1);
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(ProcessesTest, SleepDeliversPostedMessagesAndCanBeSimulated) {
  SetSimulatedSleep(true);
  const HWND editor = CreateDesktopWindow("QNDuvovuz", "", CountingProc);
  PostMessageA(editor, WM_USER, 0, 0);
  Sleep(1000);
  EXPECT_EQ(GetWindowLongPtrA(editor, GWLP_USERDATA), 1);
  EXPECT_EQ(SimulatedSleepMilliseconds(), 1000u);
}

}  // namespace
