// Files: file handles over POSIX descriptors with the Win32 return conventions and share
// modes: an open that asks for access another open handle of the same file does not share,
// or that does not share an access another handle has, fails with ERROR_SHARING_VIOLATION.
// A file without any write permission bit counts as read-only. Paths accept "\\" separators.
// Also the handle table behind CloseHandle.
#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <vector>

#include "platform/impl/Handles.h"
#include "platform/impl/Internal.h"

namespace tz2platform {
namespace {

struct HandleTable {
  std::mutex mutex;
  std::map<HANDLE, std::shared_ptr<HandleObject>> objects;
  ULONG_PTR next = 0x00000104;
};

HandleTable& Handles() {
  static HandleTable table;
  return table;
}

struct FileObject : HandleObject {
  int fd = -1;
  dev_t device = 0;
  ino_t inode = 0;
  DWORD access = 0;
  DWORD share = 0;
  ~FileObject() override {
    if (fd >= 0) close(fd);
  }
};

bool Reads(DWORD access) { return (access & (GENERIC_READ | GENERIC_ALL)) != 0; }
bool Writes(DWORD access) { return (access & (GENERIC_WRITE | GENERIC_ALL)) != 0; }

// Whether a new open (access, share) of the file conflicts with the handles already open.
bool SharingConflict(dev_t device, ino_t inode, DWORD access, DWORD share) {
  HandleTable& table = Handles();
  std::lock_guard lock(table.mutex);
  for (const auto& [handle, object] : table.objects) {
    const auto* file = dynamic_cast<const FileObject*>(object.get());
    if (!file || file->device != device || file->inode != inode) continue;
    if (Reads(access) && !(file->share & FILE_SHARE_READ)) return true;
    if (Writes(access) && !(file->share & FILE_SHARE_WRITE)) return true;
    if (Reads(file->access) && !(share & FILE_SHARE_READ)) return true;
    if (Writes(file->access) && !(share & FILE_SHARE_WRITE)) return true;
  }
  return false;
}

bool IsReadOnly(const struct stat& info) { return (info.st_mode & 0222) == 0; }

std::shared_ptr<FileObject> FileOf(HANDLE handle) {
  auto file = FindHandleOf<FileObject>(handle);
  if (!file) SetLastError(ERROR_INVALID_HANDLE);
  return file;
}

}  // namespace

HANDLE AddHandle(std::shared_ptr<HandleObject> object) {
  HandleTable& table = Handles();
  std::lock_guard lock(table.mutex);
  const auto handle = reinterpret_cast<HANDLE>(table.next);
  table.next += 4;
  table.objects[handle] = std::move(object);
  return handle;
}

std::shared_ptr<HandleObject> FindHandle(HANDLE handle) {
  HandleTable& table = Handles();
  std::lock_guard lock(table.mutex);
  const auto found = table.objects.find(handle);
  return found == table.objects.end() ? nullptr : found->second;
}

bool RemoveHandle(HANDLE handle) {
  std::shared_ptr<HandleObject> object;  // released outside the lock
  HandleTable& table = Handles();
  std::lock_guard lock(table.mutex);
  const auto found = table.objects.find(handle);
  if (found == table.objects.end()) return false;
  object = std::move(found->second);
  table.objects.erase(found);
  return true;
}

}  // namespace tz2platform

using namespace tz2platform;

