// The mesh section: level counts and targets, the 127000-index limit, two-sided twins, the
// class without animation, 32-bit base indices, the 16-bit batch limits, the read-back of the
// written section, and whole sections against the plain welding, merging and cache order.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "TZ2_Export/format/MeshSection.h"
#include "TZ2_Export/geometry/LodMeshes.h"
#include "host/Interface.h"
#include "host/standalone/Scene.h"
#include "platform/Desktop.h"
#include "platform/MessageBox.h"
#include "tests/TZ2_Export/geometry/BatchOracle.h"
#include "tests/TZ2_Export/geometry/MeshSectionFixtures.h"

using namespace tz2;
using mesh_fixtures::GridChunk;
using mesh_fixtures::GridSpec;
using mesh_fixtures::MakeSurface;

namespace {

class LodMeshes : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetPlatform();
    ResetScene();
    dir_ = std::filesystem::temp_directory_path() / ("tz2_lod_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                                     "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    std::filesystem::remove_all(dir_);
    s_.Release();
  }

  void Reset(bool lod, bool animation = false, std::uint32_t materials = 1, std::uint32_t twoSided = 0,
             bool twoSidedLighting = false) {
    ExportOptions o;
    o.GenerateLOD = lod;
    o.ExportAnimation = animation;
    o.TwoSidedLighting = twoSidedLighting;
    mesh_fixtures::ResetState(s_, o, materials, twoSided);
    s_.host = GetCOREInterface();
  }

  // Writes the section into a file and reads it back.
  bool WriteAndRead(MeshSection& out, ModelHeader& header, bool check = false) {
    const std::string target = (dir_ / "mesh.bin").string();
    if (check && !CheckMeshLimits(s_)) return false;
    OutputFile file;
    EXPECT_TRUE(file.Create(target));
    const bool written = WriteLodMeshes(file, s_, mesh_fixtures::IdentityTable(static_cast<std::uint32_t>(s_.materialList.size())), header);
    EXPECT_TRUE(file.Commit());
    std::ifstream in(target, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    ByteCursor c(bytes, 0);
    EXPECT_TRUE(ReadMeshSection(c, header.meshLevelCount, out)) << c.Error();
    EXPECT_EQ(c.Position(), bytes.size());
    return written;
  }

  std::vector<std::uint8_t> Section(const LodHooks& hooks) {
    LodBuild b = BuildLodModel(s_, nullptr, hooks);
    ByteStream stream(100, 100);
    if (b.model) WriteModel(*b.model, PartRecords::Of(s_.bonePartRecords), stream);
    return {stream.Buffer(), stream.Buffer() + stream.Size()};
  }

  ExportState s_;
  std::filesystem::path dir_;
};

std::uint32_t LevelTriangles(const MeshSection& m, std::size_t entry) {
  std::uint32_t n = 0;
  for (const MeshBaseBatch& b : m.batches) n += static_cast<std::uint32_t>(b.levels[entry].indices.size() / 3);
  return n;
}

std::uint32_t BaseTriangles(const MeshSection& m) {
  std::uint32_t n = 0;
  for (const MeshBaseBatch& b : m.batches) n += static_cast<std::uint32_t>(b.indices.size() / 3);
  return n;
}

// Structural checks every written section must pass.
void ExpectSound(const MeshSection& m) {
  std::size_t total = 0;
  for (int c = 0; c < 6; ++c) total += m.classCounts[c];
  ASSERT_EQ(total, m.batches.size());
  for (const MeshBaseBatch& b : m.batches) {
    EXPECT_EQ(b.header.vertexCount, b.vertices.size());
    EXPECT_LE(b.header.vertexRange, b.header.vertexCount);
    for (std::uint16_t i : b.indices) EXPECT_LT(i, b.header.vertexRange);
    for (const MeshVertex& v : b.vertices)
      for (int k = 0; k < b.skinClass / 2 + 1; ++k) EXPECT_LT(v.bones[k], b.header.paletteCount);
    ASSERT_EQ(b.levels.size(), m.levelsAfterBase);
    for (const MeshEntry& e : b.levels) {
      EXPECT_EQ(e.header.vertexCount, 0);
      EXPECT_EQ(e.header.paletteCount, b.header.paletteCount);
      for (std::uint16_t i : e.indices) EXPECT_LT(i, e.header.vertexRange);
      EXPECT_LE(e.header.vertexRange, std::max<std::uint16_t>(b.header.vertexCount, 1));
    }
  }
}

}  // namespace

