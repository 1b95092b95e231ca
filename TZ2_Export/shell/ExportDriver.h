// The export driver: DoExport (the host's export entry: skin check, options dialog,
// distances, viewer, RunExport, messages, preview) and RunExport (one export: gather, build,
// write every section in file order, patch the header, report).
#pragma once

#include <string>

#include "TZ2_Export/shell/ExportTypes.h"
#include "platform/WinTypes.h"

class Interface;

namespace tz2 {

inline constexpr const char* kRootSource = "TZ2_Export_Root";

// Returns 1, or 0 when RunExport returned a negative code, or −3 when the skin setting
// check stopped the export.
int DoExport(const char* name, Interface* host, DWORD hostOptions);
ExportResult RunExport(const ExportOptions* options, const char* fileName, Interface* host);

// The message DoExport shows for a result; null for Ok and Cancelled.
const char* ResultMessage(ExportResult result, char* buffer, std::size_t size);

}  // namespace tz2
