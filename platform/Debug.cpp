// Debug: the trace sink behind OutputDebugStringA: a process-wide log of every text traced
// and an optional sink function that sees each text as it comes.
#include "platform/Debug.h"

#include <mutex>

#include "platform/impl/Internal.h"

namespace {

struct TraceState {
  std::mutex mutex;
  std::vector<std::string> log;
  std::function<void(const std::string&)> sink;
};

TraceState& State() {
  static TraceState state;
  return state;
}

}  // namespace

void OutputDebugStringA(LPCSTR text) {
  const std::string line = text ? text : "";
  std::function<void(const std::string&)> sink;
  {
    TraceState& state = State();
    std::lock_guard lock(state.mutex);
    state.log.push_back(line);
    sink = state.sink;
  }
  if (sink) sink(line);
}

std::vector<std::string> TraceLog() {
  TraceState& state = State();
  std::lock_guard lock(state.mutex);
  return state.log;
}

std::string TraceText() {
  std::string out;
  for (const std::string& line : TraceLog()) out += line;
  return out;
}

void ClearTraceLog() {
  TraceState& state = State();
  std::lock_guard lock(state.mutex);
  state.log.clear();
}

void SetTraceSink(std::function<void(const std::string&)> sink) {
  TraceState& state = State();
  std::lock_guard lock(state.mutex);
  state.sink = std::move(sink);
}

namespace tz2platform {
void ResetTrace() {
  ClearTraceLog();
  SetTraceSink({});
}
}  // namespace tz2platform
