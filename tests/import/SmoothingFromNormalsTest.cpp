// Smoothing groups from corner normals: flat boxes, smooth strips, separated neighbours.
#include "import/SmoothingFromNormals.h"

#include <gtest/gtest.h>

namespace {

// Two triangles sharing the edge 1-2 of a unit square (0,1,2) (2,1,3).
Mesh Square() {
  Mesh m;
  m.verts = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
  m.faces.resize(2);
  m.faces[0].setVerts(0, 1, 2);
  m.faces[1].setVerts(2, 1, 3);
  return m;
}

TEST(SmoothingFromNormals, AgreeingNormalsAcrossTheEdgeShareAGroup) {
  Mesh m = Square();
  const Point3 up(0, 0, 1);
  tz2import::AssignSmoothingGroups(m, std::vector<Point3>(6, up));
  EXPECT_NE(m.faces[0].smGroup, 0u);
  EXPECT_EQ(m.faces[0].smGroup, m.faces[1].smGroup);
}

TEST(SmoothingFromNormals, DisagreeingNormalsGiveGroupZero) {
  Mesh m = Square();
  std::vector<Point3> n(6, Point3(0, 0, 1));
  n[4] = Point3(0, 1, 0);  // face 1's corner at vertex 1 differs from face 0's
  tz2import::AssignSmoothingGroups(m, n);
  EXPECT_EQ(m.faces[0].smGroup, 0u);
  EXPECT_EQ(m.faces[1].smGroup, 0u);
}

TEST(SmoothingFromNormals, TouchingComponentsGetDifferentBits) {
  // Two squares side by side sharing vertices 1 and 3, each smooth inside, a crease between.
  Mesh m = Square();
  m.verts.push_back({2, 0, 0});
  m.verts.push_back({2, 1, 0});
  m.faces.resize(4);
  m.faces[2].setVerts(1, 4, 3);
  m.faces[3].setVerts(3, 4, 5);
  std::vector<Point3> n(12, Point3(0, 0, 1));
  for (int i = 6; i < 12; ++i) n[static_cast<size_t>(i)] = Point3(0, 0.6f, 0.8f);
  tz2import::AssignSmoothingGroups(m, n);
  EXPECT_EQ(m.faces[0].smGroup, m.faces[1].smGroup);
  EXPECT_EQ(m.faces[2].smGroup, m.faces[3].smGroup);
  EXPECT_NE(m.faces[0].smGroup, 0u);
  EXPECT_NE(m.faces[2].smGroup, 0u);
  EXPECT_EQ(m.faces[0].smGroup & m.faces[2].smGroup, 0u);
}

}  // namespace
