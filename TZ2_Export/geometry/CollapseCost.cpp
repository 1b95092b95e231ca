// The collapse engine of ProgressiveMesh::BuildHistory: position groups and adjacency, the
// model scale, degenerate faces, the collapse cost of a position group, one collapse with its
// records, and the destruction of faces and vertices that keeps the adjacency lists exact.
//
// The cost of collapsing a representative v onto a neighbour u sums, at u's position:
//   geometric: area-weighted squared distances from the planes of v's faces;
//   texture:   how far the texture coordinates interpolated at u lie from those of u's group;
//   boundary:  1000 × the area-weighted squared distances from the planes through v's open
//              edges and material seams;
//   flip:      100000 for each surviving face whose normal would turn by more than 60°.
// Every length-to-the-fourth term is multiplied by the model scale (1/size)^4. Sums are taken
// in list order so that the result is bit-for-bit reproducible.
// Invariants kept here: neighbour and face lists on representatives only; b is in a's
// neighbours exactly when some face has corners in both groups; no face has two corners in one
// group after RemoveDegenerateFaces.
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "TZ2_Export/geometry/ProgressiveMesh.h"

namespace {

constexpr float kGroupTolerance = 0.0001f;
constexpr float kOppositeNormals = -0.98f;  // two-sided surfaces keep separate groups
constexpr float kSmallestModelSize = 0.0001f;
constexpr float kNoCost = 1e30f;
constexpr float kBoundaryWeight = 1000.0f;
constexpr float kFlipPenalty = 100000.0f;
constexpr float kFlipCosine = 0.5f;  // cos 60°
constexpr float kUvWeight = 0.1f;
constexpr float kTinyPlaneNormal = 0.000001f;
constexpr std::uint32_t kRecordLimit = 255;

bool SamePosition(const Point3& a, const Point3& b) {
  return std::fabs(a.x - b.x) < kGroupTolerance && std::fabs(a.y - b.y) < kGroupTolerance &&
         std::fabs(a.z - b.z) < kGroupTolerance;
}

bool HasCornerInGroup(const PmFace* f, const PmVertex* group) {
  for (const PmVertex* c : f->corners)
    if (ProgressiveMesh::Rep(c) == group) return true;
  return false;
}

bool HasCorner(const PmFace* f, const PmVertex* x) {
  return f->corners[0] == x || f->corners[1] == x || f->corners[2] == x;
}

// The first corner representative that is neither v nor u, or null.
PmVertex* ThirdCorner(const PmFace* f, const PmVertex* v, const PmVertex* u) {
  for (PmVertex* c : f->corners) {
    PmVertex* r = ProgressiveMesh::Rep(c);
    if (r != v && r != u) return r;
  }
  return nullptr;
}

// Adds x to r's neighbours unless it is r itself (by index) or already there.
void AddNeighbour(PmVertex* r, PmVertex* x) {
  if (x->index != r->index && !r->neighbours.Contains(x)) r->neighbours.Append(x);
}

// Marks with 1 the faces of v that also belong to u's group: the faces of the edge (v, u).
void MarkEdgeFaces(PmVertex* v, PmVertex* u) {
  for (PmFace* f : v->faces) f->mark = 0;
  for (PmFace* f : u->faces) ++f->mark;
}

// The texture coordinates of face f interpolated at q, all channels.
void InterpolateFaceUv(const PmFace* f, const Point3& q, UvPair* out) {
  const PmVertex* const* c = f->corners;
  float s = 0.0f, r = 0.0f;
  const bool solved = UvWeights(c[0]->position, c[1]->position, c[2]->position, q, s, r);
  for (int ch = 0; ch < kPmUvChannels; ++ch)
    out[ch] = solved ? BlendUv(c[0]->uv[ch], c[1]->uv[ch], c[2]->uv[ch], s, r) : c[0]->uv[ch];
}

// The member of u's group (u first, then its twins) whose coordinates lie nearest uvq.
const PmVertex* NearestInGroup(const PmVertex* u, const UvPair* uvq, float& distance) {
  const PmVertex* best = u;
  distance = UvDistance(uvq, u->uv);
  for (const PmVertex* t : u->twins) {
    const float d = UvDistance(uvq, t->uv);
    if (d < distance) {
      best = t;
      distance = d;
    }
  }
  return best;
}

}  // namespace

