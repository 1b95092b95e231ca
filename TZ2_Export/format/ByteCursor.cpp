// Bounds-checked little-endian reads over a file image.
#include "TZ2_Export/format/ByteCursor.h"

#include <bit>

#include "collect/ByteStream.h"

namespace tz2 {

void ByteCursor::Fail(const std::string& what, std::size_t need) {
  if (!error_.empty()) return;
  error_ = what + " at offset " + std::to_string(pos_) + ": needs " + std::to_string(need) +
           " byte(s), the file has " + std::to_string(pos_ < data_.size() ? data_.size() - pos_ : 0) +
           " left";
}

bool ByteCursor::Take(std::size_t n, const char* what) {
  if (!error_.empty()) return false;
  if (pos_ > data_.size() || data_.size() - pos_ < n) {
    Fail(what, n);
    return false;
  }
  return true;
}

std::uint8_t ByteCursor::U8(const char* what) {
  if (!Take(1, what)) return 0;
  return data_[pos_++];
}

std::uint16_t ByteCursor::U16(const char* what) {
  if (!Take(2, what)) return 0;
  const std::uint16_t v = ReadU16(&data_[pos_]);
  pos_ += 2;
  return v;
}

std::uint32_t ByteCursor::U32(const char* what) {
  if (!Take(4, what)) return 0;
  const std::uint32_t v = ReadU32(&data_[pos_]);
  pos_ += 4;
  return v;
}

float ByteCursor::F32(const char* what) {
  return std::bit_cast<float>(U32(what));
}

std::vector<std::uint8_t> ByteCursor::Bytes(std::size_t n, const char* what) {
  if (!Take(n, what)) return {};
  std::vector<std::uint8_t> out(data_.begin() + static_cast<std::ptrdiff_t>(pos_),
                                data_.begin() + static_cast<std::ptrdiff_t>(pos_ + n));
  pos_ += n;
  return out;
}

std::string ByteCursor::FixedText(std::size_t n, const char* what) {
  if (!Take(n, what)) return {};
  std::string s;
  for (std::size_t i = 0; i < n && data_[pos_ + i] != 0; ++i) s.push_back(static_cast<char>(data_[pos_ + i]));
  pos_ += n;
  return s;
}

void ByteCursor::Skip(std::size_t n, const char* what) {
  if (Take(n, what)) pos_ += n;
}

bool ByteCursor::Need(std::uint64_t count, std::uint64_t size, const char* what) {
  if (!error_.empty()) return false;
  const std::uint64_t left = pos_ < data_.size() ? data_.size() - pos_ : 0;
  if (size != 0 && count > left / size) {
    error_ = std::string(what) + " at offset " + std::to_string(pos_) + ": " + std::to_string(count) +
             " record(s) of " + std::to_string(size) + " byte(s) do not fit in the " +
             std::to_string(left) + " byte(s) left";
    return false;
  }
  return true;
}

}  // namespace tz2
