// ByteStream: a growable memory buffer into which a file section or a message payload is
// serialised before it is written or sent as a whole.
//
// Write copies bytes at the write position and advances it; Size() is the highest position
// ever written. When a write needs N bytes (position + bytes written) beyond the capacity the
// buffer grows to N + growth step, or to 2 × N when the growth step is 0; the valid bytes are
// copied and the position keeps its offset. Seek moves the write position back to patch
// earlier bytes (never past Size()). Writing bytes that lie in the stream's own buffer is safe;
// a write that would take the stream past 4 GiB is refused.
// The little-endian helpers (WriteU8 ... WriteF32) write the file formats' fields: every
// multi-byte value is stored low byte first and packed, whatever the machine's byte order.
// The stream owns its buffer (freed by Destroy or the destructor); movable, not copyable.
#pragma once

#include <cstddef>
#include <cstdint>

class ByteStream {
 public:
  ByteStream() : ByteStream(0, 0) {}
  ByteStream(std::uint32_t initialCapacity, std::uint32_t growthStep);
  ~ByteStream() { Destroy(); }
  ByteStream(const ByteStream&) = delete;
  ByteStream& operator=(const ByteStream&) = delete;
  ByteStream(ByteStream&& other) noexcept;
  ByteStream& operator=(ByteStream&& other) noexcept;

  void Write(const void* bytes, std::uint32_t n);

  // Offset of the write position from the buffer start.
  std::uint32_t Position() const { return position_; }
  // Number of valid bytes.
  std::uint32_t Size() const { return size_; }
  std::uint32_t Capacity() const { return capacity_; }
  std::uint32_t GrowthStep() const { return growthStep_; }
  // The buffer start (null while the capacity is 0); Size() bytes are valid.
  const std::uint8_t* Buffer() const { return buffer_; }
  // Moves the write position to offset (limited to Size()); returns the position reached.
  std::uint32_t Seek(std::uint32_t offset);

  // Frees the buffer; the stream is empty with capacity 0 afterwards.
  void Destroy();

 private:
  // Moves the valid bytes into a larger block; returns the old block for the caller to free.
  std::uint8_t* Grow(std::uint32_t need);

  std::uint32_t capacity_ = 0;
  std::uint32_t growthStep_ = 0;
  std::uint8_t* buffer_ = nullptr;
  std::uint32_t position_ = 0;
  std::uint32_t size_ = 0;
};

// Little-endian field writers.
void WriteU8(ByteStream& s, std::uint8_t v);
void WriteU16(ByteStream& s, std::uint16_t v);
void WriteU32(ByteStream& s, std::uint32_t v);
void WriteI16(ByteStream& s, std::int16_t v);
void WriteI32(ByteStream& s, std::int32_t v);
void WriteF32(ByteStream& s, float v);
void WriteBytes(ByteStream& s, const void* bytes, std::uint32_t n);

// Little-endian readers over a byte buffer (for read-back and patching); p must hold the
// field's bytes.
std::uint16_t ReadU16(const std::uint8_t* p);
std::uint32_t ReadU32(const std::uint8_t* p);
float ReadF32(const std::uint8_t* p);
