// Point3: the host's three-component float vector (positions, directions, colours).
// `^` is the cross product and `%` the dot product, as in the host SDK.
#pragma once

#include <cmath>
#include <type_traits>

struct Point3 {
  float x = 0.0f, y = 0.0f, z = 0.0f;

  constexpr Point3() = default;
  constexpr Point3(float ax, float ay, float az) : x(ax), y(ay), z(az) {}
  constexpr Point3(double ax, double ay, double az)
      : x(static_cast<float>(ax)), y(static_cast<float>(ay)), z(static_cast<float>(az)) {}
  constexpr Point3(int ax, int ay, int az)
      : x(static_cast<float>(ax)), y(static_cast<float>(ay)), z(static_cast<float>(az)) {}
  // Mixed arithmetic components, e.g. Point3(0, 0.5f, 1).
  template <typename A, typename B, typename C>
    requires(std::is_arithmetic_v<A> && std::is_arithmetic_v<B> && std::is_arithmetic_v<C>)
  constexpr Point3(A ax, B ay, C az)
      : x(static_cast<float>(ax)), y(static_cast<float>(ay)), z(static_cast<float>(az)) {}
  explicit Point3(const float* v) : x(v[0]), y(v[1]), z(v[2]) {}

  float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
  float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }

  Point3 operator-() const { return {-x, -y, -z}; }
  Point3 operator+(const Point3& b) const { return {x + b.x, y + b.y, z + b.z}; }
  Point3 operator-(const Point3& b) const { return {x - b.x, y - b.y, z - b.z}; }
  Point3 operator*(float f) const { return {x * f, y * f, z * f}; }
  Point3 operator/(float f) const { return {x / f, y / f, z / f}; }
  // Component-wise product.
  Point3 operator*(const Point3& b) const { return {x * b.x, y * b.y, z * b.z}; }
  Point3& operator+=(const Point3& b) { x += b.x; y += b.y; z += b.z; return *this; }
  Point3& operator-=(const Point3& b) { x -= b.x; y -= b.y; z -= b.z; return *this; }
  Point3& operator*=(float f) { x *= f; y *= f; z *= f; return *this; }
  Point3& operator/=(float f) { x /= f; y /= f; z /= f; return *this; }
  bool operator==(const Point3& b) const { return x == b.x && y == b.y && z == b.z; }
  bool operator!=(const Point3& b) const { return !(*this == b); }

  // Cross product.
  Point3 operator^(const Point3& b) const {
    return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x};
  }
  // Dot product.
  float operator%(const Point3& b) const { return x * b.x + y * b.y + z * b.z; }

  float Length() const { return std::sqrt(x * x + y * y + z * z); }
  float LengthSquared() const { return x * x + y * y + z * z; }
  // This vector scaled to unit length; a zero vector stays zero.
  Point3 Normalize() const {
    float l = Length();
    return l != 0.0f ? Point3(x / l, y / l, z / l) : Point3();
  }
  Point3 FNormalize() const { return Normalize(); }

  static const Point3 Origin;
  static const Point3 XAxis;
  static const Point3 YAxis;
  static const Point3 ZAxis;
};

inline constexpr Point3 Point3::Origin{0.0f, 0.0f, 0.0f};
inline constexpr Point3 Point3::XAxis{1.0f, 0.0f, 0.0f};
inline constexpr Point3 Point3::YAxis{0.0f, 1.0f, 0.0f};
inline constexpr Point3 Point3::ZAxis{0.0f, 0.0f, 1.0f};

inline Point3 operator*(float f, const Point3& p) { return p * f; }
inline float Length(const Point3& p) { return p.Length(); }
inline Point3 Normalize(const Point3& p) { return p.Normalize(); }
inline Point3 FNormalize(const Point3& p) { return p.Normalize(); }
inline Point3 CrossProd(const Point3& a, const Point3& b) { return a ^ b; }
inline float DotProd(const Point3& a, const Point3& b) { return a % b; }

// A texture coordinate is a Point3 (u, v, w).
using UVVert = Point3;
