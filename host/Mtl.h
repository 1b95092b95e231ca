// Materials and texture maps. A material has a name, sub-materials (the Multi/Sub-Object
// material's slots) and sub-texmap slots; the standard material adds its shading values, the
// bitmap texture its file name and filtering. Every material and map is owned by the scene
// (the New* calls and Clone add it there), so plug-ins never delete one.
#pragma once

#include <string>
#include <vector>

#include "host/Animatable.h"
#include "host/Color.h"
#include "host/Interval.h"

class Texmap;

// Material flags.
inline constexpr ULONG MTL_TEX_DISPLAY_ENABLED = 1u << 17;  // shows the active map in the viewports

// Standard material sub-texmap slots.
inline constexpr int ID_AM = 0;  // ambient
inline constexpr int ID_DI = 1;  // diffuse
inline constexpr int ID_SP = 2;  // specular
inline constexpr int ID_SH = 3;  // shininess
inline constexpr int ID_SS = 4;  // shininess strength
inline constexpr int ID_SI = 5;  // self-illumination
inline constexpr int ID_OP = 6;  // opacity
inline constexpr int ID_FI = 7;  // filter colour
inline constexpr int ID_BU = 8;  // bump
inline constexpr int ID_RL = 9;  // reflection
inline constexpr int ID_RR = 10; // refraction
inline constexpr int STD_NUM_SUBTEXMAPS = 12;

// What materials and maps share: a name and sub-texmap slots.
class MtlBase : public ReferenceTarget {
 public:
  const CStr& GetName() const { return name_; }
  void SetName(const CStr& name) { name_ = name; }
  virtual int NumSubTexmaps() { return static_cast<int>(maps_.size()); }
  // Null for an empty or missing slot.
  virtual Texmap* GetSubTexmap(int i);
  // Sets slot i (the slots grow to hold it).
  virtual void SetSubTexmap(int i, Texmap* m);
  void SetMtlFlag(ULONG mask, BOOL val = TRUE) { flags_ = val ? (flags_ | mask) : (flags_ & ~mask); }
  void ClearMtlFlag(ULONG mask) { flags_ &= ~mask; }
  BOOL TestMtlFlag(ULONG mask) const { return (flags_ & mask) != 0 ? TRUE : FALSE; }
  ULONG MtlFlags() const { return flags_; }

 protected:
  CStr name_;
  std::vector<Texmap*> maps_;
  ULONG flags_ = 0;
};

class Mtl : public MtlBase {
 public:
  SClass_ID SuperClassID() override { return MATERIAL_CLASS_ID; }
  virtual int NumSubMtls() { return 0; }
  virtual Mtl* GetSubMtl(int /*i*/) { return nullptr; }
  virtual void SetSubMtl(int /*i*/, Mtl* /*m*/) {}
  // Transparency (1 − opacity) at time 0.
  virtual float GetXParency(int /*mtlNum*/ = 0, BOOL /*backFace*/ = FALSE) { return 0.0f; }
  // The map shown in the viewports; null when none.
  void SetActiveTexmap(Texmap* m) { active_ = m; }
  Texmap* GetActiveTexmap() const { return active_; }
  // A copy of this material, added to the scene (sub-materials and maps are shared).
  virtual Mtl* CloneMtl() const = 0;
  Mtl* Clone() const { return CloneMtl(); }

 private:
  Texmap* active_ = nullptr;
};

class StdMat : public Mtl {
 public:
  StdMat();
  Class_ID ClassID() override { return STANDARD_MATERIAL_CLASS_ID; }
  void GetClassName(CStr& name) override { name = "Standard"; }
  Mtl* CloneMtl() const override;
  float GetXParency(int mtlNum = 0, BOOL backFace = FALSE) override;

