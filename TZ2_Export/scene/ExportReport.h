// The export report shown after a successful export without preview.
#pragma once

#include "TZ2_Export/shell/ExportState.h"

namespace tz2 {

void ShowExportReport(ExportState& s, const ModelHeader& header);

}  // namespace tz2
