// The user-defined custom file properties: a named, ordered set of typed values.
#include "host/Properties.h"

void PropVariantInit(PROPVARIANT* v) {
  if (v == nullptr) return;
  v->vt = VT_EMPTY;
  v->lVal = 0;
}

PropertySet::PropertySet(const PropertySet& o) { *this = o; }

PropertySet& PropertySet::operator=(const PropertySet& o) {
  if (this == &o) return *this;
  props_.clear();
  for (const auto& p : o.props_) props_.push_back(std::make_unique<CustomProperty>(*p));
  return *this;
}

int PropertySet::Find(const std::wstring& name) const {
  for (size_t i = 0; i < props_.size(); ++i)
    if (props_[i]->name == name) return static_cast<int>(i);
  return -1;
}

const CustomProperty* PropertySet::At(int i) const {
  return i >= 0 && i < Count() ? props_[static_cast<size_t>(i)].get() : nullptr;
}

void PropertySet::Put(CustomProperty p) {
  const int at = Find(p.name);
  if (at >= 0) *props_[static_cast<size_t>(at)] = std::move(p);
  else props_.push_back(std::make_unique<CustomProperty>(std::move(p)));
}

bool PropertySet::Add(const std::wstring& name, const PROPVARIANT& value) {
  CustomProperty p;
  p.name = name;
  p.type = value.vt;
  switch (value.vt) {
    case VT_I4: p.i4 = value.lVal; break;
    case VT_R4: p.r4 = value.fltVal; break;
    case VT_BOOL: p.b = value.boolVal != VARIANT_FALSE; break;
    case VT_LPSTR: p.text = value.pszVal != nullptr ? value.pszVal : ""; break;
    default: return false;
  }
  Put(std::move(p));
  return true;
}

bool PropertySet::Remove(int i) {
  if (i < 0 || i >= Count()) return false;
  props_.erase(props_.begin() + i);
  return true;
}

void PropertySet::SetFloat(const std::wstring& name, float v) {
  CustomProperty p; p.name = name; p.type = VT_R4; p.r4 = v; Put(std::move(p));
}
void PropertySet::SetInt(const std::wstring& name, std::int32_t v) {
  CustomProperty p; p.name = name; p.type = VT_I4; p.i4 = v; Put(std::move(p));
}
void PropertySet::SetBool(const std::wstring& name, bool v) {
  CustomProperty p; p.name = name; p.type = VT_BOOL; p.b = v; Put(std::move(p));
}
void PropertySet::SetString(const std::wstring& name, const std::string& v) {
  CustomProperty p; p.name = name; p.type = VT_LPSTR; p.text = v; Put(std::move(p));
}

const PROPVARIANT* PropertySet::Variant(int i) const {
  const CustomProperty* p = At(i);
  if (p == nullptr) return nullptr;
  PROPVARIANT& v = p->variant;
  v.vt = p->type;
  switch (p->type) {
    case VT_I4: v.lVal = p->i4; break;
    case VT_R4: v.fltVal = p->r4; break;
    case VT_BOOL: v.boolVal = p->b ? VARIANT_TRUE : VARIANT_FALSE; break;
    case VT_LPSTR: v.pszVal = const_cast<char*>(p->text.c_str()); break;
    default: v.lVal = 0; break;
  }
  return &v;
}