  void SetTwoSided(BOOL on) { twoSided_ = on != FALSE; }
  BOOL GetTwoSided() const { return twoSided_ ? TRUE : FALSE; }
  void SetAmbient(const Color& c, TimeValue /*t*/) { ambient_ = c; }
  void SetDiffuse(const Color& c, TimeValue /*t*/) { diffuse_ = c; }
  void SetSpecular(const Color& c, TimeValue /*t*/) { specular_ = c; }
  void SetShininess(float v, TimeValue /*t*/) { shininess_ = v; }
  void SetShinStr(float v, TimeValue /*t*/) { shinStr_ = v; }
  void SetOpacity(float v, TimeValue /*t*/) { opacity_ = v; }
  Color GetAmbient(TimeValue /*t*/ = 0) const { return ambient_; }
  Color GetDiffuse(TimeValue /*t*/ = 0) const { return diffuse_; }
  Color GetSpecular(TimeValue /*t*/ = 0) const { return specular_; }
  float GetShininess(TimeValue /*t*/ = 0) const { return shininess_; }
  float GetShinStr(TimeValue /*t*/ = 0) const { return shinStr_; }
  float GetOpacity(TimeValue /*t*/ = 0) const { return opacity_; }
  // Turns the viewport display of the map in a slot on or off (the active map).
  void EnableMap(int /*i*/, BOOL /*onoff*/) {}

 private:
  bool twoSided_ = false;
  Color ambient_{0.588f, 0.588f, 0.588f};
  Color diffuse_{0.588f, 0.588f, 0.588f};
  Color specular_{0.9f, 0.9f, 0.9f};
  float shininess_ = 0.1f;
  float shinStr_ = 0.0f;
  float opacity_ = 1.0f;
};
using StdMat2 = StdMat;

// The Multi/Sub-Object material.
class MultiMtl : public Mtl {
 public:
  Class_ID ClassID() override { return MULTI_MATERIAL_CLASS_ID; }
  void GetClassName(CStr& name) override { name = "Multi/Sub-Object"; }
  Mtl* CloneMtl() const override;
  int NumSubMtls() override { return static_cast<int>(subs_.size()); }
  Mtl* GetSubMtl(int i) override;
  void SetSubMtl(int i, Mtl* m) override;
  void SetNumSubMtls(int n);

 private:
  std::vector<Mtl*> subs_;
};

// A material of another class: a class ID, a name, sub-materials and maps.
class OtherMtl : public Mtl {
 public:
  explicit OtherMtl(Class_ID classId) : classId_(classId) {}
  Class_ID ClassID() override { return classId_; }
  Mtl* CloneMtl() const override;
  int NumSubMtls() override { return static_cast<int>(subs_.size()); }
  Mtl* GetSubMtl(int i) override;
  void SetSubMtl(int i, Mtl* m) override;

 private:
  Class_ID classId_;
  std::vector<Mtl*> subs_;
};

class Texmap : public MtlBase {
 public:
  SClass_ID SuperClassID() override { return TEXMAP_CLASS_ID; }
  virtual Texmap* CloneTexmap() const = 0;
};

// Alpha sources and filter types of the bitmap texture.
inline constexpr int ALPHA_FILE = 0;
inline constexpr int ALPHA_RGB = 2;
inline constexpr int ALPHA_NONE = 3;
inline constexpr int FILTER_PYR = 0;
inline constexpr int FILTER_SAT = 1;
inline constexpr int FILTER_NADA = 2;

class BitmapTex : public Texmap {
 public:
  Class_ID ClassID() override { return BITMAP_TEXMAP_CLASS_ID; }
  void GetClassName(CStr& name) override { name = "Bitmap"; }
  Texmap* CloneTexmap() const override;
  void SetMapName(const char* name) { file_ = name != nullptr ? name : ""; }
  const char* GetMapName() const { return file_.data(); }
  void SetAlphaSource(int s) { alphaSource_ = s; }
  int GetAlphaSource() const { return alphaSource_; }
  void SetAlphaAsMono(BOOL on) { alphaAsMono_ = on != FALSE; }
  BOOL GetAlphaAsMono(BOOL /*init*/ = FALSE) const { return alphaAsMono_ ? TRUE : FALSE; }
  void SetFilterType(int f) { filter_ = f; }
  int GetFilterType() const { return filter_; }

 private:
  CStr file_;
  int alphaSource_ = ALPHA_FILE;
  bool alphaAsMono_ = false;
  int filter_ = FILTER_PYR;
};

// A texture map of another class.
class OtherTexmap : public Texmap {
 public:
  explicit OtherTexmap(Class_ID classId = Class_ID(0x7F000001, 0)) : classId_(classId) {}
  Class_ID ClassID() override { return classId_; }
  Texmap* CloneTexmap() const override;

 private:
  Class_ID classId_;
};

// New materials and maps, owned by the current scene.
StdMat* NewDefaultStdMat();
MultiMtl* NewDefaultMultiMtl();
BitmapTex* NewDefaultBitmapTex();
