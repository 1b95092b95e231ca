// Tz2Reader: reads a TZ2 model file back into plain values, for `tz2 info`, `tz2 check` and
// the tests.
//
// The reader checks every offset and count against the file's size before it uses it and
// reports the first problem with the section and file offset where it was found; it never
// reads outside the file. Sections are located by the header's offsets; the sections must
// follow each other without gaps in file order, and the last one must end the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "TZ2_Export/format/AnimationSection.h"
#include "TZ2_Export/format/MeshSection.h"
#include "TZ2_Export/format/ModelHeader.h"

namespace tz2 {

struct MaterialSection {
  std::vector<std::string> names;  // upper-case names, in file order
};

struct HitMesh {
  std::uint8_t code = 0;
  std::uint16_t bone = 0xFFFF;
  std::vector<std::uint16_t> indices;  // 3 per face
  std::vector<float> positions;        // 3 per vertex (model space)
};

struct Part {
  std::string name;  // up to 20 bytes
  std::uint8_t kind = 0;  // 0xFF "Main", 1 GRH_, 0 GR_
};

struct CollisionBox {
  float halfExtents[3] = {0, 0, 0};  // x, z, y, scaled
  struct Frame {
    float translation[3];
    float rotation[4];  // x, y, z, w
  };
  std::vector<Frame> frames;  // one per exported frame
};

struct Tz2File {
  ModelHeader header;
  std::size_t fileSize = 0;
  MaterialSection materials;
  AnimationSection animation;
  MeshSection meshes;
  CameraSection camera;
  std::vector<HitMesh> hitMeshes;
  std::vector<Part> parts;
  std::vector<CollisionBox> collisionBoxes;
  // Where each section starts and ends (0, 0 for an absent one), in file order: materials,
  // animation, meshes, camera ports, hit meshes, parts, collision boxes.
  struct Extent {
    std::size_t begin = 0, end = 0;
  };
  Extent extents[7];
  // Sections whose content this reader does not decode yet are only located.
  std::vector<std::string> notes;
};

// Reads `bytes` as a TZ2 file. On failure returns false and sets `error` to one line naming
// the section, the offset and the problem.
bool ReadTz2(const std::vector<std::uint8_t>& bytes, Tz2File& out, std::string& error);
// Reads the file at `path`; the error names the file.
bool ReadTz2File(const std::string& path, Tz2File& out, std::string& error);

class ByteCursor;
// The section readers for the sections the reader decodes itself, each from its first byte.
bool ReadMaterialSection(ByteCursor& c, MaterialSection& out);
bool ReadHitMeshSection(ByteCursor& c, std::vector<HitMesh>& out);
bool ReadPartsSection(ByteCursor& c, std::vector<Part>& out);
bool ReadCollisionSection(ByteCursor& c, std::uint16_t frameCount, std::vector<CollisionBox>& out);

// The section names in file order, as the reader's messages use them.
extern const char* const kSectionNames[7];

}  // namespace tz2
