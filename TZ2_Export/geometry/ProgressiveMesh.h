// ProgressiveMesh: one triangle mesh of skinned, textured vertices that can be reduced to any
// face count by replaying a collapse history.
//
// Filling: AddVertex welds a vertex onto the first existing one that matches it within 0.0001
// (position, normal, all ten texture coordinates) with an identical skin; AddVertexRaw always
// appends; both normalise the skin weights first. AddFace computes the face's normal, plane
// offset and area. CopyFrom refills the mesh from another one, LimitWeights and RemapBones adjust
// the skin of every vertex.
//
// Reducing: the first SetFaceCount that needs a reduction builds the history once
// (BuildHistory): every position group is collapsed onto its cheapest neighbour, or removed, in
// order of cost (CollapseCost.cpp), each step leaving CollapseRecord and CornerChange records.
// The vertex and face arrays are then re-laid so that the live vertices and faces after any
// number of forward steps are a prefix of each array (the one removed last comes first), and
// SetFaceCount / StepForward / StepBack move along the history. Vertices never move: a step
// re-points face corners onto existing vertices.
//
// Invariants while the history is built: vertex and face array positions equal insertion
// indices (a destroyed object leaves a null slot instead of shifting the rest, which keeps
// "array order" = insertion order); neighbour and face lists live on representatives only and
// neighbours(a) are exactly the other representatives that share a face with a's group. The
// next vertex is taken from an indexed heap ordered by (cost, insertion index), which is the
// "cheapest, first in array order" choice of a linear scan.
//
// Ownership: the mesh owns every PmVertex and PmFace; accessors hand out borrowed pointers that
// stay valid until the next Clear, CopyFrom or history build. Insertion after the history is
// built is refused (kNoIndex / nullptr).
#pragma once

#include <cstdint>
#include <vector>

#include "TZ2_Export/geometry/CostQueue.h"
#include "TZ2_Export/geometry/FaceMath.h"
#include "TZ2_Export/geometry/WeldGrid.h"
#include "collect/GrowArray.h"
#include "host/Point3.h"

class ProgressiveMesh;
struct PmFace;

inline constexpr int kPmUvChannels = 5;
inline constexpr int kPmMaxWeights = 4;
inline constexpr std::uint32_t kNoIndex = 0xFFFFFFFFu;

struct PmVertex {
  ProgressiveMesh* owner = nullptr;
  Point3 position, normal;
  UvPair uv[kPmUvChannels];
  std::uint8_t bones[kPmMaxWeights] = {};
  float weights[kPmMaxWeights] = {};
  std::uint8_t weightCount = 0;
  std::uint32_t index = 0;  // insertion index; the re-layout keeps it
  float cost = 0.0f;
  PmVertex* target = nullptr;
  std::uint8_t representative = 1;
  GrowArray<PmVertex*> twins;       // rep: other group members; member: {its rep}
  GrowArray<PmVertex*> neighbours;  // reps sharing an edge with this group (reps only)
  GrowArray<PmFace*> faces;         // faces with a corner in this group (reps only)
};

// A face's material and detail marker, compared as a whole.
struct PmAttributes {
  std::uint16_t material = 0;
  std::uint16_t detailMarker = 0;
  bool operator==(const PmAttributes&) const = default;
};

struct PmFace {
  ProgressiveMesh* owner = nullptr;
  PmVertex* corners[3] = {};
  Point3 normal;
  PmAttributes attributes;
  std::uint32_t index = 0;  // insertion index
  std::uint16_t mark = 0;   // scratch counter of the cost computation
  std::uint8_t flag = 0;
  float area = 0.0f;
  float planeOffset = 0.0f;  // normal · p + planeOffset = 0 on the face's plane
};

#pragma pack(push, 1)
// One step (or part of a step) of the history. error: accumulated cost, or a marker.
struct CollapseRecord {
  float error;
  std::uint8_t vertexDelta;
  std::uint8_t faceDelta;
  std::uint8_t changeCount;
};
// One re-pointed corner; faces and vertices by insertion index.
struct CornerChange {
  std::uint32_t face;
  std::uint8_t corner;
  std::uint32_t oldVertex;
  std::uint32_t newVertex;
};
#pragma pack(pop)
static_assert(sizeof(CollapseRecord) == 7 && sizeof(CornerChange) == 13);

