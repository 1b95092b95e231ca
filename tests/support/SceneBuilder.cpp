// Scene builders for tests.
#include "tests/support/SceneBuilder.h"

#include "host/Time.h"
#include "host/standalone/Scene.h"
#include "host/standalone/SceneFile.h"

namespace build {

Mesh Triangle() {
  Mesh m;
  m.verts = {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}};
  m.faces.resize(1);
  m.faces[0].setVerts(0, 1, 2);
  m.faces[0].smGroup = 1;
  m.tVerts = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  m.tvFace.resize(1);
  m.tvFace[0].setTVerts(0, 1, 2);
  return m;
}

Mesh Box(float size) {
  const float h = size / 2;
  Mesh m;
  m.verts = {{-h, -h, -h}, {h, -h, -h}, {-h, h, -h}, {h, h, -h}, {-h, -h, h}, {h, -h, h}, {-h, h, h}, {h, h, h}};
  const DWORD f[12][3] = {{0, 2, 3}, {3, 1, 0}, {4, 5, 7}, {7, 6, 4}, {0, 1, 5}, {5, 4, 0},
                          {1, 3, 7}, {7, 5, 1}, {3, 2, 6}, {6, 7, 3}, {2, 0, 4}, {4, 6, 2}};
  m.faces.resize(12);
  for (int i = 0; i < 12; ++i) {
    m.faces[static_cast<size_t>(i)].setVerts(f[i][0], f[i][1], f[i][2]);
    m.faces[static_cast<size_t>(i)].smGroup = 1u << (i / 2);
    m.faces[static_cast<size_t>(i)].setMatID(static_cast<MtlID>((i / 4) % 3));
  }
  return m;
}

namespace {
INode* Make(const std::string& name, Object* obj, INode* parent, const Point3& pos) {
  INode* node = TheScene().CreateNode(name, parent, obj);
  if (pos != Point3()) Place(node, pos);
  return node;
}
}  // namespace

INode* Dummy(const std::string& name, INode* parent, const Point3& pos) { return Make(name, new DummyObject(), parent, pos); }
INode* Point(const std::string& name, INode* parent, const Point3& pos) { return Make(name, new PointHelpObject(), parent, pos); }

INode* MeshNode(const std::string& name, const Mesh& mesh, INode* parent, const Point3& pos) {
  auto* obj = new EditableMeshObject();
  obj->mesh = mesh;
  return Make(name, obj, parent, pos);
}

INode* TriNode(const std::string& name, const Mesh& mesh, INode* parent, const Point3& pos) {
  TriObject* obj = CreateNewTriObject();
  obj->mesh = mesh;
  return Make(name, obj, parent, pos);
}

INode* Camera(const std::string& name, float fov, INode* parent, const Point3& pos) {
  auto* cam = new GenCamera();
  cam->SetFOV(0, fov);
  return Make(name, cam, parent, pos);
}

INode* Shape(const std::string& name, INode* parent) { return Make(name, new ShapeObject(), parent, Point3()); }

void PosKeys(INode* node, std::initializer_list<std::pair<int, Point3>> keys) {
  std::vector<TransformKey> list;
  for (const auto& [frame, pos] : keys)
    list.push_back(TransformKey::FromParts(frame * GetTicksPerFrame(), pos, Quat(), Point3(1, 1, 1)));
  node->GetTMController()->Keys().SetKeys(std::move(list));
}

void Place(INode* node, const Point3& pos, const Quat& rot, const Point3& scale) {
  node->GetTMController()->Keys().SetKeys({TransformKey::FromParts(0, pos, rot, scale)});
}

PhysiqueModifier* Skin(INode* meshNode, std::vector<SkinVertex> vertices) {
  auto* mod = new PhysiqueModifier();
  mod->vertices = std::move(vertices);
  Object* base = meshNode->ReleaseObjectRef();
  auto* derived = new IDerivedObject(base);
  derived->AddModifier(mod);
  meshNode->SetObjectRef(derived);
  return mod;
}

SkinVertex Rigid(INode* bone) { return {SkinVertex::Rigid, {{bone, 1.0f}}}; }
SkinVertex Deformable(INode* bone) { return {SkinVertex::Deformable, {{bone, 1.0f}}}; }
SkinVertex Blended(std::initializer_list<std::pair<INode*, float>> bones) { return {SkinVertex::Blended, bones}; }

LinkControl* Link(INode* node, std::initializer_list<std::pair<INode*, int>> targets) {
  auto* link = new LinkControl();
  link->Keys() = node->GetTMController()->Keys();
  for (const auto& [target, frame] : targets) link->AddTarget(target, frame);
  node->SetTMController(link);
  return link;
}

StdMat* Material(const std::string& name, const std::string& bitmap) {
  StdMat* m = NewDefaultStdMat();
  m->SetName(name);
  if (!bitmap.empty()) {
    BitmapTex* tex = NewDefaultBitmapTex();
    tex->SetMapName(bitmap.c_str());
    m->SetSubTexmap(ID_DI, tex);
  }
  return m;
}

MultiMtl* Multi(const std::string& name, std::initializer_list<Mtl*> subs) {
  MultiMtl* m = NewDefaultMultiMtl();
  m->SetName(name);
  m->SetNumSubMtls(static_cast<int>(subs.size()));
  int i = 0;
  for (Mtl* s : subs) m->SetSubMtl(i++, s);
  return m;
}

bool LoadText(const std::string& json, std::string* error) {
  std::unique_ptr<Scene> scene = ParseScene(json, "test.scene.json", error);
  if (scene == nullptr) return false;
  SetCurrentScene(std::move(scene));
  return true;
}

}  // namespace build
