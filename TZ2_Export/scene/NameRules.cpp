// Name rules (see NameRules.h): prefix and whole-name tests over 8-bit names.
#include "TZ2_Export/scene/NameRules.h"

namespace tz2 {

namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool StartsWithAnyCase(const char* name, const char* upperPrefix) {
  if (name == nullptr) return false;
  for (; *upperPrefix != '\0'; ++name, ++upperPrefix)
    if (*name == '\0' || UpperAscii(*name) != *upperPrefix) return false;
  return true;
}

bool StartsWithExact(const char* name, const char* prefix) {
  if (name == nullptr) return false;
  for (; *prefix != '\0'; ++name, ++prefix)
    if (*name != *prefix) return false;
  return true;
}

bool EqualsAnyCase(const char* name, const char* literal) {
  if (name == nullptr) return false;
  for (; *literal != '\0'; ++name, ++literal)
    if (*name == '\0' || UpperAscii(*name) != UpperAscii(*literal)) return false;
  return *name == '\0';
}

bool IsDetailMeshName(const char* name) { return EqualsAnyCase(name, "TAG_DETAIL"); }

bool IsSkippedTagName(const char* name) { return StartsWithExact(name, "tag_") && !IsDetailMeshName(name); }

bool IsHitMeshName(const char* name) {
  return StartsWithExact(name, "HIT_") || StartsWithExact(name, "hit_") || StartsWithExact(name, "Hit_");
}

bool IsCollisionBoxName(const char* name) {
  return StartsWithExact(name, "CL_") || StartsWithExact(name, "cl_") || StartsWithExact(name, "Cl_");
}

bool IsCollisionSearchName(const char* name) { return StartsWithAnyCase(name, "CL_"); }

bool IsGroupName(const char* name) { return StartsWithAnyCase(name, "GR_") || StartsWithAnyCase(name, "GRH_"); }

bool IsAnyCaseHitName(const char* name) { return StartsWithAnyCase(name, "HIT_"); }

bool IsPortName(const char* name) { return StartsWithAnyCase(name, "PORT_"); }

bool IsNoExportName(const char* name) { return StartsWithAnyCase(name, "NOEXPORT_"); }

}  // namespace tz2
