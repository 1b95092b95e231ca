// Scene-file loading: the document, the custom properties and the nodes (with transforms,
// object offsets, controllers and references), into a new scene that becomes current only
// when the whole file was read.
#include <cmath>
#include <fstream>
#include <sstream>

#include "host/Control.h"
#include "host/Hold.h"
#include "host/Physique.h"
#include "host/standalone/Cp1251.h"
#include "host/standalone/Scene.h"
#include "host/standalone/SceneFile.h"
#include "host/standalone/SceneFileJson.h"

namespace {

bool ReadFrameTime(JsonReader& r, const Json& j, const std::string& path, int tpf, TimeValue& out) {
  double frame = 0;
  if (!r.Number(j, path, frame)) return false;
  if (std::fabs(frame) > 1e6) return r.Fail(path, "the frame is out of range");
  out = static_cast<TimeValue>(std::llround(frame * tpf));
  return true;
}

// pos / rot / scale members of j (each optional) into a key.
bool ReadParts(JsonReader& r, const Json& j, const std::string& path, TransformKey& key) {
  if (const Json* p = JsonReader::Member(j, "pos"))
    if (!r.Point(*p, JsonReader::Key(path, "pos"), key.pos)) return false;
  if (const Json* q = JsonReader::Member(j, "rot"))
    if (!r.Quaternion(*q, JsonReader::Key(path, "rot"), key.rot)) return false;
  if (const Json* s = JsonReader::Member(j, "scale"))
    if (!r.Point(*s, JsonReader::Key(path, "scale"), key.scale)) return false;
  return true;
}

// One transform value: `matrix`, or pos / rot / scale.
bool ReadTransformValue(JsonReader& r, const Json& j, const std::string& path, TransformKey& key) {
  if (const Json* m = JsonReader::Member(j, "matrix")) {
    for (const char* part : {"pos", "rot", "scale"})
      if (j.contains(part)) return r.Fail(JsonReader::Key(path, part), "\"matrix\" and \"" + std::string(part) + "\" exclude each other");
    Matrix3 tm;
    if (!r.Matrix(*m, JsonReader::Key(path, "matrix"), tm)) return false;
    key = TransformKey::FromMatrix(key.time, tm);
    return true;
  }
  return ReadParts(r, j, path, key);
}

bool ReadTransform(JsonReader& r, const Json& j, const std::string& path, int tpf, TransformKeys& keys) {
  if (!r.Object(j, path, {"matrix", "pos", "rot", "scale", "keys"})) return false;
  const Json* list = JsonReader::Member(j, "keys");
  if (list == nullptr) {
    TransformKey key;
    if (!ReadTransformValue(r, j, path, key)) return false;
    keys.SetKeys({key});
    return true;
  }
  if (j.size() != 1) return r.Fail(path, "\"keys\" excludes the other transform keys");
  const std::string lp = JsonReader::Key(path, "keys");
  if (!r.Array(*list, lp)) return false;
  std::vector<TransformKey> out;
  for (size_t i = 0; i < list->size(); ++i) {
    const std::string kp = JsonReader::Index(lp, i);
    const Json& k = (*list)[i];
    if (!r.Object(k, kp, {"frame", "matrix", "pos", "rot", "scale"})) return false;
    const Json* frame = JsonReader::Member(k, "frame");
    if (frame == nullptr) return r.Fail(kp, "a key needs \"frame\"");
    TransformKey key;
    if (!ReadFrameTime(r, *frame, JsonReader::Key(kp, "frame"), tpf, key.time)) return false;
    if (!out.empty() && key.time <= out.back().time)
      return r.Fail(JsonReader::Key(kp, "frame"), "keys are not in increasing frame order");
    if (!ReadTransformValue(r, k, kp, key)) return false;
    out.push_back(key);
  }
  keys.SetKeys(std::move(out));
  return true;
}

bool ReadController(JsonReader& r, const Json& j, const std::string& path, int tpf, INode* node,
                    PendingRefs& pending) {
  if (!r.Object(j, path, {"type", "targets"})) return false;
  const Json* type = JsonReader::Member(j, "type");
  std::string kind;
  if (type == nullptr) return r.Fail(path, "a controller needs \"type\"");
  if (!r.Utf8(*type, JsonReader::Key(path, "type"), kind)) return false;
  if (kind != "link") return r.Fail(JsonReader::Key(path, "type"), "unknown controller type \"" + kind + "\"");
  auto* link = new LinkControl();
  link->Keys() = node->GetTMController()->Keys();
  node->SetTMController(link);
  const Json* targets = JsonReader::Member(j, "targets");
  if (targets == nullptr) return true;
  const std::string tp = JsonReader::Key(path, "targets");
  if (!r.Array(*targets, tp)) return false;
  for (size_t i = 0; i < targets->size(); ++i) {
    const std::string ip = JsonReader::Index(tp, i);
    const Json& t = (*targets)[i];
    if (!r.Object(t, ip, {"node", "frame"})) return false;
    PendingRefs::Target target{link, "", 0, JsonReader::Key(ip, "node")};
    if (const Json* n = JsonReader::Member(t, "node"))
      if (!n->is_null() && !r.Utf8(*n, target.path, target.id)) return false;
    if (const Json* f = JsonReader::Member(t, "frame"))
      if (!ReadFrameTime(r, *f, JsonReader::Key(ip, "frame"), tpf, target.time)) return false;
    pending.targets.push_back(std::move(target));
  }
  return true;
}

bool ReadOffset(JsonReader& r, const Json& j, const std::string& path, INode* node) {
  if (!r.Object(j, path, {"pos", "rot", "scale"})) return false;
  TransformKey key;
  if (!ReadParts(r, j, path, key)) return false;
  node->SetObjOffsetPos(key.pos);
  node->SetObjOffsetRot(key.rot);
  node->SetObjOffsetScale(key.scale);
  return true;
}

bool ReadNode(JsonReader& r, const Json& j, const std::string& path, Scene& scene, SceneIds& ids, int tpf,
              PendingRefs& pending, std::vector<INode*>& selected) {
  if (!r.Object(j, path, {"id", "name", "parent", "hidden", "selected", "userProps", "material", "transform",
                          "objectOffset", "object", "modifiers", "controller"}))
    return false;
  const Json* id = JsonReader::Member(j, "id");
  std::string idText, text;
  if (id == nullptr) return r.Fail(path, "a node needs \"id\"");
  if (!r.Utf8(*id, JsonReader::Key(path, "id"), idText)) return false;
  if (ids.nodes.count(idText) != 0) return r.Fail(JsonReader::Key(path, "id"), "duplicate node id \"" + idText + "\"");
  INode* parent = nullptr;
  if (const Json* p = JsonReader::Member(j, "parent"); p != nullptr && !p->is_null()) {
    std::string ref;
    if (!r.Utf8(*p, JsonReader::Key(path, "parent"), ref)) return false;
    auto it = ids.nodes.find(ref);
    if (it == ids.nodes.end())
      return r.Fail(JsonReader::Key(path, "parent"), "no node listed before this one has the id \"" + ref + "\"");
    parent = it->second;
  }
  INode* node = scene.CreateNode("", parent);
  ids.nodes[idText] = node;
  if (const Json* n = JsonReader::Member(j, "name")) {
    if (!r.Text(*n, JsonReader::Key(path, "name"), text)) return false;
    node->SetName(text.c_str());
  }
  bool flag = false;
  if (const Json* h = JsonReader::Member(j, "hidden")) {
    if (!r.Bool(*h, JsonReader::Key(path, "hidden"), flag)) return false;
    node->Hide(flag ? TRUE : FALSE);
  }
  if (const Json* s = JsonReader::Member(j, "selected")) {
    if (!r.Bool(*s, JsonReader::Key(path, "selected"), flag)) return false;
    if (flag) selected.push_back(node);
  }
  if (const Json* u = JsonReader::Member(j, "userProps")) {
    if (!r.Text(*u, JsonReader::Key(path, "userProps"), text)) return false;
    node->SetUserPropBuffer(CStr(text));
  }
  if (const Json* m = JsonReader::Member(j, "material"); m != nullptr && !m->is_null()) {
    std::string ref;
    if (!r.Utf8(*m, JsonReader::Key(path, "material"), ref)) return false;
    auto it = ids.materials.find(ref);
    if (it == ids.materials.end()) return r.Fail(JsonReader::Key(path, "material"), "no material has the id \"" + ref + "\"");
    node->SetMtl(it->second);
  }
  if (const Json* t = JsonReader::Member(j, "transform"))
    if (!ReadTransform(r, *t, JsonReader::Key(path, "transform"), tpf, node->GetTMController()->Keys())) return false;
  if (const Json* o = JsonReader::Member(j, "objectOffset"))
    if (!ReadOffset(r, *o, JsonReader::Key(path, "objectOffset"), node)) return false;
  if (const Json* o = JsonReader::Member(j, "object")) {
    Object* obj = nullptr;
    if (!ReadObject(r, *o, JsonReader::Key(path, "object"), tpf, obj)) return false;
    node->SetObjectRef(obj);
  }
  if (const Json* m = JsonReader::Member(j, "modifiers")) {
    const std::string mp = JsonReader::Key(path, "modifiers");
    if (node->GetObjectRef() == nullptr) return r.Fail(mp, "modifiers need an object");
    Object* base = node->ReleaseObjectRef();
    Object* derived = nullptr;
    const bool ok = ReadModifiers(r, *m, mp, base, derived, pending);
    node->SetObjectRef(derived);
    if (!ok) return false;
  }
  if (const Json* c = JsonReader::Member(j, "controller"))
    if (!ReadController(r, *c, JsonReader::Key(path, "controller"), tpf, node, pending)) return false;
  return true;
}

INode* FindNodeRef(JsonReader& r, const SceneIds& ids, const std::string& id, const std::string& path) {
  auto it = ids.nodes.find(id);
  if (it != ids.nodes.end()) return it->second;
  r.Fail(path, "no node has the id \"" + id + "\"");
  return nullptr;
}

bool ResolveRefs(JsonReader& r, const SceneIds& ids, const PendingRefs& pending) {
  for (const auto& b : pending.bones) {
    INode* node = FindNodeRef(r, ids, b.id, b.path);
    if (node == nullptr) return false;
    b.mod->vertices[b.vertex].bones[b.slot].first = node;
  }
  for (const auto& b : pending.bindBones) {
    INode* node = FindNodeRef(r, ids, b.id, b.path);
    if (node == nullptr) return false;
    b.mod->boneBinds[node] = b.tm;
  }
  for (const auto& t : pending.targets) {
    INode* node = nullptr;
    if (!t.id.empty() && (node = FindNodeRef(r, ids, t.id, t.path)) == nullptr) return false;
    t.ctrl->AddNewLink(node, t.time);
  }
  return true;
}

bool ReadProperties(JsonReader& r, const Json& j, const std::string& path, PropertySet& props) {
  if (!j.is_object()) return r.Object(j, path, {});
  for (auto it = j.begin(); it != j.end(); ++it) {
    const std::string pp = JsonReader::Key(path, it.key());
    std::wstring name;
    if (!Utf8ToWide(it.key(), name) || name.empty()) return r.Fail(pp, "the property name is empty or not UTF-8");
    if (!r.Object(*it, pp, {"type", "value"})) return false;
    const Json* type = JsonReader::Member(*it, "type");
    const Json* value = JsonReader::Member(*it, "value");
    std::string kind;
    if (type == nullptr || value == nullptr) return r.Fail(pp, "a property needs \"type\" and \"value\"");
    if (!r.Utf8(*type, JsonReader::Key(pp, "type"), kind)) return false;
    const std::string vp = JsonReader::Key(pp, "value");
    if (kind == "VT_R4") {
      float f = 0;
      if (!r.Float(*value, vp, f)) return false;
      props.SetFloat(name, f);
    } else if (kind == "VT_I4") {
      std::int64_t i = 0;
      if (!r.Int(*value, vp, INT32_MIN, INT32_MAX, i)) return false;
      props.SetInt(name, static_cast<std::int32_t>(i));
    } else if (kind == "VT_BOOL") {
      bool b = false;
      if (!r.Bool(*value, vp, b)) return false;
      props.SetBool(name, b);
    } else if (kind == "VT_LPSTR") {
      std::string s;
      if (!r.Text(*value, vp, s)) return false;
      props.SetString(name, s);
    } else {
      return r.Fail(JsonReader::Key(pp, "type"), "unknown property type \"" + kind + "\"");
    }
  }
  return true;
}

bool ReadDocument(JsonReader& r, const Json& doc, Scene& scene) {
  if (!r.Object(doc, "$", {"format", "version", "frameRate", "animationRange", "properties", "materials", "nodes"}))
    return false;
  std::string format;
  if (const Json* f = JsonReader::Member(doc, "format")) {
    if (!r.Utf8(*f, "$.format", format)) return false;
    if (format != "quarn-scene") return r.Fail("$.format", "expected \"quarn-scene\"");
  }
  if (const Json* v = JsonReader::Member(doc, "version")) {
    int version = 0;
    if (!r.Int(*v, "$.version", 1, 1, version)) return false;
  }
  int fps = 30;
  if (const Json* f = JsonReader::Member(doc, "frameRate"))
    if (!r.Int(*f, "$.frameRate", 1, TIME_TICKSPERSEC, fps)) return false;
  scene.SetFrameRate(fps);
  const int tpf = TicksPerFrameAt(fps);
  if (const Json* a = JsonReader::Member(doc, "animationRange")) {
    int first = 0, last = 0;
    if (!r.Array(*a, "$.animationRange", 2) || !r.Int((*a)[0], "$.animationRange[0]", -1000000, 1000000, first) ||
        !r.Int((*a)[1], "$.animationRange[1]", -1000000, 1000000, last))
      return false;
    if (last < first) return r.Fail("$.animationRange", "the last frame comes before the first");
    scene.SetAnimRangeFrames(first, last);
  }
  if (const Json* p = JsonReader::Member(doc, "properties"))
    if (!ReadProperties(r, *p, "$.properties", scene.Properties())) return false;
  SceneIds ids;
  if (const Json* m = JsonReader::Member(doc, "materials"))
    if (!ReadMaterials(r, *m, "$.materials", scene, ids)) return false;
  PendingRefs pending;
  std::vector<INode*> selected;
  if (const Json* n = JsonReader::Member(doc, "nodes")) {
    if (!r.Array(*n, "$.nodes")) return false;
    for (size_t i = 0; i < n->size(); ++i)
      if (!ReadNode(r, (*n)[i], JsonReader::Index("$.nodes", i), scene, ids, tpf, pending, selected)) return false;
  }
  if (!ResolveRefs(r, ids, pending)) return false;
  for (INode* node : selected) scene.Select(node, false);
  return true;
}

// Follows the JSON path while the text is parsed, so that a syntax error (or a number too
// large for a double) names the place where it happened.
class PathTracker : public nlohmann::json_sax<Json> {
 public:
  std::string path = "$";
  std::string reason;

