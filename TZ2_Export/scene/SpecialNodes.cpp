// The special-node checks: each of the four singleton nodes (frame centre, camera port, zero
// port, camera rotation port) is looked up by its whole name in any case over the root and
// every node below it, each node before its children. A node takes part when it is not
// hidden (IsHidden) unless hidden nodes are exported, and is selected when only the
// selection is exported. The first one is recorded in ExportState::special; a second one,
// or a camera port whose object is not a camera, shows its message and fails the check.
#include <string>

#include "TZ2_Export/scene/NameRules.h"
#include "TZ2_Export/scene/NodeClassification.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "platform/Windows.h"

namespace tz2 {

namespace {

struct SpecialKind {
  const char* name;
  const char* conflictMessage;
};

const SpecialKind kKinds[4] = {
    {"tag_FrameCenter",
     "Найдено несколько объектов \"tag_FrameCenter\".\nПожалуйста удалите лишние, или используйте \"export selected\".\nПонял ?"},
    {"PORT_CAMERA",
     "Найдено несколько объектов \"PORT_CAMERA\".\nПожалуйста удалите лишние, или используйте \"export selected\".\nПонял ?"},
    {"PORT_ZERO",
     "Найдено несколько объектов \"PORT_ZERO\".\nПожалуйста удалите лишние, или используйте \"export selected\".\nПонял ?"},
    {"PORT_CAMERAROT",
     "Найдено несколько объектов \"PORT_CAMERAROT\".\nПожалуйста удалите лишние, или используйте \"export selected\".\nПонял ?"},
};

const char kNotACameraMessage[] = "Объект  \"PORT_CAMERA\" должен быть камерой. \nПонял ?";

INode*& SpecialSlot(SpecialNodes& special, int kind) {
  switch (kind) {
    case kFrameCenter: return special.frameCenter;
    case kCameraPort: return special.cameraPort;
    case kZeroPort: return special.zeroPort;
    default: return special.cameraRotationPort;
  }
}

bool TakesPart(INode* node, const char* name, const ExportOptions& options) {
  if (!EqualsAnyCase(node->GetName(), name)) return false;
  if (node->IsHidden(0, FALSE) && !options.ExportHidden) return false;
  if (!node->Selected() && options.ExportSelectedOnly) return false;
  return true;
}

bool IsCamera(INode* node) {
  Object* obj = node->GetObjectRef();
  return obj != nullptr && obj->SuperClassID() == CAMERA_CLASS_ID;
}

void ShowConflict(const char* text) { MessageBoxA(GetActiveWindow(), text, "Error !", MB_OK); }

// False after a message.
bool VisitSpecial(ExportState& s, int kind, INode* node) {
  const SpecialKind& k = kKinds[kind - 1];
  if (TakesPart(node, k.name, s.options)) {
    if (kind == kCameraPort && !IsCamera(node)) {
      ShowConflict(kNotACameraMessage);
      return false;
    }
    INode*& slot = SpecialSlot(s.special, kind);
    if (slot != nullptr) {
      ShowConflict(k.conflictMessage);
      return false;
    }
    slot = node;
  }
  for (int i = 0; i < node->NumberOfChildren(); ++i)
    if (INode* child = node->GetChildNode(i); child != nullptr && !VisitSpecial(s, kind, child)) return false;
  return true;
}

}  // namespace

bool CheckSpecialNode(ExportState& s, int kind) {
  if (kind < kFrameCenter || kind > kCameraRotationPort) return true;
  SpecialSlot(s.special, kind) = nullptr;
  INode* root = s.host != nullptr ? s.host->GetRootNode() : nullptr;
  return root == nullptr || VisitSpecial(s, kind, root);
}

}  // namespace tz2
