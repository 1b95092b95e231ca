// PackedBitArray storage, element access across word boundaries, and serialisation.
#include "collect/PackedBitArray.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "collect/ByteStream.h"

PackedBitArray::PackedBitArray(std::uint8_t width, std::uint16_t initialCapacity) {
  width_ = width < 1 ? 1 : (width > 32 ? 32 : width);
  mask_ = 0xFFFFFFFFu >> (32 - width_);
  if (initialCapacity != 0) Reserve(initialCapacity);
}

PackedBitArray::PackedBitArray(PackedBitArray&& other) noexcept
    : capacity_(std::exchange(other.capacity_, 0)),
      count_(std::exchange(other.count_, 0)),
      words_(std::exchange(other.words_, nullptr)),
      width_(other.width_),
      mask_(other.mask_) {}

PackedBitArray& PackedBitArray::operator=(PackedBitArray&& other) noexcept {
  if (this != &other) {
    Destroy();
    capacity_ = std::exchange(other.capacity_, 0);
    count_ = std::exchange(other.count_, 0);
    words_ = std::exchange(other.words_, nullptr);
    width_ = other.width_;
    mask_ = other.mask_;
  }
  return *this;
}

void PackedBitArray::Reserve(std::uint16_t n) {
  if (n < count_) n = count_;
  const std::uint32_t oldWords = WordsFor(capacity_);
  const std::uint32_t newWords = WordsFor(n);
  capacity_ = n;
  if (newWords == oldWords) return;
  std::uint32_t* block = nullptr;
  if (newWords > 0) {
    block = static_cast<std::uint32_t*>(std::calloc(newWords, sizeof(std::uint32_t)));
    const std::uint32_t used = WordsFor(count_);
    if (used > 0) std::memcpy(block, words_, used * sizeof(std::uint32_t));
  }
  std::free(words_);
  words_ = block;
}

void PackedBitArray::Set(std::uint32_t i, std::uint32_t value) {
  if (i >= capacity_) return;
  value &= mask_;
  const std::uint32_t bit = i * width_;
  const std::uint32_t word = bit / 32, shift = bit % 32;
  words_[word] = (words_[word] & ~(mask_ << shift)) | (value << shift);
  if (shift + width_ > 32) {
    // The high bits continue in the low bits of the next word.
    const std::uint32_t low = 32 - shift;
    const std::uint32_t highMask = mask_ >> low;
    words_[word + 1] = (words_[word + 1] & ~highMask) | (value >> low);
  }
}

std::uint32_t PackedBitArray::Get(std::uint32_t i) const {
  if (i >= capacity_) return 0;
  const std::uint32_t bit = i * width_;
  const std::uint32_t word = bit / 32, shift = bit % 32;
  std::uint32_t value = words_[word] >> shift;
  if (shift + width_ > 32) value |= words_[word + 1] << (32 - shift);
  return value & mask_;
}

int PackedBitArray::Append(std::uint32_t value) {
  if (count_ == kMaxCapacity) return -1;
  if (count_ == capacity_) {
    const std::uint32_t grown = capacity_ == 0 ? kFirstCapacity : 2u * capacity_;
    Reserve(static_cast<std::uint16_t>(grown > kMaxCapacity ? kMaxCapacity : grown));
  }
  Set(count_, value);
  return count_++;
}

void PackedBitArray::Write(ByteStream& stream) const {
  WriteU16(stream, count_);
  WriteU8(stream, width_);
  const std::uint32_t used = WordsFor(count_);
  for (std::uint32_t w = 0; w < used; ++w) WriteU32(stream, words_[w]);
}

void PackedBitArray::Destroy() {
  std::free(words_);
  words_ = nullptr;
  capacity_ = 0;
  count_ = 0;
}
