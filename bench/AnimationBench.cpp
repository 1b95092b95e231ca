// The animation writer on 255 bones × 1000 frames: the whole preparation (sampling through
// the host, local samples, both reduction passes) and the two reduction passes alone on
// ready samples. Building the scene is not timed.
//
// The skeleton: 15 chains of 17 bones; every bone turns and moves with a key every 10
// frames, so most frames between keys are interpolated by the host and dropped again by the
// passes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "TZ2_Export/shell/ExportState.h"
#include "TZ2_Export/skeleton/AnimationWriter.h"
#include "TZ2_Export/skeleton/KeyReduction.h"
#include "host/Control.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "host/Time.h"
#include "host/standalone/Scene.h"

namespace {

using namespace tz2;

constexpr int kFrames = 1000;
constexpr int kChains = 15;
constexpr int kChainLength = 17;

void Animate(INode* node, int seed) {
  std::vector<TransformKey> keys;
  for (int f = 0; f < kFrames; f += 10) {
    const float a = 0.3f * std::sin(0.01f * static_cast<float>(f) * static_cast<float>(1 + seed % 7));
    keys.push_back(TransformKey::FromParts(f * GetTicksPerFrame(), Point3(2.0f, 0.1f * a, 0.0f),
                                           Quat(RotateXMatrix(a) * RotateZMatrix(0.5f * a)), Point3(1, 1, 1)));
  }
  node->GetTMController()->Keys().SetKeys(std::move(keys));
}

void BuildScene(ExportState& s) {
  ResetScene();
  Scene& scene = TheScene();
  scene.SetAnimRangeFrames(0, kFrames - 1);
  ExportOptions options;
  options.Scale = 100.0f;
  options.ExportAnimation = true;
  options.AnimationQuality = 3;
  s.Reset(options);
  s.host = GetCOREInterface();
  s.firstFrame = 0;
  s.lastFrame = kFrames - 1;
  for (int c = 0; c < kChains; ++c) {
    INode* parent = nullptr;
    for (int k = 0; k < kChainLength; ++k) {
      parent = scene.CreateNode("Bone" + std::to_string(c) + "_" + std::to_string(k), parent);
      Animate(parent, c * kChainLength + k);
      s.boneList.Append(parent);
    }
  }
  s.cameraSamples.assign(kFrames * 3, 0.0f);
}

void BM_PrepareAnimation(benchmark::State& state) {
  ExportState s;
  BuildScene(s);
  for (auto _ : state) {
    std::shared_ptr<PreparedAnimation> prepared = PrepareAnimation(s);
    benchmark::DoNotOptimize(prepared->bones.data());
  }
  state.counters["ratio"] = s.animationRatio;
  s.Release();
  ResetScene();
}
BENCHMARK(BM_PrepareAnimation)->Unit(benchmark::kMillisecond);

void BM_ReduceTracks(benchmark::State& state) {
  std::vector<std::vector<AnimationSample>> bones(kChains * kChainLength, std::vector<AnimationSample>(kFrames));
  for (std::size_t b = 0; b < bones.size(); ++b)
    for (int f = 0; f < kFrames; ++f) {
      const float a = 0.3f * std::sin(0.01f * static_cast<float>(f) * static_cast<float>(1 + b % 7));
      AnimationSample& sample = bones[b][static_cast<std::size_t>(f)];
      sample.translation = Point3(0.0f, 0.1f * a, 0.0f);
      sample.rotation = QuatNormalize(Quat(std::sin(a / 2), 0.0f, 0.0f, std::cos(a / 2)));
    }
  const float theta = RotationThreshold(3, 2);
  for (auto _ : state) {
    std::uint32_t keys = 0;
    for (const auto& samples : bones) {
      keys += ReducePositions(samples.data(), kFrames).KeyCount();
      keys += ReduceRotations(samples.data(), kFrames, theta).KeyCount();
    }
    benchmark::DoNotOptimize(keys);
  }
}
BENCHMARK(BM_ReduceTracks)->Unit(benchmark::kMillisecond);

}  // namespace
