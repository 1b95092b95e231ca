// Scene-file reading of objects (meshes, cameras, helpers, shapes, others), modifier stacks
// (Physique skins) and materials with their texture maps.
#include <cmath>
#include <memory>

#include "host/Mtl.h"
#include "host/Object.h"
#include "host/Physique.h"
#include "host/standalone/Scene.h"
#include "host/standalone/SceneFileJson.h"

namespace {

constexpr int kMaxChannel = 99;

bool ReadClassId(JsonReader& r, const Json& j, const std::string& path, Class_ID& out) {
  if (!r.Array(j, path, 2)) return false;
  std::int64_t a = 0, b = 0;
  if (!r.Int(j[0], JsonReader::Index(path, 0), 0, 0xFFFFFFFFLL, a) ||
      !r.Int(j[1], JsonReader::Index(path, 1), 0, 0xFFFFFFFFLL, b))
    return false;
  out = Class_ID(static_cast<ULONG>(a), static_cast<ULONG>(b));
  return true;
}

// Three indices, each below limit.
bool ReadTriple(JsonReader& r, const Json& j, const std::string& path, size_t limit, const char* what, DWORD out[3]) {
  if (!r.Array(j, path, 3)) return false;
  for (size_t c = 0; c < 3; ++c) {
    std::int64_t idx = 0;
    if (!r.Int(j[c], JsonReader::Index(path, c), 0, 0xFFFFFFFFLL, idx)) return false;
    if (static_cast<size_t>(idx) >= limit)
      return r.Fail(JsonReader::Index(path, c),
                    "index " + std::to_string(idx) + " out of range (" + std::to_string(limit) + " " + what + ")");
    out[c] = static_cast<DWORD>(idx);
  }
  return true;
}

bool ReadTriples(JsonReader& r, const Json& list, const std::string& path, size_t limit, const char* what,
                 std::vector<TVFace>& out) {
  if (!r.Array(list, path)) return false;
  out.resize(list.size());
  for (size_t f = 0; f < list.size(); ++f)
    if (!ReadTriple(r, list[f], JsonReader::Index(path, f), limit, what, out[f].t)) return false;
  return true;
}

bool ReadPoints(JsonReader& r, const Json& list, const std::string& path, std::vector<Point3>& out) {
  if (!r.Array(list, path)) return false;
  out.resize(list.size());
  for (size_t i = 0; i < list.size(); ++i)
    if (!r.Point(list[i], JsonReader::Index(path, i), out[i])) return false;
  return true;
}

bool ReadFace(JsonReader& r, const Json& j, const std::string& path, size_t numVerts, Face& face) {
  if (!r.Object(j, path, {"v", "smoothing", "material", "hidden", "edges"})) return false;
  const Json* v = JsonReader::Member(j, "v");
  if (v == nullptr) return r.Fail(path, "a face needs \"v\"");
  if (!ReadTriple(r, *v, JsonReader::Key(path, "v"), numVerts, "vertices", face.v)) return false;
  if (const Json* s = JsonReader::Member(j, "smoothing")) {
    std::int64_t bits = 0;
    if (!r.Int(*s, JsonReader::Key(path, "smoothing"), 0, 0xFFFFFFFFLL, bits)) return false;
    face.smGroup = static_cast<DWORD>(bits);
  }
  if (const Json* m = JsonReader::Member(j, "material")) {
    int id = 0;
    if (!r.Int(*m, JsonReader::Key(path, "material"), 0, 0xFFFF, id)) return false;
    face.setMatID(static_cast<MtlID>(id));
  }
  if (const Json* h = JsonReader::Member(j, "hidden")) {
    bool hidden = false;
    if (!r.Bool(*h, JsonReader::Key(path, "hidden"), hidden)) return false;
    face.SetHide(hidden);
  }
  if (const Json* e = JsonReader::Member(j, "edges")) {
    const std::string ep = JsonReader::Key(path, "edges");
    if (!r.Array(*e, ep, 3)) return false;
    for (size_t i = 0; i < 3; ++i) {
      bool vis = true;
      if (!r.Bool((*e)[i], JsonReader::Index(ep, i), vis)) return false;
      face.setEdgeVis(static_cast<int>(i), vis);
    }
  }
  return true;
}

bool ReadMesh(JsonReader& r, const Json& j, const std::string& path, Mesh& mesh) {
  if (!r.Object(j, path, {"type", "vertices", "faces", "tverts", "tvfaces", "maps", "normals"})) return false;
  if (const Json* v = JsonReader::Member(j, "vertices"))
    if (!ReadPoints(r, *v, JsonReader::Key(path, "vertices"), mesh.verts)) return false;
  if (const Json* f = JsonReader::Member(j, "faces")) {
    const std::string fp = JsonReader::Key(path, "faces");
    if (!r.Array(*f, fp)) return false;
    mesh.faces.resize(f->size());
    for (size_t i = 0; i < f->size(); ++i)
      if (!ReadFace(r, (*f)[i], JsonReader::Index(fp, i), mesh.verts.size(), mesh.faces[i])) return false;
  }
  const Json* tv = JsonReader::Member(j, "tverts");
  const Json* tf = JsonReader::Member(j, "tvfaces");
  if (tv != nullptr && !ReadPoints(r, *tv, JsonReader::Key(path, "tverts"), mesh.tVerts)) return false;
  if (tf != nullptr) {
    const std::string tp = JsonReader::Key(path, "tvfaces");
    if (!ReadTriples(r, *tf, tp, mesh.tVerts.size(), "texture vertices", mesh.tvFace)) return false;
    if (mesh.tvFace.size() != mesh.faces.size())
      return r.Fail(tp, "expected one texture face per face (" + std::to_string(mesh.faces.size()) + ")");
  }
  if (const Json* maps = JsonReader::Member(j, "maps")) {
    const std::string mp = JsonReader::Key(path, "maps");
    if (!maps->is_object()) return r.Object(*maps, mp, {});
    for (auto it = maps->begin(); it != maps->end(); ++it) {
      int channel = 0;
      if (!r.SlotKey(it.key(), mp, kMaxChannel, channel)) return false;
      const std::string cp = JsonReader::Key(mp, it.key());
      if (channel < 2) return r.Fail(cp, "map channel " + it.key() + " is not 2 or above (channel 1 is tverts)");
      if (!r.Object(*it, cp, {"verts", "faces"})) return false;
      std::vector<Point3> verts;
      std::vector<TVFace> faces;
      if (const Json* mv = JsonReader::Member(*it, "verts"))
        if (!ReadPoints(r, *mv, JsonReader::Key(cp, "verts"), verts)) return false;
      if (const Json* mf = JsonReader::Member(*it, "faces")) {
        if (!ReadTriples(r, *mf, JsonReader::Key(cp, "faces"), verts.size(), "map vertices", faces)) return false;
        if (faces.size() != mesh.faces.size())
          return r.Fail(JsonReader::Key(cp, "faces"), "expected one map face per face (" + std::to_string(mesh.faces.size()) + ")");
      }
      mesh.setMapSupport(channel, true);
      mesh.setNumMapVerts(channel, static_cast<int>(verts.size()));
      mesh.setNumMapFaces(channel, static_cast<int>(faces.size()));
      for (size_t i = 0; i < verts.size(); ++i) mesh.mapVerts(channel)[i] = verts[i];
      for (size_t i = 0; i < faces.size(); ++i) mesh.mapFaces(channel)[i] = faces[i];
    }
  }
  if (const Json* n = JsonReader::Member(j, "normals")) {
    const std::string np = JsonReader::Key(path, "normals");
    if (!ReadPoints(r, *n, np, mesh.cornerNormals)) return false;
    if (mesh.cornerNormals.size() != 3 * mesh.faces.size())
      return r.Fail(np, "expected three normals per face (" + std::to_string(3 * mesh.faces.size()) + ")");
  }
  return true;
}

bool ReadCamera(JsonReader& r, const Json& j, const std::string& path, int tpf, GenCamera& cam) {
  if (!r.Object(j, path, {"type", "fov", "fovKeys"})) return false;
  if (const Json* f = JsonReader::Member(j, "fov")) {
    float fov = 0;
    if (!r.Float(*f, JsonReader::Key(path, "fov"), fov)) return false;
    cam.SetFOV(0, fov);
  }
  if (const Json* keys = JsonReader::Member(j, "fovKeys")) {
    const std::string kp = JsonReader::Key(path, "fovKeys");
    if (!r.Array(*keys, kp)) return false;
    std::vector<GenCamera::FovKey> out;
    for (size_t i = 0; i < keys->size(); ++i) {
      const std::string ip = JsonReader::Index(kp, i);
      if (!r.Object((*keys)[i], ip, {"frame", "fov"})) return false;
      const Json* fr = JsonReader::Member((*keys)[i], "frame");
      const Json* fv = JsonReader::Member((*keys)[i], "fov");
      if (fr == nullptr || fv == nullptr) return r.Fail(ip, "a field of view key needs \"frame\" and \"fov\"");
      double frame = 0;
      GenCamera::FovKey key;
      if (!r.Number(*fr, JsonReader::Key(ip, "frame"), frame) || !r.Float(*fv, JsonReader::Key(ip, "fov"), key.fov))
        return false;
      if (std::fabs(frame) > 1e6) return r.Fail(JsonReader::Key(ip, "frame"), "the frame is out of range");
      key.time = static_cast<TimeValue>(std::llround(frame * tpf));
      if (!out.empty() && key.time <= out.back().time)
        return r.Fail(JsonReader::Key(ip, "frame"), "keys are not in increasing frame order");
      out.push_back(key);
    }
    cam.SetFOVKeys(std::move(out));
  }
  return true;
}

bool ReadDummy(JsonReader& r, const Json& j, const std::string& path, DummyObject& dummy) {
  if (!r.Object(j, path, {"type", "box", "color"})) return false;
  if (const Json* b = JsonReader::Member(j, "box")) {
    const std::string bp = JsonReader::Key(path, "box");
    Box3 box;
    if (!r.Array(*b, bp, 2) || !r.Point((*b)[0], JsonReader::Index(bp, 0), box.pmin) ||
        !r.Point((*b)[1], JsonReader::Index(bp, 1), box.pmax))
      return false;
    dummy.SetBox(box);
  }
  if (const Json* c = JsonReader::Member(j, "color")) {
    Point3 color;
    if (!r.Point(*c, JsonReader::Key(path, "color"), color)) return false;
    dummy.SetColor(color);
  }
  return true;
}

bool ReadOther(JsonReader& r, const Json& j, const std::string& path, Object*& out) {
  if (!r.Object(j, path, {"type", "superClass", "classId", "convertible"})) return false;
  std::int64_t sclass = 0;
  Class_ID id(0x7F000000, 0);
  bool convertible = false;
  if (const Json* s = JsonReader::Member(j, "superClass"))
    if (!r.Int(*s, JsonReader::Key(path, "superClass"), 0, 0xFFFFFFFFLL, sclass)) return false;
  if (const Json* c = JsonReader::Member(j, "classId"))
    if (!ReadClassId(r, *c, JsonReader::Key(path, "classId"), id)) return false;
  if (const Json* c = JsonReader::Member(j, "convertible"))
    if (!r.Bool(*c, JsonReader::Key(path, "convertible"), convertible)) return false;
  out = new OtherObject(static_cast<SClass_ID>(sclass), id, convertible);
  return true;
}

}  // namespace

