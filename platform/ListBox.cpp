// ListBox: the list box control's messages. Items are texts with a data value and a
// selected flag. A sorted box (LBS_SORT) inserts each added text after the items that
// compare less or equal without regard to case; a single-selection box keeps at most one
// item selected (the current selection), a multiple-selection box (LBS_MULTIPLESEL or
// LBS_EXTENDEDSEL) any number. Indices out of range give LB_ERR and change nothing.
#include <algorithm>
#include <cstring>

#include "platform/impl/Controls.h"
#include "platform/impl/Internal.h"
#include "platform/impl/WindowTable.h"

namespace tz2platform {
namespace {

bool IsMultiple(const Window& w) { return (w.style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }

bool InRange(const Window& w, WPARAM index) { return index < w.items.size(); }

int CompareNoCase(const std::string& a, const std::string& b) { return LowerCase(a).compare(LowerCase(b)); }

int InsertItem(Window& w, LPARAM text, std::size_t position) {
  if (!text) return LB_ERR;
  ListItem item;
  item.text = reinterpret_cast<LPCSTR>(text);
  w.items.insert(w.items.begin() + static_cast<std::ptrdiff_t>(position), item);
  if (w.caret >= static_cast<int>(position)) ++w.caret;
  return static_cast<int>(position);
}

int AddString(Window& w, LPARAM text) {
  if (!text) return LB_ERR;
  std::size_t position = w.items.size();
  if (w.style & LBS_SORT) {
    const std::string added = reinterpret_cast<LPCSTR>(text);
    position = static_cast<std::size_t>(
        std::find_if(w.items.begin(), w.items.end(),
                     [&](const ListItem& item) { return CompareNoCase(item.text, added) > 0; }) -
        w.items.begin());
  }
  return InsertItem(w, text, position);
}

int FindString(const Window& w, WPARAM start, LPARAM text, bool exact) {
  if (!text || w.items.empty()) return LB_ERR;
  const std::string wanted = LowerCase(reinterpret_cast<LPCSTR>(text));
  const std::size_t count = w.items.size();
  const std::size_t first = InRange(w, start) ? start + 1 : 0;
  for (std::size_t n = 0; n < count; ++n) {
    const std::size_t i = (first + n) % count;
    const std::string item = LowerCase(w.items[i].text);
    if (exact ? item == wanted : item.compare(0, wanted.size(), wanted) == 0) return static_cast<int>(i);
  }
  return LB_ERR;
}

void SelectOnly(Window& w, int index) {
  for (ListItem& item : w.items) item.selected = false;
  if (index >= 0) w.items[static_cast<std::size_t>(index)].selected = true;
  w.caret = index;
}

LRESULT SetSel(Window& w, WPARAM select, LPARAM index) {
  if (!IsMultiple(w)) return LB_ERR;
  if (index == -1) {
    for (ListItem& item : w.items) item.selected = select != 0;
    return LB_OKAY;
  }
  if (index < 0 || !InRange(w, static_cast<WPARAM>(index))) return LB_ERR;
  w.items[static_cast<std::size_t>(index)].selected = select != 0;
  w.caret = static_cast<int>(index);
  return LB_OKAY;
}

LRESULT GetSelItems(const Window& w, WPARAM max, LPARAM out) {
  if (!IsMultiple(w)) return LB_ERR;
  auto* indices = reinterpret_cast<int*>(out);
  std::size_t n = 0;
  for (std::size_t i = 0; i < w.items.size() && n < max; ++i)
    if (w.items[i].selected) {
      if (indices) indices[n] = static_cast<int>(i);
      ++n;
    }
  return static_cast<LRESULT>(n);
}

LRESULT DeleteString(Window& w, WPARAM index) {
  if (!InRange(w, index)) return LB_ERR;
  w.items.erase(w.items.begin() + static_cast<std::ptrdiff_t>(index));
  if (w.caret == static_cast<int>(index)) w.caret = -1;
  else if (w.caret > static_cast<int>(index)) --w.caret;
  return static_cast<LRESULT>(w.items.size());
}

}  // namespace

LRESULT ListBoxMessage(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message < LB_ADDSTRING || message > LB_FINDSTRINGEXACT) return DefWindowProcA(handle, message, wParam, lParam);
  std::lock_guard lock(DesktopMutex());
  const WindowPtr found = FindWindowObject(handle);
  if (!found) return LB_ERR;
  Window& w = *found;
  switch (message) {
    case LB_ADDSTRING: return AddString(w, lParam);
    case LB_INSERTSTRING: {
      const auto index = static_cast<LONG_PTR>(wParam);
      if (index == -1) return InsertItem(w, lParam, w.items.size());
      if (index < 0 || static_cast<std::size_t>(index) > w.items.size()) return LB_ERR;
      return InsertItem(w, lParam, static_cast<std::size_t>(index));
    }
    case LB_DELETESTRING: return DeleteString(w, wParam);
    case LB_RESETCONTENT:
      w.items.clear();
      w.caret = -1;
      return 0;
    case LB_GETCOUNT: return static_cast<LRESULT>(w.items.size());
    case LB_GETTEXT:
      // The caller's buffer holds at least LB_GETTEXTLEN + 1 characters.
      if (!InRange(w, wParam) || !lParam) return LB_ERR;
      std::memcpy(reinterpret_cast<char*>(lParam), w.items[wParam].text.c_str(), w.items[wParam].text.size() + 1);
      return static_cast<LRESULT>(w.items[wParam].text.size());
    case LB_GETTEXTLEN: return InRange(w, wParam) ? static_cast<LRESULT>(w.items[wParam].text.size()) : LB_ERR;
    case LB_GETCURSEL: return w.caret >= 0 && (IsMultiple(w) || w.items[static_cast<std::size_t>(w.caret)].selected) ? w.caret : LB_ERR;
    case LB_SETCURSEL: {
      if (IsMultiple(w)) return LB_ERR;
      const auto index = static_cast<LONG_PTR>(wParam);
      const bool valid = index >= 0 && InRange(w, wParam);
      SelectOnly(w, valid ? static_cast<int>(index) : -1);
      return valid ? static_cast<LRESULT>(index) : LB_ERR;
    }
    case LB_GETSEL: return InRange(w, wParam) ? (w.items[wParam].selected ? 1 : 0) : LB_ERR;
    case LB_SETSEL: return SetSel(w, wParam, lParam);
    case LB_GETSELCOUNT:
      if (!IsMultiple(w)) return LB_ERR;
      return std::count_if(w.items.begin(), w.items.end(), [](const ListItem& i) { return i.selected; });
    case LB_GETSELITEMS: return GetSelItems(w, wParam, lParam);
    case LB_GETITEMDATA: return InRange(w, wParam) ? w.items[wParam].data : LB_ERR;
    case LB_SETITEMDATA:
      if (!InRange(w, wParam)) return LB_ERR;
      w.items[wParam].data = lParam;
      return LB_OKAY;
    case LB_FINDSTRING: return FindString(w, wParam, lParam, false);
    case LB_FINDSTRINGEXACT: return FindString(w, wParam, lParam, true);
    default: return 0;
  }
}

}  // namespace tz2platform
