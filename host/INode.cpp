// Scene nodes: names, hierarchy with attach and detach, state, property text, transforms and
// the evaluated object.
#include "host/INode.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "host/Hold.h"
#include "host/Physique.h"
#include "host/UserPropText.h"
#include "host/standalone/Scene.h"

namespace {

class RenameRestore : public RestoreObj {
 public:
  RenameRestore(INode* node, std::string old) : node_(node), old_(std::move(old)) {}
  void Restore(int) override { node_->SetName(old_.c_str()); }
  const char* Description() override { return "rename"; }

 private:
  INode* node_;
  std::string old_;
};

// The times whose world transform a re-parenting keeps: every key, or t alone.
std::vector<TimeValue> KeyTimes(const Control* ctrl, TimeValue t) {
  std::vector<TimeValue> times;
  for (const TransformKey& k : ctrl->Keys().Keys()) times.push_back(k.time);
  if (times.empty()) times.push_back(t);
  return times;
}

}  // namespace

INode::INode(Scene* scene) : scene_(scene), ctrl_(std::make_unique<PRSControl>()) {}

INode::~INode() = default;

void INode::SetName(const char* name) {
  if (theHold.Holding()) theHold.Put(new RenameRestore(this, name_.str()));
  name_ = name;
}

INode* INode::GetChildNode(int i) const {
  return i >= 0 && i < NumberOfChildren() ? children_[static_cast<size_t>(i)] : nullptr;
}

int INode::ChildIndex(const INode* child) const {
  auto it = std::find(children_.begin(), children_.end(), child);
  return it == children_.end() ? -1 : static_cast<int>(it - children_.begin());
}

void INode::RemoveChild(INode* child) {
  auto it = std::find(children_.begin(), children_.end(), child);
  if (it != children_.end()) children_.erase(it);
  if (child->parent_ == this) child->parent_ = nullptr;
}

void INode::InsertChild(INode* child, int index) {
  if (index < 0 || index > NumberOfChildren()) index = NumberOfChildren();
  children_.insert(children_.begin() + index, child);
  child->parent_ = this;
}

void INode::AttachChild(INode* node, int keepPos) {
  if (node == nullptr || node == this || node->isRoot_ || node->deleted_ || deleted_) return;
  for (INode* up = this; up != nullptr; up = up->parent_)
    if (up == node) return;  // would make a cycle
  const TimeValue now = scene_ != nullptr ? scene_->CurrentTime() : 0;
  std::vector<std::pair<TimeValue, Matrix3>> worlds;
  if (keepPos)
    for (TimeValue kt : KeyTimes(node->ctrl_.get(), now)) worlds.emplace_back(kt, node->GetNodeTM(kt));
  if (node->parent_ != nullptr) node->parent_->RemoveChild(node);
  InsertChild(node, -1);
  for (const auto& [kt, world] : worlds) node->SetNodeTM(kt, world);
}

void INode::Detach(TimeValue /*t*/, int keepPos) {
  if (isRoot_ || scene_ == nullptr || parent_ == scene_->GetRootNode()) return;
  scene_->GetRootNode()->AttachChild(this, keepPos);
}

int INode::IsHidden(DWORD /*hflags*/, BOOL /*forRenderer*/) const { return hidden_ ? 1 : 0; }

int INode::IsNodeHidden(BOOL /*forRenderer*/) const { return hidden_ ? 1 : 0; }

BOOL INode::GetUserPropString(const CStr& key, CStr& value) const {
  std::string v;
  if (!FindUserProp(props_.str(), key.str(), v)) return FALSE;
  value = CStr(std::move(v));
  return TRUE;
}

BOOL INode::GetUserPropString(const CStr& key, std::string& value) const {
  return FindUserProp(props_.str(), key.str(), value) ? TRUE : FALSE;
}

BOOL INode::GetUserPropInt(const CStr& key, int& value) const {
  std::string v;
  if (!FindUserProp(props_.str(), key.str(), v)) return FALSE;
  value = std::atoi(v.c_str());
  return TRUE;
}

