// The plug-in registry: every class the host knows, from loaded modules or built into the
// host, with the answers of its descriptor (class name, super class, class ID, category,
// public flag) and the module it came from. The host finds classes by super class and class
// ID, makes instances through their descriptors, and finds the exporter for a file
// extension here.
//
// A class is identified by its super class and class ID; a second class with the same pair
// is refused (the first one stays). The registry holds descriptors, never owns them.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/ClassDesc.h"

class SceneExport;

struct PluginClass {
  ClassDesc* desc = nullptr;
  std::string module;      // file name of the module, "" for a class built into the host
  std::string modulePath;  // full path of the module, "" for a built-in class
  std::string className;
  SClass_ID superClassID = 0;
  Class_ID classID;
  std::string category;
  bool isPublic = false;
};

// "0x1A415687, 0x55D27CC6"
std::string FormatClassID(const Class_ID& id);
// "scene export", "utility", "global utility", or the number in hexadecimal.
std::string SuperClassName(SClass_ID sclass);

class PluginRegistry {
 public:
  // Empty when the class was added, else why not (null descriptor, the pair is taken).
  std::string AddClass(ClassDesc* desc, const std::string& modulePath = {});
  // Forgets every class of the module at that path.
  void RemoveModuleClasses(const std::string& modulePath);
  void RemoveClass(ClassDesc* desc);
  void Clear() { classes_.clear(); }

  // In registration order.
  const std::vector<PluginClass>& Classes() const { return classes_; }
  const PluginClass* Find(SClass_ID sclass, const Class_ID& id) const;
  ClassDesc* FindClass(SClass_ID sclass, const Class_ID& id) const;
  std::vector<ClassDesc*> ClassesOf(SClass_ID sclass) const;

  // A new object of the class (ClassDesc::Create(FALSE)); null when the class is unknown.
  void* CreateInstance(SClass_ID sclass, const Class_ID& id) const;
  // A new exporter of the first public scene-export class (registration order) one of whose
  // extensions equals ext, compared without regard to case and with or without a leading
  // dot; null when none does. The host owns the exporter.
  std::unique_ptr<SceneExport> CreateExporterForExtension(std::string_view ext) const;

 private:
  std::vector<PluginClass> classes_;
};

// The host's registry (what its module loader fills and Interface::CreateInstance reads).
PluginRegistry& ThePluginRegistry();
