// Files: file handles over POSIX files with the Win32 return conventions: CreateFileA gives
// INVALID_HANDLE_VALUE on failure, ReadFile/WriteFile/CloseHandle/CopyFileA give FALSE,
// SetFilePointer gives INVALID_SET_FILE_POINTER; GetLastError() says why. CloseHandle also
// closes process and thread handles (platform/Processes.h).
#pragma once

#include "platform/WinTypes.h"

inline constexpr DWORD GENERIC_ALL = 0x10000000;
inline constexpr DWORD GENERIC_EXECUTE = 0x20000000;
inline constexpr DWORD GENERIC_WRITE = 0x40000000;
inline constexpr DWORD GENERIC_READ = 0x80000000;
inline constexpr DWORD FILE_SHARE_READ = 0x00000001;
inline constexpr DWORD FILE_SHARE_WRITE = 0x00000002;
inline constexpr DWORD FILE_SHARE_DELETE = 0x00000004;
inline constexpr DWORD CREATE_NEW = 1;
inline constexpr DWORD CREATE_ALWAYS = 2;
inline constexpr DWORD OPEN_EXISTING = 3;
inline constexpr DWORD OPEN_ALWAYS = 4;
inline constexpr DWORD TRUNCATE_EXISTING = 5;
inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x00000001;
inline constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x00000002;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x00000010;
inline constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x00000020;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080;
inline constexpr DWORD FILE_FLAG_SEQUENTIAL_SCAN = 0x08000000;
inline constexpr DWORD FILE_FLAG_WRITE_THROUGH = 0x80000000;
inline constexpr DWORD FILE_BEGIN = 0;
inline constexpr DWORD FILE_CURRENT = 1;
inline constexpr DWORD FILE_END = 2;
inline constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFF;
inline constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFF;
inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

struct OVERLAPPED;
using LPOVERLAPPED = OVERLAPPED*;

HANDLE CreateFileA(LPCSTR fileName, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                   DWORD disposition, DWORD flags, HANDLE templateFile);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, LPOVERLAPPED overlapped);
// Moves the position; returns its low 32 bits (the high ones go to *distanceHigh when given).
// A move before the start fails with ERROR_NEGATIVE_SEEK and keeps the position.
DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD method);
DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh);
BOOL FlushFileBuffers(HANDLE file);
BOOL CloseHandle(HANDLE handle);
// Copies a file; with failIfExists a present target is an error (ERROR_FILE_EXISTS). The
// copy goes to a temporary file first, so a failed copy leaves the target as it was.
BOOL CopyFileA(LPCSTR existingFile, LPCSTR newFile, BOOL failIfExists);
BOOL DeleteFileA(LPCSTR fileName);
DWORD GetFileAttributesA(LPCSTR fileName);
BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES security);
