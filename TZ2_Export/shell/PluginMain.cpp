// The exporter module's entry points: the library's entry remembers the module handle, and
// the host asks for the description, the class count, the class descriptor and the SDK
// version it was built for.
#include "TZ2_Export/shell/ExportDriver.h"
#include "TZ2_Export/shell/Module.h"
#include "TZ2_Export/shell/Tz2Exporter.h"
#include "host/CustomControls.h"
#include "host/Interface.h"
#include "platform/Windows.h"

namespace {
bool g_controlsInitialised = false;
}

PLUGIN_EXPORT BOOL WINAPI DllMain(HINSTANCE hinstDLL, DWORD fdwReason, LPVOID) {
  if (fdwReason == DLL_PROCESS_ATTACH) {
    tz2::SetModuleInstance(hinstDLL);
    if (!g_controlsInitialised) {
      g_controlsInitialised = true;
      InitCustomControls(hinstDLL);
      InitCommonControls();
    }
  }
  return TRUE;
}

PLUGIN_EXPORT const char* LibDescription() { return tz2::LoadResourceString(tz2::IDS_LIBDESCRIPTION); }
PLUGIN_EXPORT int LibNumberClasses() { return 1; }
PLUGIN_EXPORT ClassDesc* LibClassDesc(int i) { return i == 0 ? tz2::GetTz2ExportDesc() : nullptr; }
PLUGIN_EXPORT ULONG LibVersion() { return HOST_SDK_VERSION_6; }

// The result code of the last export, for programs that drive the exporter (the command
// line's exit status).
PLUGIN_EXPORT int Tz2LastExportResult() { return tz2::LastExportResult(); }
