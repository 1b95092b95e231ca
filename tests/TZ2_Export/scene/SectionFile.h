// Writes one section through the exporter's OutputFile into a temporary file and hands its
// bytes to a reader cursor, so section writers can be read back value by value.
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <vector>

#include "TZ2_Export/format/ByteCursor.h"
#include "TZ2_Export/format/OutputFile.h"

namespace tz2test {

inline std::vector<std::uint8_t> WriteSection(const std::string& dir, const std::function<void(tz2::OutputFile&)>& write) {
  const std::string path = dir + "/section.bin";
  tz2::OutputFile file;
  if (!file.Create(path)) return {};
  write(file);
  if (!file.Commit()) return {};
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace tz2test
