// The core interface over the current scene, and the assertion report.
#include "host/Interface.h"

#include <cstdio>
#include <cstring>
#include <functional>

#include "host/Control.h"
#include "host/Hold.h"
#include "host/INode.h"
#include "host/Mtl.h"
#include "host/Object.h"
#include "host/Physique.h"
#include "host/Time.h"
#include "host/standalone/PluginRegistry.h"
#include "host/standalone/Scene.h"
#include "platform/Debug.h"
#include "platform/Desktop.h"
#include "platform/MessageBox.h"

namespace {

std::vector<AssertionRecord>& Assertions() {
  static std::vector<AssertionRecord> records;
  return records;
}

std::wstring PropName(const PROPSPEC* spec) {
  if (spec == nullptr || spec->ulKind != PRSPEC_LPWSTR || spec->lpwstr == nullptr) return {};
  return spec->lpwstr;
}

INode* FindByName(INode* node, const char* name) {
  for (INode* child : node->Children()) {
    if (std::strcmp(child->GetName(), name) == 0) return child;
    if (INode* found = FindByName(child, name)) return found;
  }
  return nullptr;
}

LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

Interface* GetCOREInterface() {
  static Interface core;
  return &core;
}

INode* Interface::GetRootNode() { return TheScene().GetRootNode(); }

INode* Interface::GetINodeByName(const char* name) {
  if (name == nullptr) return nullptr;
  return FindByName(TheScene().GetRootNode(), name);
}

int Interface::GetSelNodeCount() { return static_cast<int>(TheScene().Selection().size()); }

INode* Interface::GetSelNode(int i) {
  const auto& sel = TheScene().Selection();
  return i >= 0 && i < static_cast<int>(sel.size()) ? sel[static_cast<size_t>(i)] : nullptr;
}

void Interface::SelectNode(INode* node, int clearSel) { TheScene().Select(node, clearSel != 0); }

void Interface::DeSelectNode(INode* node) { TheScene().Deselect(node); }

void Interface::ClearNodeSelection(BOOL /*redraw*/) { TheScene().ClearSelection(); }

TimeValue Interface::GetTime() { return TheScene().CurrentTime(); }

void Interface::SetTime(TimeValue t, BOOL /*redraw*/) { TheScene().SetCurrentTime(t); }

Interval Interface::GetAnimRange() { return TheScene().AnimRange(); }

void Interface::SetAnimRange(Interval range) {
  const int tpf = TicksPerFrameAt(TheScene().FrameRate());
  TheScene().SetAnimRangeFrames(range.Start() / tpf, range.End() / tpf);
}

void Interface::Emit(ProgressEvent e) {
  progress_.push_back(e);
  if (sink_) sink_(progress_.back());
}

BOOL Interface::ProgressStart(const char* title, BOOL dispBar, LPTHREAD_START_ROUTINE fn, LPVOID arg) {
  progressActive_ = true;
  cancel_ = FALSE;
  Emit({ProgressEvent::Start, title != nullptr ? title : "", 0, dispBar != FALSE});
  if (fn != nullptr) fn(arg);
  return TRUE;
}

void Interface::ProgressUpdate(int pct, BOOL showPct, const char* title) {
  if (!progressActive_) return;
  Emit({ProgressEvent::Update, title != nullptr ? title : "", pct, showPct != FALSE});
}

void Interface::ProgressEnd() {
  if (!progressActive_) return;
  progressActive_ = false;
  Emit({ProgressEvent::End, "", 100, false});
}

BOOL Interface::GetCancel() { return cancel_; }

void Interface::SetCancel(BOOL sw) { cancel_ = sw; }

HWND Interface::CommandPanel() {
  if (panel_ == nullptr || !IsWindow(panel_)) panel_ = CreateDesktopWindow("CommandPanel", "Command Panel", PanelProc);
  return panel_;
}

HWND Interface::AddRollupPage(HINSTANCE hInst, const char* dlgTemplate, DLGPROC dlgProc, const char* title,
                              LPARAM param, DWORD flags, int category) {
  HWND page = CreateDialogParamA(hInst, dlgTemplate, CommandPanel(), dlgProc, param);
  if (page == nullptr) return nullptr;
  rollups_.push_back({page, hInst, title != nullptr ? title : "", category, flags});
  return page;
}

void Interface::DeleteRollupPage(HWND hRollup) {
  for (auto it = rollups_.begin(); it != rollups_.end(); ++it)
    if (it->hwnd == hRollup) {
      rollups_.erase(it);
      DestroyWindow(hRollup);
      return;
    }
}

void Interface::RollupMouseMessage(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam) {
  rollupMouse_.push_back({hDlg, message, wParam, lParam});
}

void Interface::RedrawViews(TimeValue, DWORD, ReferenceTarget*) { ++redraws_; }

void Interface::ForceCompleteRedraw(BOOL) { ++completeRedraws_; }

int Interface::FindProperty(int propertySet, const PROPSPEC* propspec) {
  if (propertySet != PROPSET_USERDEFINED) return -1;
  const std::wstring name = PropName(propspec);
  return name.empty() ? -1 : TheScene().Properties().Find(name);
}

const PROPVARIANT* Interface::GetPropertyVariant(int propertySet, int idx) {
  if (propertySet != PROPSET_USERDEFINED) return nullptr;
  return TheScene().Properties().Variant(idx);
}

void Interface::AddProperty(int propertySet, const PROPSPEC* propspec, const PROPVARIANT* propvar) {
  const std::wstring name = PropName(propspec);
  if (propertySet != PROPSET_USERDEFINED || name.empty() || propvar == nullptr) return;
  TheScene().Properties().Add(name, *propvar);
}

void Interface::DeleteProperty(int propertySet, const PROPSPEC* propspec) {
  const int at = FindProperty(propertySet, propspec);
  if (at >= 0) TheScene().Properties().Remove(at);
}

int Interface::GetNumProperties(int propertySet) {
  return propertySet == PROPSET_USERDEFINED ? TheScene().Properties().Count() : 0;
}

void Interface::DeleteNode(INode* node, BOOL redraw, BOOL) {
  TheScene().DeleteNode(node);
  if (redraw) ++redraws_;
}

void* Interface::CreateInstance(SClass_ID superID, Class_ID classID) {
  struct BuiltIn {
    SClass_ID sclass;
    Class_ID id;
    std::function<void*()> make;
  };
  static const BuiltIn builtIns[] = {
      {GEOMOBJECT_CLASS_ID, triObjectClassID, [] { return static_cast<void*>(CreateNewTriObject()); }},
      {GEOMOBJECT_CLASS_ID, EDITABLE_MESH_CLASS_ID, [] { return static_cast<void*>(new EditableMeshObject()); }},
      {HELPER_CLASS_ID, dummyClassID, [] { return static_cast<void*>(new DummyObject()); }},
      {HELPER_CLASS_ID, POINT_HELPER_CLASS_ID, [] { return static_cast<void*>(new PointHelpObject()); }},
      {CAMERA_CLASS_ID, CAMERA_OBJECT_CLASS_ID, [] { return static_cast<void*>(new GenCamera()); }},
      {SHAPE_CLASS_ID, SHAPE_OBJECT_CLASS_ID, [] { return static_cast<void*>(new ShapeObject()); }},
      {OSM_CLASS_ID, PHYSIQUE_CLASS_ID, [] { return static_cast<void*>(new PhysiqueModifier()); }},
      {CTRL_MATRIX3_CLASS_ID, PRS_CONTROL_CLASS_ID, [] { return static_cast<void*>(new PRSControl()); }},
      {CTRL_MATRIX3_CLASS_ID, LINKCTRL_CLASS_ID, [] { return static_cast<void*>(new LinkControl()); }},
      {MATERIAL_CLASS_ID, STANDARD_MATERIAL_CLASS_ID, [] { return static_cast<void*>(NewDefaultStdMat()); }},
      {MATERIAL_CLASS_ID, MULTI_MATERIAL_CLASS_ID, [] { return static_cast<void*>(NewDefaultMultiMtl()); }},
      {TEXMAP_CLASS_ID, BITMAP_TEXMAP_CLASS_ID, [] { return static_cast<void*>(NewDefaultBitmapTex()); }},
  };
  for (const BuiltIn& b : builtIns)
    if (b.sclass == superID && b.id == classID) return b.make();
  return ThePluginRegistry().CreateInstance(superID, classID);
}

INode* Interface::CreateObjectNode(Object* obj) {
  if (obj == nullptr) return nullptr;
  return TheScene().CreateNode("", nullptr, obj);
}

void Interface::SetSaveRequiredFlag(BOOL require) {
  ++saveRequiredSets_;
  TheScene().SetSaveRequired(require != FALSE);
}

BOOL Interface::GetSaveRequiredFlag() { return TheScene().SaveRequired() ? TRUE : FALSE; }

HWND Interface::GetMAXHWnd() { return CommandPanel(); }

void Interface::ResetSession() {
  while (!rollups_.empty()) DeleteRollupPage(rollups_.back().hwnd);
  rollupMouse_.clear();
  progress_.clear();
  progressActive_ = false;
  cancel_ = FALSE;
  redraws_ = completeRedraws_ = saveRequiredSets_ = 0;
}

void assert1(int line, const char* file) {
  const char* source = file != nullptr ? file : "";
  Assertions().push_back({line, source});
  char text[512];
  std::snprintf(text, sizeof text, "Assertion failed\nFile: %s\nLine: %d", source, line);
  char trace[560];
  std::snprintf(trace, sizeof trace, "assert1: %s(%d)\n", source, line);
  OutputDebugStringA(trace);
  MessageBoxA(GetActiveWindow(), text, "Assertion", MB_OK | MB_ICONERROR);
}

const std::vector<AssertionRecord>& AssertionRecords() { return Assertions(); }

void ClearAssertionRecords() { Assertions().clear(); }
