// The scene-export class and its descriptor.
#include "TZ2_Export/shell/Tz2Exporter.h"

#include "TZ2_Export/shell/ExportDriver.h"
#include "TZ2_Export/shell/Module.h"

namespace tz2 {

int Tz2Exporter::DoExport(const char* name, ExpInterface*, Interface* i, BOOL, DWORD options) {
  return tz2::DoExport(name, i, options);
}

BOOL Tz2Exporter::SupportsOptions(int, DWORD options) { return options == SCENE_EXPORT_SELECTED; }

void* Tz2ExportClassDesc::Create(BOOL) { return new Tz2Exporter; }
const char* Tz2ExportClassDesc::ClassName() { return LoadResourceString(IDS_CLASS_NAME); }
HINSTANCE Tz2ExportClassDesc::HInstance() { return ModuleInstance(); }

ClassDesc2* GetTz2ExportDesc() {
  static Tz2ExportClassDesc desc;
  return &desc;
}

}  // namespace tz2
