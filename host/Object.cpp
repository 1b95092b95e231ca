// Object conversions, the camera's field of view keys and the derived object's stack.
#include "host/Object.h"

#include <algorithm>

Object* Object::ConvertToType(TimeValue /*t*/, Class_ID obtype) {
  return obtype == ClassID() ? this : nullptr;
}

TriObject* CreateNewTriObject() { return new TriObject(); }

int EditableMeshObject::CanConvertToType(Class_ID obtype) {
  return obtype == triObjectClassID || obtype == ClassID();
}

Object* EditableMeshObject::ConvertToType(TimeValue /*t*/, Class_ID obtype) {
  if (obtype == ClassID()) return this;
  if (obtype != triObjectClassID) return nullptr;
  TriObject* tri = CreateNewTriObject();
  tri->mesh = mesh;
  return tri;
}

Mesh* GetObjectMesh(Object* obj) {
  if (obj == nullptr) return nullptr;
  if (obj->ClassID() == triObjectClassID && obj->SuperClassID() == GEOMOBJECT_CLASS_ID)
    return &static_cast<TriObject*>(obj)->mesh;
  if (obj->ClassID() == EDITABLE_MESH_CLASS_ID && obj->SuperClassID() == GEOMOBJECT_CLASS_ID)
    return &static_cast<EditableMeshObject*>(obj)->mesh;
  return nullptr;
}

int OtherObject::CanConvertToType(Class_ID obtype) {
  return obtype == classId_ || (convertible_ && obtype == triObjectClassID);
}

Object* OtherObject::ConvertToType(TimeValue /*t*/, Class_ID obtype) {
  if (obtype == classId_) return this;
  if (convertible_ && obtype == triObjectClassID) return CreateNewTriObject();
  return nullptr;
}

float GenCamera::GetFOV(TimeValue t, Interval* valid) {
  if (valid != nullptr) *valid = keys_.size() > 1 ? Interval(t, t) : FOREVER;
  if (keys_.empty()) return fov_;
  if (t <= keys_.front().time) return keys_.front().fov;
  if (t >= keys_.back().time) return keys_.back().fov;
  auto next = std::upper_bound(keys_.begin(), keys_.end(), t,
                               [](TimeValue v, const FovKey& k) { return v < k.time; });
  auto prev = next - 1;
  const float u = static_cast<float>(t - prev->time) / static_cast<float>(next->time - prev->time);
  return prev->fov + (next->fov - prev->fov) * u;
}

void GenCamera::SetFOV(TimeValue t, float fov) {
  if (keys_.empty()) { fov_ = fov; return; }
  auto at = std::lower_bound(keys_.begin(), keys_.end(), t,
                             [](const FovKey& k, TimeValue v) { return k.time < v; });
  if (at != keys_.end() && at->time == t) at->fov = fov;
  else keys_.insert(at, FovKey{t, fov});
}

void GenCamera::SetFOVKeys(std::vector<FovKey> keys) {
  std::stable_sort(keys.begin(), keys.end(), [](const FovKey& a, const FovKey& b) { return a.time < b.time; });
  keys_ = std::move(keys);
  if (!keys_.empty()) fov_ = keys_.front().fov;
}

IDerivedObject::~IDerivedObject() {
  for (Modifier* m : mods_) m->DeleteMe();
  if (base_ != nullptr) base_->DeleteMe();
}

Object* IDerivedObject::CloneObject() const {
  auto* copy = new IDerivedObject(base_ != nullptr ? base_->CloneObject() : nullptr);
  for (Modifier* m : mods_) copy->mods_.push_back(m->CloneModifier());
  return copy;
}

int IDerivedObject::CanConvertToType(Class_ID obtype) {
  return base_ != nullptr && base_->CanConvertToType(obtype);
}

Object* IDerivedObject::ConvertToType(TimeValue t, Class_ID obtype) {
  return base_ != nullptr ? base_->ConvertToType(t, obtype) : nullptr;
}

Object* IDerivedObject::FindBaseObject() { return base_ != nullptr ? base_->FindBaseObject() : nullptr; }

ObjectState IDerivedObject::Eval(TimeValue t) {
  return base_ != nullptr ? base_->Eval(t) : ObjectState();
}

Modifier* IDerivedObject::GetModifier(int i) const {
  if (i < 0 || i >= NumModifiers()) return nullptr;
  return mods_[mods_.size() - 1 - static_cast<size_t>(i)];
}

void IDerivedObject::AddModifier(Modifier* mod) {
  if (mod != nullptr) mods_.push_back(mod);
}

void IDerivedObject::ReferenceObject(Object* base) {
  if (base_ == base) return;
  if (base_ != nullptr) base_->DeleteMe();
  base_ = base;
}
