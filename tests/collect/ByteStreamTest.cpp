// ByteStream: growth by step or doubling, size versus position, little-endian fields.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "collect/ByteStream.h"

namespace {

TEST(ByteStream, OneWriteBeyondTheInitialCapacityGrowsToNeedPlusStep) {
  ByteStream s(10000, 50000);
  EXPECT_EQ(s.Capacity(), 10000u);
  std::vector<std::uint8_t> bytes(10001);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  s.Write(bytes.data(), 10001);
  EXPECT_EQ(s.Capacity(), 10001u + 50000u);
  EXPECT_EQ(s.Size(), 10001u);
  EXPECT_EQ(s.Position(), 10001u);
  EXPECT_EQ(std::vector<std::uint8_t>(s.Buffer(), s.Buffer() + s.Size()), bytes);
}

TEST(ByteStream, ZeroStepDoublesTheNeed) {
  ByteStream s(4, 0);
  const std::uint8_t six[6] = {1, 2, 3, 4, 5, 6};
  s.Write(six, 3);
  EXPECT_EQ(s.Capacity(), 4u);
  s.Write(six, 6);  // need 9
  EXPECT_EQ(s.Capacity(), 18u);
  EXPECT_EQ(s.Size(), 9u);
  EXPECT_EQ(s.Buffer()[3], 1);
  EXPECT_EQ(s.Buffer()[8], 6);

  ByteStream empty;
  WriteU8(empty, 0xAB);
  EXPECT_EQ(empty.Capacity(), 2u);
  EXPECT_EQ(empty.Buffer()[0], 0xAB);
}

TEST(ByteStream, SeekPatchesWithoutShrinkingTheSize) {
  ByteStream s(8, 8);
  WriteU32(s, 0);
  WriteU32(s, 0x11223344u);
  EXPECT_EQ(s.Seek(0), 0u);
  WriteU16(s, 0xBEEF);
  EXPECT_EQ(s.Position(), 2u);
  EXPECT_EQ(s.Size(), 8u);
  EXPECT_EQ(ReadU16(s.Buffer()), 0xBEEF);
  EXPECT_EQ(ReadU32(s.Buffer() + 4), 0x11223344u);
  EXPECT_EQ(s.Seek(100), 8u);  // never past the valid bytes
}

TEST(ByteStream, WritingItsOwnBytesSurvivesTheGrowth) {
  ByteStream s(4, 0);
  WriteU32(s, 0x04030201u);
  s.Write(s.Buffer(), s.Size());  // grows while the source is the old buffer
  EXPECT_EQ(s.Size(), 8u);
  EXPECT_EQ(ReadU32(s.Buffer() + 4), 0x04030201u);
  s.Seek(1);
  s.Write(s.Buffer(), 4);  // overlapping source and destination
  EXPECT_EQ(ReadU32(s.Buffer() + 1), 0x04030201u);
}

TEST(ByteStream, FieldsAreLittleEndianAndPacked) {
  ByteStream s(1, 0);
  WriteU8(s, 0x01);
  WriteU16(s, 0x0302);
  WriteU32(s, 0x07060504u);
  WriteI16(s, -2);
  WriteI32(s, -3);
  WriteF32(s, 1.0f);
  const std::vector<std::uint8_t> expected = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07,
                                              0xFE, 0xFF, 0xFD, 0xFF, 0xFF, 0xFF,
                                              0x00, 0x00, 0x80, 0x3F};
  EXPECT_EQ(std::vector<std::uint8_t>(s.Buffer(), s.Buffer() + s.Size()), expected);
  EXPECT_EQ(ReadF32(s.Buffer() + 13), 1.0f);
}

TEST(ByteStream, MoveTransfersTheBuffer) {
  ByteStream a(16, 0);
  WriteU32(a, 42);
  ByteStream b(std::move(a));
  EXPECT_EQ(a.Buffer(), nullptr);
  EXPECT_EQ(a.Size(), 0u);
  ASSERT_EQ(b.Size(), 4u);
  EXPECT_EQ(ReadU32(b.Buffer()), 42u);
  b.Destroy();
  EXPECT_EQ(b.Capacity(), 0u);
}

}  // namespace