bool ReadObject(JsonReader& r, const Json& j, const std::string& path, int tpf, Object*& out) {
  out = nullptr;
  if (!j.is_object()) return r.Object(j, path, {});
  const Json* type = JsonReader::Member(j, "type");
  std::string kind;
  if (type == nullptr) return r.Fail(path, "an object needs \"type\"");
  if (!r.Utf8(*type, JsonReader::Key(path, "type"), kind)) return false;
  if (kind == "mesh") {
    auto obj = std::make_unique<EditableMeshObject>();
    if (!ReadMesh(r, j, path, obj->mesh)) return false;
    out = obj.release();
  } else if (kind == "camera") {
    auto obj = std::make_unique<GenCamera>();
    if (!ReadCamera(r, j, path, tpf, *obj)) return false;
    out = obj.release();
  } else if (kind == "dummy") {
    auto obj = std::make_unique<DummyObject>();
    if (!ReadDummy(r, j, path, *obj)) return false;
    out = obj.release();
  } else if (kind == "point" || kind == "shape") {
    if (!r.Object(j, path, {"type"})) return false;
    out = kind == "point" ? static_cast<Object*>(new PointHelpObject()) : new ShapeObject();
  } else if (kind == "other") {
    return ReadOther(r, j, path, out);
  } else {
    return r.Fail(JsonReader::Key(path, "type"), "unknown object type \"" + kind + "\"");
  }
  return true;
}

