// Interaction: the one interface through which whoever runs the host answers message boxes,
// works modal dialogs and answers the open-file dialog. The default driver answers OK to an
// OK box and No / Cancel to a question, cancels dialogs and the open-file dialog. The
// scripted driver, for tests, plays a queue of expected boxes and dialog scripts and
// records everything it did not expect. Everything shown is recorded whichever driver runs.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/CommonDialogs.h"
#include "platform/Dialogs.h"
#include "platform/MessageBox.h"

// The open-file dialog as it was shown.
struct OpenFileRecord {
  HWND owner = nullptr;
  std::string title{};
  std::vector<std::pair<std::string, std::string>> filters{};  // (description, pattern)
  std::string initialFile{};
  std::string initialDir{};
  DWORD flags = 0;
  std::optional<std::string> answer{};
};

// A modal dialog as it was shown.
struct DialogRecord {
  HINSTANCE module = nullptr;
  int templateId = 0;
  std::string title{};
  INT_PTR result = 0;
  bool forcedClose = false;  // it ignored IDCANCEL and was closed by the desktop
};

class InteractionDriver {
public:
  virtual ~InteractionDriver() = default;
  // The button pressed; an answer the box does not offer is replaced by the default one.
  virtual int AnswerMessageBox(const MessageBoxRecord& box);
  // Works the live modal dialog with PressDialogButton, TypeDialogText, ... until it ends
  // or the driver gives up; the platform then closes a dialog still open (IDCANCEL).
  virtual void WorkModalDialog(HWND dialog);
  // The chosen path, or nothing to cancel.
  virtual std::optional<std::string> AnswerOpenFileName(const OpenFileRecord& dialog);
};

// Installs a driver (not owned; null restores the default) and returns the previous one.
InteractionDriver* SetInteractionDriver(InteractionDriver* driver);
InteractionDriver& CurrentInteractionDriver();
// The default answer of a box with these flags: IDOK for OK, IDNO for Yes/No, IDCANCEL
// when Cancel is offered, IDABORT for Abort/Retry/Ignore.
int DefaultMessageBoxAnswer(UINT type);

std::vector<DialogRecord> DialogRecords();
std::vector<OpenFileRecord> OpenFileRecords();

// One step of a dialog script.
struct DialogStep {
  enum class Action { SetText, Check, Press, SelectItem, SelectItemText, Close, Help, ExpectText, ExpectChecked, Custom };
  Action action = Action::Press;
  int id = 0;
  std::string text{};
  int number = 0;
  std::function<void(HWND)> custom{};

  static DialogStep SetText(int id, std::string text);
  static DialogStep Check(int id, bool checked = true);
  static DialogStep Press(int id);
  static DialogStep SelectItem(int id, int index);
  static DialogStep SelectItemText(int id, std::string text);
  static DialogStep Close();
  static DialogStep Help();  // the F1 key
  static DialogStep ExpectText(int id, std::string text);
  static DialogStep ExpectChecked(int id, bool checked = true);
  static DialogStep Custom(std::function<void(HWND)> action);
};

// An expected modal dialog: matched by template id and/or title when given.
struct DialogScript {
  std::optional<int> templateId{};
  std::optional<std::string> title{};
  std::vector<DialogStep> steps{};
};

// An expected message box: the parts given must match; `answer` is pressed.
struct ExpectedBox {
  std::optional<std::string> text{};
  std::optional<std::string> caption{};
  std::optional<UINT> buttons{};  // MB_OK, MB_YESNO, ...
  std::optional<UINT> icon{};     // MB_ICONERROR, ...
  int answer = IDOK;
};

// Plays the expectations in order, boxes and dialogs each in their own queue. A box or a
// dialog that was not expected, or does not match, is answered as the default driver would
// and recorded in Failures() with its text; a step that cannot be done is a failure too.
class ScriptedDriver : public InteractionDriver {
public:
  ScriptedDriver& ExpectBox(ExpectedBox box);
  ScriptedDriver& ExpectDialog(DialogScript script);
  // The path the next open-file dialog returns; nothing cancels it.
  ScriptedDriver& ExpectOpenFileName(std::optional<std::string> path);

  int AnswerMessageBox(const MessageBoxRecord& box) override;
  void WorkModalDialog(HWND dialog) override;
  std::optional<std::string> AnswerOpenFileName(const OpenFileRecord& dialog) override;

  // Everything that went against the script, one line each.
  const std::vector<std::string>& Failures() const { return failures_; }
  // Expectations not used yet.
  std::size_t PendingBoxes() const { return boxes_.size(); }
  std::size_t PendingDialogs() const { return dialogs_.size(); }
  std::size_t PendingOpenFileNames() const { return openFiles_.size(); }
  // True when nothing failed and nothing is left; Report() says what is wrong otherwise.
  bool Done() const;
  std::string Report() const;

private:
  void Fail(std::string what);
  void RunStep(HWND dialog, const DialogStep& step);

  std::deque<ExpectedBox> boxes_;
  std::deque<DialogScript> dialogs_;
  std::deque<std::optional<std::string>> openFiles_;
  std::vector<std::string> failures_{};
};

// Installs a driver for the lifetime of the object.
class ScopedInteractionDriver {
public:
  explicit ScopedInteractionDriver(InteractionDriver& driver) : previous_(SetInteractionDriver(&driver)) {}
  ~ScopedInteractionDriver() { SetInteractionDriver(previous_); }
  ScopedInteractionDriver(const ScopedInteractionDriver&) = delete;
  ScopedInteractionDriver& operator=(const ScopedInteractionDriver&) = delete;

private:
  InteractionDriver* previous_;
};
