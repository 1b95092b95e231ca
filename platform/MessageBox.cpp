// MessageBox: MessageBoxA records each box and asks the interaction driver for the answer;
// an answer the box does not offer becomes the box's default answer.
#include "platform/MessageBox.h"

#include <mutex>

#include "platform/Interaction.h"
#include "platform/impl/Internal.h"

namespace {

struct BoxRecords {
  std::mutex mutex;
  std::vector<MessageBoxRecord> boxes;
};

BoxRecords& Records() {
  static BoxRecords records;
  return records;
}

}  // namespace

bool IsAnswerOffered(UINT type, int answer) {
  switch (type & MB_TYPEMASK) {
    case MB_OK: return answer == IDOK;
    case MB_OKCANCEL: return answer == IDOK || answer == IDCANCEL;
    case MB_ABORTRETRYIGNORE: return answer == IDABORT || answer == IDRETRY || answer == IDIGNORE;
    case MB_YESNOCANCEL: return answer == IDYES || answer == IDNO || answer == IDCANCEL;
    case MB_YESNO: return answer == IDYES || answer == IDNO;
    case MB_RETRYCANCEL: return answer == IDRETRY || answer == IDCANCEL;
    default: return false;
  }
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  MessageBoxRecord box;
  box.owner = owner;
  box.text = text ? text : "";
  box.caption = caption ? caption : "Error";
  box.type = type;
  int answer = CurrentInteractionDriver().AnswerMessageBox(box);
  if (!IsAnswerOffered(type, answer)) answer = DefaultMessageBoxAnswer(type);
  box.answer = answer;
  BoxRecords& records = Records();
  std::lock_guard lock(records.mutex);
  records.boxes.push_back(box);
  return answer;
}

std::vector<MessageBoxRecord> MessageBoxRecords() {
  BoxRecords& records = Records();
  std::lock_guard lock(records.mutex);
  return records.boxes;
}

void ClearMessageBoxRecords() {
  BoxRecords& records = Records();
  std::lock_guard lock(records.mutex);
  records.boxes.clear();
}

namespace tz2platform {
void ResetMessageBoxes() { ClearMessageBoxRecords(); }
}  // namespace tz2platform
