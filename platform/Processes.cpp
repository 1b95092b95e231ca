// Processes: real child processes started with posix_spawn, the Windows command-line split,
// process handles (WaitForSingleObject, GetExitCodeProcess), and Sleep. A child whose
// handles are all closed before it was waited for is reaped by a small detached thread, so
// no zombie stays behind. Sleep first delivers the queued window messages (the other
// programs of the desktop handle their messages while the caller waits); tests can make it
// count the time instead of waiting.
#include "platform/Processes.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/Desktop.h"
#include "platform/Files.h"
#include "platform/impl/Handles.h"
#include "platform/impl/Internal.h"

extern char** environ;

namespace tz2platform {
namespace {

struct ProcessObject : HandleObject {
  std::mutex mutex;
  pid_t pid = 0;
  bool exited = false;
  DWORD exitCode = STILL_ACTIVE;

  // Collects the exit status; with `block` waits for it.
  bool Poll(bool block) {
    std::lock_guard lock(mutex);
    if (exited) return true;
    int status = 0;
    pid_t r;
    do {
      r = waitpid(pid, &status, block ? 0 : WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r != pid) return false;
    exited = true;
    exitCode = WIFEXITED(status) ? static_cast<DWORD>(WEXITSTATUS(status))
                                 : 128u + static_cast<DWORD>(WTERMSIG(status));
    return true;
  }

  ~ProcessObject() override {
    if (!exited && pid > 0) {
      const pid_t child = pid;
      std::thread([child] {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
      }).detach();
    }
  }
};

struct ThreadObject : HandleObject {
  std::shared_ptr<ProcessObject> process;
};

struct ProcessState {
  std::mutex mutex;
  std::vector<std::string> commandLines;
  bool simulatedSleep = false;
  std::uint64_t slept = 0;
};

ProcessState& State() {
  static ProcessState state;
  return state;
}

void RecordCommandLine(const std::string& commandLine) {
  ProcessState& state = State();
  std::lock_guard lock(state.mutex);
  state.commandLines.push_back(commandLine);
}

// Backslashes before a quote: 2n give n and the quote acts; 2n+1 give n and a literal quote.
// Backslashes elsewhere are literal. Inside quotes, "" is a literal quote.
std::string ParseArgument(const std::string& line, std::size_t& i) {
  std::string arg;
  bool quoted = false;
  while (i < line.size()) {
    const char c = line[i];
    if (!quoted && (c == ' ' || c == '\t')) break;
    if (c == '\\') {
      std::size_t n = 0;
      while (i < line.size() && line[i] == '\\') ++n, ++i;
      if (i < line.size() && line[i] == '"') {
        arg.append(n / 2, '\\');
        if (n % 2) {
          arg += '"';
          ++i;
        }
      } else {
        arg.append(n, '\\');
      }
      continue;
    }
    if (c == '"') {
      if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
        arg += '"';
        i += 2;
        continue;
      }
      quoted = !quoted;
      ++i;
      continue;
    }
    arg += c;
    ++i;
  }
  return arg;
}

struct Spawned {
  pid_t pid = 0;
  int error = 0;
};

// Starts `program` with `args`; `search` looks the program up on PATH.
Spawned Spawn(const std::string& program, const std::vector<std::string>& args, bool search, char** env,
              const char* directory, bool newGroup) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (directory && *directory) posix_spawn_file_actions_addchdir_np(&actions, directory);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  if (newGroup) {
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
  }
  Spawned result;
  result.error = search ? posix_spawnp(&result.pid, program.c_str(), &actions, &attributes, argv.data(), env)
                        : posix_spawn(&result.pid, program.c_str(), &actions, &attributes, argv.data(), env);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  return result;
}

// The "NAME=value" texts of an environment block.
std::vector<std::string> EnvironmentTexts(const char* block) {
  std::vector<std::string> out;
  while (block && *block) {
    out.emplace_back(block);
    block += out.back().size() + 1;
  }
  return out;
}

}  // namespace

void ResetProcesses() {
  ProcessState& state = State();
  std::lock_guard lock(state.mutex);
  state.commandLines.clear();
  state.simulatedSleep = false;
  state.slept = 0;
}

}  // namespace tz2platform

using namespace tz2platform;

