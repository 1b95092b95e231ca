// The animation writer: prepares the whole animation before the file is created (sampling,
// local samples, the camera buffer's positions, both reduction passes, the limit checks and
// the ratio) and writes the section from it (see AnimationWriter.h for the layout).
#include "TZ2_Export/skeleton/AnimationWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "TZ2_Export/scene/NameRules.h"
#include "TZ2_Export/skeleton/Animation.h"
#include "TZ2_Export/skeleton/BoneHierarchy.h"
#include "TZ2_Export/skeleton/Bones.h"
#include "host/INode.h"
#include "platform/Windows.h"

namespace tz2 {
namespace {

constexpr std::uint32_t kBlockCapacity = 50000;
constexpr std::uint32_t kBlockGrowth = 20000;
constexpr std::size_t kNameBytes = 20;

void ShowLimitError(const std::string& text) {
  MessageBoxA(GetActiveWindow(), text.c_str(), "Error", MB_OK | MB_ICONERROR);
}

// Refuses a range the 12-bit key frame numbers cannot address, or one without frames.
bool CheckFrameLimit(const ExportState& s) {
  const int frames = FrameCountOf(s);
  char text[256];
  if (frames < 1) {
    std::snprintf(text, sizeof text,
                  "The animation range ends at frame %d, before frame 0: there is no frame to export.",
                  s.lastFrame);
  } else if (frames > kMaxTrackFrames) {
    std::snprintf(text, sizeof text,
                  "The animation has %d frames. Maximum number of animation frames is %d.\n"
                  "Nothing was exported.",
                  frames, kMaxTrackFrames);
  } else {
    return true;
  }
  ShowLimitError(text);
  return false;
}

// Refuses the first track whose keys the 11-bit key indices cannot address.
bool CheckKeyLimit(const ExportState& s, const std::vector<BoneAnimation>& bones) {
  for (std::size_t i = 0; i < bones.size(); ++i) {
    const std::uint32_t keys[2] = {bones[i].positionTrack.KeyCount(), bones[i].rotationTrack.KeyCount()};
    const char* const tracks[2] = {"position", "rotation"};
    for (int k = 0; k < 2; ++k) {
      if (keys[k] <= static_cast<std::uint32_t>(kMaxTrackKeys)) continue;
      char text[512];
      std::snprintf(text, sizeof text,
                    "Bone '%s' needs %u keys on its %s track. Maximum number of keys per track is %d.\n"
                    "Lower the animation quality or shorten the animation. Nothing was exported.",
                    s.boneList[i].node->GetName(), keys[k], tracks[k], kMaxTrackKeys);
      ShowLimitError(text);
      return false;
    }
  }
  return true;
}

// Step 4a: the camera port's translations (or the zero port's, without a camera port) into
// the buffer's position half, before any reduction.
void FillCameraPositions(ExportState& s, const std::vector<BoneAnimation>& bones, const std::vector<int>& parents) {
  INode* source = s.special.cameraPort != nullptr ? s.special.cameraPort : s.special.zeroPort;
  if (source == nullptr) return;
  const int i = s.boneList.IndexOf(source);
  if (i < 0) return;
  const std::size_t frames = bones[static_cast<std::size_t>(i)].frames.size();
  if (s.cameraSamples.size() < frames * 3) s.cameraSamples.resize(frames * 3, 0.0f);
  for (std::size_t f = 0; f < frames; ++f) {
    const Point3 t = PortTranslation(bones, parents, static_cast<std::size_t>(i), f);
    for (int c = 0; c < 3; ++c) s.cameraSamples[f * 3 + static_cast<std::size_t>(c)] = t[c];
  }
}

void WriteName(ByteStream& out, const char* name) {
  std::uint8_t bytes[kNameBytes] = {};
  if (name != nullptr) std::memcpy(bytes, name, std::min(std::strlen(name), kNameBytes - 1));
  WriteBytes(out, bytes, kNameBytes);
}

void WriteMat4(ByteStream& out, const Mat4& m) {
  for (const auto& row : m.m)
    for (float v : row) WriteF32(out, v);
}

}  // namespace

float AnimationRatio(const std::vector<BoneAnimation>& bones, int frameCount) {
  if (bones.empty() || frameCount < 1) return 0.0f;
  float position = 0.0f, rotation = 0.0f;
  for (const BoneAnimation& b : bones) {
    position += static_cast<float>(b.positionTrack.KeyCount()) / static_cast<float>(frameCount);
    rotation += static_cast<float>(b.rotationTrack.KeyCount()) / static_cast<float>(frameCount);
  }
  const float n = static_cast<float>(bones.size());
  return (position / n + rotation / n) * 6.0f * 8.333333f;
}

std::shared_ptr<PreparedAnimation> PrepareAnimation(ExportState& s) {
  auto prepared = std::make_shared<PreparedAnimation>();
  s.animationRatio = 0.0f;
  if (!CheckFrameLimit(s)) {
    prepared->refused = true;
    return prepared;
  }
  const int frameCount = FrameCountOf(s);
  std::vector<BoneAnimation>& bones = prepared->bones;
  SampleBones(s, bones, prepared->nonUniformScale);
  ComputeBindPose(bones);
  BoneHierarchy hierarchy(s);
  prepared->parents.resize(bones.size());
  for (std::size_t i = 0; i < bones.size(); ++i) prepared->parents[i] = hierarchy.ParentIndexOf(static_cast<int>(i));
  ComputeLocalSamples(bones, prepared->parents);
  FillCameraPositions(s, bones, prepared->parents);
  for (BoneAnimation& b : bones) {
    std::vector<Mat4>().swap(b.frames);
    std::vector<std::uint8_t>().swap(b.mirrored);
  }

  const std::vector<std::uint8_t> heights = SubtreeHeights(s);
  for (std::size_t i = 0; i < bones.size(); ++i) {
    BoneAnimation& b = bones[i];
    b.positionTrack = ReducePositions(b.samples.data(), frameCount);
    const int h = i < heights.size() ? heights[i] : 0;
    b.rotationTrack = ReduceRotations(b.samples.data(), frameCount, RotationThreshold(s.options.AnimationQuality, h));
  }
  if (!CheckKeyLimit(s, bones)) {
    prepared->refused = true;
    return prepared;
  }
  s.animationRatio = AnimationRatio(bones, frameCount);
  return prepared;
}

bool CheckAnimationLimits(ExportState& s) {
  if (!s.options.ExportAnimation) return true;
  if (!s.preparedAnimation) s.preparedAnimation = PrepareAnimation(s);
  return !s.preparedAnimation->refused;
}

void BuildAnimationSection(const ExportState& s, const PreparedAnimation* prepared, ByteStream& out) {
  const bool usable = prepared != nullptr && !prepared->refused;
  const std::size_t count = usable ? std::min<std::size_t>(prepared->bones.size(), kMaxBones) : 0;
  WriteU8(out, static_cast<std::uint8_t>(count));
  for (std::size_t i = 0; i < count; ++i) {
    const BoneAnimation& b = prepared->bones[i];
    const char* name = s.boneList[i].node->GetName();
    const int parent = prepared->parents[i];
    const std::uint8_t part = i < s.bonePartRecords.size() ? s.bonePartRecords[i].part : 0;
    const bool partRoot = IsGroupName(name) || parent < 0;
    WriteName(out, name);
    WriteU8(out, parent >= 0 && parent < static_cast<int>(count) ? static_cast<std::uint8_t>(parent) : kNoBone);
    WriteU8(out, part);
    WriteU8(out, partRoot ? part : static_cast<std::uint8_t>(0xFF));
    ByteStream block(kBlockCapacity, kBlockGrowth);
    b.positionTrack.Write(block);
    b.rotationTrack.Write(block);
    WriteU32(out, block.Size());
    WriteBytes(out, block.Buffer(), block.Size());
  }
  for (std::size_t i = 0; i < count; ++i) {
    WriteMat4(out, prepared->bones[i].inverseBind);
    WriteMat4(out, prepared->bones[i].bind);
  }
  for (const auto& row : s.skeletonLodMap) WriteBytes(out, row.data(), static_cast<std::uint32_t>(count));
}

std::string NonUniformScaleMessage(const std::vector<std::string>& names) {
  if (names.empty()) return {};
  std::string text = "The following bones has non-uniform scale or skew applied to them:\n";
  for (const std::string& name : names) text += "\n" + name;
  text += "\n\nThis can lead to wrong animation in game.\nRefer to plug-in documentation.";
  return text;
}

void WriteAnimationSection(OutputFile& file, ExportState& s, int /*frameCount*/) {
  if (!s.preparedAnimation) s.preparedAnimation = PrepareAnimation(s);
  ByteStream section(kBlockCapacity, kBlockGrowth);
  BuildAnimationSection(s, s.preparedAnimation.get(), section);
  file.WriteStream(section);
  const std::string warning = NonUniformScaleMessage(s.preparedAnimation->nonUniformScale);
  s.preparedAnimation.reset();
  if (!warning.empty()) MessageBoxA(GetActiveWindow(), warning.c_str(), "Warning", MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace tz2
