// Scene-file saving: the current scene as one JSON document (materials reachable from the
// nodes, nodes parents first), written to a temporary file and renamed over the target.
#include <cstdio>
#include <fstream>
#include <map>
#include <unistd.h>

#include "host/Control.h"
#include "host/Physique.h"
#include "host/standalone/Cp1251.h"
#include "host/standalone/Scene.h"
#include "host/standalone/SceneFile.h"
#include "host/standalone/SceneFileJson.h"

namespace {

Json Vec(const Point3& p) { return Json::array({p.x, p.y, p.z}); }
Json QuatJson(const Quat& q) { return Json::array({q.x, q.y, q.z, q.w}); }
Json MatrixJson(const Matrix3& m) {
  Json a = Json::array();
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 3; ++c) a.push_back(m[r][c]);
  return a;
}
Json ClassIdJson(const Class_ID& id) { return Json::array({id.PartA(), id.PartB()}); }
Json Text(const std::string& cp1251) { return Cp1251ToUtf8(cp1251); }

// A frame number: an integer when the time falls on a frame.
Json Frame(TimeValue t, int tpf) {
  if (t % tpf == 0) return t / tpf;
  return static_cast<double>(t) / tpf;
}

class Writer {
 public:
  Writer(const Scene& scene) : scene_(scene), tpf_(TicksPerFrameAt(scene.FrameRate())) {}

  Json Document() {
    Json doc = Json::object();
    doc["format"] = "quarn-scene";
    doc["version"] = 1;
    doc["frameRate"] = scene_.FrameRate();
    doc["animationRange"] = Json::array({scene_.AnimStartFrame(), scene_.AnimEndFrame()});
    Json props = Json::object();
    for (int i = 0; i < scene_.Properties().Count(); ++i) props[WideToUtf8(scene_.Properties().At(i)->name)] = Property(*scene_.Properties().At(i));
    if (!props.empty()) doc["properties"] = props;
    const std::vector<INode*> nodes = scene_.Nodes();
    for (size_t i = 0; i < nodes.size(); ++i) nodeIds_[nodes[i]] = "n" + std::to_string(i + 1);
    for (INode* n : nodes) MaterialId(n->GetMtl());
    if (!materials_.empty()) doc["materials"] = materials_;
    Json list = Json::array();
    for (INode* n : nodes) list.push_back(Node(n));
    if (!list.empty()) doc["nodes"] = list;
    return doc;
  }

 private:
  static Json Property(const CustomProperty& p) {
    switch (p.type) {
      case VT_R4: return {{"type", "VT_R4"}, {"value", p.r4}};
      case VT_I4: return {{"type", "VT_I4"}, {"value", p.i4}};
      case VT_BOOL: return {{"type", "VT_BOOL"}, {"value", p.b}};
      default: return {{"type", "VT_LPSTR"}, {"value", Text(p.text)}};
    }
  }

  Json NodeRef(INode* n) const {
    if (n == nullptr || n->IsDeleted()) return nullptr;
    auto it = nodeIds_.find(n);
    return it == nodeIds_.end() ? Json(nullptr) : Json(it->second);
  }

  static Json Texmap(::Texmap* t) {
    if (auto* b = dynamic_cast<BitmapTex*>(t))
      return {{"class", "bitmap"}, {"file", Text(b->GetMapName())}, {"alphaSource", b->GetAlphaSource()},
              {"alphaAsMono", b->GetAlphaAsMono() != FALSE}, {"filter", b->GetFilterType()}};
    return {{"class", "other"}};
  }

  static void Maps(Mtl* m, Json& out) {
    Json maps = Json::object();
    for (int i = 0; i < m->NumSubTexmaps(); ++i)
      if (::Texmap* t = m->GetSubTexmap(i)) maps[std::to_string(i)] = Texmap(t);
    if (!maps.empty()) out["maps"] = maps;
  }

  // The material's id, writing it (after its sub-materials) on first use.
  Json MaterialId(Mtl* m) {
    if (m == nullptr) return nullptr;
    auto it = mtlIds_.find(m);
    if (it != mtlIds_.end()) return it->second;
    const std::string id = "m" + std::to_string(mtlIds_.size() + 1);
    mtlIds_[m] = id;
    Json slots = Json::array();
    for (int i = 0; i < m->NumSubMtls(); ++i) slots.push_back(MaterialId(m->GetSubMtl(i)));
    Json j = Json::object();
    j["id"] = id;
    if (auto* s = dynamic_cast<StdMat*>(m)) {
      j["class"] = "standard";
      j["name"] = Text(m->GetName().str());
      j["twoSided"] = s->GetTwoSided() != FALSE;
      j["opacity"] = s->GetOpacity();
      j["ambient"] = Vec(Point3(s->GetAmbient()));
      j["diffuse"] = Vec(Point3(s->GetDiffuse()));
      j["specular"] = Vec(Point3(s->GetSpecular()));
      j["shininess"] = s->GetShininess();
      j["shininessStrength"] = s->GetShinStr();
      Maps(m, j);
      for (int i = 0; i < m->NumSubTexmaps(); ++i)
        if (m->GetActiveTexmap() != nullptr && m->GetSubTexmap(i) == m->GetActiveTexmap()) { j["activeMap"] = i; break; }
      j["showInViewport"] = m->TestMtlFlag(MTL_TEX_DISPLAY_ENABLED) != FALSE;
    } else if (dynamic_cast<MultiMtl*>(m) != nullptr) {
      j["class"] = "multi";
      j["name"] = Text(m->GetName().str());
      j["slots"] = slots;
    } else {
      j["class"] = "other";
      j["classId"] = ClassIdJson(m->ClassID());
      j["name"] = Text(m->GetName().str());
      Maps(m, j);
      if (!slots.empty()) j["slots"] = slots;
    }
    materials_.push_back(j);
    return id;
  }