namespace {

bool ReadBoneRef(JsonReader& r, const Json& j, const std::string& path, PhysiqueModifier* mod, size_t vertex,
                 size_t slot, PendingRefs& pending) {
  if (j.is_null()) return true;
  std::string id;
  if (!r.Utf8(j, path, id)) return false;
  pending.bones.push_back({mod, vertex, slot, id, path});
  return true;
}

bool ReadSkinVertex(JsonReader& r, const Json& j, const std::string& path, PhysiqueModifier* mod, size_t index,
                    PendingRefs& pending) {
  if (!r.Object(j, path, {"rigid", "blended", "deformable"})) return false;
  if (j.size() != 1) return r.Fail(path, "a skin vertex needs exactly one of \"rigid\", \"blended\", \"deformable\"");
  SkinVertex& v = mod->vertices[index];
  const auto it = j.begin();
  const std::string vp = JsonReader::Key(path, it.key());
  if (it.key() != "blended") {
    v.kind = it.key() == "rigid" ? SkinVertex::Rigid : SkinVertex::Deformable;
    v.bones.assign(1, {nullptr, 1.0f});
    return ReadBoneRef(r, *it, vp, mod, index, 0, pending);
  }
  v.kind = SkinVertex::Blended;
  if (!r.Array(*it, vp)) return false;
  v.bones.assign(it->size(), {nullptr, 0.0f});
  for (size_t b = 0; b < it->size(); ++b) {
    const std::string bp = JsonReader::Index(vp, b);
    if (!r.Array((*it)[b], bp, 2)) return false;
    if (!ReadBoneRef(r, (*it)[b][0], JsonReader::Index(bp, 0), mod, index, b, pending)) return false;
    if (!r.Float((*it)[b][1], JsonReader::Index(bp, 1), v.bones[b].second)) return false;
    if (v.bones[b].second < 0.0f) return r.Fail(JsonReader::Index(bp, 1), "a weight is negative");
  }
  return true;
}

bool ReadPhysique(JsonReader& r, const Json& j, const std::string& path, size_t numVerts, PhysiqueModifier* mod,
                  PendingRefs& pending) {
  if (!r.Object(j, path, {"type", "vertices", "bind"})) return false;
  const Json* verts = JsonReader::Member(j, "vertices");
  const std::string vp = JsonReader::Key(path, "vertices");
  if (verts == nullptr) return r.Fail(path, "a physique modifier needs \"vertices\"");
  if (!r.Array(*verts, vp)) return false;
  if (verts->size() != numVerts)
    return r.Fail(vp, "expected one entry per mesh vertex (" + std::to_string(numVerts) + "), found " +
                          std::to_string(verts->size()));
  mod->vertices.resize(numVerts);
  for (size_t i = 0; i < numVerts; ++i)
    if (!ReadSkinVertex(r, (*verts)[i], JsonReader::Index(vp, i), mod, i, pending)) return false;
  if (const Json* bind = JsonReader::Member(j, "bind")) {
    const std::string bp = JsonReader::Key(path, "bind");
    if (!r.Object(*bind, bp, {"mesh", "bones"})) return false;
    if (const Json* m = JsonReader::Member(*bind, "mesh")) {
      if (!r.Matrix(*m, JsonReader::Key(bp, "mesh"), mod->meshBind)) return false;
      mod->hasMeshBind = true;
    }
    if (const Json* bones = JsonReader::Member(*bind, "bones")) {
      const std::string bsp = JsonReader::Key(bp, "bones");
      if (!bones->is_object()) return r.Object(*bones, bsp, {});
      for (auto it = bones->begin(); it != bones->end(); ++it) {
        PendingRefs::BindBone b{mod, it.key(), Matrix3(), JsonReader::Key(bsp, it.key())};
        if (!r.Matrix(*it, b.path, b.tm)) return false;
        pending.bindBones.push_back(std::move(b));
      }
    }
  }
  return true;
}

}  // namespace

