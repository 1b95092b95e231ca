// The process-wide handler list behind RegisterNotification and BroadcastNotification.
//
// Registrations are kept in one vector in registration order, each with a serial number. A
// broadcast takes the serial numbers current when it starts and, for each, calls the handler
// only while that registration still exists, so handlers may change the list freely.
#include "host/Notify.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

struct Registration {
  NOTIFYPROC proc;
  void* param;
  int code;
  std::uint64_t serial;
};

struct HandlerList {
  std::vector<Registration> entries;
  std::uint64_t nextSerial = 1;
};

HandlerList& Handlers() {
  static HandlerList list;
  return list;
}

const Registration* FindBySerial(std::uint64_t serial) {
  const auto& entries = Handlers().entries;
  auto it = std::find_if(entries.begin(), entries.end(),
                         [serial](const Registration& r) { return r.serial == serial; });
  return it == entries.end() ? nullptr : &*it;
}

template <class Match>
int RemoveMatching(Match match) {
  auto& entries = Handlers().entries;
  const auto before = entries.size();
  std::erase_if(entries, match);
  return entries.size() != before ? TRUE : FALSE;
}

}  // namespace

int RegisterNotification(NOTIFYPROC proc, void* param, int code) {
  if (proc == nullptr) return FALSE;
  auto& list = Handlers();
  for (const Registration& r : list.entries)
    if (r.proc == proc && r.param == param && r.code == code) return FALSE;
  list.entries.push_back({proc, param, code, list.nextSerial++});
  return TRUE;
}

int UnRegisterNotification(NOTIFYPROC proc, void* param, int code) {
  return RemoveMatching([&](const Registration& r) {
    return r.proc == proc && r.param == param && r.code == code;
  });
}

int UnRegisterNotification(NOTIFYPROC proc, void* param) {
  return RemoveMatching([&](const Registration& r) { return r.proc == proc && r.param == param; });
}

void BroadcastNotification(int code, void* callParam) {
  std::vector<std::uint64_t> serials;
  for (const Registration& r : Handlers().entries)
    if (r.code == code) serials.push_back(r.serial);
  for (std::uint64_t serial : serials) {
    const Registration* r = FindBySerial(serial);
    if (r == nullptr) continue;  // unregistered by an earlier handler of this broadcast
    const NOTIFYPROC proc = r->proc;
    void* const param = r->param;
    NotifyInfo info{code, callParam};
    proc(param, &info);
  }
}

int NotificationHandlerCount(int code) {
  const auto& entries = Handlers().entries;
  return static_cast<int>(std::count_if(entries.begin(), entries.end(),
                                        [code](const Registration& r) { return r.code == code; }));
}
