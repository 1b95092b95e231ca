// A fixture for the bone passes: an export state over the standalone scene, bone lists set
// directly, and surfaces whose vertices name bones by index.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "TZ2_Export/shell/ExportState.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "host/standalone/Scene.h"
#include "platform/Windows.h"
#include "tests/support/HostFixture.h"
#include "tests/support/SceneBuilder.h"

namespace tz2 {

class BoneFixture : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    ExportOptions options;
    options.Scale = 100;
    options.ExportAnimation = true;
    s.Reset(options);
    s.host = GetCOREInterface();
    s.firstFrame = 0;
    s.lastFrame = 10;
  }
  // Starts another export over the same scene: lists emptied, once-per-export flags and the
  // recorded boxes cleared.
  void NextExport() {
    const int first = s.firstFrame, last = s.lastFrame;
    s.Reset(s.options);
    s.host = GetCOREInterface();
    s.firstFrame = first;
    s.lastFrame = last;
    ClearMessageBoxRecords();
    ClearTraceLog();
  }
  void TearDown() override {
    s.Release();
    HostTest::TearDown();
  }

  void SetBones(std::initializer_list<INode*> bones) {
    s.boneList.Release();
    for (INode* b : bones) s.boneList.Append(b);
  }
  std::vector<std::string> BoneNames() const {
    std::vector<std::string> names;
    for (const NodeEntry& e : s.boneList.Entries()) names.emplace_back(e.node->GetName());
    return names;
  }
  // One surface vertex per call, weighted on the given bone indices (largest first).
  void SkinVertex(std::initializer_list<std::uint32_t> bones) {
    if (s.surfaceList.empty()) s.surfaceList.emplace_back();
    SurfaceVertex v;
    float w = 1.0f;
    for (std::uint32_t b : bones) {
      v.weights.push_back(WeightPair{b, w});
      w *= 0.5f;
    }
    s.surfaceList.back().vertices.push_back(v);
  }
  // The bone indices of every vertex weight, in order.
  std::vector<std::uint32_t> WeightBones() const {
    std::vector<std::uint32_t> bones;
    for (const Surface& surface : s.surfaceList)
      for (const SurfaceVertex& v : surface.vertices)
        for (const WeightPair& p : v.weights) bones.push_back(p.bone);
    return bones;
  }
  static std::vector<std::string> BoxTexts() {
    std::vector<std::string> texts;
    for (const MessageBoxRecord& r : MessageBoxRecords()) texts.push_back(r.text);
    return texts;
  }

  ExportState s;
};

}  // namespace tz2
