// Surfaces and chunks on a generated 100k-triangle mesh: BuildSurfaces (welding, normals,
// raw weights from a Physique skin over two bones, the bounding box) and BuildChunks (chunk
// vertex reuse and detail matching against 4050 detail triangles over part of the mesh).
// Building the scene, gathering and collecting materials are not timed.
#include <benchmark/benchmark.h>

#include "TZ2_Export/scene/NodeClassification.h"
#include "TZ2_Export/scene/Surfaces.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "host/Physique.h"
#include "host/standalone/Scene.h"

namespace {

using namespace tz2;

constexpr int kGrid = 224;  // 224 × 224 quads: 100352 triangles

// A height field of kGrid × kGrid quads in smoothing group 1 with texture coordinates.
Mesh Grid(float z, int size) {
  Mesh m;
  const int n = size + 1;
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      m.verts.push_back(Point3(float(x), float(y), z + 0.1f * float((x * 7 + y * 3) % 5)));
      m.tVerts.push_back(UVVert(float(x) / float(size), float(y) / float(size), 0));
    }
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const DWORD a = DWORD(y * n + x), b = a + 1, c = a + DWORD(n), d = c + 1;
      Face f1, f2;
      f1.setVerts(a, b, d);
      f2.setVerts(a, d, c);
      f1.smGroup = f2.smGroup = 1;
      m.faces.push_back(f1);
      m.faces.push_back(f2);
      TVFace t1, t2;
      t1.setTVerts(a, b, d);
      t2.setTVerts(a, d, c);
      m.tvFace.push_back(t1);
      m.tvFace.push_back(t2);
    }
  return m;
}

INode* MeshNode(const char* name, const Mesh& mesh, Mtl* mtl) {
  auto* obj = new EditableMeshObject();
  obj->mesh = mesh;
  INode* node = TheScene().CreateNode(name, nullptr, obj);
  node->SetMtl(mtl);
  return node;
}

void BuildScene() {
  ResetScene();
  StdMat* mtl = NewDefaultStdMat();
  mtl->SetName("Ground");
  mtl->SetSubTexmap(ID_DI, NewDefaultBitmapTex());
  INode* boneA = TheScene().CreateNode("BoneA", nullptr, new DummyObject());
  INode* boneB = TheScene().CreateNode("BoneB", nullptr, new DummyObject());
  const Mesh grid = Grid(0.0f, kGrid);
  INode* body = MeshNode("Body", grid, mtl);
  auto* skin = new PhysiqueModifier();
  for (int i = 0; i < grid.getNumVerts(); ++i) {
    const float w = float(i % 10) / 10.0f;
    skin->vertices.push_back(SkinVertex{SkinVertex::Blended, {{boneA, w}, {boneB, 1.0f - w}}});
  }
  auto* derived = new IDerivedObject(body->ReleaseObjectRef());
  derived->AddModifier(skin);
  body->SetObjectRef(derived);
  // The detail mesh covers a 45 × 45 corner of the grid (4050 triangles).
  const Mesh corner = Grid(0.0f, 45);
  MeshNode("TAG_DETAIL", corner, mtl);
}

void BM_BuildSurfacesAndChunks(benchmark::State& state) {
  BuildScene();
  ExportOptions options;
  options.Scale = 100;
  ExportState s;
  std::size_t triangles = 0;
  for (auto _ : state) {
    state.PauseTiming();
    s.Reset(options);
    s.host = GetCOREInterface();
    GatherScene(s);
    CollectMaterials(s);
    for (int i = 0; i < TheScene().GetRootNode()->NumberOfChildren(); ++i)
      s.boneList.Append(TheScene().GetRootNode()->GetChildNode(i));
    ModelHeader header;
    state.ResumeTiming();
    BuildSurfaces(s, header);
    BuildChunks(s);
    benchmark::DoNotOptimize(s.surfaceList.data());
    triangles = s.surfaceList.empty() ? 0 : s.surfaceList[0].triangles.size();
  }
  state.counters["triangles"] = double(triangles);
  state.counters["chunks"] = s.surfaceList.empty() ? 0.0 : double(s.surfaceList[0].chunks.size());
  s.Release();
  ResetScene();
}
BENCHMARK(BM_BuildSurfacesAndChunks)->Unit(benchmark::kMillisecond);

}  // namespace
