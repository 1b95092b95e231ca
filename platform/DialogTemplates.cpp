// DialogTemplates: the dialog templates modules declare in code, keyed by module instance
// and resource name ("#<id>" for a numbered resource, as a MAKEINTRESOURCE value names it).
#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "platform/Dialogs.h"

namespace {

struct TemplateTable {
  std::mutex mutex;
  // Templates stay at one address while registered, so pointers handed out stay valid.
  std::map<std::pair<HINSTANCE, std::string>, std::shared_ptr<DialogTemplate>> templates;
};

TemplateTable& Table() {
  static TemplateTable table;
  return table;
}

std::string ResourceKey(LPCSTR name) {
  if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name));
  return name;
}

void Store(HINSTANCE module, std::string key, DialogTemplate dialog) {
  TemplateTable& table = Table();
  std::lock_guard lock(table.mutex);
  table.templates[{module, std::move(key)}] = std::make_shared<DialogTemplate>(std::move(dialog));
}

}  // namespace

void RegisterDialogTemplate(HINSTANCE module, int id, DialogTemplate dialog) {
  Store(module, "#" + std::to_string(id), std::move(dialog));
}

void RegisterDialogTemplate(HINSTANCE module, const std::string& name, DialogTemplate dialog) {
  Store(module, name, std::move(dialog));
}

const DialogTemplate* FindDialogTemplate(HINSTANCE module, LPCSTR name) {
  if (name == nullptr) return nullptr;
  TemplateTable& table = Table();
  std::lock_guard lock(table.mutex);
  const auto found = table.templates.find({module, ResourceKey(name)});
  return found == table.templates.end() ? nullptr : found->second.get();
}

void UnregisterDialogTemplates(HINSTANCE module) {
  TemplateTable& table = Table();
  std::lock_guard lock(table.mutex);
  for (auto it = table.templates.begin(); it != table.templates.end();) {
    if (it->first.first == module) {
      it = table.templates.erase(it);
    } else {
      ++it;
    }
  }
}
