// Parts: the parts table ("Main", shared and case-differing group names), each bone's part
// and part-root marker, and the parts section read back through the TZ2 reader.
#include "TZ2_Export/scene/Parts.h"

#include <fstream>
#include <iterator>

#include "TZ2_Export/format/ModelHeader.h"
#include "TZ2_Export/format/Tz2Reader.h"
#include "tests/TZ2_Export/skeleton/BoneFixture.h"

namespace tz2 {
namespace {

class PartsTest : public BoneFixture {
 protected:
  // Group nodes as top-level bones and group list entries, in the given (sorted) order.
  void Groups(std::initializer_list<const char*> names) {
    for (const char* name : names) {
      INode* g = build::Dummy(name);
      s.groupList.Append(g);
      s.boneList.Append(g);
    }
  }
  // The parts section bytes as WriteParts writes them.
  std::vector<std::uint8_t> SectionBytes() {
    const std::string path = TempDir() + "/parts.bin";
    {
      OutputFile file;
      EXPECT_TRUE(file.Create(path));
      WriteParts(file, s);
      EXPECT_TRUE(file.Commit());
    }
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
  }
  // The section inside a minimal complete file, read back by the reader.
  std::vector<Part> ReadBack() {
    const std::vector<std::uint8_t> parts = SectionBytes();
    ModelHeader h;
    h.magic = kModelMagic;
    h.version = kModelVersion;
    h.materialOffset = 90;
    h.meshOffset = 92;
    h.hitMeshOffset = 92;
    h.partsOffset = 94;
    h.collisionOffset = static_cast<std::uint32_t>(94 + parts.size());
    const HeaderBytes hb = SerializeHeader(h);
    std::vector<std::uint8_t> file(hb.begin(), hb.end());
    file.insert(file.end(), {0, 0, 0, 0});  // no materials, no hit meshes
    file.insert(file.end(), parts.begin(), parts.end());
    file.insert(file.end(), {0, 0});  // no collision boxes
    Tz2File f;
    std::string error;
    EXPECT_TRUE(ReadTz2(file, f, error)) << error;
    return f.parts;
  }
  static std::vector<std::pair<std::string, int>> NamesAndKinds(const std::vector<Part>& parts) {
    std::vector<std::pair<std::string, int>> out;
    for (const Part& p : parts) out.emplace_back(p.name, p.kind);
    return out;
  }
  std::vector<int> TableParts() const {
    std::vector<int> parts;
    for (const PartRecord& r : s.partsTable) parts.push_back(r.part);
    return parts;
  }
};

using NamesKinds = std::vector<std::pair<std::string, int>>;

TEST_F(PartsTest, GroupsOnlyHaveNoMainPart) {
  Groups({"GR_hull", "GR_turret"});
  BuildParts(s);
  EXPECT_FALSE(HasMainPart(s));
  EXPECT_EQ(s.groupCount, 2);
  EXPECT_EQ(TableParts(), (std::vector<int>{0, 1}));
  EXPECT_EQ(s.partsTable[1].bone, 1);
  EXPECT_EQ(NamesAndKinds(ReadBack()), (NamesKinds{{"hull", 0}, {"turret", 0}}));
}

TEST_F(PartsTest, SkeletonWithoutGroupsIsMainOnly) {
  SetBones({build::Dummy("Bip01"), build::Dummy("")});
  BuildParts(s);
  EXPECT_EQ(s.groupCount, 1);
  ASSERT_EQ(s.partsTable.size(), 1u);
  const PartRecord& main = s.partsTable[0];
  EXPECT_EQ((std::vector<int>{main.part, main.grh, main.single, main.firstOfSeveral, main.bone}),
            (std::vector<int>{0, 0, 1, 1, 0xFF}));
  EXPECT_EQ(NamesAndKinds(ReadBack()), (NamesKinds{{"Main", 0xFF}}));
  const std::vector<std::uint8_t> bytes = SectionBytes();
  ASSERT_EQ(bytes.size(), 22u);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 5, bytes.begin() + 21), std::vector<std::uint8_t>(16, 0));
}

