// The desktop: windows and lookup, sent and posted messages, WM_COPYDATA, destruction,
// activation, focus and CBT hooks.
#include <cstring>
#include <thread>

#include "PlatformFixture.h"

namespace {

using DesktopTest = PlatformTest;

// What a test window saw; reached through the window's user data.
struct Log {
  std::vector<UINT> messages;
  std::vector<std::string> payloads;
  std::vector<ULONG_PTR> tags;
  const void* payloadAddress = nullptr;
};

Log* LogOf(HWND window) { return reinterpret_cast<Log*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

LRESULT CALLBACK LoggingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (Log* log = LogOf(window)) {
    log->messages.push_back(message);
    if (message == WM_COPYDATA) {
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      log->tags.push_back(data->dwData);
      log->payloads.emplace_back(static_cast<const char*>(data->lpData), data->cbData);
      log->payloadAddress = data->lpData;
      return TRUE;
    }
    if (message == WM_USER + 1) return 42;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND LoggedWindow(const std::string& cls, const std::string& title, Log& log, HWND parent = nullptr) {
  const HWND w = CreateDesktopWindow(cls, title, LoggingProc, parent);
  SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&log));
  return w;
}

TEST_F(DesktopTest, FindsTopLevelWindowsByClassAndTitle) {
  Log log;
  const HWND viewer = LoggedWindow("TTZ2ViewMainForm", "TZ2 Viewer", log);
  const HWND other = LoggedWindow("TTZ2ViewMainForm", "Something else", log);
  const HWND child = LoggedWindow("Child", "TZ2 Viewer", log, viewer);
  EXPECT_EQ(FindWindowA("TTZ2ViewMainForm", "TZ2 Viewer"), viewer);
  EXPECT_EQ(FindWindowA("ttz2viewmainform", "TZ2 Viewer"), viewer) << "class names ignore case";
  EXPECT_EQ(FindWindowA("TTZ2ViewMainForm", "tz2 viewer"), nullptr) << "titles match exactly";
  EXPECT_EQ(FindWindowA("TTZ2ViewMainForm", nullptr), other) << "the newest first";
  EXPECT_EQ(FindWindowA(nullptr, "Something else"), other);
  EXPECT_EQ(FindWindowA("Child", nullptr), nullptr) << "children are not top-level";
  EXPECT_EQ(GetParent(child), viewer);
  EXPECT_EQ(WindowClassName(viewer), "TTZ2ViewMainForm");
}

TEST_F(DesktopTest, SendIsSynchronousAndPostWaitsForThePump) {
  Log log;
  const HWND w = LoggedWindow("W", "", log);
  log.messages.clear();
  EXPECT_EQ(SendMessageA(w, WM_USER + 1, 0, 0), 42);
  EXPECT_TRUE(PostMessageA(w, WM_USER, 0, 0));
  EXPECT_TRUE(PostMessageA(w, WM_USER + 2, 0, 0));
  EXPECT_EQ(log.messages, std::vector<UINT>{WM_USER + 1});
  EXPECT_EQ(PendingMessageCount(), 2u);
  EXPECT_EQ(PumpMessages(), 2u);
  EXPECT_EQ(log.messages, (std::vector<UINT>{WM_USER + 1, WM_USER, WM_USER + 2}));
  EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(0x1234), WM_USER, 0, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(DesktopTest, CloseDestroysByDefaultAndDropsQueuedMessages) {
  Log parentLog, childLog;
  const HWND viewer = LoggedWindow("TTZ2ViewMainForm", "TZ2 Viewer", parentLog);
  const HWND child = LoggedWindow("C", "", childLog, viewer);
  PostMessageA(viewer, WM_CLOSE, 0, 0);
  PostMessageA(viewer, WM_USER, 0, 0);
  PumpMessages();
  EXPECT_FALSE(IsWindow(viewer));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_EQ(FindWindowA("TTZ2ViewMainForm", "TZ2 Viewer"), nullptr);
  EXPECT_EQ(parentLog.messages.back(), WM_DESTROY) << "nothing after WM_DESTROY";
  EXPECT_EQ(childLog.messages.back(), WM_DESTROY);
}

// The example exchange: the panel asks the editor for data with its own handle; the editor
// answers with WM_COPYDATA to that handle; the panel sees a copy while it handles it.
LRESULT CALLBACK EditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER + 1000 + 31) {  // a request: lParam is the reply window
    const char payload[] = "\x01\x00\x00\x00mesh";
    COPYDATASTRUCT answer;
    answer.dwData = 0x5342342;
    answer.cbData = sizeof payload - 1;
    answer.lpData = const_cast<char*>(payload);
    SendMessageA(reinterpret_cast<HWND>(lParam), WM_COPYDATA, reinterpret_cast<WPARAM>(window),
                 reinterpret_cast<LPARAM>(&answer));
    EXPECT_EQ(std::memcmp(payload, "\x01\x00\x00\x00mesh", 8), 0) << "the sender's data is left alone";
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(DesktopTest, CopyDataRoundTripBetweenTwoWindows) {
  Log panelLog;
  const HWND panel = LoggedWindow("Panel", "", panelLog);
  CreateDesktopWindow("QNDuvovuz", "", EditorProc);
  const HWND editor = FindWindowA("QNDuvovuz", nullptr);
  ASSERT_NE(editor, nullptr);
  SendMessageA(editor, WM_USER + 1031, 0, reinterpret_cast<LPARAM>(panel));
  ASSERT_EQ(panelLog.payloads.size(), 1u);
  EXPECT_EQ(panelLog.tags[0], 0x5342342u);
  EXPECT_EQ(panelLog.payloads[0], std::string("\x01\x00\x00\x00mesh", 8));

  COPYDATASTRUCT request;
  const char text[] = "progress";
  request.dwData = 0x2342344;
  request.cbData = sizeof text;
  request.lpData = const_cast<char*>(text);
  SendMessageA(panel, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&request));
  EXPECT_NE(panelLog.payloadAddress, text) << "the receiver gets a copy";
  EXPECT_EQ(panelLog.payloads[1], std::string(text, sizeof text));
  EXPECT_FALSE(PostMessageA(panel, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&request))) << "sent only";
  EXPECT_EQ(GetLastError(), ERROR_MESSAGE_SYNC_ONLY);
}

