// Code page 1251 <-> UTF-8 and wide strings <-> UTF-8.
#include "host/standalone/Cp1251.h"

#include <utility>

namespace {

// Unicode of the bytes 0x80 to 0xBF; 0xC0 to 0xFF are U+0410 to U+044F.
constexpr char32_t kHigh[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

char32_t ByteToUnicode(unsigned char b) {
  if (b < 0x80) return b;
  if (b >= 0xC0) return 0x0410 + (b - 0xC0);
  return kHigh[b - 0x80];
}

bool UnicodeToByte(char32_t c, unsigned char& b) {
  if (c < 0x80) { b = static_cast<unsigned char>(c); return true; }
  if (c >= 0x0410 && c <= 0x044F) { b = static_cast<unsigned char>(0xC0 + (c - 0x0410)); return true; }
  for (int i = 0; i < 64; ++i)
    if (kHigh[i] == c) { b = static_cast<unsigned char>(0x80 + i); return true; }
  return false;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes one character at pos (advancing it); false for malformed UTF-8 (overlong forms,
// surrogates and values above U+10FFFF included).
bool NextUtf8(const std::string& s, size_t& pos, char32_t& c) {
  const unsigned char b0 = static_cast<unsigned char>(s[pos]);
  int len = b0 < 0x80 ? 1 : (b0 >> 5) == 0x6 ? 2 : (b0 >> 4) == 0xE ? 3 : (b0 >> 3) == 0x1E ? 4 : 0;
  if (len == 0 || pos + static_cast<size_t>(len) > s.size()) return false;
  c = len == 1 ? b0 : len == 2 ? (b0 & 0x1F) : len == 3 ? (b0 & 0x0F) : (b0 & 0x07);
  for (int i = 1; i < len; ++i) {
    const unsigned char b = static_cast<unsigned char>(s[pos + static_cast<size_t>(i)]);
    if ((b & 0xC0) != 0x80) return false;
    c = (c << 6) | (b & 0x3F);
  }
  static constexpr char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kMin[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
  pos += static_cast<size_t>(len);
  return true;
}

}  // namespace

bool Utf8ToCp1251(const std::string& utf8, std::string& out) {
  std::string result;
  for (size_t pos = 0; pos < utf8.size();) {
    char32_t c = 0;
    unsigned char b = 0;
    if (!NextUtf8(utf8, pos, c) || !UnicodeToByte(c, b)) return false;
    result += static_cast<char>(b);
  }
  out = std::move(result);
  return true;
}

std::string Cp1251ToUtf8(const std::string& text) {
  std::string out;
  for (char ch : text) AppendUtf8(out, ByteToUnicode(static_cast<unsigned char>(ch)));
  return out;
}

bool Utf8ToWide(const std::string& utf8, std::wstring& out) {
  std::wstring result;
  for (size_t pos = 0; pos < utf8.size();) {
    char32_t c = 0;
    if (!NextUtf8(utf8, pos, c)) return false;
    result += static_cast<wchar_t>(c);
  }
  out = std::move(result);
  return true;
}

std::string WideToUtf8(const std::wstring& text) {
  std::string out;
  for (wchar_t ch : text) {
    const char32_t c = static_cast<char32_t>(ch);
    AppendUtf8(out, c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) ? 0xFFFD : c);
  }
  return out;
}
