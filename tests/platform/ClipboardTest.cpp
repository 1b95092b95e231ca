// Clipboard and global memory: the paste sequence a plug-in performs, ownership of the
// data, opening rules, and an edit control pasting the text.
#include <cstring>
#include <thread>

#include "PlatformFixture.h"

namespace {

using ClipboardTest = PlatformTest;

// The sequence the output-name keeper runs: open, empty, allocate, copy, hand over, close.
bool PutText(HWND owner, const std::string& text) {
  if (!OpenClipboard(owner)) return false;
  EmptyClipboard();
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1);
  std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
  GlobalUnlock(memory);
  const bool set = SetClipboardData(CF_TEXT, memory) == memory;
  CloseClipboard();
  return set;
}

TEST_F(ClipboardTest, TextHandedOverCanBeReadBackAndReplacesTheOldText) {
  ASSERT_TRUE(SetClipboardText("user's own text"));
  const HWND window = CreateDesktopWindow("W", "", nullptr);
  ASSERT_TRUE(PutText(window, R"(D:\models\tank.tz2)"));
  EXPECT_EQ(ClipboardText(), R"(D:\models\tank.tz2)");
  EXPECT_EQ(GetClipboardOwner(), window);
  ASSERT_TRUE(OpenClipboard(nullptr));
  const HANDLE data = GetClipboardData(CF_TEXT);
  ASSERT_NE(data, nullptr);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(data)), R"(D:\models\tank.tz2)");
  GlobalUnlock(data);
  EXPECT_EQ(GlobalFree(data), data) << "the clipboard owns its data";
  CloseClipboard();
}

TEST_F(ClipboardTest, CallsNeedTheClipboardOpenAndOneThreadHoldsIt) {
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 4);
  EXPECT_FALSE(EmptyClipboard());
  EXPECT_EQ(SetClipboardData(CF_TEXT, memory), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_CLIPBOARD_NOT_OPEN);
  EXPECT_FALSE(CloseClipboard());
  ASSERT_TRUE(OpenClipboard(nullptr));
  bool otherOpened = true, otherPut = true;
  std::thread([&] {
    otherOpened = OpenClipboard(nullptr) != FALSE;
    otherPut = SetClipboardText("x");
  }).join();
  EXPECT_FALSE(otherOpened);
  EXPECT_FALSE(otherPut);
  CloseClipboard();
  EXPECT_EQ(ClipboardText(), std::nullopt);
  EXPECT_EQ(GlobalFree(memory), nullptr);
}

TEST_F(ClipboardTest, GlobalMemoryLocksAndFrees) {
  const HGLOBAL fixed = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, 8);
  EXPECT_EQ(GlobalLock(fixed), fixed) << "a fixed block is its own address";
  const HGLOBAL movable = GlobalAlloc(GMEM_MOVEABLE, 8);
  auto* p = static_cast<char*>(GlobalLock(movable));
  ASSERT_NE(p, nullptr);
  EXPECT_NE(static_cast<void*>(p), movable);
  EXPECT_EQ(GlobalSize(movable), 8u);
  EXPECT_TRUE(GlobalLock(movable) != nullptr);
  EXPECT_TRUE(GlobalUnlock(movable)) << "still locked once";
  EXPECT_FALSE(GlobalUnlock(movable));
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  EXPECT_FALSE(GlobalUnlock(movable));
  EXPECT_EQ(GetLastError(), ERROR_NOT_LOCKED);
  EXPECT_EQ(GlobalFree(movable), nullptr);
  EXPECT_EQ(GlobalLock(movable), nullptr);
  EXPECT_EQ(GlobalFree(fixed), nullptr);
}

TEST_F(ClipboardTest, PostedPasteReplacesTheSelectionOfAnEdit) {
  const HWND dialog = CreateDesktopWindow("Host", "", nullptr);
  const HWND field = CreateWindowExA(0, "EDIT", "untitled", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, dialog,
                                     reinterpret_cast<HMENU>(1152), nullptr, nullptr);
  SendMessageA(field, EM_SETSEL, 0, -1);
  ASSERT_TRUE(PutText(dialog, "D:\\models\\tank.tz2\r\nsecond line"));
  PostMessageA(field, WM_PASTE, 0, 0);
  EXPECT_EQ(WindowText(field), "untitled") << "nothing before the pump";
  PumpMessages();
  EXPECT_EQ(WindowText(field), "D:\\models\\tank.tz2") << "a single-line edit takes the first line";
  SendMessageA(field, WM_PASTE, 0, 0);
  EXPECT_EQ(WindowText(field), "D:\\models\\tank.tz2D:\\models\\tank.tz2") << "pasted at the caret";
}

}  // namespace
