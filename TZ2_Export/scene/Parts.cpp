// Parts: the parts table from the group list, each bone's part by the part walk, and the
// parts section writer.
#include "TZ2_Export/scene/Parts.h"

#include <algorithm>
#include <cstring>

#include "TZ2_Export/scene/NameRules.h"
#include "TZ2_Export/skeleton/BoneHierarchy.h"
#include "host/INode.h"

namespace tz2 {

namespace {

constexpr std::size_t kPartNameSize = 20;
constexpr int kPartWalkLimit = 255;  // nodes examined, the start included

const char* NameOf(const INode* node) {
  const char* name = node ? node->GetName() : nullptr;
  return name ? name : "";
}

bool IsGrhName(const char* name) { return StartsWithAnyCase(name, "GRH_"); }

bool IsDefining(const PartRecord& r) { return r.single || r.firstOfSeveral; }

std::uint8_t BoneByte(int index) { return index >= 0 && index < kMaxBones ? static_cast<std::uint8_t>(index) : kNoBone; }

}  // namespace

bool HasMainPart(const ExportState& s) {
  for (const NodeEntry& e : s.boneList.Entries()) {
    const char* name = NameOf(e.node);
    if (name[0] == 0 || !IsGroupName(name)) return true;
  }
  return false;
}

void BuildParts(ExportState& s) {
  const bool main = HasMainPart(s);
  s.groupCount = main ? 1 : 0;
  const std::size_t offset = main ? 1 : 0;
  const std::size_t groups = s.groupList.Count();
  s.partsTable.assign(groups == 0 ? 1 : groups + offset, PartRecord{});
  if (main) s.partsTable[0] = PartRecord{0, 0, 1, 1, kNoBone};
  int nextPart = s.groupCount;
  for (std::size_t i = 0; i < groups; ++i) {
    INode* group = s.groupList[i].node;
    const char* name = NameOf(group);
    PartRecord& record = s.partsTable[i + offset];
    std::size_t k = 0;
    while (k < i && std::strcmp(NameOf(s.groupList[k].node), name) != 0) ++k;
    if (k < i) {
      PartRecord& first = s.partsTable[k + offset];
      record.part = first.part;
      record.single = 0;
      record.firstOfSeveral = 0;
      first.single = 0;
      first.firstOfSeveral = 1;
    } else {
      record.part = static_cast<std::uint8_t>(nextPart++);
      record.single = 1;
      record.firstOfSeveral = 0;
      ++s.groupCount;
    }
    record.bone = BoneByte(s.boneList.IndexOf(group));
    record.grh = IsGrhName(name) ? 1 : 0;
  }
}

std::vector<BonePart> BoneParts(ExportState& s) {
  BoneHierarchy h(s);
  const std::size_t offset = HasMainPart(s) ? 1 : 0;
  std::vector<BonePart> parts(static_cast<std::size_t>(h.Count()));
  for (int b = 0; b < h.Count(); ++b) {
    INode* bone = h.Bone(b);
    const bool ownGroup = IsGroupName(bone->GetName());
    INode* node = ownGroup ? bone : h.ParentBoneOf(bone);
    INode* group = nullptr;
    for (int examined = 0; node && examined < kPartWalkLimit; ++examined, node = h.ParentNodeOf(node)) {
      if (IsGroupName(node->GetName())) {
        group = node;
        break;
      }
    }
    BonePart& result = parts[static_cast<std::size_t>(b)];
    if (group) {
      const int j = s.groupList.IndexOf(group);
      const std::size_t r = static_cast<std::size_t>(j) + offset;
      result.part = (j >= 0 && r < s.partsTable.size()) ? s.partsTable[r].part : kNoBone;
    }
    const auto first = std::find_if(s.partsTable.begin(), s.partsTable.end(),
                                    [&](const PartRecord& r) { return r.part == result.part; });
    result.grh = first != s.partsTable.end() ? first->grh : 0;
    result.partRoot = (ownGroup || (!group && h.ParentIndexOf(b) < 0)) ? 1 : 0;
  }
  return parts;
}

void BuildBonePartRecords(ExportState& s) {
  const std::vector<BonePart> parts = BoneParts(s);
  s.bonePartRecords.resize(parts.size());
  for (std::size_t i = 0; i < parts.size(); ++i) s.bonePartRecords[i] = BonePartRecord{parts[i].part, parts[i].grh};
}

std::vector<std::uint8_t> PartRootMarkers(ExportState& s) {
  const std::vector<BonePart> parts = BoneParts(s);
  std::vector<std::uint8_t> markers(parts.size());
  for (std::size_t i = 0; i < parts.size(); ++i) markers[i] = parts[i].partRoot;
  return markers;
}

void WriteParts(OutputFile& file, ExportState& s) {
  struct Entry {
    char name[kPartNameSize];
    std::uint8_t kind;
  };
  std::vector<Entry> entries;
  const bool main = HasMainPart(s);
  if (main) {
    Entry e{};
    std::memcpy(e.name, "Main", 4);
    e.kind = 0xFF;
    entries.push_back(e);
  }
  const std::size_t offset = main ? 1 : 0;
  for (std::size_t i = 0; i < s.groupList.Count(); ++i) {
    if (i + offset >= s.partsTable.size() || !IsDefining(s.partsTable[i + offset])) continue;
    const char* name = NameOf(s.groupList[i].node);
    const bool grh = IsGrhName(name);
    const std::size_t skip = std::min<std::size_t>(grh ? 4 : 3, std::strlen(name));
    Entry e{};
    // Zero-padded; not terminated when the name fills all 20 bytes.
    for (std::size_t k = 0; k < kPartNameSize && name[skip + k] != 0; ++k) e.name[k] = name[skip + k];
    e.kind = grh ? 1 : 0;
    entries.push_back(e);
  }
  // The count byte cannot say more than 255; such a model fails the group limit anyway.
  if (entries.size() > 255) entries.resize(255);
  file.WriteU8(static_cast<std::uint8_t>(entries.size()));
  for (const Entry& e : entries) {
    file.Write(e.name, kPartNameSize);
    file.WriteU8(e.kind);
  }
}

}  // namespace tz2
