// Transform controllers: how a node's transform is animated. Both kinds keep the node's own
// transform as keys (TransformKeys). The plain controller puts the node's own transform
// under its parent's world transform; the Link Constraint puts it under the world transform
// of the target active at the time (the last target whose start time is at or before it,
// the first target before that; a target without a node, and no target at all, link to the
// world), whatever the node's parent.
#pragma once

#include <vector>

#include "host/Animatable.h"
#include "host/Interval.h"
#include "host/Matrix3.h"
#include "host/Quat.h"

class INode;

// One key of a transform: its time and its value, as position, rotation and scale (applied
// scale first, then rotation, then translation), or as a whole matrix.
struct TransformKey {
  TimeValue time = 0;
  Point3 pos;
  Quat rot;
  Point3 scale{1.0f, 1.0f, 1.0f};
  bool isMatrix = false;
  Matrix3 matrix;  // the key's value when isMatrix

  // The key's value as a matrix.
  Matrix3 Value() const;
  static TransformKey FromMatrix(TimeValue time, const Matrix3& m);
  static TransformKey FromParts(TimeValue time, const Point3& pos, const Quat& rot, const Point3& scale);
};

// Keys in time order. The value at t: the identity without keys; the first key's before it
// and the last key's after it; between two keys position and scale are interpolated
// linearly and rotation by slerp (matrix keys through their polar decomposition).
class TransformKeys {
 public:
  Matrix3 Evaluate(TimeValue t) const;
  // Sets the value at t: the only value when there is at most one key at time 0 or
  // the keys are empty; otherwise the key at t, added when none is there.
  void SetValue(TimeValue t, const Matrix3& value);
  // Replaces every key (sorted by time; a later key at the same time wins).
  void SetKeys(std::vector<TransformKey> keys);
  const std::vector<TransformKey>& Keys() const { return keys_; }
  bool IsAnimated() const { return keys_.size() > 1; }

 private:
  std::vector<TransformKey> keys_;
};

// Quaternion slerp along the shorter arc.
Quat SlerpQuat(const Quat& a, const Quat& b, float u);

class Control : public ReferenceTarget {
 public:
  SClass_ID SuperClassID() override { return CTRL_MATRIX3_CLASS_ID; }
  // The node's world transform at t given its parent's.
  virtual Matrix3 WorldTM(TimeValue t, const Matrix3& parentTM) = 0;
  // Sets the node's own transform so that its world transform at t becomes world.
  virtual void SetWorldTM(TimeValue t, const Matrix3& world, const Matrix3& parentTM) = 0;
  virtual Control* CloneControl() const = 0;
  TransformKeys& Keys() { return keys_; }
  const TransformKeys& Keys() const { return keys_; }

 protected:
  TransformKeys keys_;
};

// The plain position/rotation/scale controller.
class PRSControl : public Control {
 public:
  Class_ID ClassID() override { return PRS_CONTROL_CLASS_ID; }
  Matrix3 WorldTM(TimeValue t, const Matrix3& parentTM) override;
  void SetWorldTM(TimeValue t, const Matrix3& world, const Matrix3& parentTM) override;
  Control* CloneControl() const override { return new PRSControl(*this); }
};

inline constexpr Interface_ID LINK_CONSTRAINT_INTERFACE{0x32f03b37, 0x6700693a};

// The Link Constraint's target list: targets in start-time order; a target added at a time
// other targets start at goes before them.
class ILinkCtrl : public BaseInterface {
 public:
  Interface_ID GetID() override { return LINK_CONSTRAINT_INTERFACE; }
  virtual int GetNumTargets() = 0;
  // The target's node; null for a link to the world or out of range.
  virtual INode* GetNode(int targetNumber) = 0;
  // The target's start time (ticks) and frame; 0 out of range.
  virtual TimeValue GetLinkTime(int targetNumber) = 0;
  virtual int GetFrameNumber(int targetNumber) = 0;
  virtual BOOL DeleteTarget(int targetNumber) = 0;
  // Adds a target (null: the world) starting at time t / at frame frameNo.
  virtual BOOL AddNewLink(INode* node, TimeValue t) = 0;
  virtual BOOL AddTarget(INode* node, int frameNo) = 0;
};

class LinkControl : public Control, public ILinkCtrl {
 public:
  struct Target {
    INode* node = nullptr;
    TimeValue time = 0;
  };

  Class_ID ClassID() override { return LINKCTRL_CLASS_ID; }
  void GetClassName(CStr& name) override { name = "Link Constraint"; }
  BaseInterface* GetInterface(Interface_ID id) override;
  using Control::GetInterface;
  Matrix3 WorldTM(TimeValue t, const Matrix3& parentTM) override;
  void SetWorldTM(TimeValue t, const Matrix3& world, const Matrix3& parentTM) override;
  Control* CloneControl() const override { return new LinkControl(*this); }

  int GetNumTargets() override { return static_cast<int>(targets_.size()); }
  INode* GetNode(int targetNumber) override;
  TimeValue GetLinkTime(int targetNumber) override;
  int GetFrameNumber(int targetNumber) override;
  BOOL DeleteTarget(int targetNumber) override;
  BOOL AddNewLink(INode* node, TimeValue t) override;
  BOOL AddTarget(INode* node, int frameNo) override;

  const std::vector<Target>& Targets() const { return targets_; }
  // The node of the target active at t (null: the world).
  INode* ActiveTarget(TimeValue t) const;

 private:
  std::vector<Target> targets_;
};
