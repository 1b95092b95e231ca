// Custom file properties: named, typed values the scene keeps and saves with itself
// (PROPSET_USERDEFINED is the user-defined set the plug-ins use). Names are wide strings,
// values one of VT_I4, VT_R4, VT_BOOL (VARIANT_TRUE / VARIANT_FALSE) or VT_LPSTR (8-bit
// text). PROPSPEC and PROPVARIANT are the records Interface::FindProperty,
// GetPropertyVariant and AddProperty take.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/WinTypes.h"

inline constexpr int PROPSET_SUMMARYINFO = 0;
inline constexpr int PROPSET_DOCSUMMARYINFO = 1;
inline constexpr int PROPSET_USERDEFINED = 4;

using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;
using PROPID = ULONG;

inline constexpr VARTYPE VT_EMPTY = 0;
inline constexpr VARTYPE VT_I4 = 3;
inline constexpr VARTYPE VT_R4 = 4;
inline constexpr VARTYPE VT_BOOL = 11;
inline constexpr VARTYPE VT_LPSTR = 30;
inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

inline constexpr ULONG PRSPEC_LPWSTR = 0;
inline constexpr ULONG PRSPEC_PROPID = 1;

struct PROPSPEC {
  ULONG ulKind = PRSPEC_LPWSTR;
  PROPID propid = 0;
  const wchar_t* lpwstr = nullptr;
};

// A typed value. pszVal of a value the host hands out points into the host's copy and stays
// valid until the property set changes.
struct PROPVARIANT {
  VARTYPE vt = VT_EMPTY;
  union {
    std::int32_t lVal;
    float fltVal;
    VARIANT_BOOL boolVal;
    char* pszVal;
  };
  PROPVARIANT() : lVal(0) {}
};

void PropVariantInit(PROPVARIANT* v);

// One stored property (the scene's copy).
struct CustomProperty {
  std::wstring name;
  VARTYPE type = VT_EMPTY;
  std::int32_t i4 = 0;
  float r4 = 0.0f;
  bool b = false;
  std::string text;
  mutable PROPVARIANT variant;  // what GetPropertyVariant hands out
};

// The user-defined set, in the order the properties were added. Adding a name that is there
// replaces its value in place.
class PropertySet {
 public:
  int Find(const std::wstring& name) const;
  int Count() const { return static_cast<int>(props_.size()); }
  const CustomProperty* At(int i) const;
  // FALSE for a type other than the four.
  bool Add(const std::wstring& name, const PROPVARIANT& value);
  bool Remove(int i);
  void SetFloat(const std::wstring& name, float v);
  void SetInt(const std::wstring& name, std::int32_t v);
  void SetBool(const std::wstring& name, bool v);
  void SetString(const std::wstring& name, const std::string& v);
  // The variant of property i (pszVal points into the stored text); null out of range.
  const PROPVARIANT* Variant(int i) const;
  void Clear() { props_.clear(); }
  PropertySet() = default;
  PropertySet(const PropertySet& o);
  PropertySet& operator=(const PropertySet& o);

 private:
  void Put(CustomProperty p);
  std::vector<std::unique_ptr<CustomProperty>> props_;  // stable addresses for pszVal
};
