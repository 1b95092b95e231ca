// Code page 1251 <-> UTF-8: the host keeps 8-bit texts in code page 1251; files and the
// terminal use UTF-8.
#pragma once

#include <string>

// FALSE when utf8 is not valid UTF-8 or holds a character outside code page 1251.
bool Utf8ToCp1251(const std::string& utf8, std::string& out);
// Every byte maps (the code page's one unassigned byte, 0x98, becomes U+FFFD).
std::string Cp1251ToUtf8(const std::string& text);