void ProgressiveMesh::GroupAndLink() {
  std::vector<std::uint32_t> near;
  for (PmVertex* v : vertices_) {
    if (!v || !v->twins.Empty()) continue;
    v->representative = 1;
    near.clear();
    grid_.ForEachNear(v->position, [&](std::uint32_t i) {
      if (i > v->index) near.push_back(i);
    });
    std::sort(near.begin(), near.end());
    near.erase(std::unique(near.begin(), near.end()), near.end());
    for (std::uint32_t i : near) {
      PmVertex* w = vertices_[i];
      if (!SamePosition(w->position, v->position) || !w->twins.Empty() || !SameSkin(*w, *v) ||
          !(w->normal % v->normal >= kOppositeNormals))
        continue;
      v->twins.Append(w);
      w->representative = 0;
      w->twins.Append(v);
    }
  }
  for (PmFace* f : faces_) {
    if (!f) continue;
    for (int i = 0; i < 3; ++i) {
      PmVertex* r = Rep(f->corners[i]);
      AddNeighbour(r, Rep(f->corners[(i + 1) % 3]));
      AddNeighbour(r, Rep(f->corners[(i + 2) % 3]));
      r->faces.AddUnique(f);
    }
  }
}

void ProgressiveMesh::ComputeScale() {
  Point3 lo, hi;
  bool first = true;
  for (const PmVertex* v : vertices_) {
    if (!v) continue;
    if (first) {
      lo = hi = v->position;
      first = false;
      continue;
    }
    for (int a = 0; a < 3; ++a) {
      if (v->position[a] < lo[a]) lo[a] = v->position[a];
      if (v->position[a] > hi[a]) hi[a] = v->position[a];
    }
  }
  float size = std::max(hi.x - lo.x, std::max(hi.y - lo.y, hi.z - lo.z));
  if (size < kSmallestModelSize) size = kSmallestModelSize;
  const float inverse = 1.0f / size;
  scale_ = inverse * inverse * inverse * inverse;
}

void ProgressiveMesh::RemoveDegenerateFaces() {
  std::uint32_t count = 0;
  for (std::uint32_t i = faces_.Count(); i-- > 0;) {
    PmFace* f = faces_[i];
    if (!f) continue;
    const PmVertex *r0 = Rep(f->corners[0]), *r1 = Rep(f->corners[1]), *r2 = Rep(f->corners[2]);
    if (r0 != r1 && r1 != r2 && r0 != r2) continue;
    removedFaces_.Append(f->index);
    DestroyFace(f);
    ++count;
  }
  if (count > 0) AppendRecord(0.0f, 0, count, 0);
}

void ProgressiveMesh::BuildRing(PmVertex* v, std::vector<RingFace>& ring) {
  ring.clear();
  for (PmFace* f : v->faces) {
    RingFace r{f, {Rep(f->corners[0]), Rep(f->corners[1]), Rep(f->corners[2])}, -1};
    for (int k = 0; k < 3 && r.slot < 0; ++k)
      if (r.rep[k] == v) r.slot = k;
    ring.push_back(r);
  }
}

void ProgressiveMesh::AddBoundaryPlanes(PmVertex* v, const std::vector<RingFace>& ring) {
  for (PmVertex* u : v->neighbours) {
    std::uint32_t counted = 0;
    bool seam = false;
    const PmFace* last = nullptr;
    PmAttributes first;
    for (std::size_t i = 0; i < ring.size() && !seam; ++i) {
      if (!ring[i].Touches(u)) continue;
      const PmVertex* w = ring[i].Third(v, u);
      bool repeated = false;
      if (w)
        for (std::size_t j = 0; j < i && !repeated; ++j)
          repeated = ring[j].Touches(u) && ring[j].Touches(w);
      if (repeated) continue;
      const PmFace* f = ring[i].face;
      ++counted;
      last = f;
      if (counted == 1)
        first = f->attributes;
      else if (!(f->attributes == first))
        seam = true;
    }
    if (counted != 1 && !seam) continue;
    Point3 n = (u->position - v->position) ^ last->normal;
    const float length = n.Length();
    if (length > kTinyPlaneNormal) {
      n = n / length;
    } else {
      n.x = 0.0f;
      n.y = 0.0f;
    }
    boundaryPlanes_.Append({n, -(n % v->position), last->area});
  }
}

void ProgressiveMesh::ComputeCost(PmVertex* v) {
  boundaryPlanes_.Clear();
  v->target = nullptr;
  if (v->neighbours.Empty()) {
    v->cost = 0.0f;
    return;
  }
  v->cost = kNoCost;
  BuildRing(v, ring_);
  AddBoundaryPlanes(v, ring_);
  for (PmVertex* u : v->neighbours) {
    const float sum = CandidateCost(v, u, ring_, v->cost);
    if (sum < v->cost) {
      v->cost = sum;
      v->target = u;
    }
  }
}

