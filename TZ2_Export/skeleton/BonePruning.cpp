// Pruning of the bone list: the used marks, the removal of bones that never move relative
// to a used ancestor, the root choice and the removal of the bones nothing uses.
//
// Inputs: s.boneList (candidates in scene order), s.surfaceList (raw weights indexing the
// list), s.hitList, the options and the frame range. Output: the pruned list, the surfaces'
// weights renumbered to it. Every pass runs over one BoneHierarchy (the list does not change
// until the final removal) and one cache of the bones' reduced world matrices per frame.
#include <string>

#include "TZ2_Export/scene/NameRules.h"
#include "TZ2_Export/skeleton/BonePruning.h"
#include "TZ2_Export/skeleton/Bones.h"
#include "host/INode.h"
#include "host/Time.h"
#include "platform/Windows.h"

namespace tz2 {

namespace {

const char* NameOf(INode* node) {
  const char* name = node ? node->GetName() : nullptr;
  return name ? name : "";
}

void TraceName(INode* node, const char* before = "") {
  OutputDebugStringA((std::string(before) + NameOf(node) + "\n").c_str());
}

bool IsPortExported(INode* node, const ExportOptions& options) {
  return (!options.ExportSelectedOnly || node->Selected()) && (options.ExportHidden || !node->IsHidden(0, FALSE));
}

// Marks every group bone met going up from bone `from` (parent bones only).
bool MarkGroupAncestors(BoneHierarchy& h, int from, std::vector<std::uint8_t>& used) {
  bool marked = false;
  for (int p = h.ParentIndexOf(from); p >= 0; p = h.ParentIndexOf(p)) {
    if (!used[static_cast<std::size_t>(p)] && IsGroupName(h.Bone(p)->GetName())) {
      used[static_cast<std::size_t>(p)] = 1;
      marked = true;
    }
  }
  return marked;
}

std::vector<std::uint8_t> HitChildren(ExportState& s) {
  std::vector<std::uint8_t> hitChild(s.boneList.Count(), 0);
  for (std::size_t i = 0; i < hitChild.size(); ++i) hitChild[i] = HasExportedHitChild(s.boneList[i].node, s.options);
  return hitChild;
}

// The reduced world matrices (NoScale, Orthogonalize) of the bones over the export's frames,
// each asked from the host once.
class FrameMatrices {
 public:
  FrameMatrices(const BoneHierarchy& h, int firstFrame, int lastFrame)
      : h_(h), first_(firstFrame), frames_(lastFrame >= firstFrame ? lastFrame - firstFrame + 1 : 0),
        known_(static_cast<std::size_t>(h.Count()) * frames_, 0),
        matrices_(static_cast<std::size_t>(h.Count()) * frames_) {}

  int Frames() const { return frames_; }
  const Matrix3& At(int bone, int frame) {
    const std::size_t k = static_cast<std::size_t>(bone) * static_cast<std::size_t>(frames_) + static_cast<std::size_t>(frame);
    if (!known_[k]) {
      Matrix3 m = h_.Bone(bone)->GetNodeTM((first_ + frame) * GetTicksPerFrame());
      m.NoScale();
      m.Orthogonalize();
      matrices_[k] = m;
      known_[k] = 1;
    }
    return matrices_[k];
  }

 private:
  const BoneHierarchy& h_;
  int first_;
  int frames_;
  std::vector<std::uint8_t> known_;
  std::vector<Matrix3> matrices_;
};

bool SameRelativeTransform(const Matrix3& a, const Matrix3& b) {
  for (int r = 0; r < 3; ++r)
    if (DotProd(a.GetRow(r), b.GetRow(r)) < 0.999f) return false;
  return Length(a.GetRow(3) - b.GetRow(3)) < 0.01f;
}

// Whether bone b keeps one transform relative to its anchor over every frame of the export.
bool IsNonAnimated(FrameMatrices& m, int b, int anchor) {
  if (m.Frames() == 0) return true;
  const Matrix3 reference = m.At(b, 0) * Inverse(m.At(anchor, 0));
  for (int f = 1; f < m.Frames(); ++f)
    if (!SameRelativeTransform(m.At(b, f) * Inverse(m.At(anchor, f)), reference)) return false;
  return true;
}

// One non-animated pass; true when it moved any bone's references onto its anchor.
bool RemoveNonAnimatedBones(ExportState& s, BoneHierarchy& h, const std::vector<std::uint8_t>& hitChild,
                            FrameMatrices& matrices, std::vector<std::uint8_t>& used) {
  used.assign(static_cast<std::size_t>(h.Count()), 0);
  MarkUsedBones(s, h, hitChild, used);
  bool removed = false;
  for (int b = 0; b < h.Count(); ++b) {
    const char* name = h.Bone(b)->GetName();
    if (!used[static_cast<std::size_t>(b)] || IsGroupName(name) || IsPortName(name) || hitChild[static_cast<std::size_t>(b)])
      continue;
    int anchor = h.ParentIndexOf(b);
    while (anchor >= 0 && !used[static_cast<std::size_t>(anchor)]) anchor = h.ParentIndexOf(anchor);
    if (anchor < 0 || !IsNonAnimated(matrices, b, anchor)) continue;
    OutputDebugStringA((std::string("Bone \"") + NameOf(h.Bone(b)) + "\" removed as non-animated\n").c_str());
    std::vector<std::uint32_t> table(static_cast<std::size_t>(h.Count()));
    for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<std::uint32_t>(i);
    table[static_cast<std::size_t>(b)] = static_cast<std::uint32_t>(anchor);
    RenumberBoneReferences(s, table);
    removed = true;
  }
  return removed;
}

// ancestors[i]: bit set of the bones met by applying ParentBoneOf from bone i within
// `limit` steps.
class AncestorSets {
 public:
  AncestorSets(BoneHierarchy& h, int limit) : n_(static_cast<std::size_t>(h.Count())), words_((n_ + 63) / 64), bits_(n_ * words_, 0) {
    for (int i = 0; i < h.Count(); ++i) {
      int p = h.ParentIndexOf(i);
      for (int step = 0; p >= 0 && step < limit; ++step, p = h.ParentIndexOf(p))
        bits_[static_cast<std::size_t>(i) * words_ + static_cast<std::size_t>(p) / 64] |= std::uint64_t{1} << (p % 64);
    }
  }
  // Whether a is met going up from b.
  bool IsAncestor(int a, int b) const {
    return (bits_[static_cast<std::size_t>(b) * words_ + static_cast<std::size_t>(a) / 64] >> (a % 64)) & 1u;
  }

