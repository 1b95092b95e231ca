// Building the progressive mesh's collapse history (ProgressiveMesh::BuildHistory, reached
// through the first SetFaceCount) on generated closed spheres with texture seams and on
// skinned two-material open grids of about 5k, 20k and 40k faces. Filling the mesh is not
// timed. The reported complexity should stay near n log n.
#include <benchmark/benchmark.h>

#include <cmath>

#include "tests/TZ2_Export/geometry/ReducerMeshes.h"

namespace {

using namespace reducer_meshes;

// A sphere of six n × n cube faces has 12 n² faces.
GeneratedMesh SphereOf(std::int64_t faces) {
  const int n = static_cast<int>(std::lround(std::sqrt(static_cast<double>(faces) / 12.0)));
  return CubeSphere(n, 0.05f, 1);
}

// A grid of nx × ny quads has 2 nx ny faces.
GeneratedMesh GridOf(std::int64_t faces) {
  const int n = static_cast<int>(std::lround(std::sqrt(static_cast<double>(faces) / 2.0)));
  return Materials(Skinned(Grid(n, n, 0.3f, 2), 5), n * 0.5f);
}

template <GeneratedMesh (*Make)(std::int64_t)>
void BuildHistoryBench(benchmark::State& state) {
  const GeneratedMesh source = Make(state.range(0));
  std::uint32_t faces = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto* mesh = new ProgressiveMesh;
    Feed(source, *mesh, true);
    faces = mesh->FaceCount();
    state.ResumeTiming();
    benchmark::DoNotOptimize(mesh->SetFaceCount(faces / 10, false));
    state.PauseTiming();
    delete mesh;
    state.ResumeTiming();
  }
  state.counters["faces"] = faces;
  state.SetComplexityN(faces);
}

}  // namespace

BENCHMARK(BuildHistoryBench<SphereOf>)
    ->Name("BuildHistory/sphere")
    ->Arg(5000)->Arg(20000)->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);
BENCHMARK(BuildHistoryBench<GridOf>)
    ->Name("BuildHistory/grid")
    ->Arg(5000)->Arg(20000)->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);