bool ReadModifiers(JsonReader& r, const Json& list, const std::string& path, Object* base, Object*& out,
                   PendingRefs& pending) {
  out = base;
  if (!r.Array(list, path)) return false;
  auto derived = std::make_unique<IDerivedObject>(nullptr);
  const Mesh* mesh = GetObjectMesh(base);
  for (size_t i = 0; i < list.size(); ++i) {
    const std::string mp = JsonReader::Index(path, i);
    const Json& m = list[i];
    if (!m.is_object()) return r.Object(m, mp, {});
    const Json* type = JsonReader::Member(m, "type");
    std::string kind;
    if (type == nullptr) return r.Fail(mp, "a modifier needs \"type\"");
    if (!r.Utf8(*type, JsonReader::Key(mp, "type"), kind)) return false;
    if (kind == "physique") {
      if (mesh == nullptr) return r.Fail(mp, "a physique modifier needs a mesh object");
      auto* mod = new PhysiqueModifier();
      derived->AddModifier(mod);
      if (!ReadPhysique(r, m, mp, mesh->verts.size(), mod, pending)) return false;
    } else if (kind == "other") {
      if (!r.Object(m, mp, {"type", "classId"})) return false;
      Class_ID id(0x7F000000, 1);
      if (const Json* c = JsonReader::Member(m, "classId"))
        if (!ReadClassId(r, *c, JsonReader::Key(mp, "classId"), id)) return false;
      derived->AddModifier(new OtherModifier(id));
    } else {
      return r.Fail(JsonReader::Key(mp, "type"), "unknown modifier type \"" + kind + "\"");
    }
  }
  derived->ReferenceObject(base);
  out = derived.release();
  return true;
}