BOOL INode::GetUserPropFloat(const CStr& key, float& value) const {
  std::string v;
  if (!FindUserProp(props_.str(), key.str(), v)) return FALSE;
  value = std::strtof(v.c_str(), nullptr);
  return TRUE;
}

BOOL INode::GetUserPropBool(const CStr& key, BOOL& value) const {
  std::string v;
  if (!FindUserProp(props_.str(), key.str(), v)) return FALSE;
  value = (v == "true" || v == "TRUE" || v == "True" || std::atoi(v.c_str()) != 0) ? TRUE : FALSE;
  return TRUE;
}

BOOL INode::UserPropExists(const CStr& key) const {
  std::string v;
  return FindUserProp(props_.str(), key.str(), v) ? TRUE : FALSE;
}

void INode::SetUserPropString(const CStr& key, const CStr& value) {
  std::string text = props_.str();
  SetUserProp(text, key.str(), value.str());
  props_ = CStr(std::move(text));
}

void INode::SetUserPropInt(const CStr& key, int value) { SetUserPropString(key, CStr(std::to_string(value))); }

void INode::SetUserPropFloat(const CStr& key, float value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%g", static_cast<double>(value));
  SetUserPropString(key, CStr(buf));
}

void INode::SetUserPropBool(const CStr& key, BOOL value) { SetUserPropString(key, CStr(value ? "true" : "false")); }

Matrix3 INode::GetParentTM(TimeValue t) { return parent_ != nullptr ? parent_->GetNodeTM(t) : Matrix3(); }

Matrix3 INode::GetNodeTM(TimeValue t, Interval* valid) {
  if (valid != nullptr) *valid = Interval(t, t);
  if (isRoot_) return Matrix3();
  return ctrl_->WorldTM(t, GetParentTM(t));
}

Matrix3 INode::ObjectOffsetTM() const {
  return ScaleMatrix(offsetScale_) * offsetRot_.ToMatrix() * TransMatrix(offsetPos_);
}

Matrix3 INode::GetObjectTM(TimeValue t, Interval* valid) { return ObjectOffsetTM() * GetNodeTM(t, valid); }

Matrix3 INode::GetObjTMAfterWSM(TimeValue t, Interval* valid) { return GetObjectTM(t, valid); }

Matrix3 INode::GetObjTMBeforeWSM(TimeValue t, Interval* valid) { return GetObjectTM(t, valid); }

void INode::SetNodeTM(TimeValue t, const Matrix3& tm) {
  if (isRoot_) return;
  ctrl_->SetWorldTM(t, tm, GetParentTM(t));
}

ObjectState INode::EvalWorldState(TimeValue t, BOOL /*evalHidden*/) {
  if (obj_ == nullptr) return ObjectState();
  PhysiqueModifier* skin = FindPhysiqueModifier(obj_.get());
  if (skin == nullptr) return obj_->Eval(t);
  Object* base = obj_->FindBaseObject();
  Mesh* bindMesh = GetObjectMesh(base);
  Object* converted = nullptr;
  if (bindMesh == nullptr && base != nullptr && base->CanConvertToType(triObjectClassID)) {
    converted = base->ConvertToType(t, triObjectClassID);
    bindMesh = GetObjectMesh(converted);
  }
  if (bindMesh == nullptr) return obj_->Eval(t);
  if (skinned_ == nullptr) skinned_.reset(CreateNewTriObject());
  skin->Deform(this, t, *bindMesh, skinned_->mesh);
  if (converted != nullptr && converted != base) converted->DeleteMe();
  return ObjectState(skinned_.get());
}

void INode::SetObjectRef(Object* obj) {
  if (obj_.get() == obj) return;
  obj_.reset(obj);
}

Object* INode::ReleaseObjectRef() { return obj_.release(); }

void INode::SetTMController(Control* ctrl) {
  if (ctrl == nullptr || ctrl_.get() == ctrl) return;
  ctrl_.reset(ctrl);
}