float ProgressiveMesh::CandidateCost(PmVertex* v, PmVertex* u) {
  std::vector<RingFace> ring;
  BuildRing(v, ring);
  return CandidateCost(v, u, ring, std::numeric_limits<float>::infinity());
}

// The terms are summed as geometric + texture + boundary + flip. All are at least 0 and float
// addition is monotonic, so a sum with the costly terms left out (taken as 0) is a lower bound
// of the full sum: when it already reaches `bound`, the candidate cannot win and the rest is
// skipped (the returned value is then only that lower bound).
float ProgressiveMesh::CandidateCost(PmVertex* v, PmVertex* u, const std::vector<RingFace>& ring,
                                     float bound) {
  const Point3 q = u->position;
  float geometric = 0.0f;
  for (const RingFace& r : ring) {
    const float t = r.face->normal % q + r.face->planeOffset;
    geometric += t * t * r.face->area * scale_;
  }
  float boundary = 0.0f;
  for (const BoundaryPlane& b : boundaryPlanes_) {
    const float t = b.normal % q + b.offset;
    boundary += t * t * b.area * scale_ * kBoundaryWeight;
  }
  const float withoutTexture = geometric + boundary;
  if (!(withoutTexture < bound)) return withoutTexture;
  float flip = 0.0f;
  for (const RingFace& r : ring)
    if (!r.Touches(u) && FlipsAt(r, u->position)) flip += kFlipPenalty;
  if (!(withoutTexture + flip < bound)) return withoutTexture + flip;
  float texture = RingUvCost(v, u, ring);
  for (const PmVertex* t : v->twins) texture += RingUvCost(t, u, ring);
  return geometric + texture + boundary + flip;
}

void ProgressiveMesh::RefreshCost(PmVertex* v) {
  ComputeCost(v);
  if (building_) queue_.Set(v->index, v->cost);
}

float ProgressiveMesh::UvCost(const PmVertex* x, const PmVertex* u) {
  std::vector<RingFace> ring;
  BuildRing(Rep(const_cast<PmVertex*>(x)), ring);
  return RingUvCost(x, u, ring);
}

float ProgressiveMesh::RingUvCost(const PmVertex* x, const PmVertex* u,
                                  const std::vector<RingFace>& ring) const {
  const float rootScale = std::sqrt(scale_);
  float sum = 0.0f;
  UvPair uvq[kPmUvChannels];
  for (const RingFace& r : ring) {
    if (!HasCorner(r.face, x) || r.Touches(u)) continue;
    InterpolateFaceUv(r.face, u->position, uvq);
    float dmin = 0.0f;
    NearestInGroup(u, uvq, dmin);
    sum += rootScale * dmin * dmin * r.face->area * kUvWeight;
  }
  return sum;
}

bool ProgressiveMesh::Flips(const PmFace* f, const PmVertex* v, const PmVertex* u) const {
  RingFace r{const_cast<PmFace*>(f), {Rep(f->corners[0]), Rep(f->corners[1]), Rep(f->corners[2])}, -1};
  for (int k = 0; k < 3 && r.slot < 0; ++k)
    if (r.rep[k] == v) r.slot = k;
  return FlipsAt(r, u->position);
}

bool ProgressiveMesh::FlipsAt(const RingFace& r, const Point3& q) {
  const PmFace* f = r.face;
  Point3 p[3] = {f->corners[0]->position, f->corners[1]->position, f->corners[2]->position};
  if (r.slot >= 0) p[r.slot] = q;
  const Point3 c = (p[1] - p[0]) ^ (p[2] - p[0]);
  const float length = c.Length();
  const Point3 n = length == 0.0f ? Point3(0.0f, -1.0f, 0.0f) : c / length;
  return n % f->normal < kFlipCosine;
}

