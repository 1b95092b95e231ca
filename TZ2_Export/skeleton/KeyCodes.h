// Key codes of the animation tracks: how a kept translation and a kept rotation are stored in
// six bytes.
//
// Position key: three u16 codes (x, y, z). A coordinate c becomes v = c × 1000 truncated
// toward zero; v = 0 gives code 0, otherwise code = sign × 32768 + e × 1024 + m with e the
// index of |v|'s highest set bit and m the ten bits below it, left-aligned. For |v| ≥ 2 that
// is the half-precision pattern of |v| × 2^−15 with a truncated mantissa; |v| = 1 gives the
// same code as 0. Values beyond the 32-bit range are clamped to it (and NaN counts as 0).
//
// Rotation key: three i16 values x, y, z of a unit quaternion with w ≥ 0, each the component
// × 32767 rounded to the nearest integer with halves away from zero; w is implied.
#pragma once

#include <cstdint>

#include "host/Point3.h"
#include "host/Quat.h"

namespace tz2 {

// One six-byte key as it is stored (little-endian fields).
struct TrackKey {
  std::uint8_t bytes[6];
};
static_assert(sizeof(TrackKey) == 6, "keys are stored back to back");

std::uint16_t PositionCode(float coordinate);
std::int16_t RotationComponent(float component);

TrackKey PositionKey(const Point3& translation);
// `rotation` must have w ≥ 0 (the samples are made so).
TrackKey RotationKey(const Quat& rotation);

}  // namespace tz2
