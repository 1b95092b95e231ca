// Bounded whole-piece string append (see AppendBounded.h).
#include "TZ2_Export/geometry/AppendBounded.h"

#include <cstring>

bool AppendBounded(char* dst, const char* src, std::size_t capacity) {
  if (!dst || !src) return false;
  const std::size_t have = std::strlen(dst), add = std::strlen(src);
  if (have + add + 1 > capacity) return false;
  std::memcpy(dst + have, src, add + 1);
  return true;
}
