// PackedBitArray: small unsigned values packed at a fixed bit width (1 to 32) in 32-bit words.
//
// Element i occupies bits i×width to i×width+width−1 of the word sequence, counted from bit 0
// of word 0; an element may straddle two words (its low bits in the high bits of one word,
// its high bits in the low bits of the next). The storage always holds
// (width×capacity+31)/32 words; words beyond the elements in use are zero.
// Write appends to a ByteStream: the count (u16 LE), the width (u8), then the
// (count×width+31)/32 words covering the elements in use (u32 LE each).
// Limits: counts are 16-bit, so the array holds at most 65535 elements; growth stops there
// and Append on a full array returns -1 without writing. Set masks its value to the width so
// that an oversized value never spills into a neighbour. A width outside 1..32 is clamped.
// The array owns its words (freed by Destroy or the destructor); movable, not copyable.
#pragma once

#include <cstdint>

class ByteStream;

class PackedBitArray {
 public:
  static constexpr std::uint16_t kFirstCapacity = 16;
  static constexpr std::uint16_t kMaxCapacity = 0xFFFF;

  PackedBitArray(std::uint8_t width, std::uint16_t initialCapacity);
  ~PackedBitArray() { Destroy(); }
  PackedBitArray(const PackedBitArray&) = delete;
  PackedBitArray& operator=(const PackedBitArray&) = delete;
  PackedBitArray(PackedBitArray&& other) noexcept;
  PackedBitArray& operator=(PackedBitArray&& other) noexcept;

  std::uint16_t Capacity() const { return capacity_; }
  std::uint16_t Count() const { return count_; }
  std::uint8_t Width() const { return width_; }
  std::uint32_t Mask() const { return mask_; }
  const std::uint32_t* Words() const { return words_; }
  // Words needed for n elements at this width.
  std::uint32_t WordsFor(std::uint32_t n) const { return (n * width_ + 31) / 32; }

  // Sets the capacity to n (never below the count); reallocates only when the number of
  // words changes.
  void Reserve(std::uint16_t n);
  // Element i; a slot at or beyond the capacity is ignored by Set and reads as 0.
  void Set(std::uint32_t i, std::uint32_t value);
  std::uint32_t Get(std::uint32_t i) const;
  // Appends value (growing to twice the capacity, 16 at first); returns its index, or -1
  // when the array already holds kMaxCapacity elements.
  int Append(std::uint32_t value);
  // Appends count, width and the words in use to the stream.
  void Write(ByteStream& stream) const;

  void Destroy();

 private:
  std::uint16_t capacity_ = 0;
  std::uint16_t count_ = 0;
  std::uint32_t* words_ = nullptr;
  std::uint8_t width_ = 1;
  std::uint32_t mask_ = 1;
};
