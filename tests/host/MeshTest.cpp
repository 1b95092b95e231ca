// Mesh sizing with and without keeping the contents, normals and the kept bounding box.
#include <gtest/gtest.h>

#include "host/Mesh.h"
#include "platform/WinTypes.h"

namespace {

TEST(MeshTest, SizingWithoutKeepDiscardsTheOldElements) {
  Mesh m;
  m.setNumVerts(2);
  m.setVert(0, Point3(1, 2, 3));
  m.setNumVerts(3);  // keeps
  EXPECT_EQ(m.getVert(0), Point3(1, 2, 3));
  m.setNumVerts(3, FALSE);
  EXPECT_EQ(m.getVert(0), Point3());
  m.setNumFaces(1, FALSE);
  m.setMapSupport(2);
  m.setNumMapVerts(2, 1, FALSE);
  m.setMapVert(2, 0, UVVert(0.5f, 0.25f, 0));
  m.setNumMapVerts(2, 2, TRUE);
  EXPECT_EQ(m.mapVerts(2)[0], UVVert(0.5f, 0.25f, 0));
  m.setNumMapVerts(2, 2, FALSE);
  EXPECT_EQ(m.mapVerts(2)[0], UVVert());
}

TEST(MeshTest, NormalsAndBoundingBox) {
  Mesh m;
  m.setNumVerts(2, FALSE);
  m.setVert(0, Point3(-1, 0, 5));
  m.setVert(1, Point3(3, 2, -1));
  m.setNormal(1, Point3(0, 0, 1));
  EXPECT_EQ(m.getNormal(1), Point3(0, 0, 1));
  EXPECT_EQ(m.getNormal(0), Point3());
  EXPECT_EQ(m.getNormal(7), Point3());
  m.buildBoundingBox();
  EXPECT_EQ(m.getBoundingBoxMin(), Point3(-1, 0, -1));
  EXPECT_EQ(m.getBoundingBoxMax(), Point3(3, 2, 5));
}

}  // namespace
