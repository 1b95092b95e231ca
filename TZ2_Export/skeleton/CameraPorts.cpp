// Camera ports: which camera path applies, and its bytes (see CameraPorts.h).
#include "TZ2_Export/skeleton/CameraPorts.h"

#include <algorithm>

#include "TZ2_Export/geometry/RigidPart.h"
#include "TZ2_Export/scene/NodeClassification.h"
#include "TZ2_Export/skeleton/AnimationSampling.h"
#include "host/INode.h"
#include "host/Time.h"
#include "platform/Windows.h"

namespace tz2 {
namespace {

const char* const kRotationPortIgnored =
    "The camera rotation port \"PORT_CAMERAROT\" is ignored: without \"PORT_CAMERA\" or "
    "\"PORT_ZERO\" the camera section holds only the movement of \"tag_FrameCenter\".";

// The buffer's entries, frameCount × m, zeros where it holds nothing.
void WriteSampleBuffer(const ExportState& s, int frameCount, ByteStream& out) {
  const std::size_t floats = static_cast<std::size_t>(frameCount) * (s.special.cameraRotationPort ? 2u : 1u) * 3u;
  for (std::size_t i = 0; i < floats; ++i) WriteF32(out, i < s.cameraSamples.size() ? s.cameraSamples[i] : 0.0f);
}

// The frame centre's model-space position at t (the frame centre itself left out of the
// model frame, which keeps the camera alignment and the scale).
Point3 FrameCenterAt(ExportState& s, TimeValue t) {
  return (RigidPart(s.special.frameCenter->GetNodeTM(t)) * ModelFrame(s, t, false)).GetTrans();
}

void WriteFrameCenterMovement(ExportState& s, int frameCount, ByteStream& out) {
  const int ticks = GetTicksPerFrame();
  for (int f = 0; f < frameCount; ++f) {
    const TimeValue t = (s.firstFrame + f) * ticks;
    const Point3 d = FrameCenterAt(s, t + ticks) - FrameCenterAt(s, t);
    WriteF32(out, d.x);
    WriteF32(out, d.z);
    WriteF32(out, d.y);
  }
}

}  // namespace

bool BuildCameraSection(ExportState& s, ByteStream& out) {
  const int frameCount = std::max(FrameCountOf(s), 0);
  if (s.special.cameraPort != nullptr || s.special.zeroPort != nullptr) {
    WriteSampleBuffer(s, frameCount, out);
    return true;
  }
  if (s.special.frameCenter != nullptr) {
    if (s.special.cameraRotationPort != nullptr)
      MessageBoxA(GetActiveWindow(), kRotationPortIgnored, "Warning", MB_OK | MB_ICONEXCLAMATION);
    WriteFrameCenterMovement(s, frameCount, out);
    return true;
  }
  return false;
}

bool WriteCameraSection(OutputFile& file, ExportState& s, int /*frameCount*/) {
  ByteStream section;
  if (!BuildCameraSection(s, section)) return false;
  file.WriteStream(section);
  return true;
}

}  // namespace tz2
