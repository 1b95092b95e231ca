// Scene builders for tests: small meshes, nodes of every object kind with transforms and
// keys, Physique skins, materials and Link Constraints, built in the current scene.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "host/INode.h"
#include "host/Mtl.h"
#include "host/Physique.h"

namespace build {

// A triangle (0,0,0) (10,0,0) (0,10,0) with texture coordinates and smoothing group 1.
Mesh Triangle();
// An axis-aligned box of 8 vertices and 12 faces centred on the origin, edge `size`, with
// one material ID per side pair (0, 1, 2).
Mesh Box(float size = 10.0f);

// Nodes in the current scene (parent null: top level); pos is the parent-relative position.
INode* Dummy(const std::string& name, INode* parent = nullptr, const Point3& pos = Point3());
INode* Point(const std::string& name, INode* parent = nullptr, const Point3& pos = Point3());
// An editable mesh node (converts to a new TriObject copy).
INode* MeshNode(const std::string& name, const Mesh& mesh, INode* parent = nullptr, const Point3& pos = Point3());
// A TriObject node (converts to itself).
INode* TriNode(const std::string& name, const Mesh& mesh, INode* parent = nullptr, const Point3& pos = Point3());
INode* Camera(const std::string& name, float fov, INode* parent = nullptr, const Point3& pos = Point3());
INode* Shape(const std::string& name, INode* parent = nullptr);

// Replaces a node's transform keys by position keys at frames (rotation identity, scale 1).
void PosKeys(INode* node, std::initializer_list<std::pair<int, Point3>> keys);
// Sets a node's constant transform.
void Place(INode* node, const Point3& pos, const Quat& rot = Quat(), const Point3& scale = Point3(1, 1, 1));

// Puts a Physique modifier on a mesh node: one entry per mesh vertex.
PhysiqueModifier* Skin(INode* meshNode, std::vector<SkinVertex> vertices);
SkinVertex Rigid(INode* bone);
SkinVertex Deformable(INode* bone);
SkinVertex Blended(std::initializer_list<std::pair<INode*, float>> bones);

// Gives a node a Link Constraint with targets (node or null for the world, frame).
LinkControl* Link(INode* node, std::initializer_list<std::pair<INode*, int>> targets);

// A standard material with an optional diffuse bitmap (slot 1).
StdMat* Material(const std::string& name, const std::string& bitmap = "");
MultiMtl* Multi(const std::string& name, std::initializer_list<Mtl*> subs);

// Sets the current scene from scene-file text; false (and the error) when it does not load.
bool LoadText(const std::string& json, std::string* error = nullptr);

}  // namespace build