 private:
  std::size_t n_, words_;
  std::vector<std::uint64_t> bits_;
};

// Marks the deepest unused common ancestor of the used bones (or, with no used bone, the
// first bone without descendants) as used.
void ChooseRoot(BoneHierarchy& h, std::vector<std::uint8_t>& used) {
  OutputDebugStringA("\n--- Candidates for root node: -----\n");
  const AncestorSets ancestors(h, kMaxBones - 1);
  std::vector<int> candidates;
  for (int c = 0; c < h.Count(); ++c) {
    if (used[static_cast<std::size_t>(c)]) continue;
    bool aboveAll = true;
    for (int u = 0; u < h.Count() && aboveAll; ++u)
      if (used[static_cast<std::size_t>(u)] && !ancestors.IsAncestor(c, u)) aboveAll = false;
    if (!aboveAll) continue;
    candidates.push_back(c);
    TraceName(h.Bone(c));
  }
  // Dropping a candidate never makes an earlier one an ancestor of a remaining one, so one
  // scan in order drops what the repeated scans would.
  std::vector<std::uint8_t> dropped(candidates.size(), 0);
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    for (std::size_t j = 0; j < candidates.size(); ++j) {
      if (j != i && !dropped[j] && ancestors.IsAncestor(candidates[i], candidates[j])) {
        dropped[i] = 1;
        break;
      }
    }
  }
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    if (dropped[i]) continue;
    used[static_cast<std::size_t>(candidates[i])] = 1;
    TraceName(h.Bone(candidates[i]), "Selected:");
    return;
  }
}

void RemoveUnusedBones(ExportState& s, const std::vector<std::uint8_t>& used) {
  OutputDebugStringA("\n--- Unused bones -----\n");
  for (std::size_t i = 0; i < used.size(); ++i)
    if (!used[i]) TraceName(s.boneList[i].node);
  OutputDebugStringA("\n-----------------------\n");
  std::vector<std::uint32_t> table(used.size(), kRemovedBone);
  NodeList kept;
  for (std::size_t i = 0; i < used.size(); ++i) {
    if (!used[i]) continue;
    table[i] = kept.Count();
    kept.Entries().push_back(std::move(s.boneList[i]));
  }
  s.boneList.Entries() = std::move(kept.Entries());
  RenumberBoneReferences(s, table);
}

}  // namespace

void MarkUsedBones(ExportState& s, BoneHierarchy& h, const std::vector<std::uint8_t>& hitChild,
                   std::vector<std::uint8_t>& used) {
  const std::size_t n = static_cast<std::size_t>(h.Count());
  used.resize(n, 0);
  for (Surface& surface : s.surfaceList) {
    for (SurfaceVertex& vertex : surface.vertices) {
      if (vertex.weights.size() > 3) vertex.weights.resize(3);
      for (const WeightPair& pair : vertex.weights)
        if (pair.bone < n) used[pair.bone] = 1;
    }
  }
  for (bool marked = true; marked;) {
    marked = false;
    for (std::size_t b = 0; b < n; ++b) {
      INode* bone = h.Bone(static_cast<int>(b));
      if (!used[b] && ((IsPortName(bone->GetName()) && IsPortExported(bone, s.options)) || hitChild[b])) {
        used[b] = 1;
        marked = true;
      }
      if (used[b] && MarkGroupAncestors(h, static_cast<int>(b), used)) marked = true;
    }
  }
  for (const NodeEntry& hit : s.hitList.Entries()) {
    const int first = h.IndexOf(h.ParentBoneOf(hit.node));
    if (first < 0) continue;
    if (IsGroupName(h.Bone(first)->GetName())) used[static_cast<std::size_t>(first)] = 1;
    MarkGroupAncestors(h, first, used);
  }
}

void MarkUsedBones(ExportState& s, std::vector<std::uint8_t>& used) {
  BoneHierarchy h(s);
  MarkUsedBones(s, h, HitChildren(s), used);
}

void PruneBones(ExportState& s) {
  OutputDebugStringA("\n--- Removing non-animated bones -----\n");
  std::vector<std::uint8_t> used;
  {
    BoneHierarchy h(s);
    const std::vector<std::uint8_t> hitChild = HitChildren(s);
    FrameMatrices matrices(h, s.firstFrame, s.lastFrame);
    while (RemoveNonAnimatedBones(s, h, hitChild, matrices, used)) {
    }
    ChooseRoot(h, used);
  }
  RemoveUnusedBones(s, used);
}

}  // namespace tz2
