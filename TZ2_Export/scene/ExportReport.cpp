// The export report's pieces, in their fixed order, appended with AppendBounded.
#include "TZ2_Export/scene/ExportReport.h"

#include <cstdio>

#include "TZ2_Export/geometry/AppendBounded.h"
#include "TZ2_Export/scene/NameRules.h"
#include "TZ2_Export/scene/Parts.h"
#include "host/INode.h"
#include "host/Mtl.h"
#include "platform/Windows.h"

namespace tz2 {
namespace {

// A piece is one unit: "'" + name + "'\n" is left out whole when it does not fit.
void QuotedPiece(char* text, const std::string& name) {
  const std::string piece = "'" + name + "'\n";
  AppendBounded(text, piece.c_str(), kReportCapacity);
}

}  // namespace

std::string BuildExportReport(ExportState& s) {
  char text[kReportCapacity] = "";
  if (s.deformableVerticesFound)
    AppendBounded(text, "*** WARNINIG: There are deformable vertices in model ! ***\n\n", kReportCapacity);
  AppendBounded(text, "Created parts: \n", kReportCapacity);
  const bool main = HasMainPart(s);
  if (main) AppendBounded(text, "'Main'\n", kReportCapacity);
  for (std::uint32_t i = 0; i < s.groupList.Count(); ++i) {
    const std::size_t record = main ? i + 1 : i;
    if (record >= s.partsTable.size()) break;
    const PartRecord& r = s.partsTable[record];
    const char* name = s.groupList[i].node->GetName();
    if (!(r.single || r.firstOfSeveral) || !IsGroupName(name)) continue;
    QuotedPiece(text, StartsWithAnyCase(name, "GRH_") ? name + 4 : name + 3);
  }
  AppendBounded(text, "\nPorts list:\n", kReportCapacity);
  for (std::uint32_t i = 0; i < s.boneList.Count(); ++i) {
    const char* name = s.boneList[i].node->GetName();
    if (IsPortName(name)) QuotedPiece(text, name);
  }
  AppendBounded(text, "\nModel uses materials:\n", kReportCapacity);
  for (const MaterialEntry& m : s.materialList)
    if (m.used) QuotedPiece(text, m.material->GetName().data());
  char line[128];
  std::snprintf(line, sizeof line, "Bones count: %d\n", static_cast<int>(s.boneList.Count()));
  AppendBounded(text, line, kReportCapacity);
  std::snprintf(line, sizeof line, "HitMesh count: %d\n", static_cast<int>(s.hitList.Count()));
  AppendBounded(text, line, kReportCapacity);
  std::snprintf(line, sizeof line, "Collizion boxes: %d\n", static_cast<int>(s.collisionList.Count()));
  AppendBounded(text, line, kReportCapacity);
  if (s.options.ExportAnimation) {
    std::snprintf(line, sizeof line, "Animation compression ratio: %d", static_cast<int>(s.animationRatio));
    AppendBounded(text, line, kReportCapacity);
    AppendBounded(text, "%\n", kReportCapacity);
  }
  return text;
}

void ShowExportReport(ExportState& s, const ModelHeader&) {
  const std::string text = BuildExportReport(s);
  MessageBoxA(nullptr, text.c_str(), "TZ2 Export", MB_OK);
}

}  // namespace tz2
