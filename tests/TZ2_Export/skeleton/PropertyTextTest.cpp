// Property text: the readers' key forms, the integer and name rules, BoneImportance writing
// and the removal of a parent assignment by text edit.
#include "TZ2_Export/skeleton/PropertyText.h"

#include <gtest/gtest.h>

#include "host/INode.h"
#include "tests/support/HostFixture.h"
#include "tests/support/SceneBuilder.h"

namespace tz2 {
namespace {

class PropertyText : public HostTest {};

TEST(PropertyTextRules, IntegerOfValue) {
  const struct {
    const char* text;
    std::int32_t value;
  } cases[] = {
      {"3", 3},           {"3rd", 3},          {"2 bones", 2},      {"high", 0},       {"", 0},
      {"-2", -2},         {"+7", 7},           {" \t\r\n\v\f12", 12}, {"- 4", 0},      {"--4", 0},
      {"0", 0},           {"2147483647", 2147483647}, {"99999999999", 2147483647},
      {"-2147483648", -2147483647 - 1}, {"-99999999999", -2147483647 - 1},
  };
  for (const auto& c : cases) EXPECT_EQ(IntegerOfValue(c.text), c.value) << '"' << c.text << '"';
}

TEST(PropertyTextRules, NamesCompareWholeFoldingAsciiOnly) {
  EXPECT_TRUE(NamesEqualIgnoringCase("Bip01 Spine", "BIP01 SPINE"));
  EXPECT_TRUE(NamesEqualIgnoringCase("", ""));
  EXPECT_FALSE(NamesEqualIgnoringCase("Bip01", "Bip01 Spine"));  // no prefix match
  EXPECT_FALSE(NamesEqualIgnoringCase("Bip01 Spine", "Bip01"));
  // Bytes above 127 (code page 1251 letters) compare as they are: 'Б' (0xC1) is not 'б' (0xE1).
  EXPECT_FALSE(NamesEqualIgnoringCase("\xC1", "\xE1"));
  EXPECT_TRUE(NamesEqualIgnoringCase("\xC1x", "\xC1X"));
}

TEST_F(PropertyText, EachReaderSeesOnlyItsForms) {
  INode* node = build::Dummy("Bone");
  const struct {
    const char* text;
    bool exporterImportance, toolImportance, exporterParent, toolParent;
  } cases[] = {
      {"BoneImportance = 2", true, true, false, false},
      {"boneimportance = 3", false, true, false, false},
      {"BONEIMPORTANCE = 2", false, true, false, false},
      {"boneImportance = 2", false, false, false, false},
      {"PARENTBONE = Bip01", false, false, true, true},
      {"parentbone = Bip01", false, false, true, true},
      {"parentBone = Bip01", false, false, false, false},
  };
  for (const auto& c : cases) {
    node->SetUserPropBuffer(CStr(c.text));
    std::string value;
    EXPECT_EQ(FindUserProp(node, kBoneImportanceExporterForms, value), c.exporterImportance) << c.text;
    EXPECT_EQ(FindUserProp(node, kBoneImportanceToolForms, value), c.toolImportance) << c.text;
    EXPECT_EQ(FindUserProp(node, kParentBoneExporterForms, value), c.exporterParent) << c.text;
    EXPECT_EQ(FindUserProp(node, kParentBoneToolForms, value), c.toolParent) << c.text;
  }
  node->SetUserPropBuffer(CStr("boneimportance = 3"));
  std::string value;
  ASSERT_TRUE(FindUserProp(node, kBoneImportanceToolForms, value));
  EXPECT_EQ(IntegerOfValue(value), 3);
}

TEST_F(PropertyText, FirstFormInListOrderWins) {
  INode* node = build::Dummy("Bone");
  node->SetUserPropBuffer(CStr("parentbone = Low\r\nPARENTBONE = Up\r\nParentBone = Mixed"));
  std::string value;
  ASSERT_TRUE(FindUserProp(node, kParentBoneExporterForms, value));
  EXPECT_EQ(value, "Mixed");
  node->SetUserPropBuffer(CStr("parentbone = Low\r\nPARENTBONE = Up"));
  ASSERT_TRUE(FindUserProp(node, kParentBoneExporterForms, value));
  EXPECT_EQ(value, "Up");  // the exporter asks "PARENTBONE" before "parentbone"
  ASSERT_TRUE(FindUserProp(node, kParentBoneToolForms, value));
  EXPECT_EQ(value, "Low");  // the tool asks "parentbone" first
}

TEST_F(PropertyText, SetBoneImportanceWritesTheDecimalValue) {
  INode* node = build::Dummy("Bone");
  node->SetUserPropBuffer(CStr("MeshImportance = 1"));
  SetBoneImportance(node, 44);
  std::string value;
  ASSERT_TRUE(FindUserProp(node, kBoneImportanceExporterForms, value));
  EXPECT_EQ(value, "44");
  SetBoneImportance(node, -3);
  ASSERT_TRUE(FindUserProp(node, kBoneImportanceExporterForms, value));
  EXPECT_EQ(value, "-3");
  ASSERT_TRUE(FindUserProp(node, kMeshImportanceToolForms, value));
  EXPECT_EQ(value, "1");
}

// Expected texts spell the blanks out: "PARENTBONE" is 10 bytes, 'ParentBone=Bip01' 16.
TEST(PropertyTextRules, BlankParentAssignment) {
  const struct {
    std::string before, after;
    bool changed;
  } cases[] = {
      {"ParentBone=Bip01\r\nBoneImportance = 2", "                \r\nBoneImportance = 2", true},
      {"PARENTBONE = Bip01", "           = Bip01", true},
      {"ParentBone=A\nPARENTBONE=B", "ParentBone=A\n            ", true},
      {"x parentbone=\xC1\xE1\tend", "x              \tend", true},
      {"xParentBoneY", "x           ", true},  // anywhere, up to the end of the text
      {"parentBone=A", "parentBone=A", false},
      {"", "", false},
  };
  for (const auto& c : cases) {
    std::string text = c.before;
    EXPECT_EQ(BlankParentAssignment(text), c.changed) << c.before;
    EXPECT_EQ(text, c.after) << c.before;
  }
}

TEST_F(PropertyText, RemoveParentAssignmentStoresTheEditedText) {
  INode* node = build::Dummy("Bone");
  node->SetUserPropBuffer(CStr("ParentBone=Bip01\r\nBoneImportance = 2"));
  EXPECT_TRUE(RemoveParentAssignment(node));
  CStr text;
  node->GetUserPropBuffer(text);
  EXPECT_EQ(text.str(), "                \r\nBoneImportance = 2");
  std::string value;
  EXPECT_FALSE(FindUserProp(node, kParentBoneExporterForms, value));
  ASSERT_TRUE(FindUserProp(node, kBoneImportanceExporterForms, value));
  EXPECT_EQ(value, "2");
  EXPECT_FALSE(RemoveParentAssignment(node));
  node->GetUserPropBuffer(text);
  EXPECT_EQ(text.str(), "                \r\nBoneImportance = 2");
}

}  // namespace
}  // namespace tz2