std::vector<std::string> SplitCommandLine(const std::string& line) {
  std::vector<std::string> words;
  std::size_t i = line.find_first_not_of(" \t");
  if (i == std::string::npos) return words;
  if (line[i] == '"') {  // the program name: up to the closing quote, no escapes
    const std::size_t close = line.find('"', i + 1);
    words.push_back(line.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1));
    i = close == std::string::npos ? line.size() : close + 1;
  } else {
    const std::size_t end = std::min(line.find_first_of(" \t", i), line.size());
    words.push_back(line.substr(i, end - i));
    i = end;
  }
  for (;;) {
    i = line.find_first_not_of(" \t", i);
    if (i == std::string::npos) break;
    words.push_back(ParseArgument(line, i));
  }
  return words;
}

BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL,
                    DWORD creationFlags, LPVOID environment, LPCSTR currentDirectory, LPSTARTUPINFOA,
                    LPPROCESS_INFORMATION info) {
  if (!applicationName && !commandLine) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::string line = commandLine ? commandLine : "";
  RecordCommandLine(line.empty() && applicationName ? applicationName : line);
  std::vector<std::string> args = SplitCommandLine(line);
  if (args.empty() && applicationName) args.push_back(applicationName);
  if (args.empty() || args.front().empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  const std::string program = NativePath(applicationName ? applicationName : args.front().c_str());
  const bool search = !applicationName && program.find('/') == std::string::npos;
  std::vector<std::string> envTexts = EnvironmentTexts(static_cast<const char*>(environment));
  std::vector<char*> env;
  for (std::string& e : envTexts) env.push_back(e.data());
  env.push_back(nullptr);
  const std::string directory = currentDirectory ? NativePath(currentDirectory) : std::string();
  const Spawned spawned = Spawn(program, args, search, environment ? env.data() : environ,
                                currentDirectory ? directory.c_str() : nullptr,
                                (creationFlags & CREATE_NEW_PROCESS_GROUP) != 0);
  if (spawned.error) {
    SetLastErrorFromErrno(spawned.error);
    return FALSE;
  }
  auto process = std::make_shared<ProcessObject>();
  process->pid = spawned.pid;
  auto thread = std::make_shared<ThreadObject>();
  thread->process = process;
  if (info) {
    info->hProcess = AddHandle(process);
    info->hThread = AddHandle(thread);
    info->dwProcessId = static_cast<DWORD>(spawned.pid);
    info->dwThreadId = static_cast<DWORD>(spawned.pid);
  }
  // Without `info` nobody holds a handle: the child is reaped when `process` goes.
  return TRUE;
}

UINT WinExec(LPCSTR commandLine, UINT) {
  if (!commandLine) return 0;
  std::string line = commandLine;
  PROCESS_INFORMATION info;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info)) {
    const DWORD error = GetLastError();
    return error > 0 && error < 32 ? error : ERROR_FILE_NOT_FOUND;
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return 33;
}

void Sleep(DWORD milliseconds) {
  PumpMessages();
  {
    ProcessState& state = State();
    std::lock_guard lock(state.mutex);
    if (state.simulatedSleep) {
      state.slept += milliseconds;
      return;
    }
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  auto process = FindHandleOf<ProcessObject>(handle);
  if (!process) {
    if (auto thread = FindHandleOf<ThreadObject>(handle)) process = thread->process;
  }
  if (!process) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  if (milliseconds == INFINITE) return process->Poll(true) ? WAIT_OBJECT_0 : WAIT_FAILED;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    if (process->Poll(false)) return WAIT_OBJECT_0;
    if (std::chrono::steady_clock::now() >= deadline) return WAIT_TIMEOUT;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

BOOL GetExitCodeProcess(HANDLE handle, LPDWORD exitCode) {
  const auto process = FindHandleOf<ProcessObject>(handle);
  if (!process || !exitCode) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  process->Poll(false);
  std::lock_guard lock(process->mutex);
  *exitCode = process->exitCode;
  return TRUE;
}

std::vector<std::string> StartedCommandLines() {
  ProcessState& state = State();
  std::lock_guard lock(state.mutex);
  return state.commandLines;
}

void SetSimulatedSleep(bool simulated) {
  ProcessState& state = State();
  std::lock_guard lock(state.mutex);
  state.simulatedSleep = simulated;
}

std::uint64_t SimulatedSleepMilliseconds() {
  ProcessState& state = State();
  std::lock_guard lock(state.mutex);
  return state.slept;
}
