// The literal reference reducer (see ReducerOracle.h). Each function follows the reducer's
// description step by step, with linear scans and shifting arrays.
// One deliberate difference from a word-for-word reading: SetFaceCount on a mesh whose history
// is built never takes the "whole mesh live" shortcut (it would keep re-pointed corners); it
// steps back instead, as the production mesh does; and a target of 0 runs the history to its
// end (both live counts 0), not only until the last face is gone.
#include "tests/TZ2_Export/geometry/ReducerOracle.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

template <typename T>
bool Has(const std::vector<T*>& list, const T* x) {
  return std::find(list.begin(), list.end(), x) != list.end();
}

template <typename T>
void EraseFirst(std::vector<T*>& list, const T* x) {
  auto it = std::find(list.begin(), list.end(), x);
  if (it != list.end()) list.erase(it);
}

OracleVertex* RepOf(OracleVertex* x) { return x->representative ? x : x->twins[0]; }

bool Within(float a, float b) { return std::fabs(a - b) < 0.0001f; }

bool SkinEqual(const OracleVertex* a, const OracleVertex* b) {
  if (a->weightCount != b->weightCount) return false;
  for (int i = 0; i < a->weightCount; ++i) {
    if (a->bones[i] != b->bones[i]) return false;
    if (std::memcmp(&a->weights[i], &b->weights[i], 4) != 0) return false;
  }
  return true;
}

float Distance(const UvPair* a, const UvPair* b) {
  float sum = 0.0f;
  for (int c = 0; c < 5; ++c)
    sum += std::sqrt((a[c].u - b[c].u) * (a[c].u - b[c].u) + (a[c].v - b[c].v) * (a[c].v - b[c].v));
  return sum;
}

void Geometry(OracleFace* f) {
  const Point3 p0 = f->corners[0]->position, p1 = f->corners[1]->position,
               p2 = f->corners[2]->position;
  f->normal = FaceNormal(p0, p1, p2);
  f->offset = -(f->normal.x * p0.x + f->normal.y * p0.y + f->normal.z * p0.z);
  const float a = (p1 - p0).Length();
  const float b = (p2 - p1).Length();
  const float c = (p0 - p2).Length();
  const float s = (a + b + c) / 2.0f;
  const float product = s * (s - a) * (s - b) * (s - c);
  f->area = std::sqrt(product > 0.0f ? product : 0.0f);
}

void Interpolate(OracleFace* f, const Point3& q, UvPair* out) {
  for (int c = 0; c < 5; ++c)
    out[c] = InterpolateUv(f->corners[0]->position, f->corners[1]->position,
                           f->corners[2]->position, f->corners[0]->uv[c], f->corners[1]->uv[c],
                           f->corners[2]->uv[c], q);
}

// GroupAndLink's neighbour rule: skip the same index and one already present.
void AddNeighbourTo(OracleVertex* r, OracleVertex* x) {
  if (x->index == r->index) return;
  if (Has(r->neighbours, x)) return;
  r->neighbours.push_back(x);
}

bool FaceTouchesGroup(OracleFace* f, OracleVertex* group) {
  return RepOf(f->corners[0]) == group || RepOf(f->corners[1]) == group ||
         RepOf(f->corners[2]) == group;
}

OracleVertex* Third(OracleFace* f, OracleVertex* v, OracleVertex* u) {
  for (int k = 0; k < 3; ++k) {
    OracleVertex* r = RepOf(f->corners[k]);
    if (r != v && r != u) return r;
  }
  return nullptr;
}

void MarkEdge(OracleVertex* v, OracleVertex* u) {
  for (OracleFace* f : v->faces) f->mark = 0;
  for (OracleFace* f : u->faces) f->mark += 1;
}

}  // namespace

ReducerOracle::~ReducerOracle() {
  for (OracleFace* f : faces) delete f;
  for (OracleVertex* v : vertices) delete v;
}

