// The command line's interaction driver: prints every message box to standard error as
// "caption: text", answers questions from --yes/--no or by asking on a terminal, and works
// the exporter's dialogs from the command-line options.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "platform/Interaction.h"

namespace tz2cli {

enum class Answer { Ask, Yes, No };

struct DialogSettings {
  // Control id -> text for edits, or "0"/"1" for check boxes; applied before `pressId`.
  std::map<int, std::string> edits;
  std::map<int, bool> checks;
  int pressId = IDOK;
  bool askOnTerminal = false;  // ask which button to press (pressId is the default)
  std::string question;        // shown when asking
  std::map<char, int> keys;    // answer key -> button id
};

class CliDriver : public InteractionDriver {
 public:
  Answer questions = Answer::Ask;
  // Settings per dialog template id of the module that shows them.
  std::map<int, DialogSettings> dialogs;
  // True when standard input and error are a terminal.
  bool interactive = false;

  int AnswerMessageBox(const MessageBoxRecord& box) override;
  void WorkModalDialog(HWND dialog) override;
  std::optional<std::string> AnswerOpenFileName(const OpenFileRecord& dialog) override;
};

}  // namespace tz2cli
