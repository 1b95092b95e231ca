// The exporter's shared records: options, result codes, node lists, the intermediate geometry
// and the skeleton tables that pass between the export's steps.
//
// Every list here is owned by ExportState (ExportState.h) from the reset at the start of an
// export to its release at the end; host objects (nodes, materials) are only pointed to.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "host/Matrix3.h"

class INode;
class Mtl;
class Interface;

namespace tz2 {

// The result of RunExport.
enum ExportResult : std::int32_t {
  Ok = 0,
  CannotCreateFile = 2,
  NoMaterials = 4,
  NoValidObjects = -1,
  TooManyGroups = -2,
  Cancelled = -3,
};

inline constexpr int kMaxGroups = 60;

// The exporter's options record, filled by the options dialog.
struct ExportOptions {
  float Scale = 0;  // percent
  bool ExportHidden = false;
  bool ExportSelectedOnly = false;
  bool ExportAnimation = false;
  bool TwoSidedLighting = false;
  bool GenerateLOD = false;
  bool GenerateSkeletonLOD = false;
  bool Preview = false;
  std::string TZ2ViewPath;  // up to 259 characters
  std::int32_t AnimationQuality = 0;  // 1 to 5
};

// The element of every node list (meshes, hit meshes, collision boxes, groups, bones): a
// node, a value and an owned block whose meaning the list's owner defines (the mesh list
// keeps its surfaces' indices there).
struct NodeEntry {
  INode* node = nullptr;
  std::uint32_t value = 0;
  std::vector<std::uint32_t> owned;
};

// A node list: entries in insertion order.
class NodeList {
 public:
  std::uint32_t Count() const { return static_cast<std::uint32_t>(entries_.size()); }
  bool Empty() const { return entries_.empty(); }
  NodeEntry& operator[](std::size_t i) { return entries_[i]; }
  const NodeEntry& operator[](std::size_t i) const { return entries_[i]; }
  void Append(INode* node) { entries_.push_back(NodeEntry{node, 0, {}}); }
  // Appends unless the node is already listed; returns whether it was added.
  bool AppendUnique(INode* node) {
    if (IndexOf(node) >= 0) return false;
    Append(node);
    return true;
  }
  // The first entry whose node is `node`, or −1.
  int IndexOf(const INode* node) const {
    for (std::size_t i = 0; i < entries_.size(); ++i)
      if (entries_[i].node == node) return static_cast<int>(i);
    return -1;
  }
  void RemoveAt(std::size_t i) { entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i)); }
  void Release() { entries_.clear(); entries_.shrink_to_fit(); }
  std::vector<NodeEntry>& Entries() { return entries_; }
  const std::vector<NodeEntry>& Entries() const { return entries_; }

 private:
  std::vector<NodeEntry> entries_;
};

// The four singleton nodes of an export.
struct SpecialNodes {
  INode* frameCenter = nullptr;
  INode* cameraPort = nullptr;
  INode* zeroPort = nullptr;
  INode* cameraRotationPort = nullptr;
};

struct MaterialEntry {
  Mtl* material = nullptr;  // a leaf material
  std::uint8_t used = 0;
  std::uint8_t opacity = 0;
  std::uint32_t twoSided = 0;
};

// A raw skin weight: a bone of the bone list and its weight.
struct WeightPair {
  std::uint32_t bone = 0;
  float weight = 0;
};

struct SurfaceTriangle {
  std::uint32_t faceIndex = 0;
  std::uint32_t corners[3] = {0, 0, 0};
  Point3 objectPositions[3];
  std::vector<std::uint32_t> bones;  // by summed weight, largest first
};

struct SurfaceVertex {
  std::uint32_t meshVertex = 0;
  std::uint32_t smoothingGroups = 0;
  std::uint32_t textureVertex = 0;
  Point3 normal;
  Point3 position;
  float u = 0, v = 0;
  std::vector<WeightPair> weights;  // largest first
};

struct ChunkVertex {
  std::uint32_t source = 0;
  float position[3] = {0, 0, 0};
  float normal[3] = {0, 0, 0};
  std::uint32_t bones = 0;     // bytes 0-2: up to three bone indices
  std::uint16_t weights = 0;   // low byte: second bone, high byte: third bone
  float u = 0, v = 0;
  float detailU = 0, detailV = 0;
};

struct SurfaceChunk {
  std::uint8_t hasDetail = 0;
  std::vector<std::uint32_t> sourceTriangles;
  std::vector<std::uint32_t> corners;  // 3 per triangle, into `vertices`
  std::vector<ChunkVertex> vertices;
  std::uint32_t TriangleCount() const { return static_cast<std::uint32_t>(sourceTriangles.size()); }
  std::uint32_t VertexCount() const { return static_cast<std::uint32_t>(vertices.size()); }
};

struct Surface {
  std::uint32_t meshIndex = 0;
  Mtl* material = nullptr;
  std::uint32_t materialIndex = 0;
  std::uint32_t subMaterialId = 0;
  std::vector<SurfaceTriangle> triangles;
  std::vector<SurfaceVertex> vertices;
  std::vector<SurfaceChunk> chunks;
};

struct DetailTriangle {
  Point3 corners[3];
  float uv[3][2] = {{0, 0}, {0, 0}, {0, 0}};
};

inline constexpr std::size_t kTrianglePoolSize = 5000;

struct PartRecord {
  std::uint8_t part = 0;
  std::uint8_t grh = 0;
  std::uint8_t single = 0;
  std::uint8_t firstOfSeveral = 0;
  std::uint8_t bone = 0xFF;
};

struct BonePartRecord {
  std::uint8_t part = 0;
  std::uint8_t grh = 0;
};

inline constexpr int kMaxBones = 255;
inline constexpr std::uint8_t kNoBone = 0xFF;

// Row L, column i: the bone whose transform bone i follows at skeleton level L.
using SkeletonLodMap = std::array<std::array<std::uint8_t, kMaxBones>, 6>;

}  // namespace tz2
