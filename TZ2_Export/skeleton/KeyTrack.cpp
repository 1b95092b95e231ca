// KeyTrack: key appending, the group index upkeep and serialisation (see KeyTrack.h).
#include "TZ2_Export/skeleton/KeyTrack.h"

namespace tz2 {

void KeyTrack::AddFrame(bool isKey, const TrackKey& key) {
  if (isKey) {
    keys_.Append(key);
    keyFrames_.Append(frameCounter_);
  }
  const std::uint32_t inGroup = frameCounter_ % 8u;
  if (inGroup == 0) {
    groupIndex_.Append(keys_.Count() - 1u);
  } else if (isKey) {
    const std::uint32_t g = frameCounter_ / 8u;
    groupIndex_.Set(g, groupIndex_.Get(g) | (1u << (11u + inGroup)));
  }
  ++frameCounter_;
}

void KeyTrack::Write(ByteStream& out) const {
  WriteU32(out, keys_.Count());
  if (keys_.Count() != 0) WriteBytes(out, keys_.Data(), keys_.Count() * sizeof(TrackKey));
  groupIndex_.Write(out);
  keyFrames_.Write(out);
  WriteU16(out, frameCounter_);
}

}  // namespace tz2
