// CStr (TSTR): the host's owned, always-terminated 8-bit string, used for node names,
// property text and custom file properties.
//
// data() never returns null (an empty string is ""); Length() counts the characters before
// the terminator. printf formats into the string whatever the result's length. first/last
// give the index of a character or -1; Substr clamps its range to the string, so no call
// reads outside the text.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

class CStr {
 public:
  CStr() = default;
  CStr(const char* s) : s_(s ? s : "") {}  // NOLINT: implicit as in the host
  CStr(std::string s) : s_(std::move(s)) {}  // NOLINT
  CStr(std::string_view s) : s_(s) {}  // NOLINT

  const char* data() const { return s_.c_str(); }
  operator const char*() const { return s_.c_str(); }  // NOLINT
  int Length() const { return static_cast<int>(s_.size()); }
  int length() const { return Length(); }
  bool isNull() const { return s_.empty(); }
  const std::string& str() const { return s_; }

  // Sets the length to n: truncates, or pads with spaces.
  void Resize(int n) { s_.resize(n > 0 ? static_cast<size_t>(n) : 0, ' '); }

  char& operator[](int i) { return s_[static_cast<size_t>(i)]; }
  char operator[](int i) const { return s_[static_cast<size_t>(i)]; }

  CStr& operator=(const char* s) { s_ = s ? s : ""; return *this; }
  CStr& operator+=(const CStr& b) { s_ += b.s_; return *this; }
  CStr& operator+=(const char* b) { s_ += b ? b : ""; return *this; }
  CStr& Append(const CStr& b) { return *this += b; }
  CStr operator+(const CStr& b) const { return CStr(s_ + b.s_); }
  bool operator==(const CStr& b) const { return s_ == b.s_; }
  bool operator==(const char* b) const { return s_ == (b ? b : ""); }
  bool operator<(const CStr& b) const { return s_ < b.s_; }

  // Index of the first / last occurrence of c, or -1.
  int first(char c) const { return Index(s_.find(c)); }
  int last(char c) const { return Index(s_.rfind(c)); }
  // The n characters from start (clamped to the string).
  CStr Substr(int start, int n) const {
    if (start < 0) start = 0;
    if (start >= Length() || n <= 0) return CStr();
    return CStr(s_.substr(static_cast<size_t>(start), static_cast<size_t>(n)));
  }
  // Removes the characters from pos on (or n of them).
  CStr& remove(int pos) { if (pos >= 0 && pos < Length()) s_.erase(static_cast<size_t>(pos)); return *this; }
  CStr& remove(int pos, int n) {
    if (pos >= 0 && pos < Length() && n > 0) s_.erase(static_cast<size_t>(pos), static_cast<size_t>(n));
    return *this;
  }
  CStr& toUpper() { for (char& c : s_) if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A'); return *this; }
  CStr& toLower() { for (char& c : s_) if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a'); return *this; }

  // Formats like std::printf; the string takes the whole result.
  __attribute__((format(printf, 2, 3))) void printf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
  }
  void vprintf(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n < 0) { s_.clear(); return; }
    std::string out(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<size_t>(n));
    s_ = std::move(out);
  }

 private:
  static int Index(size_t pos) { return pos == std::string::npos ? -1 : static_cast<int>(pos); }

  std::string s_;
};

using TSTR = CStr;
