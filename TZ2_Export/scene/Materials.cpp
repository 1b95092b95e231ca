// Materials: the material list (leaf materials with a diffuse map, in first-seen order,
// each once) and the material section of the TZ2 file.
//
// Material section: u16 count, then per name a u8 length (bytes including the terminating
// zero) and the zero-terminated upper-case name. Only materials marked used (a triangle of
// theirs entered a chunk) are written; entries whose section names are equal share one
// record and one index in the material table.
#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "TZ2_Export/scene/Surfaces.h"
#include "host/INode.h"
#include "host/Mtl.h"

namespace tz2 {

namespace {

// Adds a material, or its sub-materials recursively. `path` holds the materials above it,
// so a material graph that loops back onto itself ends instead of recursing for ever.
void AddMaterial(std::vector<MaterialEntry>& list, Mtl* mtl, std::vector<const Mtl*>& path) {
  if (mtl == nullptr || std::find(path.begin(), path.end(), mtl) != path.end()) return;
  if (mtl->NumSubMtls() > 0) {
    path.push_back(mtl);
    for (int i = 0; i < mtl->NumSubMtls(); ++i) AddMaterial(list, mtl->GetSubMtl(i), path);
    path.pop_back();
    return;
  }
  if (mtl->GetSubTexmap(ID_DI) == nullptr) return;
  if (MaterialIndexOf(list, mtl) >= 0) return;
  MaterialEntry entry;
  entry.material = mtl;
  // Transparency outside 0..1 would not fit the byte; it is held to the byte's range.
  const float opacity = std::clamp((1.0f - mtl->GetXParency(0, FALSE)) * 255.0f, 0.0f, 255.0f);
  entry.opacity = static_cast<std::uint8_t>(opacity);
  list.push_back(entry);
}

// The system's upper-casing of code page 1251: ASCII letters, the Cyrillic letters а-я and
// the other lower-case letters of the code page.
unsigned char UpperCp1251(unsigned char c) {
  if ((c >= 'a' && c <= 'z') || c >= 0xE0) return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x83: return 0x81;
    case 0x90: return 0x80;
    case 0x9A: return 0x8A;
    case 0x9C: return 0x8C;
    case 0x9D: return 0x8D;
    case 0x9E: return 0x8E;
    case 0x9F: return 0x8F;
    case 0xA2: return 0xA1;
    case 0xB3: return 0xB2;
    case 0xB4: return 0xA5;
    case 0xB8: return 0xA8;
    case 0xBA: return 0xAA;
    case 0xBC: return 0xA3;
    case 0xBE: return 0xBD;
    case 0xBF: return 0xAF;
    default: return c;
  }
}

std::uint32_t TwoSidedSetting(Mtl* mtl) {
  if (mtl->ClassID() != STANDARD_MATERIAL_CLASS_ID) return 0;
  auto* standard = dynamic_cast<StdMat*>(mtl);
  return standard != nullptr && standard->GetTwoSided() ? 1u : 0u;
}

}  // namespace

int MaterialIndexOf(const std::vector<MaterialEntry>& materials, const Mtl* material) {
  for (std::size_t i = 0; i < materials.size(); ++i)
    if (materials[i].material == material) return static_cast<int>(i);
  return -1;
}

void CollectMaterials(ExportState& s) {
  std::vector<const Mtl*> path;
  for (const NodeEntry& entry : s.meshList.Entries())
    if (entry.node != nullptr) AddMaterial(s.materialList, entry.node->GetMtl(), path);
}

std::string MaterialSectionName(const std::string& name) {
  std::size_t begin = 0, end = name.size();
  while (begin < end && name[begin] == ' ') ++begin;
  while (end > begin && name[end - 1] == ' ') --end;
  std::string out = name.substr(begin, std::min<std::size_t>(end - begin, 254));
  for (char& c : out) c = static_cast<char>(UpperCp1251(static_cast<unsigned char>(c)));
  return out;
}

void WriteMaterialSection(OutputFile& file, ExportState& s, std::vector<std::uint32_t>& materialTable) {
  materialTable.assign(s.materialList.size(), 0xFFFFFFFFu);
  const std::uint32_t countPosition = file.Position();
  file.WriteU16(0);
  std::unordered_map<std::string, std::uint32_t> written;
  std::uint32_t count = 0;
  for (std::size_t i = 0; i < s.materialList.size(); ++i) {
    MaterialEntry& entry = s.materialList[i];
    if (!entry.used || entry.material == nullptr) continue;
    entry.twoSided = TwoSidedSetting(entry.material);
    const std::string name = MaterialSectionName(entry.material->GetName().str());
    if (auto it = written.find(name); it != written.end()) {
      materialTable[i] = it->second;
      continue;
    }
    file.WriteU8(static_cast<std::uint8_t>(name.size() + 1));
    file.Write(name.c_str(), static_cast<std::uint32_t>(name.size() + 1));
    written.emplace(name, count);
    materialTable[i] = count++;
  }
  file.Seek(countPosition);
  file.WriteU16(static_cast<std::uint16_t>(count));
  file.SeekToEnd();
}

}  // namespace tz2
