// Property text: key lookup by forms, the integer and name rules, BoneImportance writing and
// the removal of a parent assignment by text edit.
#include "TZ2_Export/skeleton/PropertyText.h"

#include <cstdio>
#include <cstring>
#include <limits>

#include "host/INode.h"

namespace tz2 {

bool FindUserProp(INode* node, KeyForms forms, std::string& value) {
  value.clear();
  if (!node) return false;
  for (const char* form : forms) {
    CStr text;
    if (node->GetUserPropString(CStr(form), text)) {
      value = text.str();
      return true;
    }
  }
  return false;
}

std::int32_t IntegerOfValue(const char* text) {
  if (!text) return 0;
  const char* p = text;
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r') ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    magnitude = magnitude * 10 + (*p - '0');
    if (magnitude > kLimit) magnitude = kLimit;  // clamp; further digits cannot lower it
  }
  const std::int64_t v = negative ? -magnitude : magnitude;
  if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(v);
}

namespace {
unsigned char FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }
}  // namespace

bool NamesEqualIgnoringCase(const char* a, const char* b) {
  if (!a) a = "";
  if (!b) b = "";
  for (;; ++a, ++b) {
    const unsigned char ca = FoldAscii(static_cast<unsigned char>(*a));
    const unsigned char cb = FoldAscii(static_cast<unsigned char>(*b));
    if (ca != cb) return false;
    if (ca == 0) return true;
  }
}

void SetBoneImportance(INode* node, std::int32_t value) {
  if (!node) return;
  char text[16];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  node->SetUserPropString(CStr("BoneImportance"), CStr(text));
}

bool BlankParentAssignment(std::string& text) {
  std::size_t at = std::string::npos;
  for (const char* form : {"PARENTBONE", "ParentBone", "parentbone"}) {
    at = text.find(form);
    if (at != std::string::npos) break;
  }
  if (at == std::string::npos) return false;
  for (std::size_t i = at; i < text.size() && static_cast<unsigned char>(text[i]) > 32; ++i) text[i] = ' ';
  return true;
}

bool RemoveParentAssignment(INode* node) {
  if (!node) return false;
  CStr buffer;
  node->GetUserPropBuffer(buffer);
  std::string text = buffer.str();
  if (!BlankParentAssignment(text)) return false;
  node->SetUserPropBuffer(CStr(text));
  return true;
}

}  // namespace tz2
