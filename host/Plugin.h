// Plug-in classes and module entry points: the kinds of plug-in the host runs (scene
// exporters, utilities of the Utilities panel, global utilities), their super class IDs, the
// functions every plug-in module exports, and the SDK version a module is built against.
//
// A module exports by name (PLUGIN_EXPORT, C linkage):
//   DllMain(instance, DLL_PROCESS_ATTACH / DLL_PROCESS_DETACH, nullptr)   optional
//   LibDescription()      one line describing the module
//   LibNumberClasses()    how many classes it brings
//   LibClassDesc(i)       the descriptor of class i, null out of range
//   LibVersion()          the HOST_SDK_VERSION_* it was built against
// The host calls DllMain with the module's own instance right after loading it, before any
// other entry (the module keeps the instance: its strings, dialogs and ini file are found
// through it), and with DLL_PROCESS_DETACH before unloading it.
#pragma once

#include "host/ChunkStream.h"
#include "host/ClassDesc.h"
#include "platform/WinTypes.h"

class Interface;
class IUtil;

// Super classes of the plug-in kinds.
inline constexpr SClass_ID SCENE_EXPORT_CLASS_ID = 0xA20;
inline constexpr SClass_ID UTILITY_CLASS_ID = 0x1020;
inline constexpr SClass_ID GUP_CLASS_ID = 0x10E0;

// SDK versions: release << 16 | interface << 8 | revision. A module built against an older
// release with the same interface number is compatible.
inline constexpr ULONG HOST_SDK_VERSION_6 = 0x17700D00;        // release 6000, interface 13
inline constexpr ULONG HOST_SDK_VERSION_7 = 0x1B580D00;        // release 7000, interface 13
inline constexpr ULONG HOST_SDK_VERSION = HOST_SDK_VERSION_7;  // this host
inline constexpr ULONG HOST_SDK_OLDEST_RELEASE = 6000;
constexpr ULONG SdkRelease(ULONG version) { return version >> 16; }
constexpr ULONG SdkInterface(ULONG version) { return (version >> 8) & 0xFF; }
// TRUE when this host can run a module that answers `version` from LibVersion.
constexpr bool IsCompatibleSdkVersion(ULONG version) {
  return SdkInterface(version) == SdkInterface(HOST_SDK_VERSION) &&
         SdkRelease(version) >= HOST_SDK_OLDEST_RELEASE &&
         SdkRelease(version) <= SdkRelease(HOST_SDK_VERSION);
}

// ---------------------------------------------------------------------------------------
// Scene export

// SupportsOptions / DoExport option bits.
inline constexpr DWORD SCENE_EXPORT_SELECTED = 1;

// What the host hands an exporter besides the host interface: the scene being exported.
class ExpInterface {
 public:
  virtual ~ExpInterface() = default;
};

// A scene exporter, created per export by its class descriptor; the host deletes it.
class SceneExport {
 public:
  virtual ~SceneExport() = default;
  virtual int ExtCount() = 0;
  // Extension n without the dot ("tz2").
  virtual const char* Ext(int n) = 0;
  virtual const char* LongDesc() = 0;
  virtual const char* ShortDesc() = 0;
  virtual const char* AuthorName() = 0;
  virtual const char* CopyrightMessage() = 0;
  virtual const char* OtherMessage1() = 0;
  virtual const char* OtherMessage2() = 0;
  // Version times 100 (100 is 1.00).
  virtual unsigned int Version() = 0;
  virtual void ShowAbout(HWND hWnd) = 0;
  // Writes the scene into `name`; nonzero on success. suppressPrompts asks for no dialog,
  // options carries SCENE_EXPORT_SELECTED when only the selection is to be exported.
  virtual int DoExport(const char* name, ExpInterface* ei, Interface* i,
                       BOOL suppressPrompts = FALSE, DWORD options = 0) = 0;
  virtual BOOL SupportsOptions(int /*ext*/, DWORD /*options*/) { return FALSE; }
};

// ---------------------------------------------------------------------------------------
// Utilities

// The Utilities panel as a utility sees it.
class IUtil {
 public:
  virtual ~IUtil() = default;
  // Asks the panel to close the running utility (its EndEditParams follows).
  virtual void CloseUtility() {}
};

// A utility of the Utilities panel: BeginEditParams when the user opens it, EndEditParams
// when it closes. DeleteThis is how the host lets go of it (a utility kept as one static
// object does nothing there).
class UtilityObj {
 public:
  virtual ~UtilityObj() = default;
  virtual void BeginEditParams(Interface* ip, IUtil* iu) = 0;
  virtual void EndEditParams(Interface* ip, IUtil* iu) = 0;
  virtual void SelectionSetChanged(Interface* /*ip*/, IUtil* /*iu*/) {}
  virtual void DeleteThis() = 0;
  virtual void SetStartupParam(const char* /*param*/) {}
};

// ---------------------------------------------------------------------------------------
// Global utilities

// Start results.
inline constexpr DWORD GUPRESULT_KEEP = 0x00;    // stays loaded
inline constexpr DWORD GUPRESULT_NOKEEP = 0x01;  // the host stops and deletes it at once
inline constexpr DWORD GUPRESULT_ABORT = 0x03;   // the same

// A global utility plug-in: created and started when the host starts, stopped and deleted
// (DeleteThis) when it exits. Save and Load carry its data with the scene.
class GUP {
 public:
  virtual ~GUP() = default;
  virtual DWORD Start() = 0;
  virtual void Stop() = 0;
  virtual DWORD_PTR Control(DWORD /*parameter*/) { return 0; }
  virtual void DeleteThis() { delete this; }
  virtual IOResult Save(ISave* /*isave*/) { return IO_OK; }
  virtual IOResult Load(ILoad* /*iload*/) { return IO_OK; }
};

// ---------------------------------------------------------------------------------------
// Module entry points

#define PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))

inline constexpr DWORD DLL_PROCESS_DETACH = 0;
inline constexpr DWORD DLL_PROCESS_ATTACH = 1;

using DllMainProc = BOOL (*)(HINSTANCE, DWORD, LPVOID);
using LibDescriptionProc = const char* (*)();
using LibNumberClassesProc = int (*)();
using LibClassDescProc = ClassDesc* (*)(int);
using LibVersionProc = ULONG (*)();

// A module's entry points as the host holds them (DllMain may be null).
struct ModuleEntryPoints {
  DllMainProc dllMain = nullptr;
  LibDescriptionProc libDescription = nullptr;
  LibNumberClassesProc libNumberClasses = nullptr;
  LibClassDescProc libClassDesc = nullptr;
  LibVersionProc libVersion = nullptr;
};

PLUGIN_EXPORT BOOL WINAPI DllMain(HINSTANCE hinstDLL, DWORD fdwReason, LPVOID lpvReserved);
PLUGIN_EXPORT const char* LibDescription();
PLUGIN_EXPORT int LibNumberClasses();
PLUGIN_EXPORT ClassDesc* LibClassDesc(int i);
PLUGIN_EXPORT ULONG LibVersion();