// ---------------------------------------------------------------------------------------
// Materials

namespace {

bool ReadTexmap(JsonReader& r, const Json& j, const std::string& path, Scene& scene, Texmap*& out) {
  if (!j.is_object()) return r.Object(j, path, {});
  const Json* cls = JsonReader::Member(j, "class");
  std::string kind;
  if (cls == nullptr) return r.Fail(path, "a texture map needs \"class\"");
  if (!r.Utf8(*cls, JsonReader::Key(path, "class"), kind)) return false;
  if (kind == "other") {
    if (!r.Object(j, path, {"class"})) return false;
    out = scene.AdoptTexmap(new OtherTexmap());
    return true;
  }
  if (kind != "bitmap") return r.Fail(JsonReader::Key(path, "class"), "unknown texture map class \"" + kind + "\"");
  if (!r.Object(j, path, {"class", "file", "alphaSource", "alphaAsMono", "filter"})) return false;
  auto* tex = scene.AdoptTexmap(new BitmapTex());
  out = tex;
  if (const Json* f = JsonReader::Member(j, "file")) {
    std::string file;
    if (!r.Text(*f, JsonReader::Key(path, "file"), file)) return false;
    tex->SetMapName(file.c_str());
  }
  int v = 0;
  bool b = false;
  if (const Json* a = JsonReader::Member(j, "alphaSource")) {
    if (!r.Int(*a, JsonReader::Key(path, "alphaSource"), 0, 3, v)) return false;
    tex->SetAlphaSource(v);
  }
  if (const Json* a = JsonReader::Member(j, "alphaAsMono")) {
    if (!r.Bool(*a, JsonReader::Key(path, "alphaAsMono"), b)) return false;
    tex->SetAlphaAsMono(b ? TRUE : FALSE);
  }
  if (const Json* fl = JsonReader::Member(j, "filter")) {
    if (!r.Int(*fl, JsonReader::Key(path, "filter"), 0, 2, v)) return false;
    tex->SetFilterType(v);
  }
  return true;
}

bool ReadMaps(JsonReader& r, const Json& j, const std::string& path, Scene& scene, Mtl& mtl) {
  if (!j.is_object()) return r.Object(j, path, {});
  for (auto it = j.begin(); it != j.end(); ++it) {
    int slot = 0;
    if (!r.SlotKey(it.key(), path, 255, slot)) return false;
    Texmap* map = nullptr;
    if (!ReadTexmap(r, *it, JsonReader::Key(path, it.key()), scene, map)) return false;
    mtl.SetSubTexmap(slot, map);
  }
  return true;
}

bool ReadColor(JsonReader& r, const Json& j, const std::string& path, Color& out) {
  Point3 p;
  if (!r.Point(j, path, p)) return false;
  out = Color(p);
  return true;
}

bool ReadStandard(JsonReader& r, const Json& j, const std::string& path, Scene& scene, StdMat& m) {
  if (!r.Object(j, path, {"id", "class", "name", "twoSided", "opacity", "ambient", "diffuse", "specular", "shininess",
                          "shininessStrength", "maps", "activeMap", "showInViewport"}))
    return false;
  bool b = false;
  float f = 0;
  Color c;
  if (const Json* v = JsonReader::Member(j, "twoSided")) {
    if (!r.Bool(*v, JsonReader::Key(path, "twoSided"), b)) return false;
    m.SetTwoSided(b ? TRUE : FALSE);
  }
  if (const Json* v = JsonReader::Member(j, "opacity")) {
    if (!r.Float(*v, JsonReader::Key(path, "opacity"), f)) return false;
    m.SetOpacity(f, 0);
  }
  struct ColorSlot { const char* key; void (StdMat::*set)(const Color&, TimeValue); };
  for (const ColorSlot& s : {ColorSlot{"ambient", &StdMat::SetAmbient}, ColorSlot{"diffuse", &StdMat::SetDiffuse},
                             ColorSlot{"specular", &StdMat::SetSpecular}})
    if (const Json* v = JsonReader::Member(j, s.key)) {
      if (!ReadColor(r, *v, JsonReader::Key(path, s.key), c)) return false;
      (m.*s.set)(c, 0);
    }
  if (const Json* v = JsonReader::Member(j, "shininess")) {
    if (!r.Float(*v, JsonReader::Key(path, "shininess"), f)) return false;
    m.SetShininess(f, 0);
  }
  if (const Json* v = JsonReader::Member(j, "shininessStrength")) {
    if (!r.Float(*v, JsonReader::Key(path, "shininessStrength"), f)) return false;
    m.SetShinStr(f, 0);
  }
  if (const Json* v = JsonReader::Member(j, "maps"))
    if (!ReadMaps(r, *v, JsonReader::Key(path, "maps"), scene, m)) return false;
  if (const Json* v = JsonReader::Member(j, "activeMap")) {
    int slot = 0;
    if (!r.Int(*v, JsonReader::Key(path, "activeMap"), 0, 255, slot)) return false;
    if (m.GetSubTexmap(slot) == nullptr)
      return r.Fail(JsonReader::Key(path, "activeMap"), "slot " + std::to_string(slot) + " holds no map");
    m.SetActiveTexmap(m.GetSubTexmap(slot));
  }
  if (const Json* v = JsonReader::Member(j, "showInViewport")) {
    if (!r.Bool(*v, JsonReader::Key(path, "showInViewport"), b)) return false;
    m.SetMtlFlag(MTL_TEX_DISPLAY_ENABLED, b ? TRUE : FALSE);
  }
  return true;
}

// Slots are resolved after every material exists (a slot may name a later material).
struct PendingSlots {
  Mtl* mtl;
  const Json* slots;
  std::string path;
};

// True when target is reachable from m's sub-materials.
bool ContainsItself(Mtl* m, Mtl* target, int depth) {
  if (depth > 64) return true;
  for (int i = 0; i < m->NumSubMtls(); ++i) {
    Mtl* sub = m->GetSubMtl(i);
    if (sub == nullptr) continue;
    if (sub == target || ContainsItself(sub, target, depth + 1)) return true;
  }
  return false;
}

}  // namespace