void ProgressiveMesh::Collapse(PmVertex* v, PmVertex* u, float accumulated) {
  dirtyVertices_.Clear();
  std::uint32_t faceCount = 0;
  const std::uint32_t changesBefore = changes_.Count();
  if (u) {
    MarkEdgeFaces(v, u);
    for (std::uint32_t i = v->faces.Count(); i-- > 0;) {
      PmFace* f = v->faces[i];
      if (f->mark != 1) continue;
      if (PmVertex* w = ThirdCorner(f, v, u)) dirtyVertices_.Append(w);
      removedFaces_.Append(f->index);
      ++faceCount;
      DestroyFace(f);
    }
    for (std::uint32_t i = v->faces.Count(); i-- > 0;) RepointCorner(v->faces[i], v, u);
  } else {
    for (std::uint32_t i = v->faces.Count(); i-- > 0;) {
      PmFace* f = v->faces[i];
      removedFaces_.Append(f->index);
      ++faceCount;
      DestroyFace(f);
    }
  }
  const std::uint32_t changeCount = changes_.Count() - changesBefore;
  removedVertices_.Append(v->index);
  for (const PmVertex* t : v->twins) removedVertices_.Append(t->index);
  const std::uint32_t vertexDelta = 1 + v->twins.Count();
  for (PmVertex* t : v->twins) DestroyVertex(t);
  DestroyVertex(v);
  if (u) {
    for (PmVertex* w : dirtyVertices_) RefreshCost(w);
    RefreshCost(u);
    for (PmVertex* n : u->neighbours) RefreshCost(n);
  }
  AppendRecord(accumulated / scale_, vertexDelta, faceCount, changeCount);
}

void ProgressiveMesh::RepointCorner(PmFace* f, PmVertex* v, PmVertex* u) {
  int changed = -1;
  for (int k = 0; k < 3; ++k) {
    PmVertex* c = f->corners[k];
    if (Rep(c) != v) continue;
    UvPair uvq[kPmUvChannels];
    InterpolateFaceUv(f, u->position, uvq);
    float distance = 0.0f;
    PmVertex* best = const_cast<PmVertex*>(NearestInGroup(u, uvq, distance));
    changes_.Append({f->index, static_cast<std::uint8_t>(k), c->index, best->index});
    f->corners[k] = best;
    changed = k;
    break;
  }
  ComputeFaceGeometry(f);
  u->faces.AddUnique(f);
  for (int j = 0; j < 3; ++j) {
    if (j == changed) continue;
    PmVertex* r = Rep(f->corners[j]);
    AddNeighbour(r, u);
    AddNeighbour(u, r);
  }
}

void ProgressiveMesh::DropIfUnlinked(PmVertex* a, PmVertex* b) {
  for (const PmFace* f : a->faces)
    if (HasCornerInGroup(f, b)) return;
  a->neighbours.Remove(b);
}

void ProgressiveMesh::DestroyFace(PmFace* f) {
  PmVertex* r[3] = {Rep(f->corners[0]), Rep(f->corners[1]), Rep(f->corners[2])};
  r[0]->faces.Remove(f);
  if (r[1] != r[0]) r[1]->faces.Remove(f);
  if (r[2] != r[0] && r[2] != r[1]) r[2]->faces.Remove(f);
  for (int i = 0; i < 3; ++i) {
    DropIfUnlinked(r[i], r[(i + 1) % 3]);
    DropIfUnlinked(r[(i + 1) % 3], r[i]);
  }
  if (building_ && f->index < faces_.Count() && faces_[f->index] == f) {
    faces_[f->index] = nullptr;
    --presentFaces_;
  } else {
    faces_.Remove(f);
  }
  delete f;
}

void ProgressiveMesh::DestroyVertex(PmVertex* x) {
  if (x->representative)
    for (PmVertex* n : x->neighbours) n->neighbours.Remove(x);
  if (building_ && x->index < vertices_.Count() && vertices_[x->index] == x) {
    vertices_[x->index] = nullptr;
    --presentVertices_;
    queue_.Erase(x->index);
  } else {
    vertices_.Remove(x);
  }
  delete x;
}

void ProgressiveMesh::AppendRecord(float error, std::uint32_t vertexDelta,
                                   std::uint32_t faceDelta, std::uint32_t changeCount) {
  do {
    const std::uint32_t dv = std::min(kRecordLimit, vertexDelta);
    const std::uint32_t df = std::min(kRecordLimit, faceDelta);
    const std::uint32_t dc = std::min(kRecordLimit, changeCount);
    vertexDelta -= dv;
    faceDelta -= df;
    changeCount -= dc;
    const bool more = vertexDelta > 0 || faceDelta > 0 || changeCount > 0;
    history_.Append({more ? kStepContinues : error, static_cast<std::uint8_t>(dv),
                     static_cast<std::uint8_t>(df), static_cast<std::uint8_t>(dc)});
  } while (vertexDelta > 0 || faceDelta > 0 || changeCount > 0);
}
