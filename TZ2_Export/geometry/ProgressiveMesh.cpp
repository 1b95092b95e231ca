// ProgressiveMesh: insertion with welding, skin adjustment, the history build and its replay
// (see ProgressiveMesh.h). The collapse engine itself is in CollapseCost.cpp.
#include "TZ2_Export/geometry/ProgressiveMesh.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Tolerance of AddVertex welding, per component.
constexpr float kWeldTolerance = 0.0001f;
// Weights below 2/255 are dropped from a new vertex.
constexpr float kSmallestWeight = 0.007843138f;
// Room the build reserves in its scratch arrays.
constexpr std::uint32_t kScratchReserve = 100;

bool Near(float a, float b) { return std::fabs(a - b) < kWeldTolerance; }

bool NearPoint(const Point3& a, const Point3& b) {
  return Near(a.x, b.x) && Near(a.y, b.y) && Near(a.z, b.z);
}

// The AddVertex match: position, normal and texture coordinates within the tolerance, same skin.
bool Welds(const PmVertex& a, const PmVertex& b) {
  if (!NearPoint(a.position, b.position) || !NearPoint(a.normal, b.normal)) return false;
  if (!SameSkin(a, b)) return false;
  for (int c = 0; c < kPmUvChannels; ++c)
    if (!Near(a.uv[c].u, b.uv[c].u) || !Near(a.uv[c].v, b.uv[c].v)) return false;
  return true;
}

void RemoveWeight(std::uint8_t* bones, float* weights, std::uint8_t& count, int i) {
  for (int j = i; j + 1 < count; ++j) {
    bones[j] = bones[j + 1];
    weights[j] = weights[j + 1];
  }
  --count;
}

void DivideBySum(float* weights, std::uint8_t count) {
  float sum = 0.0f;
  for (int i = 0; i < count; ++i) sum += weights[i];
  for (int i = 0; i < count; ++i) weights[i] /= sum;
}

}  // namespace

void ComputeFaceGeometry(PmFace* f) {
  const Point3& p0 = f->corners[0]->position;
  const Point3& p1 = f->corners[1]->position;
  const Point3& p2 = f->corners[2]->position;
  f->normal = FaceNormal(p0, p1, p2);
  f->planeOffset = -(f->normal % p0);
  const float a = (p1 - p0).Length(), b = (p2 - p1).Length(), c = (p0 - p2).Length();
  const float s = (a + b + c) / 2.0f;
  f->area = std::sqrt(std::max(0.0f, s * (s - a) * (s - b) * (s - c)));
}

float UvDistance(const UvPair* a, const UvPair* b) {
  float sum = 0.0f;
  for (int c = 0; c < kPmUvChannels; ++c) {
    const float du = a[c].u - b[c].u, dv = a[c].v - b[c].v;
    sum += std::sqrt(du * du + dv * dv);
  }
  return sum;
}

bool SameSkin(const PmVertex& a, const PmVertex& b) {
  if (a.weightCount != b.weightCount) return false;
  for (int i = 0; i < a.weightCount; ++i)
    if (a.bones[i] != b.bones[i] ||
        std::memcmp(&a.weights[i], &b.weights[i], sizeof(float)) != 0)
      return false;
  return true;
}

void NormaliseNewWeights(std::uint8_t* bones, float* weights, std::uint8_t& count) {
  if (count == 0) return;
  for (;;) {
    bool removed = false;
    for (int i = 0; i < count;) {
      if (weights[i] < kSmallestWeight) {
        RemoveWeight(bones, weights, count, i);
        removed = true;
        i = 0;
      } else {
        ++i;
      }
    }
    if (count == 0) return;
    for (int i = 0; i + 1 < count; ++i)
      if (bones[i] < bones[i + 1]) {
        std::swap(bones[i], bones[i + 1]);
        std::swap(weights[i], weights[i + 1]);
      }
    DivideBySum(weights, count);
    if (!removed) return;
  }
}

ProgressiveMesh::~ProgressiveMesh() { Clear(); }

PmVertex* ProgressiveMesh::MakeVertex(const Point3& position, const Point3& normal,
                                      const UvPair* uv, const std::uint8_t* bones,
                                      const float* weights, std::uint8_t weightCount) {
  PmVertex* v = new PmVertex;
  v->owner = this;
  v->position = position;
  v->normal = normal;
  if (uv)
    for (int c = 0; c < kPmUvChannels; ++c) v->uv[c] = uv[c];
  v->weightCount = std::min<std::uint8_t>(weightCount, kPmMaxWeights);
  for (int i = 0; i < v->weightCount; ++i) {
    v->bones[i] = bones ? bones[i] : 0;
    v->weights[i] = weights ? weights[i] : 0.0f;
  }
  NormaliseNewWeights(v->bones, v->weights, v->weightCount);
  return v;
}

