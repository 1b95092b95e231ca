// The skeleton's level-of-detail maps: row L, column i gives the bone whose transform bone i
// follows at skeleton level L (0 to 5).
//
// At level L a bone whose BoneImportance n (read only while GenerateSkeletonLOD is on, key
// form "BoneImportance" only; below 1 warns once per export and counts as 1) satisfies
// L + 1 > n folds into its parent bone; at level 5 every bone does. Folds are then followed
// to the nearest bone that does not fold, so level 0 is the identity and level 5 maps every
// bone to its tree's root. Columns beyond the 255 a row holds are left out; an index that a
// byte cannot hold is stored as 0xFF.
#include <string>

#include "TZ2_Export/skeleton/BoneHierarchy.h"
#include "TZ2_Export/skeleton/Bones.h"
#include "TZ2_Export/skeleton/PropertyText.h"
#include "host/INode.h"
#include "platform/Windows.h"

namespace tz2 {

namespace {

constexpr int kLodLevels = 6;
constexpr int kNoImportance = kLodLevels;  // never folds before the last level

// The exporter's reading of a bone's importance.
int BoneImportanceOf(ExportState& s, INode* bone) {
  if (!s.options.GenerateSkeletonLOD) return kNoImportance;
  std::string value;
  if (!FindUserProp(bone, kBoneImportanceExporterForms, value)) return kNoImportance;
  const std::int32_t n = IntegerOfValue(value);
  if (n >= 1) return n;
  if (!s.boneImportanceWarningShown) {
    s.boneImportanceWarningShown = true;
    const char* name = bone->GetName();
    const std::string text = std::string("Invalid BoneIportance specified for bone \"") + (name ? name : "") + "\"";
    MessageBoxA(GetActiveWindow(), text.c_str(), "Warning !", MB_OK);
  }
  return 1;
}

}  // namespace

void BuildSkeletonLodMaps(ExportState& s) {
  s.skeletonLodMap = SkeletonLodMap{};
  BoneHierarchy h(s);
  const std::size_t n = static_cast<std::size_t>(h.Count());
  std::vector<int> parent(n), importance(n);
  for (std::size_t i = 0; i < n; ++i) {
    parent[i] = h.ParentIndexOf(static_cast<int>(i));
    importance[i] = BoneImportanceOf(s, h.Bone(static_cast<int>(i)));
  }
  std::vector<int> map(n);
  for (int level = 0; level < kLodLevels; ++level) {
    for (std::size_t i = 0; i < n; ++i) {
      const bool folds = level == kLodLevels - 1 || level + 1 > importance[i];
      map[i] = folds && parent[i] >= 0 ? parent[i] : static_cast<int>(i);
    }
    for (bool changed = true; changed;) {
      changed = false;
      for (std::size_t i = 0; i < n; ++i) {
        const int j = map[i];
        if (j != static_cast<int>(i) && map[static_cast<std::size_t>(j)] != j) {
          map[i] = map[static_cast<std::size_t>(j)];
          changed = true;
        }
      }
    }
    auto& row = s.skeletonLodMap[static_cast<std::size_t>(level)];
    for (std::size_t i = 0; i < n && i < row.size(); ++i)
      row[i] = map[i] < kMaxBones ? static_cast<std::uint8_t>(map[i]) : kNoBone;
  }
}

}  // namespace tz2
