// Debug: OutputDebugStringA appends to a process-wide trace log, which tests read and clear,
// and passes the text to an optional sink (the CLI prints it with --trace). Trace lines are
// a channel of their own, apart from the messages shown to the user.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/WinTypes.h"

void OutputDebugStringA(LPCSTR text);

// Every text traced since the last ClearTraceLog()/ResetDesktop(), one entry per call.
std::vector<std::string> TraceLog();
// The trace log joined into one text.
std::string TraceText();
void ClearTraceLog();
// Installs the sink called with each text (an empty function removes it).
void SetTraceSink(std::function<void(const std::string&)> sink);
