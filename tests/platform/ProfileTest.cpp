// Ini files: case-insensitive lookup, trimming, defaults, the integer reader, in-place
// writes that keep every other line, and failures that leave the old file alone.
#include <sys/stat.h>

#include "PlatformFixture.h"

namespace {

class ProfileTest : public PlatformTest {
protected:
  std::string Get(const char* section, const char* key, const char* def = "dflt") {
    char buffer[256];
    const DWORD n = GetPrivateProfileStringA(section, key, def, buffer, sizeof buffer, ini_.c_str());
    EXPECT_EQ(n, std::string(buffer).size());
    return buffer;
  }
  void SetUp() override {
    PlatformTest::SetUp();
    ini_ = Path("opts.ini");
  }
  std::string ini_;
};

const char kSample[] =
    "; exporter options\r\n"
    "[TZ2EXPORT OPTIONS]\r\n"
    "  Scale =  12.5  \r\n"
    "ExportHidden=1\r\n"
    "Quoted=\"  padded  \"\r\n"
    "Quality=3abc\r\n"
    "Negative=-42\r\n"
    "Empty=\r\n"
    "Huge=99999999999\r\n"
    "\r\n"
    "[other]\r\n"
    "Scale=7\r\n";

TEST_F(ProfileTest, ReadsValuesWithoutRegardToCaseTrimmedAndUnquoted) {
  WriteText(ini_, kSample);
  EXPECT_EQ(Get("tz2export options", "SCALE"), "12.5");
  EXPECT_EQ(Get("TZ2EXPORT OPTIONS", "quoted"), "  padded  ");
  EXPECT_EQ(Get("Other", "scale"), "7");
  EXPECT_EQ(Get("TZ2EXPORT OPTIONS", "Empty"), "");
}

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesTheTrimmedDefault) {
  EXPECT_EQ(Get("TZ2EXPORT OPTIONS", "Scale", "100 "), "100");
  WriteText(ini_, kSample);
  EXPECT_EQ(Get("nosuch", "Scale"), "dflt");
  EXPECT_EQ(Get("other", "nosuch"), "dflt");
  EXPECT_EQ(Get("other", "nosuch", nullptr), "");
}

TEST_F(ProfileTest, TruncatesToTheBuffer) {
  WriteText(ini_, "[s]\nk=abcdefgh\n");
  char buffer[4];
  EXPECT_EQ(GetPrivateProfileStringA("s", "k", "", buffer, sizeof buffer, ini_.c_str()), 3u);
  EXPECT_STREQ(buffer, "abc");
}

TEST_F(ProfileTest, IntegerReaderTakesLeadingSignAndDigits) {
  WriteText(ini_, kSample);
  struct Case {
    const char* key;
    int expected;
  } cases[] = {{"ExportHidden", 1}, {"Quality", 3}, {"Negative", -42}, {"Scale", 12},
               {"Empty", 0},        {"Huge", 2147483647}, {"Missing", 77}};
  for (const Case& c : cases)
    EXPECT_EQ(static_cast<int>(GetPrivateProfileIntA("TZ2EXPORT OPTIONS", c.key, 77, ini_.c_str())), c.expected)
        << c.key;
}

TEST_F(ProfileTest, ListsSectionsAndKeys) {
  WriteText(ini_, kSample);
  char buffer[256];
  const DWORD n = GetPrivateProfileStringA(nullptr, nullptr, "", buffer, sizeof buffer, ini_.c_str());
  EXPECT_EQ(std::string(buffer, n + 1), std::string("TZ2EXPORT OPTIONS\0other\0", 25));
  const DWORD k = GetPrivateProfileStringA("other", nullptr, "", buffer, sizeof buffer, ini_.c_str());
  EXPECT_EQ(std::string(buffer, k + 1), std::string("Scale\0", 7));
}

