// Scene custom properties through the host's property calls on the user-defined set.
#include "TZ2_Export/shell/SceneProperties.h"

#include <vector>

#include "host/Interface.h"

namespace tz2 {
namespace {

const PROPVARIANT* Find(Interface* host, const wchar_t* name, VARTYPE type) {
  if (!host) return nullptr;
  PROPSPEC spec;
  spec.ulKind = PRSPEC_LPWSTR;
  spec.lpwstr = name;
  const int index = host->FindProperty(PROPSET_USERDEFINED, &spec);
  if (index < 0) return nullptr;
  const PROPVARIANT* v = host->GetPropertyVariant(PROPSET_USERDEFINED, index);
  return v && v->vt == type ? v : nullptr;
}

void Add(Interface* host, const wchar_t* name, const PROPVARIANT& value) {
  if (!host) return;
  PROPSPEC spec;
  spec.ulKind = PRSPEC_LPWSTR;
  spec.lpwstr = name;
  host->AddProperty(PROPSET_USERDEFINED, &spec, &value);
}

}  // namespace

std::optional<float> GetSceneFloat(Interface* host, const wchar_t* name) {
  if (const PROPVARIANT* v = Find(host, name, VT_R4)) return v->fltVal;
  return std::nullopt;
}

std::optional<bool> GetSceneBool(Interface* host, const wchar_t* name) {
  if (const PROPVARIANT* v = Find(host, name, VT_BOOL)) return v->boolVal != 0;
  return std::nullopt;
}

std::optional<std::string> GetSceneText(Interface* host, const wchar_t* name) {
  if (const PROPVARIANT* v = Find(host, name, VT_LPSTR)) return std::string(v->pszVal ? v->pszVal : "");
  return std::nullopt;
}

void SetSceneFloat(Interface* host, const wchar_t* name, float value) {
  PROPVARIANT v;
  v.vt = VT_R4;
  v.fltVal = value;
  Add(host, name, v);
}

void SetSceneBool(Interface* host, const wchar_t* name, bool value) {
  PROPVARIANT v;
  v.vt = VT_BOOL;
  v.boolVal = value ? 1 : 0;
  Add(host, name, v);
}

void SetSceneText(Interface* host, const wchar_t* name, const std::string& value) {
  std::vector<char> text(value.begin(), value.end());
  text.push_back('\0');
  PROPVARIANT v;
  v.vt = VT_LPSTR;
  v.pszVal = text.data();
  Add(host, name, v);
}

}  // namespace tz2
