// Texts of an imported file: names into code page 1251 (a character outside it becomes '?',
// with one warning naming the text), and node property text from the file's metadata: FBX
// "UserProperties" (the modelling host's own text, '&cr;' and '&lf;' decoded) and glTF node
// extras (one 'key = value' line each).
#include <algorithm>
#include <cstdio>
#include <string>

#include "host/standalone/Cp1251.h"
#include "import/ImportContext.h"

namespace tz2import {
namespace {

// Length of the UTF-8 sequence starting with byte b (1 for an invalid lead byte).
size_t SequenceLength(unsigned char b) {
  if (b < 0x80) return 1;
  if ((b & 0xE0) == 0xC0) return 2;
  if ((b & 0xF0) == 0xE0) return 3;
  if ((b & 0xF8) == 0xF0) return 4;
  return 1;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

std::string MetadataValue(const aiMetadataEntry& e) {
  char buffer[64];
  switch (e.mType) {
    case AI_BOOL: return *static_cast<bool*>(e.mData) ? "true" : "false";
    case AI_INT32: return std::to_string(*static_cast<int32_t*>(e.mData));
    case AI_UINT64: return std::to_string(*static_cast<uint64_t*>(e.mData));
    case AI_FLOAT: std::snprintf(buffer, sizeof buffer, "%g", static_cast<double>(*static_cast<float*>(e.mData))); return buffer;
    case AI_DOUBLE: std::snprintf(buffer, sizeof buffer, "%g", *static_cast<double*>(e.mData)); return buffer;
    case AI_AISTRING: return static_cast<aiString*>(e.mData)->C_Str();
    default: return {};
  }
}

}  // namespace

std::string HostName(ImportContext& c, const std::string& utf8, const char* what) {
  std::string out, piece;
  bool replaced = false;
  for (size_t i = 0; i < utf8.size();) {
    const size_t n = std::min(SequenceLength(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
    if (Utf8ToCp1251(utf8.substr(i, n), piece)) {
      out += piece;
    } else {
      out += '?';
      replaced = true;
    }
    i += n;
  }
  if (replaced && c.report != nullptr)
    c.report->warnings.push_back(c.fileName + ": " + what + " '" + utf8 +
                                 "' has characters outside code page 1251; they became '?'");
  return out;
}

std::string PropertyText(ImportContext& c, const aiNode* node) {
  const aiMetadata* meta = node->mMetaData;
  if (meta == nullptr) return {};
  std::string text;
  for (unsigned i = 0; i < meta->mNumProperties; ++i) {
    const std::string key = meta->mKeys[i].C_Str();
    const aiMetadataEntry& e = meta->mValues[i];
    if (c.format == SourceFormat::Fbx) {
      if (key == "UserProperties" && e.mType == AI_AISTRING)
        text = ReplaceAll(ReplaceAll(MetadataValue(e), "&cr;", "\r"), "&lf;", "\n");
    } else if (c.format == SourceFormat::Gltf && e.mType != AI_AIMETADATA) {
      text += key + " = " + MetadataValue(e) + "\r\n";
    }
  }
  return HostName(c, text, "the property text of a node");
}

}  // namespace tz2import
