// Processes: real child processes. CreateProcessA and WinExec split the command line as
// Windows splits it (quotes group, backslashes escape only before a quote) and run the first
// word as the program (searched on PATH when it has no folder); Sleep. Children that are
// never waited for are reaped so that they leave no zombies behind.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/WinTypes.h"

inline constexpr DWORD DEBUG_PROCESS = 0x00000001;
inline constexpr DWORD CREATE_SUSPENDED = 0x00000004;
inline constexpr DWORD DETACHED_PROCESS = 0x00000008;
inline constexpr DWORD CREATE_NEW_CONSOLE = 0x00000010;
inline constexpr DWORD NORMAL_PRIORITY_CLASS = 0x00000020;
inline constexpr DWORD CREATE_NEW_PROCESS_GROUP = 0x00000200;
inline constexpr DWORD CREATE_DEFAULT_ERROR_MODE = 0x04000000;
inline constexpr DWORD CREATE_NO_WINDOW = 0x08000000;
inline constexpr DWORD STARTF_USESHOWWINDOW = 0x00000001;
inline constexpr DWORD INFINITE = 0xFFFFFFFF;
inline constexpr DWORD WAIT_OBJECT_0 = 0x00000000;
inline constexpr DWORD WAIT_TIMEOUT = 0x00000102;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
inline constexpr DWORD STILL_ACTIVE = 259;

struct STARTUPINFOA {
  DWORD cb = sizeof(STARTUPINFOA);
  LPSTR lpReserved = nullptr;
  LPSTR lpDesktop = nullptr;
  LPSTR lpTitle = nullptr;
  DWORD dwX = 0, dwY = 0, dwXSize = 0, dwYSize = 0;
  DWORD dwXCountChars = 0, dwYCountChars = 0, dwFillAttribute = 0;
  DWORD dwFlags = 0;
  WORD wShowWindow = 0;
  WORD cbReserved2 = 0;
  LPBYTE lpReserved2 = nullptr;
  HANDLE hStdInput = nullptr, hStdOutput = nullptr, hStdError = nullptr;
};
using LPSTARTUPINFOA = STARTUPINFOA*;

struct PROCESS_INFORMATION {
  HANDLE hProcess = nullptr;
  HANDLE hThread = nullptr;
  DWORD dwProcessId = 0;
  DWORD dwThreadId = 0;
};
using LPPROCESS_INFORMATION = PROCESS_INFORMATION*;

// Starts a process. With a null application name the command line's first word is the
// program. The environment (a block of "NAME=value" texts ending with an empty one) and the
// folder default to the caller's. Fills `info` with process and thread handles (close both
// with CloseHandle) and returns TRUE; FALSE when the program cannot be started.
BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPSECURITY_ATTRIBUTES processSecurity,
                    LPSECURITY_ATTRIBUTES threadSecurity, BOOL inheritHandles, DWORD creationFlags,
                    LPVOID environment, LPCSTR currentDirectory, LPSTARTUPINFOA startup,
                    LPPROCESS_INFORMATION info);
// Starts the command line; returns a value above 31 on success, ERROR_FILE_NOT_FOUND (2) or
// another error number below 32 on failure.
UINT WinExec(LPCSTR commandLine, UINT showCommand);
void Sleep(DWORD milliseconds);
// Waits for a process handle to end (INFINITE, or up to the timeout).
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode);

// The words of a Windows command line; the first (the program) is split by the program-name
// rule (up to the closing quote, or to the first blank).
std::vector<std::string> SplitCommandLine(const std::string& commandLine);
// The command lines started since the last ResetDesktop(), successful or not.
std::vector<std::string> StartedCommandLines();
// Sleep first delivers the queued window messages (PumpMessages), then waits. With
// simulated sleep it only adds the time to a counter (tests); ResetDesktop() restores
// real sleep and clears the counter.
void SetSimulatedSleep(bool simulated);
std::uint64_t SimulatedSleepMilliseconds();