TEST_F(LodMeshes, LevelCountsAndTargetsFollowTheFaceCount) {
  struct Case {
    std::uint32_t nx, ny;
    std::uint8_t levels;
    std::vector<std::uint32_t> targets;
  } cases[] = {{15, 5, 1, {}}, {10, 10, 3, {160, 120}}, {25, 20, 5, {800, 550, 300, 120}}};
  for (const Case& c : cases) {
    Reset(true);
    GridSpec g;
    g.nx = c.nx, g.ny = c.ny;
    s_.surfaceList.push_back(MakeSurface(0, {GridChunk(g)}));
    MeshSection m;
    ModelHeader header;
    ASSERT_TRUE(WriteAndRead(m, header));
    EXPECT_EQ(header.meshLevelCount, c.levels) << c.nx;
    EXPECT_EQ(m.levelsAfterBase, c.levels - 1);
    EXPECT_EQ(BaseTriangles(m), 2 * c.nx * c.ny);
    ExpectSound(m);
    for (std::size_t l = 0; l < c.targets.size(); ++l) {
      EXPECT_LE(LevelTriangles(m, l), c.targets[l]) << c.nx << " level " << l + 2;
      EXPECT_GE(LevelTriangles(m, l) + 8, c.targets[l]) << c.nx << " level " << l + 2;
    }
    s_.Release();
  }
}

TEST_F(LodMeshes, NoFacesWritesNothingAndNoLevelsWithoutGenerateLod) {
  Reset(true);
  MeshSection m;
  ModelHeader header;
  ASSERT_TRUE(WriteAndRead(m, header));
  EXPECT_EQ(header.meshLevelCount, 0);
  EXPECT_TRUE(m.batches.empty());

  Reset(false);
  GridSpec g;
  g.nx = g.ny = 20;
  s_.surfaceList.push_back(MakeSurface(0, {GridChunk(g)}));
  ASSERT_TRUE(WriteAndRead(m, header));
  EXPECT_EQ(header.meshLevelCount, 1);
  EXPECT_EQ(m.levelsAfterBase, 0);
}

TEST_F(LodMeshes, TooManyIndicesDropTheLevelWithOneWarningPerExport) {
  Reset(true);
  GridSpec g;
  g.nx = 120, g.ny = 100;  // 24000 faces: 72000 + 3 × 19200 indices pass 127000
  s_.surfaceList.push_back(MakeSurface(0, {GridChunk(g)}));
  LodBuild first = BuildLodModel(s_, nullptr);
  LodBuild second = BuildLodModel(s_, nullptr);
  EXPECT_EQ(first.levels, 1);
  EXPECT_EQ(second.levels, 1);
  const auto boxes = MessageBoxRecords();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, kLodLimitWarning);
  EXPECT_EQ(boxes[0].caption, "Warning !");
  EXPECT_EQ(boxes[0].Buttons(), MB_OK);
  EXPECT_EQ(boxes[0].Icon(), 0u);
}

TEST_F(LodMeshes, TwoSidedMaterialsGetMirroredTwinsOnlyWithTwoSidedLighting) {
  for (bool lighting : {false, true}) {
    Reset(false, false, 2, 0b01, lighting);
    GridSpec g;
    g.nx = g.ny = 6;
    GridSpec h = g;
    h.offset = 50.0f;
    s_.surfaceList.push_back(MakeSurface(0, {GridChunk(g)}));  // two-sided
    s_.surfaceList.push_back(MakeSurface(1, {GridChunk(h)}));  // one-sided
    MeshSection m;
    ModelHeader header;
    ASSERT_TRUE(WriteAndRead(m, header));
    ExpectSound(m);
    std::uint32_t twoSidedTriangles = 0, frontVertices = 0, backVertices = 0;
    for (const MeshBaseBatch& b : m.batches) {
      if (b.header.material != 0) {
        EXPECT_EQ(b.indices.size() / 3, 72u);
        continue;
      }
      twoSidedTriangles += static_cast<std::uint32_t>(b.indices.size() / 3);
      for (const MeshVertex& v : b.vertices) (v.normal[1] > 0 ? frontVertices : backVertices) += 1;  // z is stored second
    }
    EXPECT_EQ(twoSidedTriangles, lighting ? 144u : 72u);
    EXPECT_EQ(frontVertices, 49u);
    EXPECT_EQ(backVertices, lighting ? 49u : 0u);
  }
}

