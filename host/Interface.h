// Interface: the host's core interface as plug-ins see it: the scene's root node and nodes
// by name, the selection, the current time and animation range, the progress bar, rollup
// pages of the command panel, viewport redraws, the custom file properties, node deletion
// and object/node creation, the save-required flag. GetCOREInterface() answers the one
// interface of the process, which always works on the current scene (host/standalone/Scene.h).
//
// The standalone host records what has no screen: progress events go to a progress sink
// (the CLI draws the bar), redraws are counted, assertion reports (assert1) are recorded and
// shown as a message box through the platform's interaction driver.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/ClassID.h"
#include "host/Interval.h"
#include "host/Properties.h"
#include "platform/Dialogs.h"
#include "platform/WinTypes.h"

class INode;
class Object;
class ReferenceTarget;

inline constexpr int ROLLUP_CAT_SYSTEM = 2000;
inline constexpr int ROLLUP_CAT_STANDARD = 4000;
inline constexpr int ROLLUP_CAT_CUSTATTRIB = 6000;
inline constexpr DWORD REDRAW_BEGIN = 1 << 0;
inline constexpr DWORD REDRAW_INTERACTIVE = 1 << 1;
inline constexpr DWORD REDRAW_END = 1 << 2;
inline constexpr DWORD REDRAW_NORMAL = 1 << 3;

using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID);

// One event of the progress bar.
struct ProgressEvent {
  enum Kind { Start, Update, End };
  Kind kind = Start;
  std::string title;   // the bar's title (Start, and Update when a title is given)
  int percent = 0;     // Update
  bool showPercent = true;
};
using ProgressSink = std::function<void(const ProgressEvent&)>;

// A rollup page of the command panel.
struct RollupPage {
  HWND hwnd = nullptr;
  HINSTANCE module = nullptr;
  std::string title;
  int category = ROLLUP_CAT_STANDARD;
  DWORD flags = 0;
};

// A mouse message a page handed to the panel (RollupMouseMessage).
struct RollupMouseRecord {
  HWND hDlg = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

class Interface {
 public:
  Interface() = default;
  Interface(const Interface&) = delete;
  Interface& operator=(const Interface&) = delete;

  // Nodes.
  INode* GetRootNode();
  // The first node (depth first, children in order) whose name equals name letter for
  // letter; null when none.
  INode* GetINodeByName(const char* name);

  // Selection, in the order the nodes were selected.
  int GetSelNodeCount();
  // Null out of range.
  INode* GetSelNode(int i);
  // Selects node (recorded for undo while holding); clearSel drops the previous selection.
  void SelectNode(INode* node, int clearSel = 1);
  void DeSelectNode(INode* node);
  void ClearNodeSelection(BOOL redraw = TRUE);

  // Time.
  TimeValue GetTime();
  void SetTime(TimeValue t, BOOL redraw = TRUE);
  Interval GetAnimRange();
  void SetAnimRange(Interval range);

  // Progress bar. ProgressStart calls fn(arg) at once (its result is ignored) and the work
  // goes on after it returns.
  BOOL ProgressStart(const char* title, BOOL dispBar, LPTHREAD_START_ROUTINE fn, LPVOID arg);
  void ProgressUpdate(int pct, BOOL showPct = TRUE, const char* title = nullptr);
  void ProgressEnd();
  BOOL GetCancel();
  void SetCancel(BOOL sw);

  // Rollup pages: a modeless page made from the module's dialog template, a child of the
  // command panel. Pages are removed newest first when the panel closes.
  HWND AddRollupPage(HINSTANCE hInst, const char* dlgTemplate, DLGPROC dlgProc, const char* title,
                     LPARAM param = 0, DWORD flags = 0, int category = ROLLUP_CAT_STANDARD);
  void DeleteRollupPage(HWND hRollup);
  void RollupMouseMessage(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

  // Viewports.
  void RedrawViews(TimeValue t, DWORD vpFlags = REDRAW_NORMAL, ReferenceTarget* change = nullptr);
  void ForceCompleteRedraw(BOOL doDisabled = TRUE);

  // Custom file properties (PROPSET_USERDEFINED; the other sets hold nothing). Names by
  // PRSPEC_LPWSTR. FindProperty answers the index or -1; GetPropertyVariant null out of
  // range; AddProperty replaces a property of the same name in place.
  int FindProperty(int propertySet, const PROPSPEC* propspec);
  const PROPVARIANT* GetPropertyVariant(int propertySet, int idx);
  void AddProperty(int propertySet, const PROPSPEC* propspec, const PROPVARIANT* propvar);
  void DeleteProperty(int propertySet, const PROPSPEC* propspec);
  int GetNumProperties(int propertySet);

  // Deletes a node; its children move to its parent keeping their world transforms.
  // Recorded for undo while theHold is holding.
  void DeleteNode(INode* node, BOOL redraw = TRUE, BOOL overrideSlaves = FALSE);
  // A new object of a class built into the host, or of a registered plug-in class; null
  // when the class is unknown. The caller owns it (a node takes it in CreateObjectNode).
  void* CreateInstance(SClass_ID superID, Class_ID classID);
  // A new top-level node with the object (the node takes it); null for a null object.
  INode* CreateObjectNode(Object* obj);

  void SetSaveRequiredFlag(BOOL require = TRUE);
  BOOL GetSaveRequiredFlag();

  HWND GetMAXHWnd();

  // Standalone host.
  void SetProgressSink(ProgressSink sink) { sink_ = std::move(sink); }
  const std::vector<ProgressEvent>& ProgressEvents() const { return progress_; }
  bool ProgressActive() const { return progressActive_; }
  const std::vector<RollupPage>& RollupPages() const { return rollups_; }
  const std::vector<RollupMouseRecord>& RollupMouseMessages() const { return rollupMouse_; }
  // The command panel window the pages live in.
  HWND CommandPanel();
  int RedrawViewsCount() const { return redraws_; }
  int ForceCompleteRedrawCount() const { return completeRedraws_; }
  int SaveRequiredSetCount() const { return saveRequiredSets_; }
  // Back to the state of a new session: no pages, no progress, counters at 0.
  void ResetSession();

 private:
  void Emit(ProgressEvent e);

  ProgressSink sink_;
  std::vector<ProgressEvent> progress_;
  bool progressActive_ = false;
  BOOL cancel_ = FALSE;
  std::vector<RollupPage> rollups_;
  std::vector<RollupMouseRecord> rollupMouse_;
  HWND panel_ = nullptr;
  int redraws_ = 0;
  int completeRedraws_ = 0;
  int saveRequiredSets_ = 0;
};

Interface* GetCOREInterface();

// The host's debug assertion report: recorded, written to the debug output and shown as a
// message box ("Assertion failed" with the file and line).
struct AssertionRecord {
  int line = 0;
  std::string file;
};
void assert1(int line, const char* file);
const std::vector<AssertionRecord>& AssertionRecords();
void ClearAssertionRecords();