bool ReadMaterials(JsonReader& r, const Json& list, const std::string& path, Scene& scene, SceneIds& ids) {
  if (!r.Array(list, path)) return false;
  std::vector<PendingSlots> pending;
  for (size_t i = 0; i < list.size(); ++i) {
    const std::string mp = JsonReader::Index(path, i);
    const Json& j = list[i];
    if (!j.is_object()) return r.Object(j, mp, {});
    const Json* id = JsonReader::Member(j, "id");
    const Json* cls = JsonReader::Member(j, "class");
    std::string idText, kind, name;
    if (id == nullptr || cls == nullptr) return r.Fail(mp, "a material needs \"id\" and \"class\"");
    if (!r.Utf8(*id, JsonReader::Key(mp, "id"), idText) || !r.Utf8(*cls, JsonReader::Key(mp, "class"), kind)) return false;
    if (ids.materials.count(idText) != 0) return r.Fail(JsonReader::Key(mp, "id"), "duplicate material id \"" + idText + "\"");
    Mtl* mtl = nullptr;
    if (kind == "standard") {
      auto* m = scene.AdoptMaterial(new StdMat());
      mtl = m;
      if (!ReadStandard(r, j, mp, scene, *m)) return false;
    } else if (kind == "multi") {
      if (!r.Object(j, mp, {"id", "class", "name", "slots"})) return false;
      mtl = scene.AdoptMaterial(new MultiMtl());
    } else if (kind == "other") {
      if (!r.Object(j, mp, {"id", "class", "classId", "name", "maps", "slots"})) return false;
      Class_ID cid(0x7F000000, 2);
      if (const Json* c = JsonReader::Member(j, "classId"))
        if (!ReadClassId(r, *c, JsonReader::Key(mp, "classId"), cid)) return false;
      mtl = scene.AdoptMaterial(new OtherMtl(cid));
      if (const Json* v = JsonReader::Member(j, "maps"))
        if (!ReadMaps(r, *v, JsonReader::Key(mp, "maps"), scene, *mtl)) return false;
    } else {
      return r.Fail(JsonReader::Key(mp, "class"), "unknown material class \"" + kind + "\"");
    }
    if (const Json* n = JsonReader::Member(j, "name")) {
      if (!r.Text(*n, JsonReader::Key(mp, "name"), name)) return false;
      mtl->SetName(name);
    }
    if (const Json* s = JsonReader::Member(j, "slots")) pending.push_back({mtl, s, JsonReader::Key(mp, "slots")});
    ids.materials[idText] = mtl;
  }
  for (const PendingSlots& p : pending) {
    if (!r.Array(*p.slots, p.path)) return false;
    if (auto* multi = dynamic_cast<MultiMtl*>(p.mtl)) multi->SetNumSubMtls(static_cast<int>(p.slots->size()));
    for (size_t i = 0; i < p.slots->size(); ++i) {
      const Json& s = (*p.slots)[i];
      if (s.is_null()) continue;
      std::string ref;
      if (!r.Utf8(s, JsonReader::Index(p.path, i), ref)) return false;
      auto it = ids.materials.find(ref);
      if (it == ids.materials.end()) return r.Fail(JsonReader::Index(p.path, i), "no material has the id \"" + ref + "\"");
      p.mtl->SetSubMtl(static_cast<int>(i), it->second);
    }
  }
  for (const PendingSlots& p : pending)
    if (ContainsItself(p.mtl, p.mtl, 0)) return r.Fail(p.path, "the material contains itself through its slots");
  return true;
}
