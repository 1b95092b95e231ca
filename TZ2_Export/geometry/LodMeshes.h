// The level-of-detail mesh section: the base mesh and its generated levels as draw batches.
#pragma once

#include "TZ2_Export/format/OutputFile.h"
#include "TZ2_Export/shell/ExportState.h"

namespace tz2 {

// Writes the section and stores the number of levels written in the header.
void WriteLodMeshes(OutputFile& file, ExportState& s, const std::vector<std::uint32_t>& materialTable,
                    ModelHeader& header);

}  // namespace tz2
