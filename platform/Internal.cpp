// Internal: path and error translation and the small text helpers the services share.
#include "platform/impl/Internal.h"

#include <cctype>
#include <cerrno>
#include <cstring>

namespace tz2platform {

std::string NativePath(LPCSTR path) {
  std::string out = path ? path : "";
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

DWORD ErrorFromErrno(int error) {
  switch (error) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_FILE_EXISTS;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case ENOSPC: return ERROR_DISK_FULL;
    case EBADF: return ERROR_INVALID_HANDLE;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case ENOEXEC: return ERROR_BAD_FORMAT;
    case ENAMETOOLONG: return ERROR_PATH_NOT_FOUND;
    default: return ERROR_INVALID_FUNCTION;
  }
}

void SetLastErrorFromErrno(int error) { SetLastError(ErrorFromErrno(error)); }

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string LowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::size_t CopyTruncated(const std::string& text, LPSTR buffer, std::size_t size) {
  if (!buffer || size == 0) return 0;
  const std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return n;
}

}  // namespace tz2platform

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}

DWORD GetLastError() { return lastError; }
void SetLastError(DWORD error) { lastError = error; }
