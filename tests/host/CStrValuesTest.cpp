// CStr: formatting of any length, searches and clamped sub-strings.
#include <gtest/gtest.h>

#include <string>

#include "host/CStr.h"

namespace {

TEST(CStr, PrintfTakesTheWholeResult) {
  CStr s;
  EXPECT_STREQ(s.data(), "");
  s.printf("LODDistance%d", 7);
  EXPECT_EQ(s, "LODDistance7");
  const std::string longText(5000, 'x');
  s.printf("%s|%.2f", longText.c_str(), 1.5);
  EXPECT_EQ(s.Length(), 5005);
  EXPECT_EQ(std::string(s.data() + 5000), "|1.50");
}

TEST(CStr, SearchesAndSubstringsStayInsideTheText) {
  CStr s("GR_Body.part");
  EXPECT_EQ(s.first('_'), 2);
  EXPECT_EQ(s.last('.'), 7);
  EXPECT_EQ(s.first('#'), -1);
  EXPECT_EQ(s.Substr(3, 4), "Body");
  EXPECT_EQ(s.Substr(8, 100), "part");
  EXPECT_EQ(s.Substr(50, 2), "");
  EXPECT_EQ(s.Substr(-3, 2), "GR");
  CStr t = s;
  t.remove(2);
  EXPECT_EQ(t, "GR");
  t.remove(10);  // beyond the end: nothing happens
  EXPECT_EQ(t + CStr("H_"), "GRH_");
  CStr u("MiXeD");
  EXPECT_EQ(CStr(u).toUpper(), "MIXED");
  EXPECT_EQ(u.toLower(), "mixed");
  CStr n(static_cast<const char*>(nullptr));
  EXPECT_TRUE(n.isNull());
  n.Resize(3);
  EXPECT_EQ(n, "   ");
}

}  // namespace
