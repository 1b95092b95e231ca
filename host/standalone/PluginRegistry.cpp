// The plug-in registry: class records kept in registration order, lookups by super class
// and class ID, instance creation and the exporter-by-extension search.
#include "host/standalone/PluginRegistry.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "host/Plugin.h"

namespace {

bool SameExtension(std::string_view a, std::string_view b) {
  if (!a.empty() && a.front() == '.') a.remove_prefix(1);
  if (!b.empty() && b.front() == '.') b.remove_prefix(1);
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

bool ExportsExtension(SceneExport& exporter, std::string_view ext) {
  const int count = exporter.ExtCount();
  for (int n = 0; n < count; ++n) {
    const char* e = exporter.Ext(n);
    if (e != nullptr && SameExtension(e, ext)) return true;
  }
  return false;
}

const char* OrEmpty(const char* s) { return s != nullptr ? s : ""; }

}  // namespace

std::string FormatClassID(const Class_ID& id) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "0x%08X, 0x%08X", static_cast<unsigned>(id.PartA()),
                static_cast<unsigned>(id.PartB()));
  return buf;
}

std::string SuperClassName(SClass_ID sclass) {
  switch (sclass) {
    case SCENE_EXPORT_CLASS_ID: return "scene export";
    case UTILITY_CLASS_ID: return "utility";
    case GUP_CLASS_ID: return "global utility";
    default: break;
  }
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%X", static_cast<unsigned>(sclass));
  return buf;
}

std::string PluginRegistry::AddClass(ClassDesc* desc, const std::string& modulePath) {
  if (desc == nullptr) return "no class descriptor";
  PluginClass entry;
  entry.desc = desc;
  entry.modulePath = modulePath;
  entry.module = modulePath.empty() ? "" : std::filesystem::path(modulePath).filename().string();
  entry.className = OrEmpty(desc->ClassName());
  entry.superClassID = desc->SuperClassID();
  entry.classID = desc->ClassID();
  entry.category = OrEmpty(desc->Category());
  entry.isPublic = desc->IsPublic() != 0;
  if (const PluginClass* taken = Find(entry.superClassID, entry.classID)) {
    return "class \"" + entry.className + "\" (" + FormatClassID(entry.classID) +
           ") has the class ID of \"" + taken->className + "\" from " +
           (taken->module.empty() ? std::string("the host") : taken->module);
  }
  classes_.push_back(std::move(entry));
  return {};
}

void PluginRegistry::RemoveModuleClasses(const std::string& modulePath) {
  std::erase_if(classes_, [&](const PluginClass& c) { return c.modulePath == modulePath; });
}

void PluginRegistry::RemoveClass(ClassDesc* desc) {
  std::erase_if(classes_, [desc](const PluginClass& c) { return c.desc == desc; });
}

const PluginClass* PluginRegistry::Find(SClass_ID sclass, const Class_ID& id) const {
  auto it = std::find_if(classes_.begin(), classes_.end(), [&](const PluginClass& c) {
    return c.superClassID == sclass && c.classID == id;
  });
  return it == classes_.end() ? nullptr : &*it;
}

ClassDesc* PluginRegistry::FindClass(SClass_ID sclass, const Class_ID& id) const {
  const PluginClass* c = Find(sclass, id);
  return c != nullptr ? c->desc : nullptr;
}

std::vector<ClassDesc*> PluginRegistry::ClassesOf(SClass_ID sclass) const {
  std::vector<ClassDesc*> out;
  for (const PluginClass& c : classes_)
    if (c.superClassID == sclass) out.push_back(c.desc);
  return out;
}

void* PluginRegistry::CreateInstance(SClass_ID sclass, const Class_ID& id) const {
  ClassDesc* desc = FindClass(sclass, id);
  return desc != nullptr ? desc->Create(FALSE) : nullptr;
}

std::unique_ptr<SceneExport> PluginRegistry::CreateExporterForExtension(
    std::string_view ext) const {
  for (const PluginClass& c : classes_) {
    if (c.superClassID != SCENE_EXPORT_CLASS_ID || !c.isPublic) continue;
    std::unique_ptr<SceneExport> exporter(static_cast<SceneExport*>(c.desc->Create(FALSE)));
    if (exporter != nullptr && ExportsExtension(*exporter, ext)) return exporter;
  }
  return nullptr;
}

PluginRegistry& ThePluginRegistry() {
  static PluginRegistry registry;
  return registry;
}
