// ModelFrame: the transform from world space into model space, F × K × S (row vectors: a
// point p maps to p × F × K × S).
//   K: with a node named "tag_Camera", Inverse(R) × A orthogonalized, where R is the rigid
//      part of its node transform and A the identity with rows 1 and 2 set to (0, 0, 1) and
//      (0, −1, 0); the identity without that node.
//   F: with useFrameCenter and a frame centre, the inverse of the frame centre's position
//      alone (its rigid part with rows 0-2 reset to the axes), orthogonalized; else identity.
//   S: the model scale factor on all three axes.
// The writers exchange the Y and Z axes after applying it.
#include "TZ2_Export/geometry/RigidPart.h"
#include "TZ2_Export/scene/NodeClassification.h"
#include "host/INode.h"
#include "host/Interface.h"

namespace tz2 {

Matrix3 ModelFrame(ExportState& s, TimeValue t, bool useFrameCenter) {
  Matrix3 k;  // identity
  if (INode* camera = s.host != nullptr ? s.host->GetINodeByName("tag_Camera") : nullptr) {
    const Matrix3 r = RigidPart(camera->GetNodeTM(t));
    Matrix3 a;
    a.SetRow(1, Point3(0.0f, 0.0f, 1.0f));
    a.SetRow(2, Point3(0.0f, -1.0f, 0.0f));
    k = Inverse(r) * a;
    k.Orthogonalize();
  }
  Matrix3 f;
  if (useFrameCenter && s.special.frameCenter != nullptr) {
    Matrix3 g = RigidPart(s.special.frameCenter->GetNodeTM(t));
    g.SetRow(0, Point3(1.0f, 0.0f, 0.0f));
    g.SetRow(1, Point3(0.0f, 1.0f, 0.0f));
    g.SetRow(2, Point3(0.0f, 0.0f, 1.0f));
    f = Inverse(g);
    f.Orthogonalize();
  }
  Matrix3 scale;
  scale.SetScale(Point3(s.modelScale, s.modelScale, s.modelScale));
  return f * k * scale;
}

}  // namespace tz2