TEST_F(LodMeshes, WithoutAnimationEveryVertexHasOneWeightOnBoneZero) {
  Reset(true, false);
  GridSpec g;
  g.nx = g.ny = 12;
  g.bones = 6;  // ignored without animation
  GridSpec d = g;
  d.detail = true;
  d.offset = 30.0f;
  s_.surfaceList.push_back(MakeSurface(0, {GridChunk(g), GridChunk(d)}));
  MeshSection m;
  ModelHeader header;
  ASSERT_TRUE(WriteAndRead(m, header));
  ExpectSound(m);
  EXPECT_EQ(m.classCounts[0] + m.classCounts[1], m.batches.size());
  EXPECT_EQ(m.classCounts[0], 1);
  EXPECT_EQ(m.classCounts[1], 1);
  for (const MeshBaseBatch& b : m.batches) {
    EXPECT_EQ(b.header.paletteCount, 1);
    EXPECT_EQ(b.header.palette[0], 0);
    EXPECT_EQ(b.header.usageMask, 1u);
    EXPECT_EQ(b.header.detailMarker, b.skinClass == 1 ? 0 : 0xFFFF);
    EXPECT_EQ(b.header.flag, b.skinClass == 1 ? 255 : 0);
  }
}

TEST_F(LodMeshes, SkinnedSectionReadsBackWithModelSpacePositionsAndWeights) {
  Reset(true, true);
  GridSpec g;
  g.nx = 20, g.ny = 10;
  g.bones = 8;
  s_.surfaceList.push_back(MakeSurface(0, {GridChunk(g)}));
  MeshSection m;
  ModelHeader header;
  ASSERT_TRUE(WriteAndRead(m, header));
  ExpectSound(m);
  EXPECT_EQ(header.meshLevelCount, 5);  // 400 faces: 320, 220, 120, then 10 % raised to 120
  EXPECT_GT(m.classCounts[4], 0);       // three weights, one channel
  for (const MeshBaseBatch& b : m.batches)
    for (const MeshVertex& v : b.vertices) {
      // Grid points lie at multiples of 0.5 in x and y; y is stored third (Y and Z exchanged).
      EXPECT_FLOAT_EQ(std::round(v.position[0] * 2) / 2, v.position[0]);
      EXPECT_FLOAT_EQ(std::round(v.position[2] * 2) / 2, v.position[2]);
      float sum = 0;
      for (int k = 0; k <= b.skinClass / 2; ++k) sum += v.weights[k];
      EXPECT_NEAR(sum, 1.0f, 1e-5f);
    }
}

TEST_F(LodMeshes, BaseMeshIndicesAboveSixteenBitsStayWithTheirSurfaces) {
  Reset(false, false, 4);
  for (std::uint32_t i = 0; i < 4; ++i) {
    GridSpec g;
    g.nx = 1, g.ny = 8300;  // 16602 vertices each: 66408 in the base mesh
    g.bump = 0;
    g.offset = 100.0f * static_cast<float>(i);
    s_.surfaceList.push_back(MakeSurface(i, {GridChunk(g)}));
  }
  MeshSection m;
  ModelHeader header;
  ASSERT_TRUE(WriteAndRead(m, header, true));
  ASSERT_EQ(m.batches.size(), 4u);
  for (const MeshBaseBatch& b : m.batches) {
    EXPECT_EQ(b.indices.size() / 3, 16600u);
    for (const MeshVertex& v : b.vertices) ASSERT_FLOAT_EQ(v.position[1], 100.0f * b.header.material);
  }
}

TEST_F(LodMeshes, BatchesBeyondSixteenBitsAreRefusedBeforeWriting) {
  struct Case {
    std::uint32_t nx, ny;
    const char* limit;
  } cases[] = {{1, 33000, "65535 vertices"}, {200, 170, "65535 triangles"}};
  for (const Case& c : cases) {
    Reset(false);
    GridSpec g;
    g.nx = c.nx, g.ny = c.ny;
    s_.surfaceList.push_back(MakeSurface(0, {GridChunk(g)}));
    ClearMessageBoxRecords();
    EXPECT_FALSE(CheckMeshLimits(s_));
    auto boxes = MessageBoxRecords();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find(c.limit), std::string::npos) << boxes[0].text;
    EXPECT_EQ(boxes[0].caption, "Error");
    // Without the check, the writer refuses too and writes nothing; the old file stays.
    const std::string target = (dir_ / "old.tz2").string();
    std::ofstream(target) << "old";
    OutputFile file;
    ASSERT_TRUE(file.Create(target));
    ModelHeader header;
    EXPECT_FALSE(WriteLodMeshes(file, s_, {0}, header));
    EXPECT_EQ(file.Position(), 0u);
    file.Abandon();
    std::ifstream in(target);
    std::string content;
    in >> content;
    EXPECT_EQ(content, "old");
  }
}

