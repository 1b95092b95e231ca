// The position and rotation key codes (see KeyCodes.h).
#include "TZ2_Export/skeleton/KeyCodes.h"

#include <bit>
#include <cmath>

namespace tz2 {
namespace {

// c × 1000 truncated toward zero, clamped to the signed 32-bit range.
std::int32_t Millis(float coordinate) {
  const float v = coordinate * 1000.0f;
  if (!(v == v)) return 0;  // NaN
  if (v >= 2147483520.0f) return 2147483647;
  if (v <= -2147483520.0f) return -2147483647;
  return static_cast<std::int32_t>(v);
}

void PutU16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v & 0xFF);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

}  // namespace

std::uint16_t PositionCode(float coordinate) {
  const std::int32_t v = Millis(coordinate);
  if (v == 0) return 0;
  const std::uint32_t a = static_cast<std::uint32_t>(v < 0 ? -static_cast<std::int64_t>(v) : v);
  const int e = std::bit_width(a) - 1;
  const std::uint32_t m = e >= 10 ? (a >> (e - 10)) & 1023u : (a << (10 - e)) & 1023u;
  const std::uint32_t sign = v < 0 ? 32768u : 0u;
  return static_cast<std::uint16_t>(sign + static_cast<std::uint32_t>(e) * 1024u + m);
}

std::int16_t RotationComponent(float component) {
  const float scaled = component * 32767.0f;
  if (!(scaled == scaled)) return 0;
  if (scaled >= 32767.0f) return 32767;
  if (scaled <= -32767.0f) return -32767;
  return static_cast<std::int16_t>(std::lround(scaled));
}

TrackKey PositionKey(const Point3& translation) {
  TrackKey key{};
  for (int i = 0; i < 3; ++i) PutU16(key.bytes + 2 * i, PositionCode(translation[i]));
  return key;
}

TrackKey RotationKey(const Quat& rotation) {
  TrackKey key{};
  for (int i = 0; i < 3; ++i)
    PutU16(key.bytes + 2 * i, static_cast<std::uint16_t>(RotationComponent(rotation[i])));
  return key;
}

}  // namespace tz2
