// Scene objects: what a node's object reference is. Geometric objects (the scene's editable
// meshes and triangle-mesh objects), cameras with an animated field of view, helpers (dummy
// boxes, points), shapes, objects of other classes, and derived objects that carry a
// modifier stack over a base object.
//
// Conversion: CanConvertToType(triObjectClassID) tells whether an object yields a triangle
// mesh; ConvertToType returns the object itself when it is of the class asked for, else a
// new object the caller owns and destroys with DeleteMe. A TriObject converts to itself; the
// scene's editable meshes and convertible objects of other classes convert to a new copy.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "host/Animatable.h"
#include "host/Box3.h"
#include "host/Color.h"
#include "host/Interval.h"
#include "host/Mesh.h"

class Object;
class Modifier;

// The result of evaluating a node's object pipeline.
class ObjectState {
 public:
  ObjectState() = default;
  explicit ObjectState(Object* o) : obj(o) {}
  Object* obj = nullptr;
};

class Object : public ReferenceTarget {
 public:
  virtual int CanConvertToType(Class_ID obtype) { return obtype == ClassID(); }
  // This object when it is of class obtype; a new object of that class (owned by the caller)
  // when it converts; null when it does not.
  virtual Object* ConvertToType(TimeValue t, Class_ID obtype);
  // The object at time t (objects without a pipeline answer themselves).
  virtual ObjectState Eval(TimeValue /*t*/) { return ObjectState(this); }
  // The object at the bottom of a modifier stack (itself for an object without one).
  virtual Object* FindBaseObject() { return this; }
  // A deep copy.
  virtual Object* CloneObject() const = 0;
  virtual bool IsShapeObject() { return false; }
};

// ---------------------------------------------------------------------------------------
// Geometry

class GeomObject : public Object {
 public:
  SClass_ID SuperClassID() override { return GEOMOBJECT_CLASS_ID; }
};

// The triangle-mesh object.
class TriObject : public GeomObject {
 public:
  Class_ID ClassID() override { return triObjectClassID; }
  void GetClassName(CStr& name) override { name = "TriObject"; }
  Object* CloneObject() const override { return new TriObject(*this); }
  Mesh& GetMesh() { return mesh; }
  Mesh mesh;
};

// A new, empty triangle-mesh object; the caller owns it until a node takes it.
TriObject* CreateNewTriObject();

// The scene's own editable mesh (what a scene file's "mesh" object is): converts to a new
// TriObject copy of its mesh.
class EditableMeshObject : public GeomObject {
 public:
  Class_ID ClassID() override { return EDITABLE_MESH_CLASS_ID; }
  void GetClassName(CStr& name) override { name = "Editable Mesh"; }
  int CanConvertToType(Class_ID obtype) override;
  Object* ConvertToType(TimeValue t, Class_ID obtype) override;
  Object* CloneObject() const override { return new EditableMeshObject(*this); }
  Mesh& GetMesh() { return mesh; }
  Mesh mesh;
};

// The mesh a geometric object holds (TriObject or EditableMeshObject); null for others.
Mesh* GetObjectMesh(Object* obj);

// ---------------------------------------------------------------------------------------
// Cameras

class CameraObject : public Object {
 public:
  SClass_ID SuperClassID() override { return CAMERA_CLASS_ID; }
  // Field of view in radians at t.
  virtual float GetFOV(TimeValue t, Interval* valid = nullptr) = 0;
  virtual void SetFOV(TimeValue t, float fov) = 0;
};

// The host's camera: a constant field of view or keys (linear, held outside the keys).
class GenCamera : public CameraObject {
 public:
  struct FovKey {
    TimeValue time = 0;
    float fov = 0.0f;
  };
  Class_ID ClassID() override { return CAMERA_OBJECT_CLASS_ID; }
  void GetClassName(CStr& name) override { name = "Camera"; }
  Object* CloneObject() const override { return new GenCamera(*this); }
  float GetFOV(TimeValue t, Interval* valid = nullptr) override;
  // Without keys sets the constant; with keys sets (or adds) the key at t.
  void SetFOV(TimeValue t, float fov) override;
  // Keys in time order (replaces any earlier keys); empty for a constant field of view.
  void SetFOVKeys(std::vector<FovKey> keys);
  const std::vector<FovKey>& FOVKeys() const { return keys_; }
  float ConstantFOV() const { return fov_; }

 private:
  float fov_ = 0.785398f;  // 45 degrees
  std::vector<FovKey> keys_;
};

// ---------------------------------------------------------------------------------------
// Helpers and shapes

class HelperObject : public Object {
 public:
  SClass_ID SuperClassID() override { return HELPER_CLASS_ID; }
};

