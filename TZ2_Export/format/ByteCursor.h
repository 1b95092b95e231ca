// ByteCursor: bounds-checked little-endian reading over a file image, for the TZ2 reader.
//
// Every read checks the remaining size first; the first failure is kept as a message naming
// what was being read and at which file offset, and every later read fails too, so a
// section reader can read a whole record and check once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tz2 {

class ByteCursor {
 public:
  ByteCursor(const std::vector<std::uint8_t>& data, std::size_t offset) : data_(data), pos_(offset) {
    if (offset > data.size()) Fail("start of section", 0);
  }

  std::uint8_t U8(const char* what);
  std::uint16_t U16(const char* what);
  std::uint32_t U32(const char* what);
  float F32(const char* what);
  // `n` raw bytes (empty on failure).
  std::vector<std::uint8_t> Bytes(std::size_t n, const char* what);
  // A fixed-width text field: the bytes up to the first zero.
  std::string FixedText(std::size_t n, const char* what);
  void Skip(std::size_t n, const char* what);
  // Checks that `count` records of `size` bytes can follow before reading them, so a damaged
  // count is reported instead of being allocated.
  bool Need(std::uint64_t count, std::uint64_t size, const char* what);

  std::size_t Position() const { return pos_; }
  bool Ok() const { return error_.empty(); }
  const std::string& Error() const { return error_; }
  void Fail(const std::string& what, std::size_t need);

 private:
  bool Take(std::size_t n, const char* what);

  const std::vector<std::uint8_t>& data_;
  std::size_t pos_;
  std::string error_;
};

}  // namespace tz2
