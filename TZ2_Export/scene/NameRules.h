// Name rules: what a node is, told by its name. Every test here works on the 8-bit name the
// host holds. "Any case" compares the name's ASCII letters after conversion to upper case
// with an upper-case literal; "exact" compares byte for byte. A prefix matches at the start
// of the name only. A null name matches nothing.
#pragma once

namespace tz2 {

// Whether `name` starts with `upperPrefix` ignoring ASCII letter case (the literal is upper
// case).
bool StartsWithAnyCase(const char* name, const char* upperPrefix);
// Whether `name` starts with `prefix` byte for byte.
bool StartsWithExact(const char* name, const char* prefix);
// Whether the whole name equals `literal` ignoring ASCII letter case.
bool EqualsAnyCase(const char* name, const char* literal);

// "TAG_DETAIL" in any case: the detail mesh.
bool IsDetailMeshName(const char* name);
// A tag ("tag_" exact case) that is never gathered as geometry; the detail mesh is not one.
bool IsSkippedTagName(const char* name);
// "HIT_", "hit_" or "Hit_": a hit mesh for the gathering walk.
bool IsHitMeshName(const char* name);
// "CL_", "cl_" or "Cl_": a collision box for the gathering walk (while animation is exported).
bool IsCollisionBoxName(const char* name);
// "CL_" in any case: a node that triggers the collision question.
bool IsCollisionSearchName(const char* name);
// "GR_" or "GRH_" in any case: a group.
bool IsGroupName(const char* name);
// "HIT_" in any case: the bone walk's hit rule.
bool IsAnyCaseHitName(const char* name);
// "PORT_" in any case: a port.
bool IsPortName(const char* name);
// "NOEXPORT_" in any case: a mesh without surfaces.
bool IsNoExportName(const char* name);

}  // namespace tz2
