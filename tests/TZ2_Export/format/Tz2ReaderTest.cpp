// The model header's byte layout and the reader's checks on placement and counts.
#include <gtest/gtest.h>

#include <cstring>

#include "TZ2_Export/format/Tz2Reader.h"

namespace tz2 {
namespace {

std::uint32_t U32At(const HeaderBytes& b, std::size_t off) {
  return std::uint32_t(b[off]) | std::uint32_t(b[off + 1]) << 8 | std::uint32_t(b[off + 2]) << 16 |
         std::uint32_t(b[off + 3]) << 24;
}

TEST(ModelHeader, FieldsSitAtTheirPackedOffsets) {
  ModelHeader h;
  h.magic = kModelMagic;
  h.version = kModelVersion;
  h.meshLevelCount = 5;
  h.frameCount = 31;
  h.materialOffset = 0x11111111;
  h.animationOffset = 0x22222222;
  h.meshOffset = 0x33333333;
  h.cameraOffset = 0x44444444;
  h.hitMeshOffset = 0x55555555;
  h.partsOffset = 0x66666666;
  h.collisionOffset = 0x77777777;
  h.fov = DefaultFov();
  h.flags = kFlagTwoSidedLighting | kFlagCameraRotationPort;
  h.lodDistances[5] = 15000;
  const HeaderBytes b = SerializeHeader(h);
  EXPECT_EQ(b[0], 0x69);
  EXPECT_EQ(b[1], 0x45);
  EXPECT_EQ(b[2], 6);
  EXPECT_EQ(b[3], 5);
  EXPECT_EQ(b[4], 31);
  const std::size_t offsets[] = {6, 10, 14, 18, 22, 26, 30};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(U32At(b, offsets[i]), 0x11111111u * (i + 1)) << offsets[i];
  EXPECT_EQ(U32At(b, 58), 0x3FC90FD8u);
  EXPECT_EQ(U32At(b, 62), 10u);
  float culling;
  std::memcpy(&culling, &b[86], 4);
  EXPECT_EQ(culling, 15000.0f);
  EXPECT_FLOAT_EQ(DefaultFov(), 1.5707960f);

  const ModelHeader back = ParseHeader(b.data());
  EXPECT_EQ(back.collisionOffset, h.collisionOffset);
  EXPECT_EQ(back.flags, h.flags);
}

// A minimal complete file: header, materials (one name), empty mesh section, hit meshes,
// parts and collision boxes with zero counts.
std::vector<std::uint8_t> MinimalFile() {
  ModelHeader h;
  h.magic = kModelMagic;
  h.version = kModelVersion;
  std::vector<std::uint8_t> body = {1, 0, 5, 'W', 'O', 'O', 'D', 0};  // materials
  h.materialOffset = 90;
  h.meshOffset = 90 + 8;  // empty mesh section
  h.hitMeshOffset = 98;
  body.insert(body.end(), {0, 0});  // no hit meshes
  h.partsOffset = 100;
  body.push_back(0);  // no parts
  h.collisionOffset = 101;
  body.insert(body.end(), {0, 0});  // no boxes
  const HeaderBytes hb = SerializeHeader(h);
  std::vector<std::uint8_t> file(hb.begin(), hb.end());
  for (std::uint8_t b : body) file.push_back(b);
  return file;
}

TEST(Tz2Reader, ReadsAMinimalFile) {
  Tz2File f;
  std::string error;
  ASSERT_TRUE(ReadTz2(MinimalFile(), f, error)) << error;
  ASSERT_EQ(f.materials.names.size(), 1u);
  EXPECT_EQ(f.materials.names[0], "WOOD");
  EXPECT_EQ(f.extents[2].begin, f.extents[2].end);  // the empty mesh section
}

TEST(Tz2Reader, ReportsDamageWithoutReadingOutOfBounds) {
  struct Case {
    const char* what;
    void (*damage)(std::vector<std::uint8_t>&);
    const char* expected;
  };
  const Case cases[] = {
      {"short header", [](std::vector<std::uint8_t>& f) { f.resize(89); }, "header"},
      {"version", [](std::vector<std::uint8_t>& f) { f[2] = 5; }, "version 5"},
      {"material count too large", [](std::vector<std::uint8_t>& f) { f[90] = 200; }, "materials section"},
      {"unterminated name", [](std::vector<std::uint8_t>& f) { f[90 + 7] = 'X'; }, "zero-terminated"},
      {"offset past the end", [](std::vector<std::uint8_t>& f) { f[30] = 0xFF; f[31] = 0xFF; }, "outside the file"},
      {"gap before a section", [](std::vector<std::uint8_t>& f) { f[22] = 99; }, "previous section ends"},
      {"trailing bytes", [](std::vector<std::uint8_t>& f) { f.push_back(0); f[26] = 101; f[30] = 102; }, "previous section ends"},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> file = MinimalFile();
    c.damage(file);
    Tz2File f;
    std::string error;
    EXPECT_FALSE(ReadTz2(file, f, error)) << c.what;
    EXPECT_NE(error.find(c.expected), std::string::npos) << c.what << ": " << error;
  }
}

}  // namespace
}  // namespace tz2