OracleVertex* ReducerOracle::Make(const Point3& position, const Point3& normal, const UvPair* uv,
                                  const std::uint8_t* bones, const float* weights,
                                  std::uint8_t weightCount) {
  OracleVertex* v = new OracleVertex;
  v->position = position;
  v->normal = normal;
  for (int c = 0; c < 5; ++c) v->uv[c] = uv ? uv[c] : UvPair{};
  v->weightCount = weightCount > 4 ? 4 : weightCount;
  for (int i = 0; i < v->weightCount; ++i) {
    v->bones[i] = bones ? bones[i] : 0;
    v->weights[i] = weights ? weights[i] : 0.0f;
  }
  NormaliseNewWeights(v->bones, v->weights, v->weightCount);
  v->index = static_cast<std::uint32_t>(vertices.size());
  return v;
}

std::uint32_t ReducerOracle::AddVertexRaw(const Point3& position, const Point3& normal,
                                          const UvPair* uv, const std::uint8_t* bones,
                                          const float* weights, std::uint8_t weightCount) {
  OracleVertex* v = Make(position, normal, uv, bones, weights, weightCount);
  vertices.push_back(v);
  liveVertices = static_cast<std::uint32_t>(vertices.size());
  return v->index;
}

std::uint32_t ReducerOracle::AddVertex(const Point3& position, const Point3& normal,
                                       const UvPair* uv, const std::uint8_t* bones,
                                       const float* weights, std::uint8_t weightCount) {
  OracleVertex* v = Make(position, normal, uv, bones, weights, weightCount);
  for (OracleVertex* e : vertices) {
    bool same = Within(e->position.x, v->position.x) && Within(e->position.y, v->position.y) &&
                Within(e->position.z, v->position.z) && Within(e->normal.x, v->normal.x) &&
                Within(e->normal.y, v->normal.y) && Within(e->normal.z, v->normal.z) &&
                SkinEqual(e, v);
    for (int c = 0; c < 5 && same; ++c)
      same = Within(e->uv[c].u, v->uv[c].u) && Within(e->uv[c].v, v->uv[c].v);
    if (same) {
      delete v;
      return e->index;
    }
  }
  vertices.push_back(v);
  liveVertices = static_cast<std::uint32_t>(vertices.size());
  return v->index;
}

void ReducerOracle::AddFace(std::uint32_t i0, std::uint32_t i1, std::uint32_t i2,
                            PmAttributes attributes, std::uint8_t flag) {
  OracleFace* f = new OracleFace;
  f->corners[0] = vertices[i0];
  f->corners[1] = vertices[i1];
  f->corners[2] = vertices[i2];
  f->attributes = attributes;
  f->flag = flag;
  f->index = static_cast<std::uint32_t>(faces.size());
  Geometry(f);
  faces.push_back(f);
  liveFaces = static_cast<std::uint32_t>(faces.size());
}

float ReducerOracle::SetFaceCount(std::uint32_t target, bool keepCollapsing) {
  const std::uint32_t count = static_cast<std::uint32_t>(faces.size());
  if (target > count) target = count;
  if (target == count && !keepCollapsing && !built) {
    liveFaces = count;
    liveVertices = static_cast<std::uint32_t>(vertices.size());
    return 0.0f;
  }
  if (!built) BuildHistory(target, keepCollapsing);
  float error = 0.0f;
  while (target > liveFaces && historyPosition_ > 0) error = StepBack();
  while ((target < liveFaces || (target == 0 && liveVertices > 0)) &&
         history[historyPosition_].error != -1.0f)
    error = StepForward();
  return error;
}