  static Json Parts(const TransformKey& k, Json j) {
    if (k.isMatrix) {
      j["matrix"] = MatrixJson(k.matrix);
    } else {
      j["pos"] = Vec(k.pos);
      j["rot"] = QuatJson(k.rot);
      j["scale"] = Vec(k.scale);
    }
    return j;
  }

  Json Transform(const TransformKeys& keys) const {
    const auto& list = keys.Keys();
    if (list.size() == 1 && list[0].time == 0) return Parts(list[0], Json::object());
    Json out = Json::array();
    for (const TransformKey& k : list) out.push_back(Parts(k, Json{{"frame", Frame(k.time, tpf_)}}));
    return {{"keys", out}};
  }

  static Json Mesh(const ::Mesh& m) {
    Json j = {{"type", "mesh"}};
    Json verts = Json::array();
    for (const Point3& v : m.verts) verts.push_back(Vec(v));
    j["vertices"] = verts;
    Json faces = Json::array();
    for (const Face& f : m.faces) {
      Json fj = {{"v", {f.v[0], f.v[1], f.v[2]}}, {"smoothing", f.smGroup}, {"material", f.getMatID()}};
      if (f.Hidden()) fj["hidden"] = true;
      if ((f.flags & EDGE_ALL) != EDGE_ALL) fj["edges"] = {f.getEdgeVis(0), f.getEdgeVis(1), f.getEdgeVis(2)};
      faces.push_back(fj);
    }
    j["faces"] = faces;
    auto points = [](const UVVert* p, int n) {
      Json a = Json::array();
      for (int i = 0; i < n; ++i) a.push_back(Vec(p[i]));
      return a;
    };
    auto triples = [](const TVFace* f, int n) {
      Json a = Json::array();
      for (int i = 0; i < n; ++i) a.push_back({f[i].t[0], f[i].t[1], f[i].t[2]});
      return a;
    };
    if (!m.tVerts.empty() || !m.tvFace.empty()) {
      j["tverts"] = points(m.tVerts.data(), m.getNumTVerts());
      if (!m.tvFace.empty()) j["tvfaces"] = triples(m.tvFace.data(), static_cast<int>(m.tvFace.size()));
    }
    Json maps = Json::object();
    ::Mesh& mm = const_cast<::Mesh&>(m);
    for (int c = 2; c < m.getNumMaps(); ++c) {
      if (!m.mapSupport(c)) continue;
      Json ch = {{"verts", points(mm.mapVerts(c), m.getNumMapVerts(c))}};
      if (mm.mapFaces(c) != nullptr) ch["faces"] = triples(mm.mapFaces(c), m.getNumFaces());
      maps[std::to_string(c)] = ch;
    }
    if (!maps.empty()) j["maps"] = maps;
    if (m.cornerNormals.size() == 3 * m.faces.size() && !m.faces.empty()) {
      j["normals"] = points(m.cornerNormals.data(), static_cast<int>(m.cornerNormals.size()));
    } else if (!m.vertexNormals.empty() && !m.faces.empty()) {
      Json n = Json::array();
      for (const Face& f : m.faces)
        for (int c = 0; c < 3; ++c) n.push_back(Vec(m.getNormal(static_cast<int>(f.v[c]))));
      j["normals"] = n;
    }
    return j;
  }

  Json ObjectJson(Object* obj) const {
    if (::Mesh* mesh = GetObjectMesh(obj)) return Mesh(*mesh);
    if (auto* cam = dynamic_cast<GenCamera*>(obj)) {
      Json j = {{"type", "camera"}};
      if (cam->FOVKeys().empty()) {
        j["fov"] = cam->ConstantFOV();
      } else {
        Json keys = Json::array();
        for (const auto& k : cam->FOVKeys()) keys.push_back({{"frame", Frame(k.time, tpf_)}, {"fov", k.fov}});
        j["fovKeys"] = keys;
      }
      return j;
    }
    if (auto* d = dynamic_cast<DummyObject*>(obj))
      return {{"type", "dummy"}, {"box", {Vec(d->GetBox().pmin), Vec(d->GetBox().pmax)}}, {"color", Vec(d->GetColor())}};
    if (dynamic_cast<PointHelpObject*>(obj) != nullptr) return {{"type", "point"}};
    if (dynamic_cast<ShapeObject*>(obj) != nullptr) return {{"type", "shape"}};
    return {{"type", "other"}, {"superClass", obj->SuperClassID()}, {"classId", ClassIdJson(obj->ClassID())},
            {"convertible", obj->CanConvertToType(triObjectClassID) != 0}};
  }

