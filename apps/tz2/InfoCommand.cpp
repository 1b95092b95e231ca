// tz2 info: header fields and section summaries.
#include "apps/tz2/InfoCommand.h"

#include <CLI/CLI.hpp>
#include <cstring>
#include <iomanip>
#include <iostream>

#include "TZ2_Export/format/Tz2Reader.h"

namespace tz2cli {

void AddInfoCommand(CLI::App& app, InfoArgs& a) {
  CLI::App* cmd = app.add_subcommand("info", "Print the header and a summary of a TZ2 file");
  cmd->add_option("file", a.file, "TZ2 file")->required();
}

void PrintInfo(const tz2::Tz2File& f, std::ostream& out) {
  const tz2::ModelHeader& h = f.header;
  std::uint32_t fovBits;
  std::memcpy(&fovBits, &h.fov, 4);
  out << "magic            0x" << std::hex << std::setw(4) << std::setfill('0') << h.magic << std::dec
      << std::setfill(' ') << "\n";
  out << "version          " << int(h.version) << "\n";
  out << "mesh levels      " << int(h.meshLevelCount) << "\n";
  out << "frames           " << h.frameCount << "\n";
  const std::uint32_t offsets[7] = {h.materialOffset, h.animationOffset, h.meshOffset, h.cameraOffset,
                                    h.hitMeshOffset,  h.partsOffset,     h.collisionOffset};
  for (int i = 0; i < 7; ++i) {
    out << "offset " << std::left << std::setw(17) << tz2::kSectionNames[i] << std::right << offsets[i];
    if (f.extents[i].end > f.extents[i].begin) out << "  (" << f.extents[i].end - f.extents[i].begin << " bytes)";
    out << "\n";
  }
  out << "bounding box     (" << h.boundsMin[0] << ", " << h.boundsMin[1] << ", " << h.boundsMin[2] << ") - ("
      << h.boundsMax[0] << ", " << h.boundsMax[1] << ", " << h.boundsMax[2] << ")\n";
  out << "field of view    " << std::setprecision(8) << h.fov << std::setprecision(6) << " (bits 0x" << std::hex
      << std::uppercase << fovBits << std::nouppercase << std::dec << ")\n";
  out << "flags            " << h.flags;
  if (h.flags & tz2::kFlagTwoSidedLighting) out << " two-sided-lighting";
  if (h.flags & tz2::kFlagCameraRotationPort) out << " camera-rotation-port";
  out << "\n";
  out << "LOD distances   ";
  for (float d : h.lodDistances) out << " " << d;
  out << "\n";
  out << "file size        " << f.fileSize << "\n";

  out << "materials        " << f.materials.names.size() << "\n";
  for (const std::string& name : f.materials.names) out << "  " << name << "\n";
  if (f.animation.decoded) {
    out << "bones            " << f.animation.bones.size() << ", compression ratio "
        << f.animation.CompressionRatio(h.frameCount) << "\n";
    for (const tz2::AnimationBone& b : f.animation.bones)
      out << "  " << std::left << std::setw(20) << b.name << std::right << " parent "
          << (b.parent == 0xFF ? std::string("-") : std::to_string(b.parent)) << ", part " << int(b.part)
          << ", keys " << b.position.keys.size() << " position / " << b.rotation.keys.size() << " rotation\n";
  }
  if (f.meshes.decoded) {
    std::size_t triangles = 0, vertices = 0;
    for (const tz2::MeshBaseBatch& b : f.meshes.batches) {
      triangles += b.indices.size() / 3;
      vertices += b.vertices.size();
    }
    out << "mesh batches     " << f.meshes.batches.size() << " (" << triangles << " triangles, " << vertices
        << " vertices in the base level)\n";
  }
  if (f.camera.decoded)
    out << "camera path      " << f.camera.positions.size() << " frames" << (f.camera.hasRotation ? " with rotation" : "")
        << "\n";
  out << "hit meshes       " << f.hitMeshes.size() << "\n";
  for (const tz2::HitMesh& m : f.hitMeshes)
    out << "  code " << int(m.code) << ", bone " << m.bone << ", " << m.indices.size() / 3 << " faces, "
        << m.positions.size() / 3 << " vertices\n";
  out << "parts            " << f.parts.size() << "\n";
  for (const tz2::Part& p : f.parts)
    out << "  " << p.name << " (" << (p.kind == 0xFF ? "main" : p.kind == 1 ? "GRH" : "GR") << ")\n";
  out << "collision boxes  " << f.collisionBoxes.size() << "\n";
  for (const tz2::CollisionBox& b : f.collisionBoxes)
    out << "  half extents " << b.halfExtents[0] << " " << b.halfExtents[1] << " " << b.halfExtents[2] << ", "
        << b.frames.size() << " frames\n";
  for (const std::string& note : f.notes) out << note << "\n";
}

int RunInfoCommand(const InfoArgs& a) {
  tz2::Tz2File file;
  std::string error;
  if (!tz2::ReadTz2File(a.file, file, error)) {
    std::cerr << "tz2: " << error << "\n";
    return 1;
  }
  PrintInfo(file, std::cout);
  return 0;
}

}  // namespace tz2cli
