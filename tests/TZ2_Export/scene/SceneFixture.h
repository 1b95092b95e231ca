// A fixture for the scene gathering steps: a clean host and platform (HostTest), an export
// state of its own over the standalone scene (never the process-wide one), and small helpers
// that name the nodes of a list and the boxes shown.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
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

class SceneFixture : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    options.Scale = 100;
    Restart();
  }
  void TearDown() override {
    s.Release();
    HostTest::TearDown();
  }
  // Resets the state with the current options (as an export's start does).
  void Restart() {
    s.Reset(options);
    s.host = GetCOREInterface();
    s.firstFrame = 0;
    s.lastFrame = 0;
  }

  static std::vector<std::string> Names(const NodeList& list) {
    std::vector<std::string> names;
    for (const NodeEntry& e : list.Entries()) names.emplace_back(e.node->GetName());
    return names;
  }
  static std::vector<std::string> BoxTexts() {
    std::vector<std::string> texts;
    for (const MessageBoxRecord& r : MessageBoxRecords()) texts.push_back(r.text);
    return texts;
  }

  ExportOptions options;
  ExportState s;
};

inline bool Near(const Point3& a, const Point3& b, float eps = 1e-4f) {
  return std::fabs(a.x - b.x) <= eps && std::fabs(a.y - b.y) <= eps && std::fabs(a.z - b.z) <= eps;
}

// A mesh with texture coordinates and a textured material: what the gathering walk accepts.
inline INode* TexturedMesh(const std::string& name, INode* parent = nullptr, const Mesh& mesh = build::Triangle()) {
  INode* node = build::MeshNode(name, mesh, parent);
  node->SetMtl(build::Material("M_" + name, "tex.tga"));
  return node;
}

}  // namespace tz2