std::uint32_t ProgressiveMesh::AppendVertex(PmVertex* v) {
  v->index = vertices_.Count();
  vertices_.Append(v);
  grid_.Insert(v->position, v->index);
  liveVertexCount_ = vertices_.Count();
  return v->index;
}

std::uint32_t ProgressiveMesh::AddVertexRaw(const Point3& position, const Point3& normal,
                                            const UvPair* uv, const std::uint8_t* bones,
                                            const float* weights, std::uint8_t weightCount) {
  if (built_) return kNoIndex;
  return AppendVertex(MakeVertex(position, normal, uv, bones, weights, weightCount));
}

std::uint32_t ProgressiveMesh::AddVertex(const Point3& position, const Point3& normal,
                                         const UvPair* uv, const std::uint8_t* bones,
                                         const float* weights, std::uint8_t weightCount) {
  if (built_) return kNoIndex;
  PmVertex* v = MakeVertex(position, normal, uv, bones, weights, weightCount);
  std::uint32_t first = kNoIndex;
  grid_.ForEachNear(v->position, [&](std::uint32_t i) {
    if (i < first && Welds(*vertices_[i], *v)) first = i;
  });
  if (first != kNoIndex) {
    delete v;
    return first;
  }
  return AppendVertex(v);
}

PmFace* ProgressiveMesh::AppendFace(PmVertex* a, PmVertex* b, PmVertex* c,
                                    PmAttributes attributes, std::uint8_t flag,
                                    std::uint32_t index) {
  PmFace* f = new PmFace;
  f->owner = this;
  f->corners[0] = a;
  f->corners[1] = b;
  f->corners[2] = c;
  f->attributes = attributes;
  f->flag = flag;
  f->index = index;
  ComputeFaceGeometry(f);
  faces_.Append(f);
  return f;
}

PmFace* ProgressiveMesh::AddFace(std::uint32_t i0, std::uint32_t i1, std::uint32_t i2,
                                 PmAttributes attributes, std::uint8_t flag) {
  const std::uint32_t n = vertices_.Count();
  if (built_ || i0 >= n || i1 >= n || i2 >= n) return nullptr;
  PmFace* f = AppendFace(vertices_[i0], vertices_[i1], vertices_[i2], attributes, flag,
                         faces_.Count());
  liveFaceCount_ = faces_.Count();
  return f;
}

void ProgressiveMesh::FaceCounts(std::uint32_t& faces, std::uint32_t& indices) const {
  faces = faces_.Count();
  indices = 3 * faces;
}

std::uint32_t ProgressiveMesh::PositionOf(const PmVertex* v) const {
  if (v->index < vertices_.Count() && vertices_[v->index] == v) return v->index;
  for (std::uint32_t i = 0; i < vertices_.Count(); ++i)
    if (vertices_[i] == v) return i;
  return kNoIndex;
}

void ProgressiveMesh::CopyFrom(const ProgressiveMesh& source) {
  if (&source == this) return;
  Clear();
  for (const PmVertex* v : source.vertices_)
    AddVertexRaw(v->position, v->normal, v->uv, v->bones, v->weights, v->weightCount);
  for (const PmFace* f : source.faces_)
    AddFace(source.PositionOf(f->corners[0]), source.PositionOf(f->corners[1]),
            source.PositionOf(f->corners[2]), f->attributes, f->flag);
}

void ProgressiveMesh::LimitWeights(std::uint8_t n) {
  for (PmVertex* v : vertices_) {
    while (v->weightCount > n) {
      int smallest = 0;
      for (int i = 1; i < v->weightCount; ++i)
        if (v->weights[i] < v->weights[smallest]) smallest = i;
      RemoveWeight(v->bones, v->weights, v->weightCount, smallest);
      DivideBySum(v->weights, v->weightCount);
    }
  }
}

