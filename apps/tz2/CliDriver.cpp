// Message boxes on standard error, questions from flags or the terminal, dialogs from the
// command line.
#include "apps/tz2/CliDriver.h"

#include <cctype>
#include <cstdio>
#include <iostream>

namespace tz2cli {
namespace {

bool AskYesNo(const std::string& prompt) {
  std::cerr << prompt << " [y/N] " << std::flush;
  std::string line;
  if (!std::getline(std::cin, line)) return false;
  return !line.empty() && (line[0] == 'y' || line[0] == 'Y');
}

}  // namespace

int CliDriver::AnswerMessageBox(const MessageBoxRecord& box) {
  std::cerr << box.caption << ": " << box.text << "\n";
  const UINT buttons = box.Buttons();
  if (buttons != MB_YESNO && buttons != MB_YESNOCANCEL) return DefaultMessageBoxAnswer(box.type);
  switch (questions) {
    case Answer::Yes: return IDYES;
    case Answer::No: return IDNO;
    case Answer::Ask: break;
  }
  if (!interactive) return IDNO;
  return AskYesNo("Answer") ? IDYES : IDNO;
}

void CliDriver::WorkModalDialog(HWND dialog) {
  const auto found = dialogs.find(DialogTemplateId(dialog));
  if (found == dialogs.end()) {
    CloseDialogWindow(dialog);
    return;
  }
  const DialogSettings& settings = found->second;
  for (const auto& [id, text] : settings.edits) TypeDialogText(dialog, id, text);
  for (const auto& [id, checked] : settings.checks) SetDialogCheck(dialog, id, checked);
  int press = settings.pressId;
  if (settings.askOnTerminal && interactive) {
    std::cerr << WindowText(dialog) << "\n";
    for (HWND control : DialogControls(dialog)) {
      const ControlKind kind = ControlKindOf(control);
      if (kind == ControlKind::Static) std::cerr << "  " << WindowText(control) << "\n";
      if (kind == ControlKind::ListBox) {
        std::cerr << "  [" << GetDlgCtrlID(control) << "]";
        for (const std::string& item : ListBoxItems(control)) std::cerr << " " << item;
        std::cerr << "\n";
      }
    }
    std::cerr << settings.question << " " << std::flush;
    std::string line;
    if (std::getline(std::cin, line) && !line.empty()) {
      const auto key = settings.keys.find(static_cast<char>(std::tolower(static_cast<unsigned char>(line[0]))));
      if (key != settings.keys.end()) press = key->second;
    }
  }
  if (!PressDialogButton(dialog, press)) CloseDialogWindow(dialog);
}

std::optional<std::string> CliDriver::AnswerOpenFileName(const OpenFileRecord&) { return std::nullopt; }

}  // namespace tz2cli
