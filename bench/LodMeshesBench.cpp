// The whole mesh section writer (WriteLodMeshes: base mesh, batches, up to five reduced levels,
// cache order, serialisation) on generated skinned grids and closed spheres of about 5k, 20k
// and 40k faces, with time and peak memory per size. The 127000-index limit decides how many
// levels each size gets (5k: all five, 20k: level 2 only, 40k: none).
//
// Side by side on the same grid, when the library is present: meshoptimizer's simplifier to
// 10 % of the faces against our reduction to 10 % (fill and history build), and the average
// cache miss ratio (ACMR, misses per triangle, for FIFO caches of 16 and 32 entries) of the
// input order, of our cache order and of meshoptimizer's vertex cache optimiser.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "TZ2_Export/geometry/LevelChains.h"
#include "TZ2_Export/geometry/LodMeshes.h"
#include "TZ2_Export/geometry/ProgressiveMesh.h"
#include "TZ2_Export/geometry/VertexCacheOrder.h"
#include "host/Interface.h"
#include "tests/TZ2_Export/geometry/MeshSectionFixtures.h"

#ifdef TZ2_HAVE_MESHOPTIMIZER
#include <meshoptimizer.h>
#endif

namespace {

using namespace tz2;
using namespace mesh_fixtures;

// A skinned grid of about `faces` faces (2 n² faces), 24 bones along x.
void GridScene(ExportState& s, std::int64_t faces) {
  ExportOptions o;
  o.GenerateLOD = o.ExportAnimation = true;
  ResetState(s, o, 1);
  s.host = GetCOREInterface();
  GridSpec g;
  g.nx = g.ny = static_cast<std::uint32_t>(std::lround(std::sqrt(static_cast<double>(faces) / 2.0)));
  g.bones = 24;
  g.uvScale = 8.0f;
  s.surfaceList.push_back(MakeSurface(0, {GridChunk(g)}));
}

// A closed sphere with a texture seam of about `faces` faces (2 nu nv, nu = 2 nv), 12 bones.
void SphereScene(ExportState& s, std::int64_t faces) {
  ExportOptions o;
  o.GenerateLOD = o.ExportAnimation = true;
  ResetState(s, o, 1);
  s.host = GetCOREInterface();
  const auto nv = static_cast<std::uint32_t>(std::lround(std::sqrt(static_cast<double>(faces) / 4.0)));
  s.surfaceList.push_back(MakeSurface(0, {SphereChunk(2 * nv, nv, 5.0f, 12)}));
}

std::uint8_t WriteSection(ExportState& s, const std::string& path) {
  OutputFile file;
  file.Create(path);
  ModelHeader header;
  WriteLodMeshes(file, s, IdentityTable(1), header);
  file.Abandon();
  return header.meshLevelCount;
}

// Peak resident memory, in MiB, of one WriteLodMeshes run in a child process.
double PeakMegabytes(void (*scene)(ExportState&, std::int64_t), std::int64_t faces, const std::string& path) {
  const pid_t child = fork();
  if (child == 0) {
    ExportState s;
    scene(s, faces);
    WriteSection(s, path);
    _exit(0);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) < 0) return -1;
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

template <void (*Scene)(ExportState&, std::int64_t)>
void WriteLodMeshesBench(benchmark::State& state) {
  const std::string path = "/tmp/tz2_lod_bench_" + std::to_string(getpid()) + ".tz2";
  ExportState s;
  Scene(s, state.range(0));
  std::uint8_t levels = 0;
  for (auto _ : state) {
    s.lodLimitWarningShown = true;  // the box is not part of the measure
    levels = WriteSection(s, path);
  }
  std::uint32_t faces = 0;
  for (const Surface& surface : s.surfaceList)
    for (const SurfaceChunk& c : surface.chunks) faces += static_cast<std::uint32_t>(c.corners.size() / 3);
  state.counters["faces"] = faces;
  state.counters["levels"] = levels;
  state.counters["peak_MiB"] = PeakMegabytes(Scene, state.range(0), path);
  state.SetComplexityN(faces);
}

// The base grid as plain positions and indices.
struct PlainMesh {
  std::vector<float> positions;
  std::vector<unsigned> indices;
};

PlainMesh PlainGrid(std::int64_t faces) {
  GridSpec g;
  g.nx = g.ny = static_cast<std::uint32_t>(std::lround(std::sqrt(static_cast<double>(faces) / 2.0)));
  const SurfaceChunk c = GridChunk(g);
  PlainMesh m;
  for (const ChunkVertex& v : c.vertices) m.positions.insert(m.positions.end(), v.position, v.position + 3);
  m.indices.assign(c.corners.begin(), c.corners.end());
  return m;
}

void OurReductionTo10Percent(benchmark::State& state) {
  const PlainMesh m = PlainGrid(state.range(0));
  const std::size_t vertices = m.positions.size() / 3;
  std::uint32_t live = 0;
  for (auto _ : state) {
    ProgressiveMesh mesh;
    std::vector<std::uint32_t> map(vertices);
    for (std::size_t i = 0; i < vertices; ++i) {
      const float* p = &m.positions[3 * i];
      map[i] = mesh.AddVertex(Point3(p[0], p[1], p[2]), Point3(0, 0, 1), nullptr, nullptr, nullptr, 0);
    }
    for (std::size_t f = 0; f + 2 < m.indices.size(); f += 3)
      mesh.AddFace(map[m.indices[f]], map[m.indices[f + 1]], map[m.indices[f + 2]], PmAttributes{}, 0);
    mesh.SetFaceCount(mesh.FaceCount() / 10, false);
    live = mesh.LiveFaceCount();
  }
  state.counters["faces_left"] = live;
  state.SetComplexityN(static_cast<std::int64_t>(m.indices.size() / 3));
}

// Our cache order of the grid as one batch, as a plain index list.
std::vector<unsigned> OurCacheOrder(const PlainMesh& m) {
  MeshBatch b;
  const std::size_t vertices = m.positions.size() / 3;
  for (std::size_t i = 0; i < vertices; ++i) b.vertices.Append(BatchVertex{});
  for (std::size_t f = 0; f + 2 < m.indices.size(); f += 3) b.triangles.Append(BatchTriangle{{m.indices[f], m.indices[f + 1], m.indices[f + 2]}});
  VertexCacheOrder(b);
  std::vector<unsigned> out;
  for (const BatchTriangle& t : b.triangles) out.insert(out.end(), t.v, t.v + 3);
  return out;
}

void CacheOrderBench(benchmark::State& state) {
  const PlainMesh m = PlainGrid(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(OurCacheOrder(m));
  state.SetComplexityN(static_cast<std::int64_t>(m.indices.size() / 3));
#ifdef TZ2_HAVE_MESHOPTIMIZER
  const std::size_t vertices = m.positions.size() / 3;
  const std::vector<unsigned> ours = OurCacheOrder(m);
  std::vector<unsigned> theirs(m.indices.size());
  meshopt_optimizeVertexCache(theirs.data(), m.indices.data(), m.indices.size(), vertices);
  for (unsigned cache : {16u, 32u}) {
    const std::string n = std::to_string(cache);
    state.counters["acmr" + n + "_input"] = meshopt_analyzeVertexCache(m.indices.data(), m.indices.size(), vertices, cache, 0, 0).acmr;
    state.counters["acmr" + n + "_ours"] = meshopt_analyzeVertexCache(ours.data(), ours.size(), vertices, cache, 0, 0).acmr;
    state.counters["acmr" + n + "_meshopt"] = meshopt_analyzeVertexCache(theirs.data(), theirs.size(), vertices, cache, 0, 0).acmr;
  }
#endif
}

#ifdef TZ2_HAVE_MESHOPTIMIZER
void MeshoptSimplifyTo10Percent(benchmark::State& state) {
  const PlainMesh m = PlainGrid(state.range(0));
  std::vector<unsigned> out(m.indices.size());
  std::size_t left = 0;
  for (auto _ : state) {
    float error = 0;
    left = meshopt_simplify(out.data(), m.indices.data(), m.indices.size(), m.positions.data(), m.positions.size() / 3,
                            12, m.indices.size() / 10, 1.0f, 0, &error);
  }
  state.counters["faces_left"] = static_cast<double>(left / 3);
  state.SetComplexityN(static_cast<std::int64_t>(m.indices.size() / 3));
}

void MeshoptCacheOptimiser(benchmark::State& state) {
  const PlainMesh m = PlainGrid(state.range(0));
  std::vector<unsigned> out(m.indices.size());
  for (auto _ : state) meshopt_optimizeVertexCache(out.data(), m.indices.data(), m.indices.size(), m.positions.size() / 3);
  state.SetComplexityN(static_cast<std::int64_t>(m.indices.size() / 3));
}
#endif

}  // namespace

BENCHMARK(WriteLodMeshesBench<GridScene>)->Name("WriteLodMeshes/skinned_grid")
    ->Arg(5000)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oNLogN);
BENCHMARK(WriteLodMeshesBench<SphereScene>)->Name("WriteLodMeshes/sphere")
    ->Arg(5000)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oNLogN);
BENCHMARK(OurReductionTo10Percent)->Name("Simplify10/ours")
    ->Arg(5000)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oNLogN);
BENCHMARK(CacheOrderBench)->Name("CacheOrder/ours")
    ->Arg(5000)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oNLogN);
#ifdef TZ2_HAVE_MESHOPTIMIZER
BENCHMARK(MeshoptSimplifyTo10Percent)->Name("Simplify10/meshoptimizer")
    ->Arg(5000)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oNLogN);
BENCHMARK(MeshoptCacheOptimiser)->Name("CacheOrder/meshoptimizer")
    ->Arg(5000)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oNLogN);
#endif