inline constexpr float kHistoryEnd = -1.0f;       // error of the terminal record
inline constexpr float kStepContinues = -2.0f;    // the step goes on in the next record
inline constexpr float kStepPastEnd = 1e30f;      // StepForward at the end of the history

// A plane through an open edge or a material seam, scratch of ComputeCost.
struct BoundaryPlane {
  Point3 normal;
  float offset;
  float area;
};

// A face's normal (FaceNormal of its corners), plane offset and area (Heron's formula), from
// its current corners.
void ComputeFaceGeometry(PmFace* f);

// Sum over the five channels of the planar distance between two coordinate sets.
float UvDistance(const UvPair* a, const UvPair* b);

// True when identical skins: weight count, bone bytes and bit-identical weights for that count.
bool SameSkin(const PmVertex& a, const PmVertex& b);

// Weight normalisation of a new vertex: drops weights below 2/255, one adjacent-swap pass
// (higher bone first), divides by the sum; repeats while weights were dropped.
void NormaliseNewWeights(std::uint8_t* bones, float* weights, std::uint8_t& count);

class ProgressiveMesh {
 public:
  ProgressiveMesh() = default;
  virtual ~ProgressiveMesh();
  ProgressiveMesh(const ProgressiveMesh&) = delete;
  ProgressiveMesh& operator=(const ProgressiveMesh&) = delete;

  // uv: five (u, v) pairs, channel 0 first (null: all 0); bones / weights: weightCount entries
  // each (null: 0); weightCount above 4 is taken as 4.
  virtual std::uint32_t AddVertexRaw(const Point3& position, const Point3& normal,
                                     const UvPair* uv, const std::uint8_t* bones,
                                     const float* weights, std::uint8_t weightCount);
  // Null for a corner index outside the vertex array or after the history is built.
  virtual PmFace* AddFace(std::uint32_t i0, std::uint32_t i1, std::uint32_t i2,
                          PmAttributes attributes, std::uint8_t flag);
  virtual std::uint32_t AddVertex(const Point3& position, const Point3& normal,
                                  const UvPair* uv, const std::uint8_t* bones,
                                  const float* weights, std::uint8_t weightCount);
  // Reduces (or restores) the live mesh to at most `target` faces; returns the error of the
  // last step taken, or 0 when none was taken.
  virtual float SetFaceCount(std::uint32_t target, bool keepCollapsing);
  // The face count and the index count (three per face).
  virtual void FaceCounts(std::uint32_t& faces, std::uint32_t& indices) const;

  void CopyFrom(const ProgressiveMesh& source);
  void LimitWeights(std::uint8_t n);
  // table: 255 bytes, bone b becomes table[b] (bone 255, "none", is kept).
  void RemapBones(const std::uint8_t* table);
  void Clear();

  void BuildHistory(std::uint32_t target, bool keepCollapsing);
  float StepForward();
  float StepBack();

  // Steps of BuildHistory, public so that each can be inspected on its own (CollapseCost.cpp).
  // They change the mesh's adjacency state: a mesh on which they were called directly is for
  // inspection only and is not reduced with SetFaceCount afterwards.
  void GroupAndLink();
  void ComputeScale();
  void RemoveDegenerateFaces();
  void ComputeCost(PmVertex* v);
  // The cost of collapsing v onto its neighbour u, with the boundary planes of the last
  // ComputeCost(v): geometric + texture + boundary + flip terms.
  float CandidateCost(PmVertex* v, PmVertex* u);
  float UvCost(const PmVertex* x, const PmVertex* u);
  bool Flips(const PmFace* f, const PmVertex* v, const PmVertex* u) const;
  void Collapse(PmVertex* v, PmVertex* u, float accumulated);
  void AppendRecord(float error, std::uint32_t vertexDelta, std::uint32_t faceDelta,
                    std::uint32_t changeCount);

