// Interaction: the current interaction driver, the default answers, and the records of the
// modal dialogs and open-file dialogs shown.
#include "platform/Interaction.h"

#include <mutex>

#include "platform/impl/Internal.h"
#include "platform/impl/Records.h"

namespace {

struct InteractionState {
  std::mutex mutex;
  InteractionDriver* driver = nullptr;
  std::vector<DialogRecord> dialogs;
  std::vector<OpenFileRecord> openFiles;
};

InteractionState& State() {
  static InteractionState state;
  return state;
}

InteractionDriver& DefaultDriver() {
  static InteractionDriver driver;
  return driver;
}

}  // namespace

int DefaultMessageBoxAnswer(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OK: return IDOK;
    case MB_YESNO: return IDNO;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
    case MB_RETRYCANCEL:
    default: return IDCANCEL;
  }
}

int InteractionDriver::AnswerMessageBox(const MessageBoxRecord& box) { return DefaultMessageBoxAnswer(box.type); }

void InteractionDriver::WorkModalDialog(HWND dialog) { PressDialogButton(dialog, IDCANCEL); }

std::optional<std::string> InteractionDriver::AnswerOpenFileName(const OpenFileRecord&) { return std::nullopt; }

InteractionDriver* SetInteractionDriver(InteractionDriver* driver) {
  InteractionState& state = State();
  std::lock_guard lock(state.mutex);
  InteractionDriver* previous = state.driver;
  state.driver = driver;
  return previous;
}

InteractionDriver& CurrentInteractionDriver() {
  InteractionState& state = State();
  std::lock_guard lock(state.mutex);
  return state.driver ? *state.driver : DefaultDriver();
}

std::vector<DialogRecord> DialogRecords() {
  InteractionState& state = State();
  std::lock_guard lock(state.mutex);
  return state.dialogs;
}

std::vector<OpenFileRecord> OpenFileRecords() {
  InteractionState& state = State();
  std::lock_guard lock(state.mutex);
  return state.openFiles;
}

namespace tz2platform {

std::size_t AddDialogRecord(const DialogRecord& record) {
  InteractionState& state = State();
  std::lock_guard lock(state.mutex);
  state.dialogs.push_back(record);
  return state.dialogs.size() - 1;
}

void FinishDialogRecord(std::size_t index, INT_PTR result, bool forcedClose) {
  InteractionState& state = State();
  std::lock_guard lock(state.mutex);
  if (index >= state.dialogs.size()) return;
  state.dialogs[index].result = result;
  state.dialogs[index].forcedClose = forcedClose;
}

void AddOpenFileRecord(const OpenFileRecord& record) {
  InteractionState& state = State();
  std::lock_guard lock(state.mutex);
  state.openFiles.push_back(record);
}

void ResetInteraction() {
  InteractionState& state = State();
  std::lock_guard lock(state.mutex);
  state.driver = nullptr;
}

void ResetDialogRecords() {
  InteractionState& state = State();
  std::lock_guard lock(state.mutex);
  state.dialogs.clear();
  state.openFiles.clear();
}

}  // namespace tz2platform
