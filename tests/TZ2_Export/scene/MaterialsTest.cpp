// Materials: collection (diffuse map rule, sub-materials, first-seen order, opacity), the
// material section as written, and the section read back from a whole export.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "TZ2_Export/format/Tz2Reader.h"
#include "TZ2_Export/scene/NodeClassification.h"
#include "TZ2_Export/scene/Surfaces.h"
#include "TZ2_Export/shell/ExportDriver.h"
#include "host/standalone/Scene.h"
#include "tests/TZ2_Export/scene/SceneFixture.h"

namespace tz2 {
namespace {

class MaterialsTest : public SceneFixture {
 protected:
  std::vector<std::uint8_t> WriteSection(std::vector<std::uint32_t>& table) {
    const std::string path = TempDir() + "/materials.bin";
    {
      OutputFile file;
      EXPECT_TRUE(file.Create(path));
      WriteMaterialSection(file, s, table);
      EXPECT_TRUE(file.Commit());
    }
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  void AddUsed(Mtl* m, std::uint8_t used = 1) {
    MaterialEntry e;
    e.material = m;
    e.used = used;
    s.materialList.push_back(e);
  }
};

TEST_F(MaterialsTest, CollectsTexturedLeavesOnceInFirstSeenOrder) {
  StdMat* wood = build::Material("Wood", "wood.tga");
  StdMat* plain = build::Material("Plain");
  StdMat* glass = build::Material("Glass", "glass.tga");
  glass->SetOpacity(0.25f, 0);
  TexturedMesh("A")->SetMtl(build::Multi("Multi", {glass, plain, nullptr, wood}));
  TexturedMesh("B")->SetMtl(wood);
  TexturedMesh("C")->SetMtl(build::Multi("Again", {build::Multi("Inner", {wood, glass})}));
  GatherScene(s);
  CollectMaterials(s);
  ASSERT_EQ(s.materialList.size(), 2u);
  EXPECT_EQ(s.materialList[0].material, glass);
  EXPECT_EQ(s.materialList[1].material, wood);
  EXPECT_EQ(s.materialList[0].opacity, std::uint8_t((1.0f - glass->GetXParency(0, FALSE)) * 255.0f));
  EXPECT_EQ(s.materialList[1].opacity, 255);
  EXPECT_EQ(s.materialList[0].used, 0);
}

TEST_F(MaterialsTest, EqualSectionNamesAreWrittenOnceAndShareTheirIndex) {
  StdMat* wood1 = build::Material("Wood ", "a.tga");
  StdMat* unused = build::Material("Unused", "b.tga");
  StdMat* wood2 = build::Material("  wood", "c.tga");
  StdMat* metal = build::Material("metal\xE0\xFF", "d.tga");  // Cyrillic small letters
  wood2->SetTwoSided(TRUE);
  AddUsed(wood1);
  AddUsed(unused, 0);
  AddUsed(wood2);
  AddUsed(metal);
  std::vector<std::uint32_t> table;
  const std::vector<std::uint8_t> bytes = WriteSection(table);
  const std::vector<std::uint8_t> expected = {2, 0, 5, 'W', 'O', 'O', 'D', 0, 8, 'M', 'E', 'T', 'A', 'L', 0xC0, 0xDF, 0};
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(table, (std::vector<std::uint32_t>{0, 0xFFFFFFFFu, 0, 1}));
  EXPECT_EQ(s.materialList[2].twoSided, 1u);
  EXPECT_EQ(s.materialList[0].twoSided, 0u);
}

TEST_F(MaterialsTest, EmptyListWritesAZeroCountAndLongNamesKeepTheirLengthByte) {
  std::vector<std::uint32_t> table;
  EXPECT_EQ(WriteSection(table), (std::vector<std::uint8_t>{0, 0}));
  EXPECT_TRUE(table.empty());
  AddUsed(build::Material(std::string(300, 'n'), "x.tga"));
  const std::vector<std::uint8_t> bytes = WriteSection(table);
  ASSERT_EQ(bytes.size(), 2u + 1u + 255u);
  EXPECT_EQ(bytes[2], 255);
  EXPECT_EQ(bytes.back(), 0);
  EXPECT_EQ(MaterialSectionName(" a b "), "A B");
}

TEST_F(MaterialsTest, WholeExportWritesTheUsedMaterialsAndReadsThemBack) {
  TexturedMesh("One")->SetMtl(build::Material("Wood ", "a.tga"));
  TexturedMesh("Two")->SetMtl(build::Material("wood", "b.tga"));
  Mesh hidden = build::Triangle();
  hidden.faces[0].SetHide(true);
  TexturedMesh("Three", nullptr, hidden)->SetMtl(build::Material("Hidden", "c.tga"));
  const std::string path = TempDir() + "/model.tz2";
  ExportOptions o;
  o.Scale = 100;
  o.AnimationQuality = 3;
  ASSERT_EQ(RunExport(&o, path.c_str(), GetCOREInterface()), Ok);
  Tz2File file;
  std::string error;
  ASSERT_TRUE(ReadTz2File(path, file, error)) << error;
  EXPECT_EQ(file.materials.names, (std::vector<std::string>{"WOOD"}));
  EXPECT_FLOAT_EQ(file.header.boundsMin[0], 0.0f);
  EXPECT_FLOAT_EQ(file.header.boundsMax[0], 10.0f);
  EXPECT_FLOAT_EQ(file.header.boundsMax[2], 10.0f);
}

}  // namespace
}  // namespace tz2
