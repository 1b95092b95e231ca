// Transform keys (linear position and scale, slerp rotation, held outside the keys) and the
// two transform controllers.
#include "host/Control.h"

#include <algorithm>
#include <cmath>

#include "host/Decomp.h"
#include "host/INode.h"
#include "host/Time.h"

Quat SlerpQuat(const Quat& a, const Quat& b, float u) {
  Quat c = b;
  float cosom = a.Dot(b);
  if (cosom < 0.0f) { cosom = -cosom; c = Quat(-b.x, -b.y, -b.z, -b.w); }
  float sa, sb;
  if (1.0f - cosom > 1e-6f) {
    const float om = std::acos(std::min(cosom, 1.0f));
    const float sinom = std::sin(om);
    sa = std::sin((1.0f - u) * om) / sinom;
    sb = std::sin(u * om) / sinom;
  } else {
    sa = 1.0f - u;
    sb = u;
  }
  Quat r(sa * a.x + sb * c.x, sa * a.y + sb * c.y, sa * a.z + sb * c.z, sa * a.w + sb * c.w);
  r.Normalize();
  return r;
}

namespace {

AffineParts PartsOf(const TransformKey& k) {
  AffineParts p;
  if (k.isMatrix) {
    decomp_affine(k.matrix, &p);
  } else {
    p.t = k.pos;
    p.q = k.rot;
    p.k = k.scale;
  }
  return p;
}

Point3 Lerp(const Point3& a, const Point3& b, float u) { return a + (b - a) * u; }

}  // namespace

Matrix3 TransformKey::Value() const {
  if (isMatrix) return matrix;
  return ScaleMatrix(scale) * rot.ToMatrix() * TransMatrix(pos);
}

TransformKey TransformKey::FromMatrix(TimeValue time, const Matrix3& m) {
  TransformKey k;
  k.time = time;
  k.isMatrix = true;
  k.matrix = m;
  AffineParts p;
  decomp_affine(m, &p);
  k.pos = p.t;
  k.rot = p.q;
  k.scale = p.k * p.f;
  return k;
}

TransformKey TransformKey::FromParts(TimeValue time, const Point3& pos, const Quat& rot, const Point3& scale) {
  TransformKey k;
  k.time = time;
  k.pos = pos;
  k.rot = rot;
  k.scale = scale;
  return k;
}

Matrix3 TransformKeys::Evaluate(TimeValue t) const {
  if (keys_.empty()) return Matrix3();
  if (t <= keys_.front().time) return keys_.front().Value();
  if (t >= keys_.back().time) return keys_.back().Value();
  auto next = std::upper_bound(keys_.begin(), keys_.end(), t,
                               [](TimeValue v, const TransformKey& k) { return v < k.time; });
  auto prev = next - 1;
  if (prev->time == t) return prev->Value();
  const float u = static_cast<float>(t - prev->time) / static_cast<float>(next->time - prev->time);
  const AffineParts a = PartsOf(*prev);
  const AffineParts b = PartsOf(*next);
  AffineParts r;
  r.t = Lerp(a.t, b.t, u);
  r.q = SlerpQuat(a.q, b.q, u);
  r.u = SlerpQuat(a.u, b.u, u);
  r.k = Lerp(a.k, b.k, u);
  r.f = u < 0.5f ? a.f : b.f;
  return ComposeAffine(r);
}

void TransformKeys::SetValue(TimeValue t, const Matrix3& value) {
  if (keys_.size() <= 1) {
    const TimeValue at = keys_.empty() ? 0 : keys_.front().time;
    keys_.assign(1, TransformKey::FromMatrix(at, value));
    return;
  }
  auto at = std::lower_bound(keys_.begin(), keys_.end(), t,
                             [](const TransformKey& k, TimeValue v) { return k.time < v; });
  if (at != keys_.end() && at->time == t) *at = TransformKey::FromMatrix(t, value);
  else keys_.insert(at, TransformKey::FromMatrix(t, value));
}

