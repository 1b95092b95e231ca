// The scene-file reader's checked access to JSON values: every accessor checks the value's
// type and range and, on a mismatch, records the error "<file>: <JSON path>: <reason>" and
// answers false, so that callers stop at the first error. Only the scene-file code includes
// this header (and with it the JSON library).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/Matrix3.h"
#include "host/Quat.h"

class INode;
class Mtl;
class Scene;
class PhysiqueModifier;
class LinkControl;

using Json = nlohmann::ordered_json;

class JsonReader {
 public:
  explicit JsonReader(std::string file) : file_(std::move(file)) {}

  const std::string& Error() const { return error_; }
  // Records the first error; always false.
  bool Fail(const std::string& path, const std::string& reason);

  static std::string Key(const std::string& path, const std::string& key) { return path + "." + key; }
  static std::string Index(const std::string& path, size_t i) { return path + "[" + std::to_string(i) + "]"; }

  // j must be an object whose keys are all in allowed.
  bool Object(const Json& j, const std::string& path, std::initializer_list<const char*> allowed);
  bool Array(const Json& j, const std::string& path, size_t size = SIZE_MAX);
  // A finite number (as a double; as a float also finite after the conversion).
  bool Number(const Json& j, const std::string& path, double& out);
  bool Float(const Json& j, const std::string& path, float& out);
  // An integer within [min, max].
  bool Int(const Json& j, const std::string& path, std::int64_t min, std::int64_t max, std::int64_t& out);
  bool Int(const Json& j, const std::string& path, int min, int max, int& out);
  bool Bool(const Json& j, const std::string& path, bool& out);
  // A UTF-8 string turned into code page 1251.
  bool Text(const Json& j, const std::string& path, std::string& out);
  // A UTF-8 string as it is.
  bool Utf8(const Json& j, const std::string& path, std::string& out);
  bool Point(const Json& j, const std::string& path, Point3& out);
  bool Quaternion(const Json& j, const std::string& path, Quat& out);
  bool Matrix(const Json& j, const std::string& path, Matrix3& out);
  // Non-negative decimal slot or channel number written as an object key.
  bool SlotKey(const std::string& key, const std::string& path, int max, int& out);

  // Optional members: absent keeps the default.
  static const Json* Member(const Json& obj, const char* key);

 private:
  std::string file_;
  std::string error_;
};

// What the nodes refer to by id, for resolving references after every node is read.
struct SceneIds {
  std::map<std::string, INode*> nodes;
  std::map<std::string, Mtl*> materials;
};

// Reads the "materials" list into the scene.
bool ReadMaterials(JsonReader& r, const Json& list, const std::string& path, Scene& scene, SceneIds& ids);

// References to nodes that are resolved once every node exists.
struct PendingRefs {
  struct Bone {
    PhysiqueModifier* mod;
    size_t vertex;
    size_t slot;
    std::string id;
    std::string path;
  };
  struct BindBone {
    PhysiqueModifier* mod;
    std::string id;
    Matrix3 tm;
    std::string path;
  };
  struct Target {
    LinkControl* ctrl;
    std::string id;  // "" for the world
    int time;
    std::string path;
  };
  std::vector<Bone> bones;
  std::vector<BindBone> bindBones;
  std::vector<Target> targets;
};

class Object;
class INode;

// Reads a node's "object" (the mesh vertex count is returned for the skin check).
bool ReadObject(JsonReader& r, const Json& j, const std::string& path, int ticksPerFrame, Object*& out);
// Reads a node's "modifiers" over base (the node's object) into a derived object.
bool ReadModifiers(JsonReader& r, const Json& list, const std::string& path, Object* base, Object*& out,
                   PendingRefs& pending);
