// Custom file properties of the user-defined set: each type added, found by wide name,
// read back, replaced in place.
#include <gtest/gtest.h>

#include "host/Interface.h"
#include "tests/support/HostFixture.h"

namespace {

class CustomPropertiesTest : public HostTest {
 protected:
  static PROPSPEC Spec(const wchar_t* name) {
    PROPSPEC s;
    s.ulKind = PRSPEC_LPWSTR;
    s.lpwstr = name;
    return s;
  }
  void Add(const wchar_t* name, const PROPVARIANT& v) {
    const PROPSPEC s = Spec(name);
    ip->AddProperty(PROPSET_USERDEFINED, &s, &v);
  }
  const PROPVARIANT* Get(const wchar_t* name) {
    const PROPSPEC s = Spec(name);
    const int idx = ip->FindProperty(PROPSET_USERDEFINED, &s);
    return idx < 0 ? nullptr : ip->GetPropertyVariant(PROPSET_USERDEFINED, idx);
  }
  Interface* ip = GetCOREInterface();
};

TEST_F(CustomPropertiesTest, EachTypeReadsBackWithItsValue) {
  PROPVARIANT r4, i4, b, s;
  r4.vt = VT_R4; r4.fltVal = 100.5f;
  i4.vt = VT_I4; i4.lVal = -7;
  b.vt = VT_BOOL; b.boolVal = VARIANT_TRUE;
  char text[] = "D:\\models\\tank.tz2";
  s.vt = VT_LPSTR; s.pszVal = text;
  Add(L"Scale", r4);
  Add(L"AnimationQuality", i4);
  Add(L"ExportHidden", b);
  Add(L"OutputFileName", s);
  text[0] = 'X';  // the host keeps its own copy
  ASSERT_NE(Get(L"Scale"), nullptr);
  EXPECT_EQ(Get(L"Scale")->vt, VT_R4);
  EXPECT_FLOAT_EQ(Get(L"Scale")->fltVal, 100.5f);
  EXPECT_EQ(Get(L"AnimationQuality")->lVal, -7);
  EXPECT_EQ(Get(L"ExportHidden")->boolVal, VARIANT_TRUE);
  EXPECT_STREQ(Get(L"OutputFileName")->pszVal, "D:\\models\\tank.tz2");
  EXPECT_EQ(Get(L"scale"), nullptr);  // names match exactly
  EXPECT_EQ(ip->GetNumProperties(PROPSET_USERDEFINED), 4);
}

TEST_F(CustomPropertiesTest, AddingAnExistingNameReplacesItInPlace) {
  PROPVARIANT a, b;
  a.vt = VT_R4; a.fltVal = 1;
  b.vt = VT_I4; b.lVal = 5;
  Add(L"LODDistance2", a);
  Add(L"LODDistance3", a);
  Add(L"LODDistance2", b);
  const PROPSPEC s = Spec(L"LODDistance2");
  EXPECT_EQ(ip->FindProperty(PROPSET_USERDEFINED, &s), 0);
  EXPECT_EQ(Get(L"LODDistance2")->vt, VT_I4);
  EXPECT_EQ(ip->GetNumProperties(PROPSET_USERDEFINED), 2);
}

TEST_F(CustomPropertiesTest, OtherSetsAndBadRecordsHoldNothing) {
  PROPVARIANT v;
  v.vt = VT_R4; v.fltVal = 1;
  const PROPSPEC s = Spec(L"X");
  ip->AddProperty(PROPSET_SUMMARYINFO, &s, &v);
  EXPECT_EQ(ip->FindProperty(PROPSET_SUMMARYINFO, &s), -1);
  EXPECT_EQ(ip->FindProperty(PROPSET_USERDEFINED, &s), -1);
  PROPVARIANT bad;
  bad.vt = 77;
  ip->AddProperty(PROPSET_USERDEFINED, &s, &bad);
  EXPECT_EQ(ip->FindProperty(PROPSET_USERDEFINED, &s), -1);
  EXPECT_EQ(ip->GetPropertyVariant(PROPSET_USERDEFINED, 0), nullptr);
}

}  // namespace
