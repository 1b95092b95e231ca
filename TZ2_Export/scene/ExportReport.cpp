// The export report. Not built yet: nothing is shown.
#include "TZ2_Export/scene/ExportReport.h"

namespace tz2 {

void ShowExportReport(ExportState&, const ModelHeader&) {}

}  // namespace tz2
