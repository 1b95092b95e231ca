// The custom edit over a dialog's edit control, window centring and the custom controls'
// initialisation.
#include "host/CustomControls.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Desktop.h"

namespace {

int g_openEdits = 0;
int g_initCalls = 0;

bool IsBlank(const char* p) {
  while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n') ++p;
  return *p == '\0';
}

class CustEdit : public ICustEdit {
 public:
  explicit CustEdit(HWND hwnd) : hwnd_(hwnd) {}
  void SetText(const char* text) override { SetWindowTextA(hwnd_, text != nullptr ? text : ""); }
  void SetText(int value) override { SetText(std::to_string(value).c_str()); }
  void SetText(float value, int precision) override {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", precision < 0 ? 0 : precision, static_cast<double>(value));
    SetText(buf);
  }
  void GetText(char* buffer, int size) override {
    if (buffer == nullptr || size <= 0) return;
    GetWindowTextA(hwnd_, buffer, size);
  }
  int GetTextLength() override { return GetWindowTextLengthA(hwnd_); }
  float GetFloat(BOOL* valid) override {
    const std::string text = WindowText(hwnd_);
    char* end = nullptr;
    errno = 0;
    const float v = std::strtof(text.c_str(), &end);
    const bool ok = end != text.c_str() && IsBlank(end) && errno == 0;
    if (valid != nullptr) *valid = ok ? TRUE : FALSE;
    return ok ? v : 0.0f;
  }
  int GetInt(BOOL* valid) override {
    const std::string text = WindowText(hwnd_);
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    const bool ok = end != text.c_str() && IsBlank(end) && errno == 0 && v >= INT32_MIN && v <= INT32_MAX;
    if (valid != nullptr) *valid = ok ? TRUE : FALSE;
    return ok ? static_cast<int>(v) : 0;
  }
  HWND GetHwnd() override { return hwnd_; }

 private:
  HWND hwnd_;
};

}  // namespace

ICustEdit* GetICustEdit(HWND hwnd) {
  if (hwnd == nullptr || !IsWindow(hwnd)) return nullptr;
  ++g_openEdits;
  return new CustEdit(hwnd);
}

void ReleaseICustEdit(ICustEdit* edit) {
  if (edit == nullptr) return;
  --g_openEdits;
  delete edit;
}

int OpenICustEditCount() { return g_openEdits; }

void CenterWindow(HWND child, HWND parent) {
  if (child == nullptr || !IsWindow(child)) return;
  if (parent == nullptr || !IsWindow(parent)) parent = GetDesktopWindow();
  RECT c, p;
  if (!GetWindowRect(child, &c) || !GetWindowRect(parent, &p)) return;
  const int w = c.right - c.left, h = c.bottom - c.top;
  const int x = p.left + ((p.right - p.left) - w) / 2;
  const int y = p.top + ((p.bottom - p.top) - h) / 2;
  MoveWindow(child, x, y, w, h, FALSE);
}

void InitCustomControls(HINSTANCE) { ++g_initCalls; }

int InitCustomControlsCount() { return g_initCalls; }