HANDLE CreateFileA(LPCSTR fileName, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES, DWORD disposition,
                   DWORD, HANDLE) {
  if (!fileName || !*fileName || disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  const std::string path = NativePath(fileName);
  int flags = O_CLOEXEC | (Reads(access) && Writes(access) ? O_RDWR : Writes(access) ? O_WRONLY : O_RDONLY);
  if (disposition == CREATE_NEW) flags |= O_CREAT | O_EXCL;
  if (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS) flags |= O_CREAT;
  struct stat before {};
  const bool existed = stat(path.c_str(), &before) == 0;
  if (existed && S_ISDIR(before.st_mode)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  if (existed && Writes(access) && IsReadOnly(before)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  const int fd = open(path.c_str(), flags, 0666);
  if (fd < 0) {
    SetLastError(errno == ENOENT && (flags & O_CREAT) ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno));
    return INVALID_HANDLE_VALUE;
  }
  auto file = std::make_shared<FileObject>();
  file->fd = fd;
  file->access = access;
  file->share = shareMode;
  struct stat info {};
  fstat(fd, &info);
  file->device = info.st_dev;
  file->inode = info.st_ino;
  if (SharingConflict(info.st_dev, info.st_ino, access, shareMode)) {
    SetLastError(ERROR_SHARING_VIOLATION);
    return INVALID_HANDLE_VALUE;  // the descriptor closes with `file`
  }
  const bool truncate = disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
  if (truncate && ftruncate(fd, 0) != 0) {
    SetLastErrorFromErrno(errno);
    return INVALID_HANDLE_VALUE;
  }
  const HANDLE handle = AddHandle(file);
  SetLastError(existed && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS) ? ERROR_ALREADY_EXISTS
                                                                                      : ERROR_SUCCESS);
  return handle;
}

BOOL ReadFile(HANDLE handle, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED) {
  if (read) *read = 0;
  const auto file = FileOf(handle);
  if (!file) return FALSE;
  if (!Reads(file->access)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  DWORD done = 0;
  auto* out = static_cast<char*>(buffer);
  while (done < toRead) {
    const ssize_t n = ::read(file->fd, out + done, toRead - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      if (read) *read = done;
      SetLastErrorFromErrno(errno);
      return FALSE;
    }
    if (n == 0) break;
    done += static_cast<DWORD>(n);
  }
  if (read) *read = done;
  return TRUE;
}

BOOL WriteFile(HANDLE handle, LPCVOID buffer, DWORD toWrite, LPDWORD written, LPOVERLAPPED) {
  if (written) *written = 0;
  const auto file = FileOf(handle);
  if (!file) return FALSE;
  if (!Writes(file->access)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  DWORD done = 0;
  const auto* in = static_cast<const char*>(buffer);
  while (done < toWrite) {
    const ssize_t n = ::write(file->fd, in + done, toWrite - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (written) *written = done;
      SetLastErrorFromErrno(n < 0 ? errno : ENOSPC);
      return FALSE;
    }
    done += static_cast<DWORD>(n);
  }
  if (written) *written = done;
  return TRUE;
}

DWORD SetFilePointer(HANDLE handle, LONG distance, PLONG distanceHigh, DWORD method) {
  const auto file = FileOf(handle);
  if (!file) return INVALID_SET_FILE_POINTER;
  const std::int64_t move = distanceHigh ? static_cast<std::int64_t>((static_cast<std::uint64_t>(static_cast<std::uint32_t>(*distanceHigh)) << 32) |
                                                                     static_cast<std::uint32_t>(distance))
                                         : static_cast<std::int64_t>(distance);
  std::int64_t base = 0;
  if (method == FILE_CURRENT) {
    base = lseek(file->fd, 0, SEEK_CUR);
  } else if (method == FILE_END) {
    base = lseek(file->fd, 0, SEEK_END);
  } else if (method != FILE_BEGIN) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  const std::int64_t target = base + move;
  if (base < 0 || target < 0) {
    SetLastError(ERROR_NEGATIVE_SEEK);
    return INVALID_SET_FILE_POINTER;
  }
  if (lseek(file->fd, static_cast<off_t>(target), SEEK_SET) < 0) {
    SetLastErrorFromErrno(errno);
    return INVALID_SET_FILE_POINTER;
  }
  if (distanceHigh) *distanceHigh = static_cast<LONG>(target >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(target & 0xFFFFFFFF);
}

DWORD GetFileSize(HANDLE handle, LPDWORD sizeHigh) {
  const auto file = FileOf(handle);
  struct stat info {};
  if (!file || fstat(file->fd, &info) != 0) return INVALID_FILE_SIZE;
  if (sizeHigh) *sizeHigh = static_cast<DWORD>(static_cast<std::uint64_t>(info.st_size) >> 32);
  return static_cast<DWORD>(info.st_size & 0xFFFFFFFF);
}

BOOL FlushFileBuffers(HANDLE handle) {
  const auto file = FileOf(handle);
  return file && fsync(file->fd) == 0 ? TRUE : FALSE;
}

BOOL CloseHandle(HANDLE handle) {
  if (!RemoveHandle(handle)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

BOOL CopyFileA(LPCSTR existingFile, LPCSTR newFile, BOOL failIfExists) {
  if (!existingFile || !newFile) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::string from = NativePath(existingFile), to = NativePath(newFile);
  const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    SetLastErrorFromErrno(errno);
    return FALSE;
  }
  struct stat source {}, target {};
  fstat(in, &source);
  const bool targetExists = stat(to.c_str(), &target) == 0;
  DWORD error = ERROR_SUCCESS;
  if (targetExists && failIfExists) error = ERROR_FILE_EXISTS;
  else if (targetExists && (S_ISDIR(target.st_mode) || IsReadOnly(target))) error = ERROR_ACCESS_DENIED;
  else if (targetExists && SharingConflict(target.st_dev, target.st_ino, GENERIC_WRITE, 0)) error = ERROR_SHARING_VIOLATION;
  if (error != ERROR_SUCCESS) {
    close(in);
    SetLastError(error);
    return FALSE;
  }
  std::string temp = to + ".copy-XXXXXX";
  const int out = mkstemp(temp.data());
  if (out < 0) {
    const int e = errno;
    close(in);
    SetLastErrorFromErrno(e);
    return FALSE;
  }
  std::vector<char> buffer(1 << 16);
  int failure = 0;
  for (;;) {
    const ssize_t n = ::read(in, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) failure = errno;
    if (n <= 0) break;
    for (ssize_t done = 0; done < n && !failure;) {
      const ssize_t w = ::write(out, buffer.data() + done, static_cast<std::size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) failure = w < 0 ? errno : ENOSPC;
      else done += w;
    }
    if (failure) break;
  }
  close(in);
  if (!failure && fchmod(out, source.st_mode & 07777) != 0) failure = errno;
  if (close(out) != 0 && !failure) failure = errno;
  if (!failure && rename(temp.c_str(), to.c_str()) != 0) failure = errno;
  if (failure) {
    unlink(temp.c_str());
    SetLastErrorFromErrno(failure);
    return FALSE;
  }
  return TRUE;
}

BOOL DeleteFileA(LPCSTR fileName) {
  const std::string path = NativePath(fileName);
  if (unlink(path.c_str()) != 0) {
    SetLastErrorFromErrno(errno);
    return FALSE;
  }
  return TRUE;
}

DWORD GetFileAttributesA(LPCSTR fileName) {
  const std::string path = NativePath(fileName);
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) {
    SetLastErrorFromErrno(errno);
    return INVALID_FILE_ATTRIBUTES;
  }
  DWORD attributes = 0;
  if (S_ISDIR(info.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
  if (IsReadOnly(info)) attributes |= FILE_ATTRIBUTE_READONLY;
  return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES) {
  const std::string native = NativePath(path);
  if (mkdir(native.c_str(), 0777) != 0) {
    SetLastError(errno == EEXIST ? ERROR_ALREADY_EXISTS : ErrorFromErrno(errno));
    return FALSE;
  }
  return TRUE;
}
