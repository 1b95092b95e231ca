// Checked writes to a temporary file that replaces the target when complete.
#include "TZ2_Export/format/OutputFile.h"

#include <cstdio>
#include <cstring>

#include "platform/Windows.h"

namespace tz2 {

OutputFile::~OutputFile() { Abandon(); }

bool OutputFile::Create(const std::string& target) {
  Abandon();
  target_ = target;
  temporary_ = target + ".part";
  failed_ = false;
  HANDLE h = CreateFileA(temporary_.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE || h == nullptr) return false;
  handle_ = h;
  return true;
}

void OutputFile::Write(const void* bytes, std::uint32_t n) {
  if (!handle_ || failed_) { failed_ = true; return; }
  if (n == 0) return;
  DWORD written = 0;
  if (!WriteFile(handle_, bytes, n, &written, nullptr) || written != n) failed_ = true;
}

void OutputFile::WriteU16(std::uint16_t v) {
  const std::uint8_t b[2] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
  Write(b, 2);
}

void OutputFile::WriteU32(std::uint32_t v) {
  std::uint8_t b[4];
  for (int i = 0; i < 4; ++i) b[i] = static_cast<std::uint8_t>(v >> (8 * i));
  Write(b, 4);
}

void OutputFile::WriteF32(float v) {
  std::uint32_t bits;
  std::memcpy(&bits, &v, 4);
  WriteU32(bits);
}

std::uint32_t OutputFile::Position() {
  if (!handle_ || failed_) { failed_ = true; return 0; }
  const DWORD pos = SetFilePointer(handle_, 0, nullptr, FILE_CURRENT);
  if (pos == INVALID_SET_FILE_POINTER) { failed_ = true; return 0; }
  return pos;
}

void OutputFile::Seek(std::uint32_t offset) {
  if (!handle_ || failed_) { failed_ = true; return; }
  if (SetFilePointer(handle_, static_cast<LONG>(offset), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
    failed_ = true;
}

void OutputFile::SeekToEnd() {
  if (!handle_ || failed_) { failed_ = true; return; }
  if (SetFilePointer(handle_, 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER) failed_ = true;
}

bool OutputFile::Commit() {
  if (!handle_) return false;
  const bool closed = CloseHandle(handle_) != FALSE;
  handle_ = nullptr;
  if (failed_ || !closed || std::rename(temporary_.c_str(), target_.c_str()) != 0) {
    std::remove(temporary_.c_str());
    failed_ = true;
    return false;
  }
  return true;
}

void OutputFile::Abandon() {
  if (!handle_) return;
  CloseHandle(handle_);
  handle_ = nullptr;
  std::remove(temporary_.c_str());
}

}  // namespace tz2
