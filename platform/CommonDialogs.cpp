// CommonDialogs: GetOpenFileNameA over the interaction driver, and the common controls'
// initialisation (nothing to do on the standalone desktop).
#include "platform/CommonDialogs.h"

#include <cstring>

#include "platform/Interaction.h"
#include "platform/impl/Internal.h"
#include "platform/impl/Records.h"

namespace {

thread_local DWORD lastDialogError = 0;

// The (description, pattern) pairs of a filter: zero-terminated texts ending with an empty one.
std::vector<std::pair<std::string, std::string>> FilterPairs(LPCSTR filter) {
  std::vector<std::pair<std::string, std::string>> out;
  while (filter && *filter) {
    std::string description = filter;
    filter += description.size() + 1;
    if (!*filter) {  // a description without a pattern ends the list
      out.emplace_back(std::move(description), std::string());
      break;
    }
    std::string pattern = filter;
    filter += pattern.size() + 1;
    out.emplace_back(std::move(description), std::move(pattern));
  }
  return out;
}

}  // namespace

BOOL GetOpenFileNameA(LPOPENFILENAMEA ofn) {
  lastDialogError = 0;
  if (!ofn || ofn->lStructSize < sizeof(OPENFILENAMEA) || !ofn->lpstrFile || ofn->nMaxFile == 0) {
    lastDialogError = CDERR_STRUCTSIZE;
    return FALSE;
  }
  OpenFileRecord record;
  record.owner = ofn->hwndOwner;
  record.title = ofn->lpstrTitle ? ofn->lpstrTitle : "Open";
  record.filters = FilterPairs(ofn->lpstrFilter);
  record.initialFile.assign(ofn->lpstrFile, strnlen(ofn->lpstrFile, ofn->nMaxFile));
  record.initialDir = ofn->lpstrInitialDir ? ofn->lpstrInitialDir : "";
  record.flags = ofn->Flags;
  record.answer = CurrentInteractionDriver().AnswerOpenFileName(record);
  tz2platform::AddOpenFileRecord(record);
  if (!record.answer) return FALSE;
  const std::string& path = *record.answer;
  if (path.size() + 1 > ofn->nMaxFile) {
    lastDialogError = FNERR_BUFFERTOOSMALL;
    return FALSE;
  }
  tz2platform::CopyTruncated(path, ofn->lpstrFile, ofn->nMaxFile);
  const std::size_t slash = path.find_last_of("/\\");
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = path.find_last_of('.');
  ofn->nFileOffset = static_cast<WORD>(nameStart);
  ofn->nFileExtension = static_cast<WORD>(dot != std::string::npos && dot >= nameStart ? dot + 1 : path.size());
  if (ofn->lpstrFileTitle && ofn->nMaxFileTitle)
    tz2platform::CopyTruncated(path.substr(nameStart), ofn->lpstrFileTitle, ofn->nMaxFileTitle);
  return TRUE;
}

DWORD CommDlgExtendedError() { return lastDialogError; }

void InitCommonControls() {}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) { return init ? TRUE : FALSE; }
