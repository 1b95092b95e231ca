// The reader on damaged animation and camera sections: every inconsistency is reported with
// what is wrong, never read past.
#include "tests/TZ2_Export/skeleton/AnimationTestScene.h"

#include <string>

namespace tz2::testing {
namespace {

using AnimationReaderTest = AnimationSceneTest;

// One still bone over 10 frames. Offsets: bone count 0, name 1, parent 21, part 22, part
// root 23, block size 24, position track 28 (key count 28, keys 32, group index 50: count,
// width 52, words 53; key frames 61: count, width 63, words 64; frame counter 72), rotation
// track 74; then 128 bytes of matrices and the six map bytes, the last byte of the section.
TEST_F(AnimationReaderTest, DamagedSectionsAreReportedWithTheProblem) {
  Begin(10);
  AddBone(build::Dummy("Still"));
  Export();
  const std::vector<std::uint8_t> good = bytes;
  ASSERT_EQ(good[52], 19);
  struct Case {
    const char* what;
    std::size_t at;      // byte to change, or SIZE_MAX to cut the last byte
    std::uint8_t value;
    const char* error;
  } cases[] = {
      {"cut", SIZE_MAX, 0, "skeleton map row"},
      {"group width", 52, 18, "width 18"},
      {"group base", 53, 1, "the group index gives key"},
      {"block size", 24, 0, "block size"},
      {"frame counter", 72, 9, "frame counter 9"},
      {"key frame order", 65, 0, "out of order"},
      {"parent", 21, 0, "does not precede it"},
      {"map entry", good.size() - 1, 3, "not a bone"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::uint8_t> damaged = good;
    if (c.at == SIZE_MAX)
      damaged.pop_back();
    else
      damaged[c.at] = c.value;
    ASSERT_NE(damaged, good);
    AnimationSection section;
    ByteCursor cursor(damaged, 0);
    EXPECT_FALSE(ReadAnimationSection(cursor, 10, section));
    EXPECT_NE(cursor.Error().find(c.error), std::string::npos) << cursor.Error();
    EXPECT_FALSE(section.decoded);
  }
}

TEST_F(AnimationReaderTest, CameraSectionSizeMustFitTheFrames) {
  const std::vector<std::uint8_t> bytes(30, 0);
  struct Case {
    std::size_t end;
    std::uint16_t frames;
    bool ok;
  } cases[] = {  // an end of 36 lies past the 30 bytes there are
      {24, 2, true}, {24, 0, true}, {25, 2, false}, {24, 3, false}, {36, 3, false}, {12, 1, true}, {31, 2, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.end);
    CameraSection section;
    ByteCursor cursor(bytes, 0);
    EXPECT_EQ(ReadCameraSection(cursor, c.frames, 0, c.end, section), c.ok) << cursor.Error();
  }
}

}  // namespace
}  // namespace tz2::testing
