// Shared fixture of the animation and camera ports tests: an export state over the current
// scene whose bone list, special nodes and frame range are set directly, key helpers, and
// the section read back through the reader.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "TZ2_Export/format/AnimationSection.h"
#include "TZ2_Export/shell/ExportState.h"
#include "TZ2_Export/skeleton/AnimationWriter.h"
#include "host/Control.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "host/Time.h"
#include "host/standalone/Scene.h"
#include "platform/MessageBox.h"
#include "tests/support/HostFixture.h"
#include "tests/support/SceneBuilder.h"

namespace tz2::testing {

// The parent-relative pose of a node at one frame.
struct Pose {
  Point3 pos;
  Quat rot;
  Point3 scale{1.0f, 1.0f, 1.0f};
};

inline Quat Turn(const Matrix3& rotation) { return Quat(rotation); }

// One transform key per frame 0 .. frames − 1.
inline void Animate(INode* node, int frames, const std::function<Pose(int)>& at) {
  std::vector<TransformKey> keys;
  for (int f = 0; f < frames; ++f) {
    const Pose p = at(f);
    keys.push_back(TransformKey::FromParts(f * GetTicksPerFrame(), p.pos, p.rot, p.scale));
  }
  node->GetTMController()->Keys().SetKeys(std::move(keys));
}

class AnimationSceneTest : public HostTest {
 protected:
  ExportState s;
  std::shared_ptr<PreparedAnimation> prepared;

  void Begin(int frames, int quality = 3) {
    ExportOptions options;
    options.Scale = 100.0f;
    options.ExportAnimation = true;
    options.AnimationQuality = quality;
    s.Reset(options);
    s.host = GetCOREInterface();
    TheScene().SetAnimRangeFrames(0, frames - 1);
    s.firstFrame = 0;
    s.lastFrame = frames - 1;
  }
  int Frames() const { return s.lastFrame - s.firstFrame + 1; }
  INode* AddBone(INode* node) {
    s.boneList.Append(node);
    return node;
  }
  // The camera sample buffer as the driver allocates it.
  void AllocateCameraBuffer() {
    s.cameraSamples.assign(static_cast<std::size_t>(Frames()) * (s.special.cameraRotationPort ? 2u : 1u) * 3u, 0.0f);
  }
  // Prepares, builds and reads back the section; the whole section must be consumed.
  AnimationSection Export() {
    if (s.cameraSamples.empty()) AllocateCameraBuffer();
    prepared = PrepareAnimation(s);
    ByteStream out;
    BuildAnimationSection(s, prepared.get(), out);
    bytes.assign(out.Buffer(), out.Buffer() + out.Size());
    AnimationSection section;
    ByteCursor c(bytes, 0);
    EXPECT_TRUE(ReadAnimationSection(c, static_cast<std::uint16_t>(Frames()), section)) << c.Error();
    EXPECT_EQ(c.Position(), bytes.size());
    return section;
  }

  std::vector<std::uint8_t> bytes;
};

}  // namespace tz2::testing
