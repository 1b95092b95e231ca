// The bone and part passes on a 255-bone skeleton animated over 300 frames: pruning (with
// the non-animated test over every frame), ordering, parts, the bones' parts, the skeleton
// level-of-detail maps and the subtree heights. Building the scene is not timed.
//
// The skeleton: a spine chain of 15 bones, each carrying a limb of 15 bones (one limb in
// four hangs below a GR_ group node, every third limb bone keeps still relative to its
// parent, every fifth names its parent through ParentBone), plus 15 bones that skin nothing.
#include <benchmark/benchmark.h>

#include <string>

#include "TZ2_Export/scene/Parts.h"
#include "TZ2_Export/skeleton/Bones.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "host/Time.h"
#include "host/standalone/Scene.h"

namespace {

using namespace tz2;

constexpr int kFrames = 300;

void Animate(INode* node, const Point3& from, const Point3& to, bool still) {
  std::vector<TransformKey> keys;
  keys.push_back(TransformKey::FromParts(0, from, Quat(), Point3(1, 1, 1)));
  if (!still) {
    keys.push_back(TransformKey::FromParts(150 * GetTicksPerFrame(), to, Quat(), Point3(1, 1, 1)));
    keys.push_back(TransformKey::FromParts((kFrames - 1) * GetTicksPerFrame(), from, Quat(), Point3(1, 1, 1)));
  }
  node->GetTMController()->Keys().SetKeys(std::move(keys));
}

struct Skeleton {
  std::vector<INode*> bones;   // in scene order
  std::vector<INode*> groups;  // sorted by name (numbered with equal widths)
};

Skeleton BuildScene() {
  ResetScene();
  Scene& scene = TheScene();
  Skeleton sk;
  INode* spine = nullptr;
  for (int i = 0; i < 15; ++i) {
    spine = scene.CreateNode("Spine" + std::to_string(10 + i), spine);
    Animate(spine, Point3(0, 0, 5), Point3(0, 1, 5), false);
    sk.bones.push_back(spine);
    INode* limb = spine;
    if (i % 4 == 0) {
      limb = scene.CreateNode("GR_Part" + std::to_string(10 + i), spine);
      sk.bones.push_back(limb);
      sk.groups.push_back(limb);
    }
    for (int k = 0; k < 15 && sk.bones.size() < 240; ++k) {
      INode* bone = scene.CreateNode("Limb" + std::to_string(i) + "_" + std::to_string(k), limb);
      Animate(bone, Point3(1, 0, 0), Point3(1, 0.5f, 0), k % 3 == 0);
      if (k % 5 == 4) bone->SetUserPropBuffer(CStr(std::string("ParentBone = ") + limb->GetName()));
      sk.bones.push_back(bone);
      limb = bone;
    }
  }
  while (sk.bones.size() < 255) sk.bones.push_back(scene.CreateNode("Extra" + std::to_string(sk.bones.size())));
  return sk;
}

void Prepare(ExportState& s, const Skeleton& sk) {
  ExportOptions options;
  options.Scale = 100;
  options.ExportAnimation = true;
  options.GenerateSkeletonLOD = true;
  s.Reset(options);
  s.host = GetCOREInterface();
  s.firstFrame = 0;
  s.lastFrame = kFrames - 1;
  for (INode* b : sk.bones) s.boneList.Append(b);
  for (INode* g : sk.groups) s.groupList.Append(g);
  s.surfaceList.emplace_back();
  for (std::uint32_t i = 0; i < 240; ++i) {
    SurfaceVertex v;
    v.weights = {{i, 0.6f}, {i > 0 ? i - 1 : 0, 0.3f}, {0, 0.05f}, {1, 0.05f}};
    s.surfaceList.back().vertices.push_back(v);
  }
}

void BonePasses(benchmark::State& state) {
  const Skeleton sk = BuildScene();
  ExportState s;
  std::size_t bones = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Prepare(s, sk);
    state.ResumeTiming();
    PruneBones(s);
    OrderBones(s);
    BuildParts(s);
    BuildBonePartRecords(s);
    BuildSkeletonLodMaps(s);
    benchmark::DoNotOptimize(SubtreeHeights(s));
    benchmark::DoNotOptimize(PartRootMarkers(s));
    bones = s.boneList.Count();
  }
  state.counters["bones kept"] = static_cast<double>(bones);
  s.Release();
  ResetScene();
}
BENCHMARK(BonePasses)->Unit(benchmark::kMillisecond);

// The passes after pruning alone, on the full 255-bone list.
void OrderAndTables(benchmark::State& state) {
  const Skeleton sk = BuildScene();
  ExportState s;
  for (auto _ : state) {
    state.PauseTiming();
    Prepare(s, sk);
    state.ResumeTiming();
    OrderBones(s);
    BuildParts(s);
    BuildBonePartRecords(s);
    BuildSkeletonLodMaps(s);
    benchmark::DoNotOptimize(SubtreeHeights(s));
  }
  s.Release();
  ResetScene();
}
BENCHMARK(OrderAndTables)->Unit(benchmark::kMillisecond);

}  // namespace
