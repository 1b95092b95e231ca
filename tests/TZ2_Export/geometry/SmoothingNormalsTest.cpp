// SmoothingNormals: entries merged by shared smoothing bits, flat faces without groups,
// separate groups kept apart.
#include <gtest/gtest.h>

#include <vector>

#include "TZ2_Export/geometry/SmoothingNormals.h"

namespace {

// A fan of three faces around vertex 0, each tilted differently, with the given groups.
Mesh Fan(DWORD g0, DWORD g1, DWORD g2) {
  Mesh mesh;
  mesh.verts = {Point3(0, 0, 0), Point3(2, 0, 0.5f), Point3(0, 2, 0), Point3(-2, 0, 1), Point3(0, -2, -1)};
  mesh.setNumFaces(3);
  mesh.faces[0].setVerts(0, 1, 2);
  mesh.faces[1].setVerts(0, 2, 3);
  mesh.faces[2].setVerts(0, 3, 4);
  mesh.faces[0].setSmGroup(g0);
  mesh.faces[1].setSmGroup(g1);
  mesh.faces[2].setSmGroup(g2);
  return mesh;
}

Point3 NormalOf(const Mesh& mesh, int f) {
  const Face& face = mesh.faces[static_cast<size_t>(f)];
  const Point3 p0 = mesh.verts[face.v[0]], p1 = mesh.verts[face.v[1]], p2 = mesh.verts[face.v[2]];
  return ((p1 - p0) ^ (p2 - p1)).Normalize();
}

void ExpectPoint(const Point3& a, const Point3& b) {
  EXPECT_NEAR(a.x, b.x, 1e-6f);
  EXPECT_NEAR(a.y, b.y, 1e-6f);
  EXPECT_NEAR(a.z, b.z, 1e-6f);
}

int EntryCount(const NormalEntry& first) {
  int n = 0;
  for (const NormalEntry* e = &first; e; e = e->next) ++n;
  return n;
}

TEST(SmoothingNormals, GroupsJoinedByAFaceInBothShareOneEntry) {
  // Groups 1, 3, 2 in either face order: the face in groups 1 and 2 joins the others.
  const DWORD orders[][3] = {{1, 3, 2}, {1, 2, 3}, {2, 1, 3}};
  for (const auto& g : orders) {
    const Mesh mesh = Fan(g[0], g[1], g[2]);
    SmoothingNormals normals;
    normals.Build(mesh);
    const Point3 sum = (NormalOf(mesh, 0) + NormalOf(mesh, 1) + NormalOf(mesh, 2)).Normalize();
    const NormalEntry& centre = normals.Entries(0);
    EXPECT_EQ(EntryCount(centre), 1);
    EXPECT_EQ(centre.mask, 3u);
    for (int f = 0; f < 3; ++f) ExpectPoint(normals.GetVertexNormal(0, g[f], f), sum);
    // An outer vertex used by one face only has that face's normal.
    ExpectPoint(normals.GetVertexNormal(1, g[0], 0), NormalOf(mesh, 0));
  }
}

TEST(SmoothingNormals, FacesWithoutGroupStayFlatAndDisjointGroupsStayApart) {
  const Mesh flat = Fan(0, 0, 0);
  SmoothingNormals normals;
  normals.Build(flat);
  EXPECT_EQ(EntryCount(normals.Entries(0)), 3);  // one entry each
  for (int f = 0; f < 3; ++f) {
    ExpectPoint(normals.GetVertexNormal(0, 0, f), NormalOf(flat, f));
    EXPECT_EQ(normals.GetFaceNormal(f), NormalOf(flat, f));
  }

  const Mesh split = Fan(1, 4, 1);
  normals.Build(split);  // rebuilding replaces the first mesh's lists
  EXPECT_EQ(normals.NumFaces(), 3);
  EXPECT_EQ(EntryCount(normals.Entries(0)), 2);
  const Point3 smooth = (NormalOf(split, 0) + NormalOf(split, 2)).Normalize();
  ExpectPoint(normals.GetVertexNormal(0, 1, 0), smooth);
  ExpectPoint(normals.GetVertexNormal(0, 1, 2), smooth);
  ExpectPoint(normals.GetVertexNormal(0, 4, 1), NormalOf(split, 1));
  // A group no entry of the vertex has falls back to the face's own normal.
  ExpectPoint(normals.GetVertexNormal(0, 8, 1), NormalOf(split, 1));
}

TEST(SmoothingNormals, AddNormalTargetsTheFirstSharingEntryOrAppends) {
  NormalEntry first;
  const Point3 a(1, 0, 0), b(0, 1, 0), c(0, 0, 1);
  AddNormal(first, a, 0);  // not initialised yet: taken even for group 0
  EXPECT_TRUE(first.initialised);
  EXPECT_EQ(first.mask, 0u);
  AddNormal(first, b, 2);  // no sharing entry: appended
  AddNormal(first, c, 6);  // shares bit 2 with the second entry
  ASSERT_NE(first.next, nullptr);
  EXPECT_EQ(first.normal, a);
  EXPECT_EQ(first.next->mask, 6u);
  EXPECT_EQ(first.next->normal, b + c);
  EXPECT_EQ(first.next->next, nullptr);
  // The appended entry is owned by the list; an owner of a bare list frees it.
  delete first.next;
}

TEST(SmoothingNormals, FaceWithACornerOutsideTheMeshIsSkipped) {
  Mesh mesh = Fan(1, 1, 1);
  mesh.faces[1].setVerts(0, 2, 99);
  SmoothingNormals normals;
  normals.Build(mesh);
  EXPECT_EQ(normals.GetFaceNormal(1), Point3());
  const Point3 smooth = (NormalOf(mesh, 0) + NormalOf(mesh, 2)).Normalize();
  ExpectPoint(normals.GetVertexNormal(0, 1, 0), smooth);
  EXPECT_EQ(normals.GetVertexNormal(99, 1, 7), Point3());
  normals.Destroy();
  EXPECT_EQ(normals.NumVertices(), 0);
}

}  // namespace
