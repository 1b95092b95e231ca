// PackedBitArray: bit layout, straddling elements, reserve rule and the written bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "collect/ByteStream.h"
#include "collect/PackedBitArray.h"

namespace {

std::vector<std::uint8_t> Bytes(const ByteStream& s) { return {s.Buffer(), s.Buffer() + s.Size()}; }

TEST(PackedBitArray, Width5SevenElementsStraddleAndWriteTwoWords) {
  PackedBitArray a(5, 0);
  EXPECT_EQ(a.Mask(), 0x1Fu);
  const std::uint32_t values[7] = {1, 2, 3, 4, 5, 6, 0x1D};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(a.Append(values[i]), i);
  EXPECT_EQ(a.Capacity(), 16u);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(a.Get(i), values[i]);
  // Element 6 occupies bits 30..34: its low two bits (0b01) at the top of word 0, its high
  // three bits (0b111) at the bottom of word 1.
  std::uint32_t w0 = 0;
  for (int i = 0; i < 6; ++i) w0 |= values[i] << (5 * i);
  w0 |= (0x1Du & 3u) << 30;
  EXPECT_EQ(a.Words()[0], w0);
  EXPECT_EQ(a.Words()[1], 0x1Du >> 2);

  ByteStream s(4, 0);
  a.Write(s);
  ASSERT_EQ(s.Size(), 2u + 1u + 8u);
  const std::vector<std::uint8_t> expected = {
      7, 0, 5,
      static_cast<std::uint8_t>(w0), static_cast<std::uint8_t>(w0 >> 8),
      static_cast<std::uint8_t>(w0 >> 16), static_cast<std::uint8_t>(w0 >> 24),
      0x07, 0, 0, 0};
  EXPECT_EQ(Bytes(s), expected);
}

TEST(PackedBitArray, SetReplacesOnlyItsOwnBits) {
  PackedBitArray a(5, 8);
  for (int i = 0; i < 8; ++i) a.Append(0x1F);
  a.Set(6, 0);  // the straddling element
  for (int i = 0; i < 8; ++i) EXPECT_EQ(a.Get(i), i == 6 ? 0u : 0x1Fu) << i;
  a.Set(6, 0xFFu);  // oversized: masked to the width, neighbours untouched
  EXPECT_EQ(a.Get(5), 0x1Fu);
  EXPECT_EQ(a.Get(6), 0x1Fu);
  EXPECT_EQ(a.Get(7), 0x1Fu);
}

TEST(PackedBitArray, Width32HasAFullMaskAndOneWordPerElement) {
  PackedBitArray a(32, 0);
  EXPECT_EQ(a.Mask(), 0xFFFFFFFFu);
  a.Append(0xDEADBEEFu);
  a.Append(0x01234567u);
  EXPECT_EQ(a.Words()[0], 0xDEADBEEFu);
  EXPECT_EQ(a.Words()[1], 0x01234567u);
  EXPECT_EQ(a.Get(1), 0x01234567u);
  ByteStream s(0, 0);
  a.Write(s);
  EXPECT_EQ(Bytes(s), (std::vector<std::uint8_t>{2, 0, 32, 0xEF, 0xBE, 0xAD, 0xDE,
                                                 0x67, 0x45, 0x23, 0x01}));
}

TEST(PackedBitArray, ReserveKeepsElementsAndAppendDoubles) {
  PackedBitArray a(19, 3);
  EXPECT_EQ(a.Capacity(), 3u);
  for (std::uint32_t i = 0; i < 3; ++i) a.Append(0x40000u + i);
  a.Append(7);
  EXPECT_EQ(a.Capacity(), 6u);
  a.Reserve(40);
  a.Reserve(1);  // never below the count
  EXPECT_EQ(a.Capacity(), 4u);
  for (std::uint32_t i = 0; i < 3; ++i) EXPECT_EQ(a.Get(i), 0x40000u + i);
  EXPECT_EQ(a.Get(3), 7u);
  // Only the words covering the count are written: 4 × 19 bits = 3 words.
  ByteStream s(0, 0);
  a.Write(s);
  EXPECT_EQ(s.Size(), 3u + 3u * 4u);
}

TEST(PackedBitArray, EmptyArrayWritesOnlyItsHeaderAndFullArrayRefusesAppend) {
  PackedBitArray empty(12, 0);
  ByteStream s(0, 0);
  empty.Write(s);
  EXPECT_EQ(Bytes(s), (std::vector<std::uint8_t>{0, 0, 12}));

  PackedBitArray bits(1, 0);
  for (std::uint32_t i = 0; i < PackedBitArray::kMaxCapacity; ++i)
    ASSERT_EQ(bits.Append(i & 1u), static_cast<int>(i));
  EXPECT_EQ(bits.Capacity(), PackedBitArray::kMaxCapacity);
  EXPECT_EQ(bits.Append(1), -1);
  EXPECT_EQ(bits.Count(), PackedBitArray::kMaxCapacity);
  EXPECT_EQ(bits.Get(PackedBitArray::kMaxCapacity - 1), 0u);
}

}  // namespace