// Hooks record what they see in this test-owned list.
std::vector<std::pair<int, WPARAM>>* hookSeen = nullptr;
HHOOK newerHook = nullptr;

LRESULT CALLBACK RecordingHook(int code, WPARAM wParam, LPARAM) {
  if (hookSeen) hookSeen->emplace_back(code, wParam);
  return 0;
}

LRESULT CALLBACK ChainingHook(int code, WPARAM wParam, LPARAM lParam) {
  if (hookSeen) hookSeen->emplace_back(-code, wParam);
  return CallNextHookEx(newerHook, code, wParam, lParam);
}

LRESULT CALLBACK BlockingHook(int code, WPARAM, LPARAM) { return code == HCBT_SETFOCUS ? 1 : 0; }

class HookTest : public DesktopTest {
protected:
  void SetUp() override {
    DesktopTest::SetUp();
    hookSeen = &seen_;
  }
  void TearDown() override {
    hookSeen = nullptr;
    newerHook = nullptr;
    DesktopTest::TearDown();
  }
  std::vector<std::pair<int, WPARAM>> Focus() {
    std::vector<std::pair<int, WPARAM>> out;
    for (const auto& e : seen_)
      if (e.first == HCBT_SETFOCUS || e.first == -HCBT_SETFOCUS) out.push_back(e);
    return out;
  }
  std::vector<std::pair<int, WPARAM>> seen_;
};

TEST_F(HookTest, CbtHookSeesAFocusChange) {
  Log log;
  const HWND window = LoggedWindow("Host", "", log);
  const HWND field = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, window,
                                     reinterpret_cast<HMENU>(1152), nullptr, nullptr);
  const HHOOK hook = SetWindowsHookExA(WH_CBT, RecordingHook, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  EXPECT_EQ(SetFocus(field), nullptr);
  EXPECT_EQ(GetFocus(), field);
  EXPECT_EQ(GetActiveWindow(), window) << "focus activates the top-level window";
  EXPECT_EQ(Focus(), (std::vector<std::pair<int, WPARAM>>{{HCBT_SETFOCUS, reinterpret_cast<WPARAM>(field)}}));
  ASSERT_TRUE(UnhookWindowsHookEx(hook));
  EXPECT_FALSE(UnhookWindowsHookEx(hook));
  SetFocus(window);
  EXPECT_EQ(Focus().size(), 1u) << "a removed hook sees nothing";
}

