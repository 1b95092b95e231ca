// Clipboard: global memory blocks (fixed ones are addressed by their data pointer, movable
// ones by an opaque handle) and the clipboard: open by one thread at a time, emptied by its
// opener, holding one block per format. A block handed to SetClipboardData belongs to the
// clipboard: it is freed when replaced or emptied and GlobalFree refuses it.
#include "platform/Clipboard.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "platform/Desktop.h"
#include "platform/impl/Internal.h"

namespace {

struct Block {
  std::unique_ptr<char[]> data;
  SIZE_T size = 0;
  int locks = 0;
  bool ownedByClipboard = false;
};

struct ClipboardState {
  std::recursive_mutex mutex;
  std::map<HGLOBAL, Block> blocks;
  ULONG_PTR nextHandle = 0x00700008;  // never 16-byte aligned, so never a data pointer
  bool open = false;
  DWORD openThread = 0;
  HWND openWindow = nullptr;
  HWND owner = nullptr;
  std::map<UINT, HGLOBAL> formats;
};

ClipboardState& State() {
  static ClipboardState state;
  return state;
}

bool OpenedByCaller(const ClipboardState& state) { return state.open && state.openThread == GetCurrentThreadId(); }

void FreeClipboardData(ClipboardState& state) {
  for (const auto& [format, handle] : state.formats) state.blocks.erase(handle);
  state.formats.clear();
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
  ClipboardState& state = State();
  std::lock_guard lock(state.mutex);
  Block block;
  block.data.reset(new (std::nothrow) char[bytes ? bytes : 1]());
  if (!block.data) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  block.size = bytes;
  HGLOBAL handle = block.data.get();
  if (flags & GMEM_MOVEABLE) {
    handle = reinterpret_cast<HGLOBAL>(state.nextHandle);
    state.nextHandle += 16;
  }
  state.blocks.emplace(handle, std::move(block));
  return handle;
}

LPVOID GlobalLock(HGLOBAL memory) {
  ClipboardState& state = State();
  std::lock_guard lock(state.mutex);
  const auto found = state.blocks.find(memory);
  if (found == state.blocks.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  ++found->second.locks;
  return found->second.data.get();
}

BOOL GlobalUnlock(HGLOBAL memory) {
  ClipboardState& state = State();
  std::lock_guard lock(state.mutex);
  const auto found = state.blocks.find(memory);
  if (found == state.blocks.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (found->second.locks == 0) {
    SetLastError(ERROR_NOT_LOCKED);
    return FALSE;
  }
  --found->second.locks;
  SetLastError(ERROR_SUCCESS);
  return found->second.locks > 0 ? TRUE : FALSE;
}

HGLOBAL GlobalFree(HGLOBAL memory) {
  ClipboardState& state = State();
  std::lock_guard lock(state.mutex);
  const auto found = state.blocks.find(memory);
  if (found == state.blocks.end() || found->second.ownedByClipboard) {
    SetLastError(ERROR_INVALID_HANDLE);
    return memory;
  }
  state.blocks.erase(found);
  return nullptr;
}

SIZE_T GlobalSize(HGLOBAL memory) {
  ClipboardState& state = State();
  std::lock_guard lock(state.mutex);
  const auto found = state.blocks.find(memory);
  return found == state.blocks.end() ? 0 : found->second.size;
}

BOOL OpenClipboard(HWND owner) {
  ClipboardState& state = State();
  std::lock_guard lock(state.mutex);
  if (state.open && !OpenedByCaller(state)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  state.open = true;
  state.openThread = GetCurrentThreadId();
  state.openWindow = owner;
  return TRUE;
}

BOOL CloseClipboard() {
  ClipboardState& state = State();
  std::lock_guard lock(state.mutex);
  if (!OpenedByCaller(state)) {
    SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return FALSE;
  }
  state.open = false;
  state.openWindow = nullptr;
  return TRUE;
}

BOOL EmptyClipboard() {
  ClipboardState& state = State();
  std::lock_guard lock(state.mutex);
  if (!OpenedByCaller(state)) {
    SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return FALSE;
  }
  FreeClipboardData(state);
  state.owner = state.openWindow;
  return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
  ClipboardState& state = State();
  std::lock_guard lock(state.mutex);
  if (!OpenedByCaller(state)) {
    SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return nullptr;
  }
  const auto block = state.blocks.find(data);
  if (block == state.blocks.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  const auto old = state.formats.find(format);
  if (old != state.formats.end() && old->second != data) state.blocks.erase(old->second);
  block->second.ownedByClipboard = true;
  state.formats[format] = data;
  return data;
}

HANDLE GetClipboardData(UINT format) {
  ClipboardState& state = State();
  std::lock_guard lock(state.mutex);
  if (!OpenedByCaller(state)) {
    SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return nullptr;
  }
  const auto found = state.formats.find(format);
  return found == state.formats.end() ? nullptr : found->second;
}

BOOL IsClipboardFormatAvailable(UINT format) {
  ClipboardState& state = State();
  std::lock_guard lock(state.mutex);
  return state.formats.count(format) ? TRUE : FALSE;
}

HWND GetClipboardOwner() {
  ClipboardState& state = State();
  std::lock_guard lock(state.mutex);
  return state.owner;
}

std::optional<std::string> ClipboardText() {
  ClipboardState& state = State();
  std::lock_guard lock(state.mutex);
  const auto format = state.formats.find(CF_TEXT);
  if (format == state.formats.end()) return std::nullopt;
  const Block& block = state.blocks.at(format->second);
  return std::string(block.data.get(), strnlen(block.data.get(), block.size));
}

bool SetClipboardText(const std::string& text) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  bool done = false;
  if (auto* p = static_cast<char*>(GlobalLock(memory))) {
    std::memcpy(p, text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    done = SetClipboardData(CF_TEXT, memory) != nullptr;
  }
  if (!done && memory) GlobalFree(memory);
  CloseClipboard();
  return done;
}

namespace tz2platform {
void ResetClipboard() {
  ClipboardState& state = State();
  std::lock_guard lock(state.mutex);
  state.blocks.clear();
  state.formats.clear();
  state.open = false;
  state.openThread = 0;
  state.openWindow = nullptr;
  state.owner = nullptr;
}
}  // namespace tz2platform
