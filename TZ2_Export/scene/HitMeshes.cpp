// The hit mesh section writer.
#include "TZ2_Export/scene/HitMeshes.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "TZ2_Export/scene/NodeClassification.h"
#include "TZ2_Export/scene/TriangleMesh.h"
#include "host/INode.h"
#include "host/Mesh.h"
#include "platform/Windows.h"

namespace tz2 {
namespace {

constexpr std::size_t kMaxCodeText = 200;
constexpr int kMax16 = 0xFFFF;

struct HitMeshData {
  INode* node = nullptr;
  NodeTriangleMesh* mesh = nullptr;
};

}  // namespace

std::uint8_t HitCode(const char* name, bool& valid) {
  valid = true;
  const std::string full = name ? name : "";
  const std::string text = full.size() > 4 ? full.substr(4, kMaxCodeText) : std::string();
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = value * 10 + (text[i] - '0');
    if ((negative ? -value : value) > INT_MAX || (negative ? -value : value) < INT_MIN) {
      valid = false;
      return 0;
    }
  }
  const long long code = negative ? -value : value;
  return static_cast<std::uint8_t>(static_cast<std::uint32_t>(code) & 0xFFu);
}

std::uint16_t HitMeshBone(const ExportState& s, INode* node) {
  if (!s.options.ExportAnimation) return 0xFFFF;
  for (INode* n = node; n; n = n->GetParentNode()) {
    const int index = s.boneList.IndexOf(n);
    if (index >= 0) return static_cast<std::uint16_t>(index);
  }
  return 0xFFFF;
}

void WriteHitMeshes(OutputFile& file, ExportState& s) {
  // Meshes first, so that the ones whose counts do not fit can be left out of the count.
  std::vector<std::unique_ptr<NodeTriangleMesh>> meshes;
  std::vector<INode*> nodes;
  const std::uint32_t listed = s.hitList.Count() & 0xFFFFu;
  for (std::uint32_t i = 0; i < listed; ++i) {
    INode* node = s.hitList[i].node;
    auto mesh = std::make_unique<NodeTriangleMesh>(node, 0);
    const Mesh* m = mesh->Get();
    if (m && (m->getNumFaces() > kMax16 || m->getNumVerts() > kMax16)) {
      char text[512];
      std::snprintf(text, sizeof text,
                    "Hit mesh '%s' has %d faces and %d vertices; a hit mesh can hold at most %d of each. "
                    "It has been left out.",
                    node->GetName(), m->getNumFaces(), m->getNumVerts(), kMax16);
      MessageBoxA(nullptr, text, "Warning", MB_OK);
      continue;
    }
    nodes.push_back(node);
    meshes.push_back(std::move(mesh));
  }

  file.WriteU16(static_cast<std::uint16_t>(nodes.size()));
  const Matrix3 frame = ModelFrame(s, 0, true);
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    INode* node = nodes[i];
    bool valid = true;
    const std::uint8_t code = HitCode(node->GetName(), valid);
    if (!valid) {
      char text[512];
      std::snprintf(text, sizeof text, "Hitmesh has invalid code - '%s', zero applied.", node->GetName());
      MessageBoxA(nullptr, text, "Warning", MB_OK);
    }
    file.WriteU8(code);
    file.WriteU16(HitMeshBone(s, node));
    const Matrix3 tm = node->GetObjTMAfterWSM(0) * frame;
    const bool mirrored = IsMirrored(node, 0);
    const Mesh* m = meshes[i]->Get();
    const int faces = m ? m->getNumFaces() : 0;
    const int verts = m ? m->getNumVerts() : 0;
    file.WriteU16(static_cast<std::uint16_t>(faces));
    file.WriteU16(static_cast<std::uint16_t>(verts));
    for (int f = 0; f < faces; ++f) {
      const Face& face = m->faces[static_cast<std::size_t>(f)];
      const int order[3] = {mirrored ? 1 : 0, mirrored ? 0 : 1, 2};
      for (int c : order) file.WriteU16(static_cast<std::uint16_t>(face.v[c]));
    }
    for (int v = 0; v < verts; ++v) {
      const Point3 p = tm.PointTransform(m->getVert(v));
      file.WriteF32(p.x);
      file.WriteF32(p.z);
      file.WriteF32(p.y);
    }
    meshes[i].reset();  // releases a temporary mesh object
  }
}

}  // namespace tz2
