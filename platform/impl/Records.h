// Records: what the dialog services record of the dialogs they show.
#pragma once

#include <cstddef>

#include "platform/Interaction.h"

namespace tz2platform {

std::size_t AddDialogRecord(const DialogRecord& record);
void FinishDialogRecord(std::size_t index, INT_PTR result, bool forcedClose);
void AddOpenFileRecord(const OpenFileRecord& record);

}  // namespace tz2platform