void ReducerOracle::BuildHistory(std::uint32_t target, bool keepCollapsing) {
  if (built) return;
  // 2. Copies of every vertex and face.
  std::vector<OracleVertex> savedVertices;
  for (std::size_t i = 0; i < vertices.size(); ++i) {
    OracleVertex copy;
    copy.position = vertices[i]->position;
    copy.normal = vertices[i]->normal;
    std::memcpy(copy.uv, vertices[i]->uv, sizeof copy.uv);
    std::memcpy(copy.bones, vertices[i]->bones, sizeof copy.bones);
    std::memcpy(copy.weights, vertices[i]->weights, sizeof copy.weights);
    copy.weightCount = vertices[i]->weightCount;
    copy.index = static_cast<std::uint32_t>(i);
    savedVertices.push_back(copy);
  }
  struct SavedFace {
    std::uint32_t corners[3];
    PmAttributes attributes;
    std::uint8_t flag;
    std::uint32_t index;
  };
  std::vector<SavedFace> savedFaces;
  for (OracleFace* f : faces)
    savedFaces.push_back({{f->corners[0]->index, f->corners[1]->index, f->corners[2]->index},
                          f->attributes, f->flag, f->index});
  built = true;

  // 4. Groups and adjacency, scale, degenerate faces, initial costs.
  GroupAndLink();
  Point3 lo = vertices.empty() ? Point3() : vertices[0]->position, hi = lo;
  for (OracleVertex* v : vertices) {
    lo.x = std::min(lo.x, v->position.x);
    lo.y = std::min(lo.y, v->position.y);
    lo.z = std::min(lo.z, v->position.z);
    hi.x = std::max(hi.x, v->position.x);
    hi.y = std::max(hi.y, v->position.y);
    hi.z = std::max(hi.z, v->position.z);
  }
  float l = std::max(std::max(hi.x - lo.x, hi.y - lo.y), hi.z - lo.z);
  if (l < 0.0001f) l = 0.0001f;
  scale = (1.0f / l) * (1.0f / l) * (1.0f / l) * (1.0f / l);
  std::uint32_t degenerate = 0;
  for (std::size_t i = faces.size(); i-- > 0;) {
    OracleFace* f = faces[i];
    OracleVertex *a = RepOf(f->corners[0]), *b = RepOf(f->corners[1]), *c = RepOf(f->corners[2]);
    if (a == b || b == c || a == c) {
      removedFaces.push_back(f->index);
      DestroyFace(f);
      ++degenerate;
    }
  }
  if (degenerate > 0) AppendRecord(0.0f, 0, degenerate, 0);
  for (OracleVertex* v : vertices)
    if (v->representative) ComputeCost(v);

  // 5. The collapse loop.
  float accumulated = 0.0f;
  while (!vertices.empty()) {
    OracleVertex* chosen = nullptr;
    if (keepCollapsing || faces.size() > target) {
      for (OracleVertex* v : vertices)
        if (v->representative && (chosen == nullptr || v->cost < chosen->cost)) chosen = v;
    } else {
      for (OracleVertex* v : vertices)
        if (v->representative) {
          chosen = v;
          break;
        }
      if (chosen) chosen->target = nullptr;
    }
    if (!chosen) break;
    accumulated += chosen->cost;
    Collapse(chosen, chosen->target, accumulated);
  }
  history.push_back({-1.0f, 0, 0, 0});

  // 7. Re-lay the arrays: the vertex and face removed last come first.
  const std::size_t n = savedVertices.size(), fc = savedFaces.size();
  vertexMap_.assign(n, 0xFFFFFFFFu);
  faceMap_.assign(fc, 0xFFFFFFFFu);
  for (std::size_t k = 0; k < n; ++k) {
    const OracleVertex& s = savedVertices[removedVertices[n - 1 - k]];
    OracleVertex* v = new OracleVertex;
    v->position = s.position;
    v->normal = s.normal;
    std::memcpy(v->uv, s.uv, sizeof v->uv);
    std::memcpy(v->bones, s.bones, sizeof v->bones);
    std::memcpy(v->weights, s.weights, sizeof v->weights);
    v->weightCount = s.weightCount;
    v->index = s.index;
    vertices.push_back(v);
    vertexMap_[s.index] = static_cast<std::uint32_t>(k);
  }
  for (std::size_t k = 0; k < fc; ++k) {
    const SavedFace& s = savedFaces[removedFaces[fc - 1 - k]];
    OracleFace* f = new OracleFace;
    for (int c = 0; c < 3; ++c) f->corners[c] = vertices[vertexMap_[s.corners[c]]];
    f->attributes = s.attributes;
    f->flag = s.flag;
    f->index = s.index;
    Geometry(f);
    faces.push_back(f);
    faceMap_[s.index] = static_cast<std::uint32_t>(k);
  }
  // 8.
  historyPosition_ = changePosition_ = 0;
  liveFaces = static_cast<std::uint32_t>(fc);
  liveVertices = static_cast<std::uint32_t>(n);
}

