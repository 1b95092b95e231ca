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

// The result of the last export that DoExport ran: RunExport's code, or Cancelled when the
// skin check or the options dialog stopped it. The command line turns it into its exit status.
ExportResult LastExportResult();

// The message DoExport shows for a result; null for Ok and Cancelled.
const char* ResultMessage(ExportResult result, char* buffer, std::size_t size);

}  // namespace tz2
