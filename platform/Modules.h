// Modules: the registry of loaded modules and the module path queries. The host's module
// loader registers every plug-in module it loads; GetModuleHandleA finds a module by its file
// name (without regard to case), GetModuleFileNameA gives its full path; the null module is
// the program itself. GetFullPathNameA resolves a path against the current folder and
// accepts "/" and "\\" as separators.
#pragma once

#include <string>

#include "platform/WinTypes.h"

// Registers a loaded module by its path and returns its fresh, non-null instance handle.
HINSTANCE RegisterModule(const std::string& path);
// Forgets a module and drops its string table and dialog templates.
void UnregisterModule(HINSTANCE module);
// Unregisters every module.
void ResetModules();

// The module whose file name (the part after the last separator) equals `moduleName`
// without regard to case; a name without an extension matches "name.dll" as on Win32; null
// gives the program. Null when no module matches.
HMODULE GetModuleHandleA(LPCSTR moduleName);
// Copies the module's full path (the program's for null) into buffer and returns its length;
// a path that does not fit is truncated to size - 1 characters and size is returned
// (ERROR_INSUFFICIENT_BUFFER); 0 for an unknown module.
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);
// Writes the absolute form of `fileName` (current folder prepended to a relative one, "."
// and ".." removed) into buffer and returns its length; when it does not fit returns the
// size needed including the zero and writes nothing. *filePart (when given) points at the
// file name in buffer, or is null when the path ends with a separator.
DWORD GetFullPathNameA(LPCSTR fileName, DWORD size, LPSTR buffer, LPSTR* filePart);

// The registered path of a module, "" when unknown.
std::string ModulePath(HINSTANCE module);