TEST_F(PartsTest, SharedNamesMakeOnePartAndCaseMakesTwo) {
  s.boneList.Append(build::Dummy("Body"));  // "Main" exists: records are shifted by one
  Groups({"GR_door", "GR_Door", "GR_door", "GRH_door"});
  BuildParts(s);
  EXPECT_EQ(s.groupCount, 4);
  EXPECT_EQ(TableParts(), (std::vector<int>{0, 1, 2, 1, 3}));
  const PartRecord& first = s.partsTable[1];
  const PartRecord& again = s.partsTable[3];
  EXPECT_EQ((std::vector<int>{first.single, first.firstOfSeveral, again.single, again.firstOfSeveral}),
            (std::vector<int>{0, 1, 0, 0}));
  EXPECT_EQ(s.partsTable[2].single, 1);
  EXPECT_EQ(s.partsTable[4].grh, 1);
  EXPECT_EQ(s.partsTable[3].bone, 3);
  EXPECT_EQ(NamesAndKinds(ReadBack()), (NamesKinds{{"Main", 0xFF}, {"door", 0}, {"Door", 0}, {"door", 1}}));
}

TEST_F(PartsTest, LongNamesFillTwentyBytesWithoutTerminator) {
  Groups({"gr_abcdefghijklmnopqrstuvwxyz", "Grh_x"});
  BuildParts(s);
  const std::vector<std::uint8_t> bytes = SectionBytes();
  ASSERT_EQ(bytes.size(), 1u + 2 * 21);
  EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 21), "abcdefghijklmnopqrst");
  EXPECT_EQ(bytes[21], 0);  // the kind follows at once
  EXPECT_EQ(NamesAndKinds(ReadBack()), (NamesKinds{{"abcdefghijklmnopqrst", 0}, {"x", 1}}));
}

TEST_F(PartsTest, MoreThanSixtyPartsAreTooManyButWrittenInFull) {
  const struct {
    int groups;
    bool main, tooMany;
  } cases[] = {{60, false, false}, {61, false, true}, {59, true, false}, {60, true, true}};
  for (const auto& c : cases) {
    NextExport();
    if (c.main) s.boneList.Append(build::Dummy("Body"));
    std::vector<INode*> groups;
    for (int i = 0; i < c.groups; ++i) {
      INode* g = build::Dummy("GR_g" + std::to_string(100 + i));
      s.groupList.Append(g);
      s.boneList.Append(g);
    }
    BuildParts(s);
    EXPECT_EQ(s.groupCount, c.groups + (c.main ? 1 : 0));
    EXPECT_EQ(HasTooManyGroups(s), c.tooMany) << c.groups << c.main;
    const std::vector<Part> parts = ReadBack();
    ASSERT_EQ(parts.size(), static_cast<std::size_t>(s.groupCount));
    EXPECT_EQ(parts.back().name, "g" + std::to_string(100 + c.groups - 1));
  }
}

TEST_F(PartsTest, EachBoneBelongsToTheNearestGroupAbove) {
  INode* root = build::Dummy("Root");
  INode* car = build::Dummy("GR_Car", root);
  INode* frame = build::Dummy("Frame", car);  // not a bone
  INode* axle = build::Dummy("Axle", frame);
  INode* wheel = build::Dummy("Wheel", axle);
  INode* hatch = build::Dummy("GRH_Hatch", car);
  INode* lid = build::Dummy("Lid", hatch);
  INode* lost = build::Dummy("GR_Lost", root);  // a group node missing from the group list
  INode* pin = build::Dummy("Pin", lost);
  SetBones({root, car, axle, wheel, hatch, lid, lost, pin});
  s.groupList.Append(car);
  s.groupList.Append(hatch);
  BuildParts(s);
  EXPECT_EQ(TableParts(), (std::vector<int>{0, 1, 2}));
  BuildBonePartRecords(s);
  std::vector<std::pair<int, int>> records;
  for (const BonePartRecord& r : s.bonePartRecords) records.emplace_back(r.part, r.grh);
  EXPECT_EQ(records, (std::vector<std::pair<int, int>>{
                         {0, 0}, {1, 0}, {1, 0}, {1, 0}, {2, 1}, {2, 1}, {0xFF, 0}, {0xFF, 0}}));
  EXPECT_EQ(PartRootMarkers(s), (std::vector<std::uint8_t>{1, 1, 0, 0, 1, 0, 1, 0}));
}

}  // namespace
}  // namespace tz2
