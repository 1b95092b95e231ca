// ByteStream growth, writing and the little-endian field helpers.
#include "collect/ByteStream.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <utility>

ByteStream::ByteStream(std::uint32_t initialCapacity, std::uint32_t growthStep)
    : capacity_(initialCapacity), growthStep_(growthStep) {
  if (capacity_ > 0) buffer_ = static_cast<std::uint8_t*>(std::malloc(capacity_));
}

ByteStream::ByteStream(ByteStream&& other) noexcept
    : capacity_(std::exchange(other.capacity_, 0)),
      growthStep_(other.growthStep_),
      buffer_(std::exchange(other.buffer_, nullptr)),
      position_(std::exchange(other.position_, 0)),
      size_(std::exchange(other.size_, 0)) {}

ByteStream& ByteStream::operator=(ByteStream&& other) noexcept {
  if (this != &other) {
    Destroy();
    capacity_ = std::exchange(other.capacity_, 0);
    growthStep_ = other.growthStep_;
    buffer_ = std::exchange(other.buffer_, nullptr);
    position_ = std::exchange(other.position_, 0);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

std::uint8_t* ByteStream::Grow(std::uint32_t need) {
  const std::uint64_t wanted = growthStep_ != 0 ? std::uint64_t(need) + growthStep_ : 2 * std::uint64_t(need);
  const auto capacity = static_cast<std::uint32_t>(std::min<std::uint64_t>(wanted, UINT32_MAX));
  auto* block = static_cast<std::uint8_t*>(std::malloc(capacity));
  if (size_ > 0) std::memcpy(block, buffer_, size_);
  std::uint8_t* old = buffer_;
  buffer_ = block;
  capacity_ = capacity;
  return old;
}

void ByteStream::Write(const void* bytes, std::uint32_t n) {
  if (n == 0) return;
  if (n > UINT32_MAX - position_) return;  // a stream never exceeds 4 GiB
  const std::uint32_t need = position_ + n;
  // The old block is freed only after the copy: bytes may point into this stream.
  std::uint8_t* old = need > capacity_ ? Grow(need) : nullptr;
  std::memmove(buffer_ + position_, bytes, n);
  std::free(old);
  position_ = need;
  if (position_ > size_) size_ = position_;
}

std::uint32_t ByteStream::Seek(std::uint32_t offset) {
  position_ = offset < size_ ? offset : size_;
  return position_;
}

void ByteStream::Destroy() {
  std::free(buffer_);
  buffer_ = nullptr;
  capacity_ = 0;
  position_ = 0;
  size_ = 0;
}

void WriteBytes(ByteStream& s, const void* bytes, std::uint32_t n) { s.Write(bytes, n); }

void WriteU8(ByteStream& s, std::uint8_t v) { s.Write(&v, 1); }

void WriteU16(ByteStream& s, std::uint16_t v) {
  const std::uint8_t b[2] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
  s.Write(b, 2);
}

void WriteU32(ByteStream& s, std::uint32_t v) {
  const std::uint8_t b[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                             static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
  s.Write(b, 4);
}

void WriteI16(ByteStream& s, std::int16_t v) { WriteU16(s, static_cast<std::uint16_t>(v)); }

void WriteI32(ByteStream& s, std::int32_t v) { WriteU32(s, static_cast<std::uint32_t>(v)); }

void WriteF32(ByteStream& s, float v) { WriteU32(s, std::bit_cast<std::uint32_t>(v)); }

std::uint16_t ReadU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t ReadU32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
         (std::uint32_t(p[3]) << 24);
}

float ReadF32(const std::uint8_t* p) { return std::bit_cast<float>(ReadU32(p)); }