TEST_F(ProfileTest, WriteCreatesFileAndSection) {
  ASSERT_TRUE(WritePrivateProfileStringA("general", "SUBSTR1", "SPINE", ini_.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("general", "LEVSTR1", "3", ini_.c_str()));
  EXPECT_EQ(ReadText(ini_), "[general]\r\nSUBSTR1=SPINE\r\nLEVSTR1=3\r\n");
  EXPECT_EQ(GetPrivateProfileIntA("GENERAL", "levstr1", 10, ini_.c_str()), 3u);
}

TEST_F(ProfileTest, WriteReplacesInPlaceAndKeepsEveryOtherLine) {
  WriteText(ini_, kSample);
  ASSERT_TRUE(WritePrivateProfileStringA("tz2export options", "scale", "100.000000", ini_.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("TZ2EXPORT OPTIONS", "Preview", "0", ini_.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("new", "a", "b", ini_.c_str()));
  std::string expected = kSample;
  expected.replace(expected.find("  Scale =  12.5  "), 17, "Scale=100.000000");
  expected.replace(expected.find("Huge=99999999999\r\n") + 18, 0, "Preview=0\r\n");
  expected += "[new]\r\na=b\r\n";
  EXPECT_EQ(ReadText(ini_), expected);
}

TEST_F(ProfileTest, KeepsLfLineEndingsOfAnExistingFile) {
  WriteText(ini_, "[s]\nk=1\n");
  ASSERT_TRUE(WritePrivateProfileStringA("s", "k", "2", ini_.c_str()));
  EXPECT_EQ(ReadText(ini_), "[s]\nk=2\n");
}

TEST_F(ProfileTest, NullValueDeletesKeyAndNullKeyDeletesSection) {
  WriteText(ini_, "[a]\nx=1\ny=2\n[b]\nz=3\n");
  ASSERT_TRUE(WritePrivateProfileStringA("a", "x", nullptr, ini_.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("B", nullptr, nullptr, ini_.c_str()));
  EXPECT_EQ(ReadText(ini_), "[a]\ny=2\n");
}

TEST_F(ProfileTest, UnreadableFileReadsAsMissingAndIsNotWrittenOver) {
  std::filesystem::create_directory(ini_);  // a folder where the file should be: cannot be read
  EXPECT_EQ(Get("s", "k"), "dflt");
  EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "v", ini_.c_str()));
  EXPECT_TRUE(std::filesystem::is_directory(ini_));
}

TEST_F(ProfileTest, FailedWriteKeepsTheOldFileAndReportsFailure) {
  WriteText(ini_, kSample);
  chmod(ini_.c_str(), 0444);  // read-only
  EXPECT_FALSE(WritePrivateProfileStringA("other", "Scale", "8", ini_.c_str()));
  EXPECT_EQ(ReadText(ini_), kSample);
  const std::string noFolder = Path("missing/opts.ini");
  EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "v", noFolder.c_str()));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1) << "no temporary file is left";
}

TEST_F(ProfileTest, RefusesTextsThatWouldBreakTheFile) {
  WriteText(ini_, "[s]\nk=1\n");
  EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "1\n[evil]\nx=2", ini_.c_str()));
  EXPECT_FALSE(WritePrivateProfileStringA("s", "a=b", "1", ini_.c_str()));
  EXPECT_FALSE(WritePrivateProfileStringA("s]", "k", "1", ini_.c_str()));
  EXPECT_EQ(ReadText(ini_), "[s]\nk=1\n");
}

TEST_F(ProfileTest, AcceptsBackslashSeparators) {
  std::filesystem::create_directory(Path("plugcfg"));
  const std::string windowsStyle = dir_.string() + "\\plugcfg\\physique.ini";
  ASSERT_TRUE(WritePrivateProfileStringA("BulgeEditorState", "USE_2.2_RIGID_DEFORMATIONS", "1", windowsStyle.c_str()));
  EXPECT_EQ(ReadText(Path("plugcfg/physique.ini")), "[BulgeEditorState]\r\nUSE_2.2_RIGID_DEFORMATIONS=1\r\n");
}

}  // namespace
