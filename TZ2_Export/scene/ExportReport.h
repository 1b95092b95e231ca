// The export report: one message box after a successful export without preview, listing
// the parts, ports, materials, the bone, hit mesh and collision box counts and the
// animation compression. The text holds at most 1023 characters: a piece that does not fit
// is left out whole.
#pragma once

#include <string>

#include "TZ2_Export/shell/ExportState.h"

namespace tz2 {

inline constexpr std::size_t kReportCapacity = 1024;

std::string BuildExportReport(ExportState& s);
void ShowExportReport(ExportState& s, const ModelHeader& header);

}  // namespace tz2
