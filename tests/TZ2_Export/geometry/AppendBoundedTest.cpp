// AppendBounded: a piece is appended whole or not at all.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "TZ2_Export/geometry/AppendBounded.h"

namespace {

TEST(AppendBounded, AppendsOnlyWhenTheWholePieceAndTerminatorFit) {
  struct Case {
    const char* start;
    const char* piece;
    bool appended;
    const char* result;
  };
  const Case cases[] = {
      {"abcd", "efghi", true, "abcdefghi"},  // 4 + 5 + 1 = 10
      {"abcd", "efghij", false, "abcd"},     // one too long: left unchanged
      {"abcd", "", true, "abcd"},
      {"", "123456789", true, "123456789"},
  };
  for (const Case& c : cases) {
    char buffer[10 + 2];
    std::memset(buffer, '#', sizeof buffer);  // guard bytes beyond the capacity
    std::strcpy(buffer, c.start);
    EXPECT_EQ(AppendBounded(buffer, c.piece, 10), c.appended) << c.piece;
    EXPECT_EQ(std::string(buffer), c.result);
    EXPECT_EQ(buffer[10], '#');  // nothing written beyond the capacity
    EXPECT_EQ(buffer[11], '#');
  }
  // A later, shorter piece still fits after a refused one.
  char text[8] = "ab";
  EXPECT_FALSE(AppendBounded(text, "cdefghij", sizeof text));
  EXPECT_TRUE(AppendBounded(text, "cd", sizeof text));
  EXPECT_STREQ(text, "abcd");
  EXPECT_FALSE(AppendBounded(text, nullptr, sizeof text));
  EXPECT_FALSE(AppendBounded(nullptr, "x", 4));
}

}  // namespace