void ReducerOracle::GroupAndLink() {
  for (std::size_t i = 0; i < vertices.size(); ++i) {
    OracleVertex* v = vertices[i];
    if (!v->twins.empty()) continue;
    v->representative = true;
    for (std::size_t j = i + 1; j < vertices.size(); ++j) {
      OracleVertex* w = vertices[j];
      if (Within(w->position.x, v->position.x) && Within(w->position.y, v->position.y) &&
          Within(w->position.z, v->position.z) && w->twins.empty() && SkinEqual(w, v) &&
          w->normal.x * v->normal.x + w->normal.y * v->normal.y + w->normal.z * v->normal.z >=
              -0.98f) {
        v->twins.push_back(w);
        w->representative = false;
        w->twins.push_back(v);
      }
    }
  }
  for (OracleFace* f : faces)
    for (int i = 0; i < 3; ++i) {
      OracleVertex* r = RepOf(f->corners[i]);
      AddNeighbourTo(r, RepOf(f->corners[(i + 1) % 3]));
      AddNeighbourTo(r, RepOf(f->corners[(i + 2) % 3]));
      if (!Has(r->faces, f)) r->faces.push_back(f);
    }
}

void ReducerOracle::ComputeCost(OracleVertex* v) {
  // 1.
  planes_.clear();
  if (v->neighbours.empty()) {
    v->cost = 0.0f;
    v->target = nullptr;
    return;
  }
  v->cost = 1e30f;
  v->target = nullptr;
  // 2. Boundary planes.
  for (OracleVertex* u : v->neighbours) {
    MarkEdge(v, u);
    int counted = 0;
    bool seam = false;
    OracleFace* last = nullptr;
    PmAttributes firstAttributes;
    for (std::size_t i = 0; i < v->faces.size(); ++i) {
      OracleFace* f = v->faces[i];
      if (f->mark != 1) continue;
      OracleVertex* w = Third(f, v, u);
      bool skip = false;
      for (std::size_t j = 0; j < i; ++j)
        if (v->faces[j]->mark == 1 && w != nullptr && FaceTouchesGroup(v->faces[j], w)) skip = true;
      if (skip) continue;
      ++counted;
      last = f;
      if (counted == 1) {
        firstAttributes = f->attributes;
      } else if (!(f->attributes == firstAttributes)) {
        seam = true;
        break;
      }
    }
    if (counted == 1 || seam) {
      const Point3 e = u->position - v->position;
      Point3 n = e ^ last->normal;
      if (n.Length() > 0.000001f) {
        n = n.Normalize();
      } else {
        n.x = 0.0f;
        n.y = 0.0f;
      }
      planes_.push_back({n, -(n.x * v->position.x + n.y * v->position.y + n.z * v->position.z),
                         last->area});
    }
  }
  // 3. Candidates.
  for (OracleVertex* u : v->neighbours) {
    const Point3 q = u->position;
    float geometric = 0.0f;
    for (OracleFace* f : v->faces) {
      const float e = f->normal.x * q.x + f->normal.y * q.y + f->normal.z * q.z + f->offset;
      geometric += e * e * f->area * scale;
    }
    float texture = UvCost(v, u);
    for (OracleVertex* t : v->twins) texture += UvCost(t, u);
    float boundary = 0.0f;
    for (const Plane& b : planes_) {
      const float e = b.n.x * q.x + b.n.y * q.y + b.n.z * q.z + b.d;
      boundary += e * e * b.area * scale * 1000.0f;
    }
    float flip = 0.0f;
    MarkEdge(v, u);
    for (OracleFace* f : v->faces)
      if (f->mark == 0 && Flips(f, v, u)) flip += 100000.0f;
    const float sum = geometric + texture + boundary + flip;
    if (sum < v->cost) {
      v->cost = sum;
      v->target = u;
    }
  }
}