// The dummy helper: a box with a colour, no geometry.
class DummyObject : public HelperObject {
 public:
  Class_ID ClassID() override { return dummyClassID; }
  void GetClassName(CStr& name) override { name = "Dummy"; }
  Object* CloneObject() const override { return new DummyObject(*this); }
  void SetBox(const Box3& b) { box_ = b; }
  Box3 GetBox() const { return box_; }
  void SetColor(const Point3& c) { color_ = c; }
  Point3 GetColor() const { return color_; }

 private:
  Box3 box_{Point3(-5, -5, -5), Point3(5, 5, 5)};
  Point3 color_{0.6f, 0.8f, 1.0f};
};

// A point helper: a position without geometry.
class PointHelpObject : public HelperObject {
 public:
  Class_ID ClassID() override { return POINT_HELPER_CLASS_ID; }
  void GetClassName(CStr& name) override { name = "Point"; }
  Object* CloneObject() const override { return new PointHelpObject(*this); }
};

// A spline shape; it does not convert to a triangle mesh.
class ShapeObject : public GeomObject {
 public:
  SClass_ID SuperClassID() override { return SHAPE_CLASS_ID; }
  Class_ID ClassID() override { return SHAPE_OBJECT_CLASS_ID; }
  void GetClassName(CStr& name) override { name = "Shape"; }
  Object* CloneObject() const override { return new ShapeObject(*this); }
  int CanConvertToType(Class_ID) override { return FALSE; }
  bool IsShapeObject() override { return true; }
};

// An object of any other class; a convertible one yields an empty triangle mesh copy.
class OtherObject : public Object {
 public:
  OtherObject(SClass_ID superClass, Class_ID classId, bool convertible = false)
      : superClass_(superClass), classId_(classId), convertible_(convertible) {}
  SClass_ID SuperClassID() override { return superClass_; }
  Class_ID ClassID() override { return classId_; }
  Object* CloneObject() const override { return new OtherObject(*this); }
  int CanConvertToType(Class_ID obtype) override;
  Object* ConvertToType(TimeValue t, Class_ID obtype) override;
  bool Convertible() const { return convertible_; }

 private:
  SClass_ID superClass_;
  Class_ID classId_;
  bool convertible_;
};

// ---------------------------------------------------------------------------------------
// Modifiers and derived objects

class Modifier : public ReferenceTarget {
 public:
  SClass_ID SuperClassID() override { return OSM_CLASS_ID; }
  virtual Modifier* CloneModifier() const = 0;
};

// A modifier of another class; it changes nothing.
class OtherModifier : public Modifier {
 public:
  explicit OtherModifier(Class_ID classId) : classId_(classId) {}
  Class_ID ClassID() override { return classId_; }
  Modifier* CloneModifier() const override { return new OtherModifier(*this); }

 private:
  Class_ID classId_;
};

// An object reference with a modifier stack over a base object. GetModifier(0) is the top
// of the stack (the last applied), as the host numbers it. Owns its base object and its
// modifiers.
class IDerivedObject : public Object {
 public:
  explicit IDerivedObject(Object* base = nullptr) : base_(base) {}
  ~IDerivedObject() override;
  IDerivedObject(const IDerivedObject&) = delete;
  IDerivedObject& operator=(const IDerivedObject&) = delete;

  SClass_ID SuperClassID() override { return GEN_DERIVOB_CLASS_ID; }
  Class_ID ClassID() override { return DERIVOB_CLASS_ID; }
  void GetClassName(CStr& name) override { name = "Derived Object"; }
  Object* CloneObject() const override;
  int CanConvertToType(Class_ID obtype) override;
  Object* ConvertToType(TimeValue t, Class_ID obtype) override;
  Object* FindBaseObject() override;
  ObjectState Eval(TimeValue t) override;

  int NumModifiers() const { return static_cast<int>(mods_.size()); }
  // Modifier i from the top; null out of range.
  Modifier* GetModifier(int i) const;
  // Puts a modifier on top of the stack (the derived object owns it).
  void AddModifier(Modifier* mod);
  Object* GetObjRef() const { return base_; }
  // Replaces the base object (the old one is destroyed).
  void ReferenceObject(Object* base);

 private:
  Object* base_ = nullptr;
  std::vector<Modifier*> mods_;  // bottom first
};

// The derived object of obj, or null.
inline IDerivedObject* AsDerivedObject(Object* obj) {
  return obj != nullptr && obj->SuperClassID() == GEN_DERIVOB_CLASS_ID ? static_cast<IDerivedObject*>(obj) : nullptr;
}
