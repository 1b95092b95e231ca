// The exporter's host classes: the scene-export class whose DoExport runs the export, and
// its class descriptor.
#pragma once

#include "host/ClassDesc.h"
#include "host/Plugin.h"

namespace tz2 {

inline const Class_ID kTz2ExportClassID(0x1A415687, 0x55D27CC6);

class Tz2Exporter : public SceneExport {
 public:
  ~Tz2Exporter() override = default;
  int ExtCount() override { return 1; }
  const char* Ext(int) override { return "tz2"; }
  const char* LongDesc() override { return "TZ2 File"; }
  const char* ShortDesc() override { return "TZ2 File"; }
  const char* AuthorName() override { return "Quarn Engine tools team"; }
  const char* CopyrightMessage() override { return "Copyright (c) Quarn Engine tools team"; }
  const char* OtherMessage1() override { return ""; }
  const char* OtherMessage2() override { return ""; }
  unsigned int Version() override { return 100; }
  void ShowAbout(HWND) override {}
  int DoExport(const char* name, ExpInterface* ei, Interface* i, BOOL suppressPrompts = FALSE,
               DWORD options = 0) override;
  BOOL SupportsOptions(int ext, DWORD options) override;
};

class Tz2ExportClassDesc : public ClassDesc2 {
 public:
  int IsPublic() override { return 1; }
  void* Create(BOOL loading = FALSE) override;
  const char* ClassName() override;
  SClass_ID SuperClassID() override { return SCENE_EXPORT_CLASS_ID; }
  Class_ID ClassID() override { return kTz2ExportClassID; }
  const char* Category() override { return "Quarn Engine"; }
  BOOL OkToCreate(Interface*) override { return TRUE; }
  BOOL HasClassParams() override { return FALSE; }
  int BeginCreate(Interface*) override { return 0; }
  int EndCreate(Interface*) override { return 0; }
  const char* InternalName() override { return "TZ2_Export"; }
  HINSTANCE HInstance() override;
};

ClassDesc2* GetTz2ExportDesc();

}  // namespace tz2
