// ScriptedDriver: the interaction driver of tests. Message boxes, modal dialogs and
// open-file dialogs are answered from three queues of expectations; whatever was not
// expected, does not match, or cannot be done is answered as the default driver would and
// written to Failures() with the text of the box or dialog concerned.
#include "platform/Interaction.h"

#include "platform/Desktop.h"

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string DescribeDialog(HWND dialog) {
  return "dialog " + std::to_string(DialogTemplateId(dialog)) + " " + Quoted(WindowText(dialog));
}

std::string TemplateTitle(HWND dialog) {
  const int id = DialogTemplateId(dialog);
  const DialogTemplate* t = id ? FindDialogTemplate(DialogModule(dialog), MAKEINTRESOURCEA(id)) : nullptr;
  return t ? t->title : std::string();
}

bool DialogMatches(const DialogScript& script, HWND dialog) {
  if (script.templateId && *script.templateId != DialogTemplateId(dialog)) return false;
  if (script.title && *script.title != WindowText(dialog) && *script.title != TemplateTitle(dialog)) return false;
  return true;
}

}  // namespace

DialogStep DialogStep::SetText(int id, std::string text) {
  DialogStep s;
  s.action = Action::SetText;
  s.id = id;
  s.text = std::move(text);
  return s;
}

DialogStep DialogStep::Check(int id, bool checked) {
  DialogStep s;
  s.action = Action::Check;
  s.id = id;
  s.number = checked ? 1 : 0;
  return s;
}

DialogStep DialogStep::Press(int id) {
  DialogStep s;
  s.action = Action::Press;
  s.id = id;
  return s;
}

DialogStep DialogStep::SelectItem(int id, int index) {
  DialogStep s;
  s.action = Action::SelectItem;
  s.id = id;
  s.number = index;
  return s;
}

DialogStep DialogStep::SelectItemText(int id, std::string text) {
  DialogStep s;
  s.action = Action::SelectItemText;
  s.id = id;
  s.text = std::move(text);
  return s;
}

DialogStep DialogStep::Close() {
  DialogStep s;
  s.action = Action::Close;
  return s;
}

DialogStep DialogStep::Help() {
  DialogStep s;
  s.action = Action::Help;
  return s;
}

DialogStep DialogStep::ExpectText(int id, std::string text) {
  DialogStep s;
  s.action = Action::ExpectText;
  s.id = id;
  s.text = std::move(text);
  return s;
}

DialogStep DialogStep::ExpectChecked(int id, bool checked) {
  DialogStep s;
  s.action = Action::ExpectChecked;
  s.id = id;
  s.number = checked ? 1 : 0;
  return s;
}

DialogStep DialogStep::Custom(std::function<void(HWND)> action) {
  DialogStep s;
  s.action = Action::Custom;
  s.custom = std::move(action);
  return s;
}

ScriptedDriver& ScriptedDriver::ExpectBox(ExpectedBox box) {
  boxes_.push_back(std::move(box));
  return *this;
}

ScriptedDriver& ScriptedDriver::ExpectDialog(DialogScript script) {
  dialogs_.push_back(std::move(script));
  return *this;
}

ScriptedDriver& ScriptedDriver::ExpectOpenFileName(std::optional<std::string> path) {
  openFiles_.push_back(std::move(path));
  return *this;
}

void ScriptedDriver::Fail(std::string what) { failures_.push_back(std::move(what)); }

int ScriptedDriver::AnswerMessageBox(const MessageBoxRecord& box) {
  const std::string shown = "message box " + Quoted(box.caption) + ": " + Quoted(box.text);
  if (boxes_.empty()) {
    Fail("unexpected " + shown);
    return DefaultMessageBoxAnswer(box.type);
  }
  const ExpectedBox expected = boxes_.front();
  boxes_.pop_front();
  if (expected.text && *expected.text != box.text) Fail(shown + " shown where text " + Quoted(*expected.text) + " was expected");
  if (expected.caption && *expected.caption != box.caption)
    Fail(shown + " shown where caption " + Quoted(*expected.caption) + " was expected");
  if (expected.buttons && *expected.buttons != box.Buttons())
    Fail(shown + " has buttons " + std::to_string(box.Buttons()) + ", expected " + std::to_string(*expected.buttons));
  if (expected.icon && *expected.icon != box.Icon())
    Fail(shown + " has icon " + std::to_string(box.Icon()) + ", expected " + std::to_string(*expected.icon));
  if (!IsAnswerOffered(box.type, expected.answer))
    Fail(shown + " does not offer the scripted answer " + std::to_string(expected.answer));
  return expected.answer;
}