void ProgressiveMesh::RemapBones(const std::uint8_t* table) {
  constexpr std::uint8_t kTableSize = 255;
  for (PmVertex* v : vertices_) {
    bool changed = false;
    for (int i = 0; i < v->weightCount; ++i) {
      if (v->bones[i] >= kTableSize) continue;
      const std::uint8_t b = table[v->bones[i]];
      changed |= b != v->bones[i];
      v->bones[i] = b;
    }
    if (!changed) continue;
    for (int i = 0; i < v->weightCount; ++i)
      for (int j = i + 1; j < v->weightCount;) {
        if (v->bones[j] == v->bones[i]) {
          v->weights[i] += v->weights[j];
          RemoveWeight(v->bones, v->weights, v->weightCount, j);
        } else {
          ++j;
        }
      }
    DivideBySum(v->weights, v->weightCount);
  }
}

void ProgressiveMesh::Clear() {
  for (PmFace* f : faces_) delete f;
  for (PmVertex* v : vertices_) delete v;
  faces_.Clear();
  vertices_.Clear();
  removedFaces_.Clear();
  removedVertices_.Clear();
  changes_.Clear();
  history_.Clear();
  dirtyVertices_.Clear();
  boundaryPlanes_.Clear();
  vertexMap_.clear();
  faceMap_.clear();
  grid_.Clear();
  liveVertexCount_ = liveFaceCount_ = 0;
  historyPosition_ = changePosition_ = 0;
}

float ProgressiveMesh::SetFaceCount(std::uint32_t target, bool keepCollapsing) {
  const std::uint32_t total = faces_.Count();
  if (target > total) target = total;
  // A built mesh is restored by stepping back instead: making the whole array live would keep
  // the corners re-pointed by the steps already taken.
  if (target == total && !keepCollapsing && !built_) {
    liveFaceCount_ = total;
    liveVertexCount_ = vertices_.Count();
    return 0.0f;
  }
  if (!built_) BuildHistory(target, keepCollapsing);
  float error = 0.0f;
  while (target > liveFaceCount_ && historyPosition_ > 0) error = StepBack();
  // Asking for no face at all runs the history to its end, which also removes the vertices
  // left without faces by the last steps: both live counts become 0.
  while ((target < liveFaceCount_ || (target == 0 && liveVertexCount_ > 0)) &&
         historyPosition_ < history_.Count() && history_[historyPosition_].error != kHistoryEnd)
    error = StepForward();
  return error;
}

void ProgressiveMesh::BuildHistory(std::uint32_t target, bool keepCollapsing) {
  if (built_) return;
  const std::uint32_t n = vertices_.Count(), faceTotal = faces_.Count();
  std::vector<PmVertex> saved(n);
  for (std::uint32_t i = 0; i < n; ++i) {
    const PmVertex& v = *vertices_[i];
    saved[i].position = v.position;
    saved[i].normal = v.normal;
    std::memcpy(saved[i].uv, v.uv, sizeof v.uv);
    std::memcpy(saved[i].bones, v.bones, sizeof v.bones);
    std::memcpy(saved[i].weights, v.weights, sizeof v.weights);
    saved[i].weightCount = v.weightCount;
    saved[i].index = i;
  }
  std::vector<PmFace> savedFaces(faceTotal);
  std::vector<std::uint32_t> savedCorners(3 * std::size_t{faceTotal});
  for (std::uint32_t i = 0; i < faceTotal; ++i) {
    const PmFace& f = *faces_[i];
    savedFaces[i].attributes = f.attributes;
    savedFaces[i].flag = f.flag;
    savedFaces[i].index = f.index;
    for (int k = 0; k < 3; ++k) savedCorners[3 * std::size_t{i} + k] = f.corners[k]->index;
  }
  dirtyVertices_.Reserve(kScratchReserve);
  boundaryPlanes_.Reserve(kScratchReserve);
  built_ = true;
  building_ = true;
  presentVertices_ = n;
  presentFaces_ = faceTotal;

  GroupAndLink();
  grid_.Clear();  // positions are grouped; nothing is inserted any more
  ComputeScale();
  RemoveDegenerateFaces();
  ComputeCostsAndQueue();

  float accumulated = 0.0f;
  std::uint32_t cursor = 0;  // first slot that may still hold a representative
  while (presentVertices_ > 0) {
    PmVertex* v = nullptr;
    if (keepCollapsing || presentFaces_ > target) {
      if (queue_.Empty()) break;
      v = vertices_[queue_.Top()];
    } else {
      while (cursor < n && (!vertices_[cursor] || !vertices_[cursor]->representative)) ++cursor;
      if (cursor == n) break;
      v = vertices_[cursor];
      v->target = nullptr;
    }
    accumulated += v->cost;
    Collapse(v, v->target, accumulated);
  }
  history_.Append({kHistoryEnd, 0, 0, 0});
  building_ = false;
  queue_.Release();
  // Whatever the loop left (nothing, for a consistent mesh) goes before the re-layout.
  for (PmFace* f : faces_) delete f;
  for (PmVertex* v : vertices_) delete v;
  ReLayArrays(saved, savedCorners, savedFaces);
  dirtyVertices_.Destroy();
  boundaryPlanes_.Destroy();
}