TEST_F(HookTest, NewestHookFirstAndOnlyThroughCallNextHookExFurther) {
  const HWND window = CreateDesktopWindow("Host", "", nullptr);
  SetWindowsHookExA(WH_CBT, RecordingHook, nullptr, GetCurrentThreadId());
  newerHook = SetWindowsHookExA(WH_CBT, ChainingHook, nullptr, GetCurrentThreadId());
  SetFocus(window);
  const auto w = reinterpret_cast<WPARAM>(window);
  EXPECT_EQ(Focus(), (std::vector<std::pair<int, WPARAM>>{{-HCBT_SETFOCUS, w}, {HCBT_SETFOCUS, w}}));
  SetWindowsHookExA(WH_CBT, RecordingHook, nullptr, GetCurrentThreadId());  // does not chain
  seen_.clear();
  SetFocus(nullptr);
  EXPECT_EQ(Focus(), (std::vector<std::pair<int, WPARAM>>{{HCBT_SETFOCUS, 0}}));
}

TEST_F(HookTest, HooksOfAnotherThreadSeeNothingAndABlockingHookStopsTheChange) {
  const HWND window = CreateDesktopWindow("Host", "", nullptr);
  DWORD otherThread = 0;
  std::thread([&] { otherThread = GetCurrentThreadId(); }).join();
  ASSERT_NE(otherThread, GetCurrentThreadId());
  SetWindowsHookExA(WH_CBT, RecordingHook, nullptr, otherThread);
  SetFocus(window);
  EXPECT_TRUE(Focus().empty());
  SetFocus(nullptr);
  SetWindowsHookExA(WH_CBT, BlockingHook, nullptr, GetCurrentThreadId());
  EXPECT_EQ(SetFocus(window), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(DesktopTest, ActiveWindowFollowsActivationAndDestruction) {
  const HWND host = CreateDesktopWindow("Host", "", nullptr);
  const HWND tool = CreateDesktopWindow("Tool", "", nullptr, host);
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(SetActiveWindow(host), nullptr);
  EXPECT_EQ(GetActiveWindow(), host);
  SetActiveWindow(tool);
  EXPECT_EQ(GetActiveWindow(), host) << "a child activates its top-level window";
  const HWND popup = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, host, nullptr, nullptr, nullptr);
  SetActiveWindow(popup);
  EXPECT_EQ(GetActiveWindow(), popup);
  DestroyWindow(popup);
  EXPECT_EQ(GetActiveWindow(), host) << "the owner becomes active again";
}

TEST_F(DesktopTest, WindowTextPositionAndFlags) {
  const HWND w = CreateDesktopWindow("W", "first", nullptr);
  char buffer[4];
  EXPECT_EQ(GetWindowTextA(w, buffer, sizeof buffer), 3);
  EXPECT_STREQ(buffer, "fir");
  ASSERT_TRUE(SetWindowTextA(w, "TZ2 Export,  Build: x"));
  EXPECT_EQ(GetWindowTextLengthA(w), 21);
  SetWindowPos(w, nullptr, 0, 0, 450, 290, SWP_NOMOVE | SWP_NOZORDER);
  MoveWindow(w, 10, 20, 450, 290, TRUE);
  RECT r;
  ASSERT_TRUE(GetWindowRect(w, &r));
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.right - r.left, 450);
  EXPECT_EQ(r.bottom - r.top, 290);
  EXPECT_FALSE(EnableWindow(w, FALSE));
  EXPECT_FALSE(IsWindowEnabled(w));
  EXPECT_TRUE(EnableWindow(w, TRUE)) << "was disabled";
  ShowWindow(w, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(w));
}

TEST_F(DesktopTest, ResetDesktopLeavesNothingBehind) {
  const HWND w = CreateDesktopWindow("W", "", nullptr);
  SetFocus(w);
  PostMessageA(w, WM_USER, 0, 0);
  SetWindowsHookExA(WH_CBT, BlockingHook, nullptr, 0);
  ResetDesktop();
  EXPECT_TRUE(DesktopWindows().empty());
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(PendingMessageCount(), 0u);
  const HWND fresh = CreateDesktopWindow("W", "", nullptr);
  EXPECT_NE(fresh, w);
  EXPECT_EQ(SetFocus(fresh), nullptr);
  EXPECT_EQ(GetFocus(), fresh) << "the blocking hook is gone";
}

}  // namespace
