// Class and super class identifiers: every scene object, material, modifier, controller and
// plug-in class is known by its super class (SClass_ID) and a two-part class ID (Class_ID).
// This file also lists the identifiers of the classes built into the host.
#pragma once

#include "platform/WinTypes.h"

using SClass_ID = ULONG;

class Class_ID {
 public:
  constexpr Class_ID() = default;
  constexpr Class_ID(ULONG a, ULONG b) : a_(a), b_(b) {}
  constexpr ULONG PartA() const { return a_; }
  constexpr ULONG PartB() const { return b_; }
  void SetPartA(ULONG a) { a_ = a; }
  void SetPartB(ULONG b) { b_ = b; }
  constexpr bool operator==(const Class_ID& o) const { return a_ == o.a_ && b_ == o.b_; }
  constexpr bool operator!=(const Class_ID& o) const { return !(*this == o); }
  constexpr bool operator<(const Class_ID& o) const { return a_ < o.a_ || (a_ == o.a_ && b_ < o.b_); }

 private:
  ULONG a_ = 0xFFFFFFFF;
  ULONG b_ = 0xFFFFFFFF;
};

// Super classes of scene objects and their parts.
inline constexpr SClass_ID GEN_DERIVOB_CLASS_ID = 0x0002;  // an object with a modifier stack
inline constexpr SClass_ID GEOMOBJECT_CLASS_ID = 0x0010;
inline constexpr SClass_ID CAMERA_CLASS_ID = 0x0020;
inline constexpr SClass_ID LIGHT_CLASS_ID = 0x0030;
inline constexpr SClass_ID SHAPE_CLASS_ID = 0x0040;
inline constexpr SClass_ID HELPER_CLASS_ID = 0x0050;
inline constexpr SClass_ID OSM_CLASS_ID = 0x0810;  // object-space modifier
inline constexpr SClass_ID CTRL_MATRIX3_CLASS_ID = 0x9008;
inline constexpr SClass_ID MATERIAL_CLASS_ID = 0x0C00;
inline constexpr SClass_ID TEXMAP_CLASS_ID = 0x0C10;

// Classes built into the host.
inline constexpr ULONG TRIOBJ_CLASS_ID = 0x0009;
inline constexpr Class_ID triObjectClassID{TRIOBJ_CLASS_ID, 0};
inline constexpr Class_ID DERIVOB_CLASS_ID{0x0002, 0};
inline constexpr Class_ID EDITABLE_MESH_CLASS_ID{0x4D455348, 0x53434E45};  // the scene's own meshes
inline constexpr Class_ID CAMERA_OBJECT_CLASS_ID{0x1001, 0};
inline constexpr ULONG DUMMY_CLASS_ID = 0x876234;
inline constexpr Class_ID dummyClassID{DUMMY_CLASS_ID, 0};
inline constexpr Class_ID POINT_HELPER_CLASS_ID{0x2013, 0};
inline constexpr Class_ID SHAPE_OBJECT_CLASS_ID{0x0A, 0};
inline constexpr Class_ID PHYSIQUE_CLASS_ID{0x00100, 0x00000};
inline constexpr Class_ID PRS_CONTROL_CLASS_ID{0x2005, 0};
inline constexpr Class_ID LINKCTRL_CLASS_ID{0x873fe764, 0xaabe8601};
inline constexpr ULONG DMTL_CLASS_ID = 0x0002;
inline constexpr Class_ID STANDARD_MATERIAL_CLASS_ID{DMTL_CLASS_ID, 0};
inline constexpr ULONG MULTI_CLASS_ID = 0x0200;
inline constexpr Class_ID MULTI_MATERIAL_CLASS_ID{MULTI_CLASS_ID, 0};
inline constexpr ULONG BMTEX_CLASS_ID = 0x0240;
inline constexpr Class_ID BITMAP_TEXMAP_CLASS_ID{BMTEX_CLASS_ID, 0};
