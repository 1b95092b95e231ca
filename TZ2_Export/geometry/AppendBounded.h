// AppendBounded: appends a C string to a fixed-capacity buffer only when it fits whole.
// dst (a terminated string in a buffer of `capacity` bytes) receives src when
// strlen(dst) + strlen(src) + 1 <= capacity; otherwise dst is left unchanged, so a piece that
// does not fit is dropped whole and a later, shorter piece may still fit.
#pragma once

#include <cstddef>

// True when src was appended. A null dst or src appends nothing.
bool AppendBounded(char* dst, const char* src, std::size_t capacity);
