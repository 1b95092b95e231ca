// The base classes of every scene entity: Animatable (class identity, interfaces by ID) and
// the reference classes that objects, materials, modifiers and controllers derive from.
//
// GetInterface(ULONG) answers an interface pointer the caller hands back with
// ReleaseInterface and the same ID; GetInterface(Interface_ID) answers an interface that
// lives as long as its owner (no release). DeleteMe is how the owner of an entity destroys it.
#pragma once

#include "host/CStr.h"
#include "host/ClassID.h"
#include "host/FunctionPublishing.h"

// An interface reached through Animatable::GetInterface(Interface_ID).
class BaseInterface {
 public:
  virtual ~BaseInterface() = default;
  virtual Interface_ID GetID() = 0;
};

class Animatable {
 public:
  virtual ~Animatable() = default;
  Animatable() = default;
  Animatable(const Animatable&) = default;
  Animatable& operator=(const Animatable&) = default;

  virtual SClass_ID SuperClassID() = 0;
  virtual Class_ID ClassID() = 0;
  virtual void GetClassName(CStr& name) { name = "Object"; }
  // An interface by numeric ID; null when this entity has none of that kind.
  virtual void* GetInterface(ULONG /*id*/) { return nullptr; }
  virtual void ReleaseInterface(ULONG /*id*/, void* /*i*/) {}
  virtual BaseInterface* GetInterface(Interface_ID /*id*/) { return nullptr; }
  virtual void DeleteThis() { delete this; }
};

class ReferenceMaker : public Animatable {
 public:
  // Destroys the entity (for objects the caller owns, such as a converted copy).
  void DeleteMe() { DeleteThis(); }
};

class ReferenceTarget : public ReferenceMaker {};
