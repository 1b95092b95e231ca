// Checked access to the JSON values of a scene file.
#include "host/standalone/SceneFileJson.h"

#include <cmath>
#include <limits>

#include "host/standalone/Cp1251.h"

namespace {

const char* TypeName(const Json& j) {
  switch (j.type()) {
    case Json::value_t::null: return "null";
    case Json::value_t::object: return "an object";
    case Json::value_t::array: return "an array";
    case Json::value_t::string: return "a string";
    case Json::value_t::boolean: return "a boolean";
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned:
    case Json::value_t::number_float: return "a number";
    default: return "an unexpected value";
  }
}

}  // namespace

bool JsonReader::Fail(const std::string& path, const std::string& reason) {
  if (error_.empty()) error_ = file_ + ": " + path + ": " + reason;
  return false;
}

bool JsonReader::Object(const Json& j, const std::string& path, std::initializer_list<const char*> allowed) {
  if (!j.is_object()) return Fail(path, std::string("expected an object, found ") + TypeName(j));
  for (auto it = j.begin(); it != j.end(); ++it) {
    bool known = false;
    for (const char* a : allowed)
      if (it.key() == a) { known = true; break; }
    if (!known) return Fail(Key(path, it.key()), "unknown key \"" + it.key() + "\"");
  }
  return true;
}

bool JsonReader::Array(const Json& j, const std::string& path, size_t size) {
  if (!j.is_array()) return Fail(path, std::string("expected an array, found ") + TypeName(j));
  if (size != SIZE_MAX && j.size() != size)
    return Fail(path, "expected " + std::to_string(size) + " elements, found " + std::to_string(j.size()));
  return true;
}

bool JsonReader::Number(const Json& j, const std::string& path, double& out) {
  if (!j.is_number()) return Fail(path, std::string("expected a number, found ") + TypeName(j));
  const double v = j.get<double>();
  if (!std::isfinite(v)) return Fail(path, "the number is not finite");
  out = v;
  return true;
}

bool JsonReader::Float(const Json& j, const std::string& path, float& out) {
  double v = 0;
  if (!Number(j, path, v)) return false;
  if (std::fabs(v) > static_cast<double>(std::numeric_limits<float>::max()))
    return Fail(path, "the number is out of the range of a 32-bit float");
  out = static_cast<float>(v);
  return true;
}

bool JsonReader::Int(const Json& j, const std::string& path, std::int64_t min, std::int64_t max, std::int64_t& out) {
  if (!j.is_number()) return Fail(path, std::string("expected an integer, found ") + TypeName(j));
  std::int64_t v = 0;
  if (j.is_number_unsigned()) {
    const auto u = j.get<std::uint64_t>();
    if (u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) return Fail(path, "the integer is out of range");
    v = static_cast<std::int64_t>(u);
  } else if (j.is_number_integer()) {
    v = j.get<std::int64_t>();
  } else {
    const double d = j.get<double>();
    if (!std::isfinite(d) || d != std::floor(d) || std::fabs(d) > 9.0e15) return Fail(path, "expected an integer");
    v = static_cast<std::int64_t>(d);
  }
  if (v < min || v > max)
    return Fail(path, "the integer " + std::to_string(v) + " is out of the range " + std::to_string(min) + " to " +
                          std::to_string(max));
  out = v;
  return true;
}

bool JsonReader::Int(const Json& j, const std::string& path, int min, int max, int& out) {
  std::int64_t v = 0;
  if (!Int(j, path, static_cast<std::int64_t>(min), static_cast<std::int64_t>(max), v)) return false;
  out = static_cast<int>(v);
  return true;
}

bool JsonReader::Bool(const Json& j, const std::string& path, bool& out) {
  if (!j.is_boolean()) return Fail(path, std::string("expected true or false, found ") + TypeName(j));
  out = j.get<bool>();
  return true;
}

bool JsonReader::Utf8(const Json& j, const std::string& path, std::string& out) {
  if (!j.is_string()) return Fail(path, std::string("expected a string, found ") + TypeName(j));
  out = j.get<std::string>();
  return true;
}

bool JsonReader::Text(const Json& j, const std::string& path, std::string& out) {
  std::string utf8;
  if (!Utf8(j, path, utf8)) return false;
  if (!Utf8ToCp1251(utf8, out)) return Fail(path, "the text holds a character outside code page 1251");
  return true;
}

bool JsonReader::Point(const Json& j, const std::string& path, Point3& out) {
  if (!Array(j, path, 3)) return false;
  for (size_t i = 0; i < 3; ++i)
    if (!Float(j[i], Index(path, i), out[static_cast<int>(i)])) return false;
  return true;
}

bool JsonReader::Quaternion(const Json& j, const std::string& path, Quat& out) {
  if (!Array(j, path, 4)) return false;
  for (size_t i = 0; i < 4; ++i)
    if (!Float(j[i], Index(path, i), out[static_cast<int>(i)])) return false;
  if (out.Length() < 1e-6f) return Fail(path, "the rotation quaternion has no length");
  if (std::fabs(out.Length() - 1.0f) > 1e-4f) out.Normalize();
  return true;
}

bool JsonReader::Matrix(const Json& j, const std::string& path, Matrix3& out) {
  if (!Array(j, path, 12)) return false;
  for (size_t i = 0; i < 12; ++i) {
    float v = 0;
    if (!Float(j[i], Index(path, i), v)) return false;
    out[static_cast<int>(i / 3)][static_cast<int>(i % 3)] = v;
  }
  return true;
}

bool JsonReader::SlotKey(const std::string& key, const std::string& path, int max, int& out) {
  if (key.empty() || key.size() > 4 || key.find_first_not_of("0123456789") != std::string::npos)
    return Fail(Key(path, key), "the key \"" + key + "\" is not a slot number");
  out = std::stoi(key);
  if (out > max) return Fail(Key(path, key), "the slot number " + key + " is above " + std::to_string(max));
  return true;
}

const Json* JsonReader::Member(const Json& obj, const char* key) {
  auto it = obj.find(key);
  return it == obj.end() ? nullptr : &*it;
}