float ReducerOracle::UvCost(OracleVertex* x, OracleVertex* u) {
  OracleVertex* r = RepOf(x);
  float sum = 0.0f;
  for (OracleFace* f : r->faces) {
    if (f->corners[0] != x && f->corners[1] != x && f->corners[2] != x) continue;
    if (FaceTouchesGroup(f, u)) continue;
    UvPair uvq[5];
    Interpolate(f, u->position, uvq);
    float dmin = Distance(uvq, u->uv);
    for (OracleVertex* t : u->twins) {
      const float d = Distance(uvq, t->uv);
      if (d < dmin) dmin = d;
    }
    sum += std::sqrt(scale) * dmin * dmin * f->area * 0.1f;
  }
  return sum;
}

bool ReducerOracle::Flips(OracleFace* f, OracleVertex* v, OracleVertex* u) {
  Point3 p0 = f->corners[0]->position, p1 = f->corners[1]->position, p2 = f->corners[2]->position;
  if (RepOf(f->corners[0]) == v)
    p0 = u->position;
  else if (RepOf(f->corners[1]) == v)
    p1 = u->position;
  else if (RepOf(f->corners[2]) == v)
    p2 = u->position;
  const Point3 c = (p1 - p0) ^ (p2 - p0);
  Point3 n(0.0f, -1.0f, 0.0f);
  if (c.Length() != 0.0f) n = c.Normalize();
  return n.x * f->normal.x + n.y * f->normal.y + n.z * f->normal.z < 0.5f;
}

void ReducerOracle::Collapse(OracleVertex* v, OracleVertex* u, float accumulated) {
  dirty_.clear();
  std::uint32_t faceCount = 0, changeCount = 0;
  if (u != nullptr) {
    MarkEdge(v, u);
    for (std::size_t i = v->faces.size(); i-- > 0;) {
      OracleFace* f = v->faces[i];
      if (f->mark != 1) continue;
      dirty_.push_back(Third(f, v, u));
      removedFaces.push_back(f->index);
      ++faceCount;
      DestroyFace(f);
    }
    changeCount = static_cast<std::uint32_t>(v->faces.size());
    for (std::size_t i = v->faces.size(); i-- > 0;) RepointCorner(v->faces[i], v, u);
  } else {
    for (std::size_t i = v->faces.size(); i-- > 0;) {
      OracleFace* f = v->faces[i];
      removedFaces.push_back(f->index);
      ++faceCount;
      DestroyFace(f);
    }
  }
  removedVertices.push_back(v->index);
  for (OracleVertex* t : v->twins) removedVertices.push_back(t->index);
  const std::uint32_t vertexDelta = 1 + static_cast<std::uint32_t>(v->twins.size());
  for (OracleVertex* t : v->twins) DestroyVertex(t);
  DestroyVertex(v);
  if (u != nullptr) {
    for (OracleVertex* w : dirty_) ComputeCost(w);
    ComputeCost(u);
    for (OracleVertex* n : u->neighbours) ComputeCost(n);
  }
  AppendRecord(accumulated / scale, vertexDelta, faceCount, changeCount);
}