  // Read access.
  std::uint32_t VertexCount() const { return vertices_.Count(); }
  std::uint32_t FaceCount() const { return faces_.Count(); }
  std::uint32_t LiveVertexCount() const { return liveVertexCount_; }
  std::uint32_t LiveFaceCount() const { return liveFaceCount_; }
  // Slot i of the arrays; null for a slot emptied while the history is being built.
  PmVertex* Vertex(std::uint32_t i) const { return vertices_[i]; }
  PmFace* Face(std::uint32_t i) const { return faces_[i]; }
  bool Built() const { return built_; }
  float Scale() const { return scale_; }
  const GrowArray<CollapseRecord>& History() const { return history_; }
  const GrowArray<CornerChange>& Changes() const { return changes_; }
  const GrowArray<std::uint32_t>& RemovedFaces() const { return removedFaces_; }
  const GrowArray<std::uint32_t>& RemovedVertices() const { return removedVertices_; }
  const GrowArray<BoundaryPlane>& BoundaryPlanes() const { return boundaryPlanes_; }
  std::uint32_t HistoryPosition() const { return historyPosition_; }

  // rep(x): x itself for a representative, else its group's representative.
  static PmVertex* Rep(PmVertex* x) { return x->representative ? x : x->twins[0]; }
  static const PmVertex* Rep(const PmVertex* x) { return x->representative ? x : x->twins[0]; }

 private:
  PmVertex* MakeVertex(const Point3& position, const Point3& normal, const UvPair* uv,
                       const std::uint8_t* bones, const float* weights,
                       std::uint8_t weightCount);
  std::uint32_t AppendVertex(PmVertex* v);
  PmFace* AppendFace(PmVertex* a, PmVertex* b, PmVertex* c, PmAttributes attributes,
                     std::uint8_t flag, std::uint32_t index);
  void ComputeCostsAndQueue();
  void ReLayArrays(const std::vector<PmVertex>& savedVertices,
                   const std::vector<std::uint32_t>& savedCorners,
                   const std::vector<PmFace>& savedFaces);
  std::uint32_t PositionOf(const PmVertex* v) const;

  // CollapseCost.cpp.
  void RefreshCost(PmVertex* v);
  void RepointCorner(PmFace* f, PmVertex* v, PmVertex* u);
  void DestroyFace(PmFace* f);
  void DestroyVertex(PmVertex* x);
  void DropIfUnlinked(PmVertex* a, PmVertex* b);
  // One face around a representative v: the representatives of its corners and the first
  // corner in v's group (-1 for none). A face of v belongs to the edge (v, u) exactly when a
  // corner lies in u's group, since a group's face list holds exactly its faces.
  struct RingFace {
    PmFace* face;
    PmVertex* rep[3];
    int slot;
    bool Touches(const PmVertex* g) const { return rep[0] == g || rep[1] == g || rep[2] == g; }
    // The first corner representative that is neither v nor u, or null.
    PmVertex* Third(const PmVertex* v, const PmVertex* u) const {
      for (PmVertex* r : rep)
        if (r != v && r != u) return r;
      return nullptr;
    }
  };
  static void BuildRing(PmVertex* v, std::vector<RingFace>& ring);
  void AddBoundaryPlanes(PmVertex* v, const std::vector<RingFace>& ring);
  float CandidateCost(PmVertex* v, PmVertex* u, const std::vector<RingFace>& ring, float bound);
  float RingUvCost(const PmVertex* x, const PmVertex* u, const std::vector<RingFace>& ring) const;
  static bool FlipsAt(const RingFace& r, const Point3& q);

  float scale_ = 0.0f;
  std::uint32_t changePosition_ = 0;
  std::uint32_t historyPosition_ = 0;
  GrowArray<std::uint32_t> removedFaces_;
  GrowArray<std::uint32_t> removedVertices_;
  GrowArray<CornerChange> changes_;
  GrowArray<CollapseRecord> history_;
  GrowArray<PmVertex*> dirtyVertices_;
  GrowArray<BoundaryPlane> boundaryPlanes_;
  bool built_ = false;
  std::uint32_t liveVertexCount_ = 0;
  std::uint32_t liveFaceCount_ = 0;
  std::vector<std::uint32_t> vertexMap_;
  std::vector<std::uint32_t> faceMap_;
  GrowArray<PmFace*> faces_;
  GrowArray<PmVertex*> vertices_;

  // Build-time bookkeeping: objects still in the arrays, the cost heap of representatives.
  bool building_ = false;
  std::uint32_t presentVertices_ = 0;
  std::uint32_t presentFaces_ = 0;
  CostQueue queue_;
  std::vector<RingFace> ring_;  // scratch of ComputeCost
  // Positions of every inserted vertex, for welding and position grouping.
  WeldGrid grid_;
};
