// INode: a scene node. It has a name (8-bit text), a parent (the scene root for a top-level
// node) and children in order, hidden and selected state, the user-defined property text,
// a material, an object reference, an object offset from its pivot, and a transform
// controller that animates its parent-relative transform.
//
// Transforms: GetNodeTM(t) is the world matrix at t (the controller's value under the
// parent's world matrix, or under a Link Constraint's target); GetObjectTM(t) is the object
// offset × GetNodeTM(t); GetObjTMAfterWSM equals GetObjectTM (no world-space modifiers).
// EvalWorldState(t) answers the object at t: for a mesh skinned by Physique a triangle mesh
// that the node keeps (deformed by the skin at t, valid until the next evaluation), for
// every other object the object itself.
//
// Property text: one 'key = value' assignment a line (lines end with "\r\n" or "\n"); a key
// is the text before the first '=', a value the text after it, both without surrounding
// blanks; keys are matched letter for letter and the first assignment of a key counts.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/CStr.h"
#include "host/Control.h"
#include "host/Interval.h"
#include "host/Matrix3.h"
#include "host/Object.h"
#include "host/Quat.h"

class Mtl;
class Scene;

class INode {
 public:
  explicit INode(Scene* scene);
  ~INode();
  INode(const INode&) = delete;
  INode& operator=(const INode&) = delete;

  // Name.
  const char* GetName() const { return name_.data(); }
  // Recorded for undo while theHold is holding.
  void SetName(const char* name);
  bool IsRootNode() const { return parent_ == nullptr && isRoot_; }

  // Hierarchy.
  INode* GetParentNode() const { return parent_; }
  int NumberOfChildren() const { return static_cast<int>(children_.size()); }
  int NumChildren() const { return NumberOfChildren(); }
  // Null out of range.
  INode* GetChildNode(int i) const;
  // Makes node the last child of this node (detaching it from its parent first). With
  // keepPos its world transform at the current time stays; without, its own transform does.
  // Refused when node is this node or one of its ancestors.
  void AttachChild(INode* node, int keepPos = 1);
  // Makes this node a child of the scene root.
  void Detach(TimeValue t, int keepPos = 1);

  // State.
  int Selected() const { return selected_ ? 1 : 0; }
  // Hidden by its own flag (hflags and forRenderer are accepted for compatibility).
  int IsHidden(DWORD hflags = 0, BOOL forRenderer = FALSE) const;
  int IsNodeHidden(BOOL forRenderer = FALSE) const;
  void Hide(BOOL onOff) { hidden_ = onOff != FALSE; }

  // Property text.
  BOOL GetUserPropString(const CStr& key, CStr& value) const;
  BOOL GetUserPropString(const CStr& key, std::string& value) const;
  BOOL GetUserPropInt(const CStr& key, int& value) const;
  BOOL GetUserPropFloat(const CStr& key, float& value) const;
  BOOL GetUserPropBool(const CStr& key, BOOL& value) const;
  BOOL UserPropExists(const CStr& key) const;
  // Replaces the value of the key's first assignment, or appends "key = value".
  void SetUserPropString(const CStr& key, const CStr& value);
  void SetUserPropInt(const CStr& key, int value);
  void SetUserPropFloat(const CStr& key, float value);
  void SetUserPropBool(const CStr& key, BOOL value);
  void GetUserPropBuffer(CStr& buffer) const { buffer = props_; }
  void GetUserPropBuffer(std::string& buffer) const { buffer = props_.str(); }
  void SetUserPropBuffer(const CStr& buffer) { props_ = buffer; }

  // Material (owned by the scene; null for none).
  Mtl* GetMtl() const { return mtl_; }
  void SetMtl(Mtl* mtl) { mtl_ = mtl; }

  // Transforms.
  Matrix3 GetNodeTM(TimeValue t, Interval* valid = nullptr);
  Matrix3 GetParentTM(TimeValue t);
  Matrix3 GetObjectTM(TimeValue t, Interval* valid = nullptr);
  Matrix3 GetObjTMAfterWSM(TimeValue t, Interval* valid = nullptr);
  Matrix3 GetObjTMBeforeWSM(TimeValue t, Interval* valid = nullptr);
  // Sets the node's transform so that its world matrix at t is tm.
  void SetNodeTM(TimeValue t, const Matrix3& tm);
  void SetObjOffsetPos(const Point3& p) { offsetPos_ = p; }
  void SetObjOffsetRot(const Quat& q) { offsetRot_ = q; }
  void SetObjOffsetScale(const Point3& s) { offsetScale_ = s; }
  Point3 GetObjOffsetPos() const { return offsetPos_; }
  Quat GetObjOffsetRot() const { return offsetRot_; }
  Point3 GetObjOffsetScale() const { return offsetScale_; }
  // The object offset as a matrix (scale, then rotation, then translation).
  Matrix3 ObjectOffsetTM() const;

  // Objects.
  ObjectState EvalWorldState(TimeValue t, BOOL evalHidden = TRUE);
  Object* GetObjectRef() const { return obj_.get(); }
  // The node takes the object (the previous one is destroyed).
  void SetObjectRef(Object* obj);
  // Gives up the object without destroying it.
  Object* ReleaseObjectRef();

  // The transform controller (never null; a plain one by default).
  Control* GetTMController() const { return ctrl_.get(); }
  // The node takes the controller (the previous one is destroyed).
  void SetTMController(Control* ctrl);

  // Standalone host.
  Scene* GetScene() const { return scene_; }
  bool IsDeleted() const { return deleted_; }
  const std::vector<INode*>& Children() const { return children_; }

 private:
  friend class Scene;
  friend class DeleteNodeRestore;
  void RemoveChild(INode* child);
  void InsertChild(INode* child, int index);
  int ChildIndex(const INode* child) const;

  Scene* scene_ = nullptr;
  bool isRoot_ = false;
  bool deleted_ = false;
  CStr name_;
  INode* parent_ = nullptr;
  std::vector<INode*> children_;
  bool selected_ = false;
  bool hidden_ = false;
  CStr props_;
  Mtl* mtl_ = nullptr;
  std::unique_ptr<Object> obj_;
  std::unique_ptr<Control> ctrl_;
  Point3 offsetPos_;
  Quat offsetRot_;
  Point3 offsetScale_{1.0f, 1.0f, 1.0f};
  std::unique_ptr<TriObject> skinned_;  // the last evaluated skinned mesh
};