  Json Physique(const PhysiqueModifier& p) const {
    Json verts = Json::array();
    for (const SkinVertex& v : p.vertices) {
      INode* first = v.bones.empty() ? nullptr : v.bones[0].first;
      if (v.kind == SkinVertex::Rigid) {
        verts.push_back({{"rigid", NodeRef(first)}});
      } else if (v.kind == SkinVertex::Deformable) {
        verts.push_back({{"deformable", NodeRef(first)}});
      } else {
        Json bones = Json::array();
        for (const auto& [bone, weight] : v.bones) bones.push_back({NodeRef(bone), weight});
        verts.push_back({{"blended", bones}});
      }
    }
    Json j = {{"type", "physique"}, {"vertices", verts}};
    Json bind = Json::object();
    if (p.hasMeshBind) bind["mesh"] = MatrixJson(p.meshBind);
    Json bones = Json::object();
    for (INode* n : scene_.Nodes()) {  // scene order, so the output does not depend on addresses
      auto it = p.boneBinds.find(n);
      if (it != p.boneBinds.end()) bones[nodeIds_.at(n)] = MatrixJson(it->second);
    }
    if (!bones.empty()) bind["bones"] = bones;
    if (!bind.empty()) j["bind"] = bind;
    return j;
  }

  Json Node(INode* n) {
    Json j = Json::object();
    j["id"] = nodeIds_.at(n);
    j["name"] = Text(n->GetName());
    j["parent"] = n->GetParentNode() == scene_.GetRootNode() ? Json(nullptr) : NodeRef(n->GetParentNode());
    if (n->IsHidden()) j["hidden"] = true;
    if (n->Selected()) j["selected"] = true;
    CStr props;
    n->GetUserPropBuffer(props);
    if (props.Length() > 0) j["userProps"] = Text(props.str());
    if (n->GetMtl() != nullptr) j["material"] = MaterialId(n->GetMtl());
    Control* ctrl = n->GetTMController();
    if (!ctrl->Keys().Keys().empty()) j["transform"] = Transform(ctrl->Keys());
    if (n->GetObjOffsetPos() != Point3() || !n->GetObjOffsetRot().IsIdentity() ||
        n->GetObjOffsetScale() != Point3(1, 1, 1))
      j["objectOffset"] = {{"pos", Vec(n->GetObjOffsetPos())}, {"rot", QuatJson(n->GetObjOffsetRot())},
                           {"scale", Vec(n->GetObjOffsetScale())}};
    Object* obj = n->GetObjectRef();
    if (IDerivedObject* derived = AsDerivedObject(obj)) {
      if (derived->GetObjRef() != nullptr) j["object"] = ObjectJson(derived->GetObjRef());
      Json mods = Json::array();
      for (int i = derived->NumModifiers() - 1; i >= 0; --i) {
        Modifier* m = derived->GetModifier(i);
        if (auto* p = dynamic_cast<PhysiqueModifier*>(m)) mods.push_back(Physique(*p));
        else mods.push_back({{"type", "other"}, {"classId", ClassIdJson(m->ClassID())}});
      }
      j["modifiers"] = mods;
    } else if (obj != nullptr) {
      j["object"] = ObjectJson(obj);
    }
    if (auto* link = dynamic_cast<LinkControl*>(ctrl)) {
      Json targets = Json::array();
      for (const auto& t : link->Targets()) targets.push_back({{"node", NodeRef(t.node)}, {"frame", Frame(t.time, tpf_)}});
      j["controller"] = {{"type", "link"}, {"targets", targets}};
    }
    return j;
  }

  const Scene& scene_;
  int tpf_;
  std::map<INode*, std::string> nodeIds_;
  std::map<Mtl*, std::string> mtlIds_;
  Json materials_ = Json::array();
};

}  // namespace

bool WriteScene(const Scene& scene, std::string& jsonText, std::string* /*error*/) {
  jsonText = Writer(scene).Document().dump(1, '\t') + "\n";
  return true;
}

bool SaveSceneFile(const std::string& path, std::string* error) {
  std::string text;
  if (!WriteScene(TheScene(), text, error)) return false;
  const std::string temp = path + ".tmp" + std::to_string(::getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
      std::remove(temp.c_str());
      if (error != nullptr) *error = path + ": cannot write the file";
      return false;
    }
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(temp.c_str());
    if (error != nullptr) *error = path + ": cannot replace the file";
    return false;
  }
  return true;
}
