// Text encodings of the standalone host: the host keeps 8-bit texts in code page 1251 and
// property names as wide strings; files and the terminal use UTF-8. Byte 0x98, which the
// code page leaves unassigned, maps to U+0098 and back, so every 8-bit text converts both
// ways.
#pragma once

#include <string>

// FALSE when utf8 is not valid UTF-8 or holds a character outside code page 1251.
bool Utf8ToCp1251(const std::string& utf8, std::string& out);
std::string Cp1251ToUtf8(const std::string& text);
// FALSE when utf8 is not valid UTF-8.
bool Utf8ToWide(const std::string& utf8, std::wstring& out);
std::string WideToUtf8(const std::wstring& text);