  bool null() override { return Scalar(); }
  bool boolean(bool) override { return Scalar(); }
  bool number_integer(number_integer_t) override { return Scalar(); }
  bool number_unsigned(number_unsigned_t) override { return Scalar(); }
  bool number_float(number_float_t, const string_t&) override { return Scalar(); }
  bool string(string_t&) override { return Scalar(); }
  bool binary(binary_t&) override { return Scalar(); }
  bool start_object(std::size_t) override { frames_.push_back({false, 0, ""}); return true; }
  bool key(string_t& k) override { frames_.back().key = k; return true; }
  bool end_object() override { return End(); }
  bool start_array(std::size_t) override { frames_.push_back({true, 0, ""}); return true; }
  bool end_array() override { return End(); }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& ex) override {
    path = "$";
    for (const Frame& f : frames_) path += f.array ? "[" + std::to_string(f.count) + "]" : (f.key.empty() ? "" : "." + f.key);
    reason = ex.what();
    const size_t close = reason.find("] ");
    if (reason.rfind("[json.exception", 0) == 0 && close != std::string::npos) reason.erase(0, close + 2);
    return false;
  }

 private:
  struct Frame {
    bool array;
    size_t count;
    std::string key;
  };
  bool Scalar() {
    if (!frames_.empty() && frames_.back().array) ++frames_.back().count;
    return true;
  }
  bool End() {
    frames_.pop_back();
    return Scalar();
  }
  std::vector<Frame> frames_;
};

}  // namespace

std::unique_ptr<Scene> ParseScene(const std::string& jsonText, const std::string& fileName, std::string* error) {
  JsonReader r(fileName);
  Json doc = Json::parse(jsonText, nullptr, false);
  if (doc.is_discarded()) {
    PathTracker tracker;
    Json::sax_parse(jsonText, &tracker);
    r.Fail(tracker.path, "not valid JSON: " + tracker.reason);
    if (error != nullptr) *error = r.Error();
    return nullptr;
  }
  auto scene = std::make_unique<Scene>();
  theHold.Suspend();  // building a scene is no undoable change
  const bool ok = ReadDocument(r, doc, *scene);
  theHold.Resume();
  if (!ok) {
    if (error != nullptr) *error = r.Error();
    return nullptr;
  }
  return scene;
}

bool LoadSceneFile(const std::string& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error != nullptr) *error = path + ": cannot open the file";
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) {
    if (error != nullptr) *error = path + ": cannot read the file";
    return false;
  }
  std::unique_ptr<Scene> scene = ParseScene(text.str(), path, error);
  if (scene == nullptr) return false;
  SetCurrentScene(std::move(scene));
  return true;
}
