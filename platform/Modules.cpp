// Modules: the registry of loaded modules (instance handle -> full path) and the module
// path queries GetModuleHandleA, GetModuleFileNameA and GetFullPathNameA. Handles are
// fresh for every registration and never reused; the program has its own fixed handle.
#include "platform/Modules.h"

#include <unistd.h>

#include <climits>
#include <map>
#include <mutex>
#include <vector>

#include "platform/impl/Internal.h"

using namespace tz2platform;

namespace {

const auto kProgram = reinterpret_cast<HINSTANCE>(static_cast<ULONG_PTR>(0x00400000));

struct ModuleTable {
  std::mutex mutex;
  std::map<HINSTANCE, std::string> paths;
  ULONG_PTR next = 0x10000000;
};

ModuleTable& Table() {
  static ModuleTable table;
  return table;
}

std::string ProgramPath() {
  std::vector<char> buffer(PATH_MAX + 1, '\0');
  const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  return n > 0 ? std::string(buffer.data(), static_cast<std::size_t>(n)) : std::string();
}

std::string FileNameOf(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The name GetModuleHandleA compares: a bare name gets ".dll"; a trailing dot means none.
std::string ModuleLookupName(std::string name) {
  const std::string file = FileNameOf(name);
  if (!file.empty() && file.back() == '.') {
    name.pop_back();
  } else if (file.find('.') == std::string::npos) {
    name += ".dll";
  }
  return name;
}

bool ModuleMatches(const std::string& path, const std::string& wanted) {
  if (wanted.find_first_of("/\\") != std::string::npos)
    return EqualNoCase(NativePath(path.c_str()), NativePath(wanted.c_str()));
  return EqualNoCase(FileNameOf(path), wanted);
}

}  // namespace

HINSTANCE RegisterModule(const std::string& path) {
  ModuleTable& table = Table();
  std::lock_guard lock(table.mutex);
  const auto handle = reinterpret_cast<HINSTANCE>(table.next);
  table.next += 0x10000;
  table.paths[handle] = path;
  return handle;
}

void UnregisterModule(HINSTANCE module) {
  {
    ModuleTable& table = Table();
    std::lock_guard lock(table.mutex);
    table.paths.erase(module);
  }
  DropModuleResources(module);
}

void ResetModules() {
  std::vector<HINSTANCE> modules;
  {
    ModuleTable& table = Table();
    std::lock_guard lock(table.mutex);
    for (const auto& [handle, path] : table.paths) modules.push_back(handle);
  }
  for (HINSTANCE module : modules) UnregisterModule(module);
}

std::string ModulePath(HINSTANCE module) {
  if (module == nullptr || module == kProgram) return ProgramPath();
  ModuleTable& table = Table();
  std::lock_guard lock(table.mutex);
  const auto found = table.paths.find(module);
  return found == table.paths.end() ? std::string() : found->second;
}

HMODULE GetModuleHandleA(LPCSTR moduleName) {
  if (moduleName == nullptr) return kProgram;
  const std::string wanted = ModuleLookupName(moduleName);
  {
    ModuleTable& table = Table();
    std::lock_guard lock(table.mutex);
    for (const auto& [handle, path] : table.paths)
      if (ModuleMatches(path, wanted)) return handle;
  }
  if (ModuleMatches(ProgramPath(), wanted)) return kProgram;
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
  const std::string path = ModulePath(module);
  if (path.empty()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (buffer == nullptr || size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  CopyTruncated(path, buffer, size);
  if (path.size() >= size) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(path.size());
}

namespace {

// The absolute, normalised form of a path: "/" separators, no "." or ".." segments, no
// doubled separators; a trailing separator is kept.
std::string AbsolutePath(const std::string& input) {
  std::string path = NativePath(input.c_str());
  if (path.empty() || path.front() != '/') {
    std::vector<char> cwd(PATH_MAX + 1, '\0');
    const std::string base = getcwd(cwd.data(), cwd.size()) ? cwd.data() : "/";
    path = base + "/" + path;
  }
  const bool trailing = path.back() == '/';
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find('/', start), path.size());
    const std::string part = path.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string out;
  for (const std::string& part : parts) out += "/" + part;
  if (out.empty() || trailing) out += "/";
  return out;
}

}  // namespace

DWORD GetFullPathNameA(LPCSTR fileName, DWORD size, LPSTR buffer, LPSTR* filePart) {
  if (filePart) *filePart = nullptr;
  if (fileName == nullptr || *fileName == '\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::string full = AbsolutePath(fileName);
  if (buffer == nullptr || full.size() + 1 > size) return static_cast<DWORD>(full.size() + 1);
  CopyTruncated(full, buffer, size);
  if (filePart && full.back() != '/') *filePart = buffer + full.find_last_of('/') + 1;
  return static_cast<DWORD>(full.size());
}