TEST_F(LodMeshes, CheckedModelIsWrittenWithTheFileMaterialIndices) {
  const auto build = [&] {
    Reset(true, false, 3);
    for (std::uint32_t i = 0; i < 3; ++i) {
      GridSpec g;
      g.nx = g.ny = 9;
      g.offset = 20.0f * static_cast<float>(i);
      s_.surfaceList.push_back(MakeSurface(i, {GridChunk(g)}));
    }
  };
  const auto write = [&](bool check, const std::vector<std::uint32_t>& table) {
    if (check) {
      EXPECT_TRUE(CheckMeshLimits(s_));
    }
    const std::string target = (dir_ / "m.bin").string();
    OutputFile file;
    EXPECT_TRUE(file.Create(target));
    ModelHeader header;
    EXPECT_TRUE(WriteLodMeshes(file, s_, table, header));
    EXPECT_TRUE(file.Commit());
    EXPECT_EQ(s_.preparedLodModel, nullptr);
    std::ifstream in(target, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), {});
  };
  for (const auto& table : {std::vector<std::uint32_t>{4, 6, 9}, std::vector<std::uint32_t>{4, 4, 9},
                            std::vector<std::uint32_t>{9, 6, 4}}) {
    build();
    const std::vector<std::uint8_t> checked = write(true, table);
    build();
    const std::vector<std::uint8_t> direct = write(false, table);
    EXPECT_EQ(checked, direct) << table[0] << table[1] << table[2];
    MeshSection m;
    ByteCursor c(direct, 0);
    ASSERT_TRUE(ReadMeshSection(c, 5, m)) << c.Error();
    for (const MeshBaseBatch& b : m.batches) {
      EXPECT_TRUE(b.header.material == table[0] || b.header.material == table[1] || b.header.material == table[2]);
      for (const MeshEntry& e : b.levels) EXPECT_EQ(e.header.material, b.header.material);
    }
  }
}

TEST_F(LodMeshes, SectionsMatchThePlainWeldingMergingAndCacheOrder) {
  struct Scene {
    const char* what;
    bool animation, twoSidedLighting;
    std::vector<Surface> surfaces;
  };
  std::vector<Scene> scenes;
  for (std::uint32_t k = 0; k < 3; ++k) {
    GridSpec g;
    g.nx = 10 + 3 * k, g.ny = 9 + 2 * k, g.bones = 4 + 3 * static_cast<int>(k), g.uvScale = 20.0f + k;
    scenes.push_back({"skinned grid", true, false, {MakeSurface(0, {GridChunk(g)})}});
    scenes.push_back({"skinned sphere with seam", true, false,
                      {MakeSurface(0, {mesh_fixtures::SphereChunk(14 + 2 * k, 9 + k, 3.0f, 5 + static_cast<int>(k))})}});
    GridSpec d = g;
    d.degenerate = 5 + k, d.detail = true, d.offset = 40.0f;
    scenes.push_back({"degenerate and detail faces", k != 1, false,
                      {MakeSurface(0, {GridChunk(g)}), MakeSurface(1, {GridChunk(d)})}});
    GridSpec t = g;
    t.bones = 0;
    scenes.push_back({"two-sided sheets", k == 2, true,
                      {MakeSurface(0, {GridChunk(t)}), MakeSurface(1, {mesh_fixtures::SphereChunk(10, 8, 2.0f, 3)})}});
  }
  for (std::size_t i = 0; i < scenes.size(); ++i) {
    Scene& scene = scenes[i];
    Reset(true, scene.animation, 2, 0b01, scene.twoSidedLighting);
    if (i % 2 == 1) {
      s_.bonePartRecords.resize(16);
      for (int b = 0; b < 16; ++b) s_.bonePartRecords[b] = {static_cast<std::uint8_t>(b / 4), static_cast<std::uint8_t>(b % 2)};
    }
    if (i % 3 == 2)
      for (int row = 1; row < 6; ++row)
        for (int b = 0; b < kMaxBones; ++b) s_.skeletonLodMap[row][b] = static_cast<std::uint8_t>(b / (row + 1));
    s_.surfaceList = scene.surfaces;
    const std::vector<std::uint8_t> fast = Section({});
    const std::vector<std::uint8_t> plain = Section(oracle::Hooks());
    EXPECT_GT(fast.size(), 22u) << scene.what;
    EXPECT_TRUE(fast == plain) << scene.what << " " << i;
  }
}