void TransformKeys::SetKeys(std::vector<TransformKey> keys) {
  std::stable_sort(keys.begin(), keys.end(),
                   [](const TransformKey& a, const TransformKey& b) { return a.time < b.time; });
  keys_.clear();
  for (TransformKey& k : keys) {
    if (!keys_.empty() && keys_.back().time == k.time) keys_.back() = k;
    else keys_.push_back(k);
  }
}

Matrix3 PRSControl::WorldTM(TimeValue t, const Matrix3& parentTM) { return keys_.Evaluate(t) * parentTM; }

void PRSControl::SetWorldTM(TimeValue t, const Matrix3& world, const Matrix3& parentTM) {
  keys_.SetValue(t, world * Inverse(parentTM));
}

BaseInterface* LinkControl::GetInterface(Interface_ID id) {
  if (id == LINK_CONSTRAINT_INTERFACE) return static_cast<ILinkCtrl*>(this);
  return Control::GetInterface(id);
}

INode* LinkControl::ActiveTarget(TimeValue t) const {
  if (targets_.empty()) return nullptr;
  const Target* active = &targets_.front();
  for (const Target& target : targets_)
    if (target.time <= t) active = &target;
  return active->node != nullptr && !active->node->IsDeleted() ? active->node : nullptr;
}

namespace {
// Link constraints being evaluated: a target whose transform depends on the link itself
// (a cycle) makes the link read as a link to the world.
thread_local std::vector<const LinkControl*> evaluating;
thread_local const LinkControl* cycleOf = nullptr;

Matrix3 TargetTM(const LinkControl* ctrl, INode* target, TimeValue t) {
  if (target == nullptr) return Matrix3();
  if (std::find(evaluating.begin(), evaluating.end(), ctrl) != evaluating.end()) {
    cycleOf = ctrl;
    return Matrix3();
  }
  evaluating.push_back(ctrl);
  Matrix3 tm = target->GetNodeTM(t);
  evaluating.pop_back();
  if (cycleOf == ctrl) {
    cycleOf = nullptr;
    return Matrix3();
  }
  return tm;
}
}  // namespace

Matrix3 LinkControl::WorldTM(TimeValue t, const Matrix3& /*parentTM*/) {
  return keys_.Evaluate(t) * TargetTM(this, ActiveTarget(t), t);
}

void LinkControl::SetWorldTM(TimeValue t, const Matrix3& world, const Matrix3& /*parentTM*/) {
  keys_.SetValue(t, world * Inverse(TargetTM(this, ActiveTarget(t), t)));
}

INode* LinkControl::GetNode(int targetNumber) {
  if (targetNumber < 0 || targetNumber >= GetNumTargets()) return nullptr;
  INode* node = targets_[static_cast<size_t>(targetNumber)].node;
  return node != nullptr && !node->IsDeleted() ? node : nullptr;
}

TimeValue LinkControl::GetLinkTime(int targetNumber) {
  if (targetNumber < 0 || targetNumber >= GetNumTargets()) return 0;
  return targets_[static_cast<size_t>(targetNumber)].time;
}

int LinkControl::GetFrameNumber(int targetNumber) { return GetLinkTime(targetNumber) / GetTicksPerFrame(); }

BOOL LinkControl::DeleteTarget(int targetNumber) {
  if (targetNumber < 0 || targetNumber >= GetNumTargets()) return FALSE;
  targets_.erase(targets_.begin() + targetNumber);
  return TRUE;
}

BOOL LinkControl::AddNewLink(INode* node, TimeValue t) {
  auto at = std::lower_bound(targets_.begin(), targets_.end(), t,
                             [](const Target& a, TimeValue v) { return a.time < v; });
  targets_.insert(at, Target{node, t});
  return TRUE;
}

BOOL LinkControl::AddTarget(INode* node, int frameNo) { return AddNewLink(node, frameNo * GetTicksPerFrame()); }