void ProgressiveMesh::ComputeCostsAndQueue() {
  queue_.Reset(vertices_.Count());
  for (PmVertex* v : vertices_)
    if (v && v->representative) RefreshCost(v);
}

void ProgressiveMesh::ReLayArrays(const std::vector<PmVertex>& saved,
                                  const std::vector<std::uint32_t>& savedCorners,
                                  const std::vector<PmFace>& savedFaces) {
  faces_.Clear();
  vertices_.Clear();
  const std::uint32_t n = static_cast<std::uint32_t>(saved.size());
  const std::uint32_t faceTotal = static_cast<std::uint32_t>(savedFaces.size());
  vertexMap_.assign(n, kNoIndex);
  faceMap_.assign(faceTotal, kNoIndex);
  const std::uint32_t removedV = std::min(n, removedVertices_.Count());
  for (std::uint32_t k = 0; k < removedV; ++k) {
    const PmVertex& s = saved[removedVertices_[removedV - 1 - k]];
    PmVertex* v = new PmVertex;
    v->owner = this;
    v->position = s.position;
    v->normal = s.normal;
    std::memcpy(v->uv, s.uv, sizeof v->uv);
    std::memcpy(v->bones, s.bones, sizeof v->bones);
    std::memcpy(v->weights, s.weights, sizeof v->weights);
    v->weightCount = s.weightCount;
    v->index = s.index;
    vertexMap_[s.index] = vertices_.Count();
    vertices_.Append(v);
  }
  const std::uint32_t removedF = std::min(faceTotal, removedFaces_.Count());
  for (std::uint32_t k = 0; k < removedF; ++k) {
    const std::uint32_t i = removedFaces_[removedF - 1 - k];
    const std::uint32_t* c = &savedCorners[3 * std::size_t{i}];
    faceMap_[i] = faces_.Count();
    AppendFace(vertices_[vertexMap_[c[0]]], vertices_[vertexMap_[c[1]]],
               vertices_[vertexMap_[c[2]]], savedFaces[i].attributes, savedFaces[i].flag,
               savedFaces[i].index);
  }
  historyPosition_ = changePosition_ = 0;
  liveFaceCount_ = faces_.Count();
  liveVertexCount_ = vertices_.Count();
}

float ProgressiveMesh::StepForward() {
  if (historyPosition_ >= history_.Count() || history_[historyPosition_].error == kHistoryEnd)
    return kStepPastEnd;
  for (;;) {
    const CollapseRecord record = history_[historyPosition_];
    liveFaceCount_ -= record.faceDelta;
    for (std::uint32_t c = 0; c < record.changeCount; ++c) {
      const CornerChange change = changes_[changePosition_++];
      faces_[faceMap_[change.face]]->corners[change.corner] =
          vertices_[vertexMap_[change.newVertex]];
    }
    liveVertexCount_ -= record.vertexDelta;
    ++historyPosition_;
    if (record.error != kStepContinues) return record.error;
    if (history_[historyPosition_].error == kHistoryEnd) return kStepPastEnd;
  }
}

float ProgressiveMesh::StepBack() {
  float first = 0.0f;
  bool taken = false;
  while (historyPosition_ > 0) {
    const CollapseRecord record = history_[--historyPosition_];
    liveVertexCount_ += record.vertexDelta;
    for (std::uint32_t c = 0; c < record.changeCount; ++c) {
      const CornerChange change = changes_[--changePosition_];
      faces_[faceMap_[change.face]]->corners[change.corner] =
          vertices_[vertexMap_[change.oldVertex]];
    }
    liveFaceCount_ += record.faceDelta;
    if (!taken) first = record.error;
    taken = true;
    if (historyPosition_ == 0 || history_[historyPosition_ - 1].error != kStepContinues) break;
  }
  return first;
}
