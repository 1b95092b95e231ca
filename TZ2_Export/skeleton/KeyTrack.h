// KeyTrack: the kept keys of one bone's position or rotation track and the two packed index
// arrays that let a reader find the key of any frame in constant time.
//
//   keys         six-byte keys (KeyCodes.h) in frame order
//   group index  one 19-bit element per group of eight frames: bits 0-10 the index of the key
//                that holds the group's first frame (the last key made at or before it),
//                bit 11 + k (k = 1..7) set when frame 8g + k has a key of its own
//   key frames   one 12-bit element per key: the frame (counted from the first) it was made at
//   frame counter the frames processed; ends equal to the frame count
//
// The key of frame F: element F ÷ 8 gives the base index, each set bit 12 .. 11 + (F mod 8)
// adds one. The widths limit a track to kMaxTrackFrames frames and kMaxTrackKeys keys; the
// animation writer refuses longer animations before anything is written (Animation.h).
// Serialised: key count (u32), the keys, the group index and the key frames (PackedBitArray
// writes), the frame counter (u16).
#pragma once

#include <cstdint>

#include "TZ2_Export/skeleton/KeyCodes.h"
#include "collect/ByteStream.h"
#include "collect/GrowArray.h"
#include "collect/PackedBitArray.h"

namespace tz2 {

inline constexpr int kMaxTrackFrames = 4096;  // 12-bit key frame numbers
inline constexpr int kMaxTrackKeys = 2048;    // 11-bit key indices
inline constexpr std::uint8_t kGroupIndexWidth = 19;
inline constexpr std::uint8_t kKeyFrameWidth = 12;

class KeyTrack {
 public:
  KeyTrack() : groupIndex_(kGroupIndexWidth, 0), keyFrames_(kKeyFrameWidth, 0) {}

  // Processes the next frame: appends `key` when the frame is a key, then keeps the group
  // index up to date and counts the frame.
  void AddFrame(bool isKey, const TrackKey& key);

  std::uint32_t KeyCount() const { return keys_.Count(); }
  std::uint16_t FrameCounter() const { return frameCounter_; }
  const GrowArray<TrackKey>& Keys() const { return keys_; }
  const PackedBitArray& GroupIndex() const { return groupIndex_; }
  const PackedBitArray& KeyFrames() const { return keyFrames_; }

  void Write(ByteStream& out) const;

 private:
  GrowArray<TrackKey> keys_;
  PackedBitArray groupIndex_;
  PackedBitArray keyFrames_;
  std::uint16_t frameCounter_ = 0;
};

}  // namespace tz2
