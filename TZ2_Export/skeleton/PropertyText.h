// PropertyText: the per-node export settings kept in a node's user-defined property text,
// shared by the exporter and the object properties tool.
//
// The text is reached only through INode's four property operations; a key is looked up
// letter for letter, so each reader asks for its fixed list of key forms in order and takes
// the value of the first form found. Values are read as decimal integers (the ParentBone
// value as a whole name compared without regard to ASCII letter case). Nothing here keeps
// state: warnings and their once-per-export flags belong to the callers.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

class INode;

namespace tz2 {

// The key forms each reader asks for, in the order it asks.
using KeyForms = std::initializer_list<const char*>;
inline constexpr KeyForms kParentBoneExporterForms = {"ParentBone", "PARENTBONE", "parentbone"};
inline constexpr KeyForms kParentBoneToolForms = {"ParentBone", "parentbone", "PARENTBONE"};
inline constexpr KeyForms kBoneImportanceExporterForms = {"BoneImportance"};
inline constexpr KeyForms kBoneImportanceToolForms = {"BoneImportance", "boneimportance", "BONEIMPORTANCE"};
inline constexpr KeyForms kMeshImportanceToolForms = {"MeshImportance", "meshimportance", "MESHIMPORTANCE"};
inline constexpr KeyForms kMaterialImportanceToolForms = {"MaterialImportance", "materialimportance",
                                                           "MATERIALIMPORTANCE"};

// Asks the node for each form in order (GetUserPropString); true with the value of the first
// form found, false (value emptied) when none is.
bool FindUserProp(INode* node, KeyForms forms, std::string& value);

// The integer of a value text: leading white space skipped, one optional sign, then decimal
// digits up to the first other character; 0 without digits. A number beyond the 32-bit range
// is clamped to it.
std::int32_t IntegerOfValue(const char* text);
inline std::int32_t IntegerOfValue(const std::string& text) { return IntegerOfValue(text.c_str()); }

// Whole-name equality with A to Z folded to a to z; every other byte compares as it is.
bool NamesEqualIgnoringCase(const char* a, const char* b);

// Writes "BoneImportance" = value formatted with "%d".
void SetBoneImportance(INode* node, std::int32_t value);

// Blanks the first parent assignment of a property text: the first occurrence of
// "PARENTBONE", else of "ParentBone", else of "parentbone" (case-sensitive, anywhere), is
// overwritten with spaces from its start up to the first byte of value 32 or less (or the
// end). False, the text untouched, when none of the forms occurs.
bool BlankParentAssignment(std::string& text);
// Applies BlankParentAssignment to the node's whole text (GetUserPropBuffer) and stores the
// result (SetUserPropBuffer) when it changed something; returns whether it did.
bool RemoveParentAssignment(INode* node);

}  // namespace tz2
