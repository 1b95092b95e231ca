// ReducerOracle: a plain, literal progressive-mesh reducer used as the reference for the fast
// ProgressiveMesh. It keeps every structure the simple way (std::vector arrays that really
// shift on removal, the cheapest vertex found by scanning the whole vertex array, welding and
// position grouping by scanning every vertex) so that each of its steps can be read against the
// description of the reducer. It produces the same records (CollapseRecord, CornerChange), the
// same removal orders and the same re-laid arrays; the tests compare the two byte for byte.
//
// Shared with the production code: FaceNormal / InterpolateUv (the triangle helpers), the
// weight normalisation of a new vertex, and the record types. Everything about adjacency,
// costs, collapses, welding and ordering is written again here.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "TZ2_Export/geometry/ProgressiveMesh.h"

struct OracleFace;

struct OracleVertex {
  Point3 position, normal;
  UvPair uv[kPmUvChannels];
  std::uint8_t bones[kPmMaxWeights] = {};
  float weights[kPmMaxWeights] = {};
  std::uint8_t weightCount = 0;
  std::uint32_t index = 0;
  float cost = 0.0f;
  OracleVertex* target = nullptr;
  bool representative = true;
  std::vector<OracleVertex*> twins, neighbours;
  std::vector<OracleFace*> faces;
};

struct OracleFace {
  OracleVertex* corners[3] = {};
  Point3 normal;
  PmAttributes attributes;
  std::uint32_t index = 0;
  int mark = 0;
  std::uint8_t flag = 0;
  float area = 0.0f;
  float offset = 0.0f;
};

class ReducerOracle {
 public:
  ReducerOracle() = default;
  ~ReducerOracle();
  ReducerOracle(const ReducerOracle&) = delete;
  ReducerOracle& operator=(const ReducerOracle&) = delete;

  std::uint32_t AddVertexRaw(const Point3& position, const Point3& normal, const UvPair* uv,
                             const std::uint8_t* bones, const float* weights,
                             std::uint8_t weightCount);
  std::uint32_t AddVertex(const Point3& position, const Point3& normal, const UvPair* uv,
                          const std::uint8_t* bones, const float* weights,
                          std::uint8_t weightCount);
  void AddFace(std::uint32_t i0, std::uint32_t i1, std::uint32_t i2, PmAttributes attributes,
               std::uint8_t flag);
  float SetFaceCount(std::uint32_t target, bool keepCollapsing);
  float StepForward();
  float StepBack();

  std::vector<CollapseRecord> history;
  std::vector<CornerChange> changes;
  std::vector<std::uint32_t> removedFaces, removedVertices;
  std::vector<OracleVertex*> vertices;
  std::vector<OracleFace*> faces;
  std::uint32_t liveVertices = 0, liveFaces = 0;
  float scale = 0.0f;
  bool built = false;

 private:
  OracleVertex* Make(const Point3& position, const Point3& normal, const UvPair* uv,
                     const std::uint8_t* bones, const float* weights, std::uint8_t weightCount);
  void BuildHistory(std::uint32_t target, bool keepCollapsing);
  void GroupAndLink();
  void ComputeCost(OracleVertex* v);
  float UvCost(OracleVertex* x, OracleVertex* u);
  bool Flips(OracleFace* f, OracleVertex* v, OracleVertex* u);
  void Collapse(OracleVertex* v, OracleVertex* u, float accumulated);
  void RepointCorner(OracleFace* f, OracleVertex* v, OracleVertex* u);
  void DestroyFace(OracleFace* f);
  void DestroyVertex(OracleVertex* x);
  void AppendRecord(float error, std::uint32_t dv, std::uint32_t df, std::uint32_t dc);

  std::uint32_t historyPosition_ = 0, changePosition_ = 0;
  std::vector<std::uint32_t> vertexMap_, faceMap_;
  std::vector<OracleVertex*> dirty_;
  struct Plane {
    Point3 n;
    float d, area;
  };
  std::vector<Plane> planes_;
};
