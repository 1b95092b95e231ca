// The chosen animation clip as transform keys: each channel's position, rotation and scale
// keys (separate arrays) are sampled at every whole host frame of the clip, 0 to the clip's
// end, and become the node's keys; the scene's animation range covers the clip. Ticks per
// second come from the file; 0 (unknown) means the host frame rate.
#include <algorithm>
#include <cmath>

#include "host/Time.h"
#include "host/standalone/Scene.h"
#include "import/ImportContext.h"

namespace tz2import {
namespace {

template <class Key>
size_t KeyBefore(const Key* keys, unsigned n, double t) {
  size_t i = 0;
  while (i + 1 < n && keys[i + 1].mTime <= t) ++i;
  return i;
}

aiVector3D SampleVector(const aiVectorKey* keys, unsigned n, double t, const aiVector3D& rest) {
  if (n == 0) return rest;
  if (t <= keys[0].mTime) return keys[0].mValue;
  const size_t i = KeyBefore(keys, n, t);
  if (i + 1 >= n) return keys[n - 1].mValue;
  const double span = keys[i + 1].mTime - keys[i].mTime;
  const float u = span > 0 ? static_cast<float>((t - keys[i].mTime) / span) : 0.0f;
  return keys[i].mValue + (keys[i + 1].mValue - keys[i].mValue) * u;
}

aiQuaternion SampleRotation(const aiQuatKey* keys, unsigned n, double t, const aiQuaternion& rest) {
  if (n == 0) return rest;
  if (t <= keys[0].mTime) return keys[0].mValue;
  const size_t i = KeyBefore(keys, n, t);
  if (i + 1 >= n) return keys[n - 1].mValue;
  const double span = keys[i + 1].mTime - keys[i].mTime;
  const float u = span > 0 ? static_cast<float>((t - keys[i].mTime) / span) : 0.0f;
  aiQuaternion out;
  aiQuaternion::Interpolate(out, keys[i].mValue, keys[i + 1].mValue, u);
  return out.Normalize();
}

int ChooseClip(ImportContext& c) {
  const aiScene* s = c.scene;
  for (unsigned i = 0; i < s->mNumAnimations; ++i) c.report->clips.push_back(s->mAnimations[i]->mName.C_Str());
  if (s->mNumAnimations == 0) return -1;
  const std::string& want = c.options.clip;
  if (want.empty()) return 0;
  if (want == "none") return -1;
  for (unsigned i = 0; i < s->mNumAnimations; ++i)
    if (want == s->mAnimations[i]->mName.C_Str()) return static_cast<int>(i);
  if (want.find_first_not_of("0123456789") == std::string::npos && want.size() < 9 &&
      std::stoul(want) < s->mNumAnimations)
    return static_cast<int>(std::stoul(want));
  c.report->warnings.push_back(c.fileName + ": there is no clip '" + want + "'; the first clip was imported");
  return 0;
}

}  // namespace

void ImportAnimation(ImportContext& c) {
  const int clip = ChooseClip(c);
  c.report->clipIndex = clip;
  if (clip < 0) return;
  const aiAnimation* anim = c.scene->mAnimations[clip];
  const double tps = anim->mTicksPerSecond > 0 ? anim->mTicksPerSecond : c.options.fps;
  const int lastFrame = std::max(0, static_cast<int>(std::ceil(anim->mDuration / tps * c.options.fps - 1e-3)));
  TheScene().SetAnimRangeFrames(0, lastFrame);
  const TimeValue tpf = GetTicksPerFrame();
  for (unsigned ch = 0; ch < anim->mNumChannels; ++ch) {
    const aiNodeAnim* channel = anim->mChannels[ch];
    const aiNode* node = c.scene->mRootNode->FindNode(channel->mNodeName);
    if (node == nullptr || node == c.collapsedRoot || c.nodes.count(node) == 0) continue;
    aiVector3D restScale, restPos;
    aiQuaternion restRot;
    node->mTransformation.Decompose(restScale, restRot, restPos);
    std::vector<TransformKey> keys;
    for (int f = 0; f <= lastFrame; ++f) {
      const double t = static_cast<double>(f) / c.options.fps * tps;
      const aiMatrix4x4 local(SampleVector(channel->mScalingKeys, channel->mNumScalingKeys, t, restScale),
                              SampleRotation(channel->mRotationKeys, channel->mNumRotationKeys, t, restRot),
                              SampleVector(channel->mPositionKeys, channel->mNumPositionKeys, t, restPos));
      keys.push_back(TransformKey::FromMatrix(f * tpf, HostLocal(c, node, local)));
    }
    c.nodes[node]->GetTMController()->Keys().SetKeys(std::move(keys));
  }
}

}  // namespace tz2import
