// The TZ2 reader: header, section placement, and the section bodies it decodes.
#include "TZ2_Export/format/Tz2Reader.h"

#include <fstream>
#include <iterator>

#include "TZ2_Export/format/ByteCursor.h"

namespace tz2 {

const char* const kSectionNames[7] = {"materials",   "animation", "meshes",         "camera ports",
                                      "hit meshes",  "parts",     "collision boxes"};

bool ReadMaterialSection(ByteCursor& c, MaterialSection& out) {
  const std::uint16_t count = c.U16("material count");
  for (std::uint16_t i = 0; i < count && c.Ok(); ++i) {
    const std::uint8_t length = c.U8("material name length");
    if (c.Ok() && length == 0) {
      c.Fail("material " + std::to_string(i) + " has an empty name record", 1);
      break;
    }
    std::vector<std::uint8_t> name = c.Bytes(length, "material name");
    if (!c.Ok()) break;
    if (name.back() != 0) {
      c.Fail("material " + std::to_string(i) + " name is not zero-terminated", 0);
      break;
    }
    out.names.emplace_back(name.begin(), name.end() - 1);
  }
  return c.Ok();
}

bool ReadHitMeshSection(ByteCursor& c, std::vector<HitMesh>& out) {
  const std::uint16_t count = c.U16("hit mesh count");
  c.Need(count, 7, "hit meshes");
  for (std::uint16_t i = 0; i < count && c.Ok(); ++i) {
    HitMesh m;
    m.code = c.U8("hit code");
    m.bone = c.U16("hit mesh bone");
    const std::uint16_t faces = c.U16("hit mesh face count");
    const std::uint16_t verts = c.U16("hit mesh vertex count");
    if (!c.Need(faces, 6, "hit mesh faces")) break;
    for (std::uint32_t k = 0; k < 3u * faces; ++k) {
      m.indices.push_back(c.U16("hit mesh face"));
      if (c.Ok() && m.indices.back() >= verts) {
        c.Fail("hit mesh " + std::to_string(i) + " face index " + std::to_string(m.indices.back()) +
                   " is not below its vertex count " + std::to_string(verts), 0);
      }
    }
    if (!c.Need(verts, 12, "hit mesh vertices")) break;
    for (std::uint32_t k = 0; k < 3u * verts; ++k) m.positions.push_back(c.F32("hit mesh vertex"));
    out.push_back(std::move(m));
  }
  return c.Ok();
}

bool ReadPartsSection(ByteCursor& c, std::vector<Part>& out) {
  const std::uint8_t count = c.U8("part count");
  c.Need(count, 21, "parts");
  for (int i = 0; i < count && c.Ok(); ++i) {
    Part p;
    p.name = c.FixedText(20, "part name");
    p.kind = c.U8("part kind");
    out.push_back(p);
  }
  return c.Ok();
}

bool ReadCollisionSection(ByteCursor& c, std::uint16_t frameCount, std::vector<CollisionBox>& out) {
  const std::uint16_t count = c.U16("collision box count");
  if (c.Ok() && count > 16) c.Fail("collision box count " + std::to_string(count) + " is above 16", 0);
  c.Need(count, 12 + 28ull * frameCount, "collision boxes");
  for (std::uint16_t i = 0; i < count && c.Ok(); ++i) {
    CollisionBox b;
    for (float& e : b.halfExtents) e = c.F32("collision box extent");
    b.frames.resize(frameCount);
    for (CollisionBox::Frame& f : b.frames) {
      for (float& t : f.translation) t = c.F32("collision box position");
      for (float& r : f.rotation) r = c.F32("collision box rotation");
    }
    out.push_back(std::move(b));
  }
  return c.Ok();
}

namespace {

// Reads the section bodies this reader knows; returns the end offset of section `index`,
// or 0 when its content is not decoded (its end is then the next section's start).
std::size_t ReadSection(int index, const std::vector<std::uint8_t>& bytes, std::size_t begin,
                        Tz2File& out, std::string& error) {
  ByteCursor c(bytes, begin);
  bool ok = true;
  switch (index) {
    case 0: ok = ReadMaterialSection(c, out.materials); break;
    case 1:
      ok = ReadAnimationSection(c, out.header.frameCount, out.animation);
      if (ok && !out.animation.decoded) return 0;
      break;
    case 2:
      ok = ReadMeshSection(c, out.header.meshLevelCount, out.meshes);
      if (ok && !out.meshes.decoded) return 0;
      break;
    case 3:
      // The camera section has no count: it ends where the hit mesh section begins.
      ok = ReadCameraSection(c, out.header.frameCount, out.header.flags, out.header.hitMeshOffset, out.camera);
      if (ok && !out.camera.decoded) return 0;
      break;
    case 4: ok = ReadHitMeshSection(c, out.hitMeshes); break;
    case 5: ok = ReadPartsSection(c, out.parts); break;
    case 6: ok = ReadCollisionSection(c, out.header.frameCount, out.collisionBoxes); break;
    default: return 0;
  }
  if (!ok) {
    error = std::string(kSectionNames[index]) + " section: " + c.Error();
    return 0;
  }
  return c.Position();
}

}  // namespace

bool ReadTz2(const std::vector<std::uint8_t>& bytes, Tz2File& out, std::string& error) {
  out = Tz2File{};
  out.fileSize = bytes.size();
  if (bytes.size() < kModelHeaderSize) {
    error = "header: the file has " + std::to_string(bytes.size()) + " byte(s), the header needs " +
            std::to_string(kModelHeaderSize);
    return false;
  }
  out.header = ParseHeader(bytes.data());
  const ModelHeader& h = out.header;
  if (h.version != kModelVersion) {
    error = "header: version " + std::to_string(h.version) + ", expected " + std::to_string(kModelVersion);
    return false;
  }
  const std::uint32_t offsets[7] = {h.materialOffset, h.animationOffset, h.meshOffset, h.cameraOffset,
                                    h.hitMeshOffset,  h.partsOffset,     h.collisionOffset};
  const bool optional[7] = {false, true, false, true, false, false, false};
  std::size_t previous = kModelHeaderSize;
  for (int i = 0; i < 7; ++i) {
    if (offsets[i] == 0 && optional[i]) continue;
    if (offsets[i] < kModelHeaderSize || offsets[i] > bytes.size()) {
      error = std::string("header: ") + kSectionNames[i] + " section offset " + std::to_string(offsets[i]) +
              " lies outside the file (" + std::to_string(bytes.size()) + " bytes)";
      return false;
    }
    if (offsets[i] != previous) {
      error = std::string(kSectionNames[i]) + " section starts at " + std::to_string(offsets[i]) +
              ", but the previous section ends at " + std::to_string(previous);
      return false;
    }
    std::size_t end = ReadSection(i, bytes, offsets[i], out, error);
    if (!error.empty()) return false;
    if (end == 0) {
      // Not decoded here: it ends where the next present section begins (or the file ends).
      end = bytes.size();
      for (int j = i + 1; j < 7; ++j)
        if (offsets[j] != 0 || !optional[j]) { end = offsets[j]; break; }
      if (end < offsets[i]) {
        error = std::string(kSectionNames[i]) + " section: the next section starts before it";
        return false;
      }
      out.notes.push_back(std::string(kSectionNames[i]) + " section: " + std::to_string(end - offsets[i]) +
                          " byte(s), not decoded");
    }
    out.extents[i] = {offsets[i], end};
    previous = end;
  }
  if (previous != bytes.size()) {
    error = "collision boxes section ends at " + std::to_string(previous) + ", but the file has " +
            std::to_string(bytes.size()) + " bytes";
    return false;
  }
  return true;
}

bool ReadTz2File(const std::string& path, Tz2File& out, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot open the file";
    return false;
  }
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    error = path + ": read error";
    return false;
  }
  if (!ReadTz2(bytes, out, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

}  // namespace tz2