void ScriptedDriver::RunStep(HWND dialog, const DialogStep& step) {
  const std::string where = DescribeDialog(dialog) + " control " + std::to_string(step.id);
  const HWND control = GetDlgItem(dialog, step.id);
  switch (step.action) {
    case DialogStep::Action::SetText:
      if (!TypeDialogText(dialog, step.id, step.text)) Fail(where + ": cannot type " + Quoted(step.text));
      break;
    case DialogStep::Action::Check:
      if (!SetDialogCheck(dialog, step.id, step.number != 0)) Fail(where + ": cannot set the check box");
      break;
    case DialogStep::Action::Press:
      if (!PressDialogButton(dialog, step.id)) Fail(where + ": cannot press the button");
      break;
    case DialogStep::Action::SelectItem:
      if (!SelectDialogListItem(dialog, step.id, step.number))
        Fail(where + ": cannot select item " + std::to_string(step.number));
      break;
    case DialogStep::Action::SelectItemText: {
      const auto index = control ? SendMessageA(control, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                reinterpret_cast<LPARAM>(step.text.c_str()))
                                 : LB_ERR;
      if (index == LB_ERR || !SelectDialogListItem(dialog, step.id, static_cast<int>(index)))
        Fail(where + ": cannot select item " + Quoted(step.text));
      break;
    }
    case DialogStep::Action::Close:
      CloseDialogWindow(dialog);
      break;
    case DialogStep::Action::Help:
      RequestDialogHelp(dialog);
      break;
    case DialogStep::Action::ExpectText:
      if (!control) {
        Fail(where + ": no such control");
      } else if (WindowText(control) != step.text) {
        Fail(where + ": shows " + Quoted(WindowText(control)) + ", expected " + Quoted(step.text));
      }
      break;
    case DialogStep::Action::ExpectChecked:
      if (!control) {
        Fail(where + ": no such control");
      } else if ((IsDlgButtonChecked(dialog, step.id) == BST_CHECKED) != (step.number != 0)) {
        Fail(where + (step.number ? ": is not checked" : ": is checked"));
      }
      break;
    case DialogStep::Action::Custom:
      if (step.custom) step.custom(dialog);
      break;
  }
}

void ScriptedDriver::WorkModalDialog(HWND dialog) {
  if (dialogs_.empty()) {
    Fail("unexpected " + DescribeDialog(dialog));
    InteractionDriver::WorkModalDialog(dialog);
    return;
  }
  const DialogScript script = dialogs_.front();
  dialogs_.pop_front();
  if (!DialogMatches(script, dialog)) {
    Fail(DescribeDialog(dialog) + " shown where " +
         (script.templateId ? "dialog " + std::to_string(*script.templateId) : std::string("a dialog")) +
         (script.title ? " " + Quoted(*script.title) : std::string()) + " was expected");
    InteractionDriver::WorkModalDialog(dialog);
    return;
  }
  const std::string name = DescribeDialog(dialog);
  for (std::size_t i = 0; i < script.steps.size(); ++i) {
    if (IsDialogEnded(dialog)) {
      Fail(name + " ended before step " + std::to_string(i + 1) + " of its script");
      return;
    }
    RunStep(dialog, script.steps[i]);
    PumpMessages();
  }
  if (!IsDialogEnded(dialog)) Fail(name + " still open after its script");
}

std::optional<std::string> ScriptedDriver::AnswerOpenFileName(const OpenFileRecord& dialog) {
  if (openFiles_.empty()) {
    Fail("unexpected open-file dialog " + Quoted(dialog.title) + " (initial file " + Quoted(dialog.initialFile) + ")");
    return std::nullopt;
  }
  std::optional<std::string> answer = openFiles_.front();
  openFiles_.pop_front();
  return answer;
}

bool ScriptedDriver::Done() const {
  return failures_.empty() && boxes_.empty() && dialogs_.empty() && openFiles_.empty();
}

std::string ScriptedDriver::Report() const {
  std::string out;
  for (const std::string& f : failures_) out += f + "\n";
  if (!boxes_.empty()) out += std::to_string(boxes_.size()) + " expected message box(es) not shown\n";
  if (!dialogs_.empty()) out += std::to_string(dialogs_.size()) + " expected dialog(s) not shown\n";
  if (!openFiles_.empty()) out += std::to_string(openFiles_.size()) + " expected open-file dialog(s) not shown\n";
  return out;
}
