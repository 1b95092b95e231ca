// Resources: the string tables modules declare in code, keyed by module instance and id,
// and LoadStringA over them. Unregistering a module drops its strings and dialogs.
#include "platform/Resources.h"

#include <map>
#include <mutex>
#include <utility>

#include "platform/Dialogs.h"
#include "platform/impl/Internal.h"

namespace {

struct StringTables {
  std::mutex mutex;
  std::map<std::pair<HINSTANCE, UINT>, std::string> strings;
};

StringTables& Tables() {
  static StringTables tables;
  return tables;
}

}  // namespace

void RegisterString(HINSTANCE module, UINT id, const std::string& text) {
  StringTables& tables = Tables();
  std::lock_guard lock(tables.mutex);
  tables.strings[{module, id}] = text;
}

int LoadStringA(HINSTANCE module, UINT id, LPSTR buffer, int size) {
  if (module == nullptr || buffer == nullptr || size <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  StringTables& tables = Tables();
  std::lock_guard lock(tables.mutex);
  const auto found = tables.strings.find({module, id});
  if (found == tables.strings.end()) {
    buffer[0] = '\0';
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return 0;
  }
  return static_cast<int>(tz2platform::CopyTruncated(found->second, buffer, static_cast<std::size_t>(size)));
}

void UnregisterStrings(HINSTANCE module) {
  StringTables& tables = Tables();
  std::lock_guard lock(tables.mutex);
  for (auto it = tables.strings.begin(); it != tables.strings.end();) {
    if (it->first.first == module) {
      it = tables.strings.erase(it);
    } else {
      ++it;
    }
  }
}

namespace tz2platform {
void DropModuleResources(HINSTANCE module) {
  UnregisterStrings(module);
  UnregisterDialogTemplates(module);
}
}  // namespace tz2platform
