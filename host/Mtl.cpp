// Materials and texture maps: slots, copies, and the creation calls (into the current scene).
#include "host/Mtl.h"

#include "host/standalone/Scene.h"

Texmap* MtlBase::GetSubTexmap(int i) {
  return i >= 0 && i < static_cast<int>(maps_.size()) ? maps_[static_cast<size_t>(i)] : nullptr;
}

void MtlBase::SetSubTexmap(int i, Texmap* m) {
  if (i < 0) return;
  if (static_cast<int>(maps_.size()) <= i) maps_.resize(static_cast<size_t>(i) + 1, nullptr);
  maps_[static_cast<size_t>(i)] = m;
}

StdMat::StdMat() { maps_.resize(STD_NUM_SUBTEXMAPS, nullptr); }

Mtl* StdMat::CloneMtl() const { return TheScene().AdoptMaterial(new StdMat(*this)); }

float StdMat::GetXParency(int, BOOL) { return 1.0f - opacity_; }

Mtl* MultiMtl::CloneMtl() const { return TheScene().AdoptMaterial(new MultiMtl(*this)); }

Mtl* MultiMtl::GetSubMtl(int i) {
  return i >= 0 && i < NumSubMtls() ? subs_[static_cast<size_t>(i)] : nullptr;
}

void MultiMtl::SetSubMtl(int i, Mtl* m) {
  if (i >= 0 && i < NumSubMtls()) subs_[static_cast<size_t>(i)] = m;
}

void MultiMtl::SetNumSubMtls(int n) { subs_.resize(n > 0 ? static_cast<size_t>(n) : 0, nullptr); }

Mtl* OtherMtl::CloneMtl() const { return TheScene().AdoptMaterial(new OtherMtl(*this)); }

Mtl* OtherMtl::GetSubMtl(int i) {
  return i >= 0 && i < NumSubMtls() ? subs_[static_cast<size_t>(i)] : nullptr;
}

void OtherMtl::SetSubMtl(int i, Mtl* m) {
  if (i < 0) return;
  if (static_cast<int>(subs_.size()) <= i) subs_.resize(static_cast<size_t>(i) + 1, nullptr);
  subs_[static_cast<size_t>(i)] = m;
}

Texmap* BitmapTex::CloneTexmap() const { return TheScene().AdoptTexmap(new BitmapTex(*this)); }

Texmap* OtherTexmap::CloneTexmap() const { return TheScene().AdoptTexmap(new OtherTexmap(*this)); }

StdMat* NewDefaultStdMat() { return TheScene().AdoptMaterial(new StdMat()); }

MultiMtl* NewDefaultMultiMtl() { return TheScene().AdoptMaterial(new MultiMtl()); }

BitmapTex* NewDefaultBitmapTex() { return TheScene().AdoptTexmap(new BitmapTex()); }
