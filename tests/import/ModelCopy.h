// Variants of the shared test models: a copy of a text model file with text inserted after
// anchors, written into a test's own folder (the shared files are never changed).
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace tz2test {

// Copies source to target with each insertion's text placed right after the first
// occurrence of its anchor. Returns false (and names the anchor in missing) when an anchor
// is not in the file.
inline bool CopyWithInsertions(const std::string& source, const std::string& target,
                               const std::vector<std::pair<std::string, std::string>>& insertions,
                               std::string& missing) {
  std::ifstream in(source, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::string content = text.str();
  for (const auto& [anchor, insertion] : insertions) {
    const size_t at = content.find(anchor);
    if (at == std::string::npos) {
      missing = anchor;
      return false;
    }
    content.insert(at + anchor.size(), insertion);
  }
  std::ofstream(target, std::ios::binary) << content;
  return true;
}

}  // namespace tz2test