void ReducerOracle::RepointCorner(OracleFace* f, OracleVertex* v, OracleVertex* u) {
  int changed = -1;
  for (int k = 0; k < 3; ++k) {
    OracleVertex* c = f->corners[k];
    if (c != v && !Has(v->twins, c)) continue;
    UvPair uvq[5];
    Interpolate(f, u->position, uvq);
    OracleVertex* best = u;
    float bestDistance = Distance(uvq, u->uv);
    for (OracleVertex* t : u->twins) {
      const float d = Distance(uvq, t->uv);
      if (d < bestDistance) {
        best = t;
        bestDistance = d;
      }
    }
    changes.push_back({f->index, static_cast<std::uint8_t>(k), c->index, best->index});
    f->corners[k] = best;
    changed = k;
    break;
  }
  Geometry(f);
  if (!Has(u->faces, f)) u->faces.push_back(f);
  for (int j = 0; j < 3; ++j) {
    if (j == changed) continue;
    OracleVertex* r = RepOf(f->corners[j]);
    AddNeighbourTo(r, u);
    AddNeighbourTo(u, r);
  }
}

void ReducerOracle::DestroyFace(OracleFace* f) {
  OracleVertex* r[3] = {RepOf(f->corners[0]), RepOf(f->corners[1]), RepOf(f->corners[2])};
  EraseFirst(r[0]->faces, f);
  if (r[1] != r[0]) EraseFirst(r[1]->faces, f);
  if (r[2] != r[0] && r[2] != r[1]) EraseFirst(r[2]->faces, f);
  for (int i = 0; i < 3; ++i) {
    OracleVertex* pair[2][2] = {{r[i], r[(i + 1) % 3]}, {r[(i + 1) % 3], r[i]}};
    for (auto& ab : pair) {
      bool linked = false;
      for (OracleFace* g : ab[0]->faces)
        if (FaceTouchesGroup(g, ab[1])) linked = true;
      if (!linked) EraseFirst(ab[0]->neighbours, ab[1]);
    }
  }
  EraseFirst(faces, f);
  delete f;
}

void ReducerOracle::DestroyVertex(OracleVertex* x) {
  if (x->representative)
    for (OracleVertex* n : x->neighbours) EraseFirst(n->neighbours, x);
  EraseFirst(vertices, x);
  delete x;
}

void ReducerOracle::AppendRecord(float error, std::uint32_t dv, std::uint32_t df,
                                 std::uint32_t dc) {
  for (;;) {
    const std::uint32_t a = std::min(255u, dv), b = std::min(255u, df), c = std::min(255u, dc);
    dv -= a;
    df -= b;
    dc -= c;
    const bool more = dv + df + dc > 0;
    history.push_back({more ? -2.0f : error, static_cast<std::uint8_t>(a),
                       static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(c)});
    if (!more) return;
  }
}

float ReducerOracle::StepForward() {
  if (history[historyPosition_].error == -1.0f) return 1e30f;
  for (;;) {
    const CollapseRecord r = history[historyPosition_];
    liveFaces -= r.faceDelta;
    for (int i = 0; i < r.changeCount; ++i) {
      const CornerChange c = changes[changePosition_];
      faces[faceMap_[c.face]]->corners[c.corner] = vertices[vertexMap_[c.newVertex]];
      ++changePosition_;
    }
    liveVertices -= r.vertexDelta;
    ++historyPosition_;
    if (r.error != -2.0f) return r.error;
    if (history[historyPosition_].error == -1.0f) return 1e30f;
  }
}

float ReducerOracle::StepBack() {
  float result = 0.0f;
  bool first = true;
  for (;;) {
    --historyPosition_;
    const CollapseRecord r = history[historyPosition_];
    liveVertices += r.vertexDelta;
    for (int i = 0; i < r.changeCount; ++i) {
      --changePosition_;
      const CornerChange c = changes[changePosition_];
      faces[faceMap_[c.face]]->corners[c.corner] = vertices[vertexMap_[c.oldVertex]];
    }
    liveFaces += r.faceDelta;
    if (first) result = r.error;
    first = false;
    if (historyPosition_ > 0 && history[historyPosition_ - 1].error == -2.0f) continue;
    return result;
  }
}
