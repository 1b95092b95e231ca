// TZ2_Export_Root: the sequence of one export.
//
// RunExport resets ExportState, gathers the scene, builds materials, bones, surfaces, parts
// and chunks, then writes the header and the seven sections in file order into a temporary
// file that replaces the target only when every write succeeded, patches the header and
// releases the state on every way out.
#include "TZ2_Export/shell/ExportDriver.h"

#include <cstdio>

#include "TZ2_Export/format/OutputFile.h"
#include "TZ2_Export/geometry/LodMeshes.h"
#include "TZ2_Export/scene/CollisionBoxes.h"
#include "TZ2_Export/scene/ExportReport.h"
#include "TZ2_Export/scene/HitMeshes.h"
#include "TZ2_Export/scene/NodeClassification.h"
#include "TZ2_Export/scene/Parts.h"
#include "TZ2_Export/scene/Surfaces.h"
#include "TZ2_Export/shell/ExportOptions.h"
#include "TZ2_Export/shell/ExportState.h"
#include "TZ2_Export/shell/LodDistances.h"
#include "TZ2_Export/shell/Module.h"
#include "TZ2_Export/shell/Preview.h"
#include "TZ2_Export/skeleton/Animation.h"
#include "TZ2_Export/skeleton/Bones.h"
#include "TZ2_Export/skeleton/CameraPorts.h"
#include "TZ2_Export/skeleton/Skin.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "host/Object.h"
#include "host/Plugin.h"
#include "host/Time.h"
#include "platform/Windows.h"

namespace tz2 {
namespace {

DWORD WINAPI NoWork(LPVOID) { return 0; }

ExportResult g_lastResult = Cancelled;

void Progress(Interface* host, int percent) { host->ProgressUpdate(percent, TRUE, nullptr); }

const char* const kRestartMessage =
    "Плагин только что установил опцию \"USE_2.2_RIGID_DEFORMATIONS=Yes\",\n"
    "чтобы анимация в 3DS MAX больше соответсвовала тому, что будет в игре.\n"
    "Подробнее в документации \"TZ2 Файлы.doc\"\n"
    "Пожалуйста перезагрузите 3DS MAX.";

const char* const kCollisionQuestion =
    "Поскольку анимация не экспортируется, то все CL_xx объекты будут проигнорированы. Продолжить ?";

// The field of view of "tag_Camera" at the first frame, or the default.
float FieldOfView(ExportState& s) {
  INode* camera = s.host->GetINodeByName("tag_Camera");
  if (!camera) return DefaultFov();
  const TimeValue t = s.firstFrame * GetTicksPerFrame();
  const ObjectState os = camera->EvalWorldState(t);
  if (!os.obj || os.obj->SuperClassID() != CAMERA_CLASS_ID) return DefaultFov();
  return static_cast<CameraObject*>(os.obj)->GetFOV(t);
}

void WriteHeader(OutputFile& file, const ModelHeader& header) {
  const HeaderBytes bytes = SerializeHeader(header);
  file.Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

ExportResult Finish(ExportState& s, ExportResult result) {
  s.Release();
  return result;
}

}  // namespace

const char* ResultMessage(ExportResult result, char* buffer, std::size_t size) {
  switch (result) {
    case CannotCreateFile: return "Unable to Create File!";
    case NoMaterials: return "No materials to Export!";
    case TooManyGroups:
      std::snprintf(buffer, size, "There are too many groups in model. Maximum number of groups is %d.", kMaxGroups);
      return buffer;
    case NoValidObjects:
      return "There are no valid objects found in scene.\n\nThings to check:\n- \"Export selected only\" option;\n"
             "- Mesh should have UV mapping;\n- Mesh should have material with \"Diffuse map: Bitmap\" applied;\n"
             "- Check mesh size: maybe too small (<0.1 unit).\n";
    default: return nullptr;
  }
}

ExportResult LastExportResult() { return g_lastResult; }

int DoExport(const char* name, Interface* host, DWORD hostOptions) {
  g_lastResult = Cancelled;
  if (EnsureRigidDeformations()) {
    MessageBoxA(GetActiveWindow(), kRestartMessage, "Warning", MB_OK);
    return -3;
  }
  ExportState& s = State();
  s.fileName = name ? name : "";
  s.host = host;
  ExportOptions options;  // cleared
  options.ExportSelectedOnly = (hostOptions & SCENE_EXPORT_SELECTED) != 0;

  if (host) host->ProgressStart("TZ2 Export", TRUE, NoWork, nullptr);
  int ret = 1;
  OptionsDialogContext context{&options, host, s.fileName};
  const INT_PTR choice = DialogBoxParamA(ModuleInstance(), MAKEINTRESOURCEA(IDD_EXPORT_OPTIONS), GetActiveWindow(),
                                         OptionsDialogProc, reinterpret_cast<LPARAM>(&context));
  if (choice == kOptionsDialogOk) {
    ReconcileLodDistances(s.fileName, host);
    if (options.Preview) CloseViewer();
    const ExportResult result = RunExport(&options, name, host);
    g_lastResult = result;
    char buffer[256];
    if (result == Ok) {
      if (options.Preview) StartPreview(s.fileName, options.TZ2ViewPath);
    } else if (const char* message = ResultMessage(result, buffer, sizeof buffer)) {
      MessageBoxA(GetActiveWindow(), message, "Error", MB_OK | MB_ICONERROR);
    }
    if (result < 0) ret = 0;
  }
  if (host) {
    host->ProgressEnd();
    host->ForceCompleteRedraw(TRUE);
  }
  return ret;
}

ExportResult RunExport(const ExportOptions* options, const char* fileName, Interface* host) {
  ExportState& s = State();
  s.cameraSamples.clear();
  s.deformableVerticesFound = false;
  if (!host || !fileName || !options || !*fileName) return NoValidObjects;
  s.host = host;
  s.fileName = fileName;
  s.options = *options;

  if (HasCollisionNode(s) && !options->ExportAnimation &&
      MessageBoxA(GetActiveWindow(), kCollisionQuestion, "Warning !", MB_YESNO) != IDYES)
    return Cancelled;

  s.Reset(*options);
  s.host = host;
  s.fileName = fileName;

  GatherScene(s);
  SortByName(s.hitList);
  SortByName(s.collisionList);
  for (int kind = 1; kind <= 4; ++kind)
    if (!CheckSpecialNode(s, kind)) return Finish(s, Cancelled);

  Progress(host, 7);
  CollectMaterials(s);
  Progress(host, 14);
  if (!ReadFrameRange(s)) return Finish(s, Cancelled);
  Progress(host, 21);
  const int frameCount = s.lastFrame - s.firstFrame + 1;
  s.cameraSamples.assign(static_cast<std::size_t>(frameCount > 0 ? frameCount : 0) *
                             (s.special.cameraRotationPort ? 2u : 1u) * 3u,
                         0.0f);

  BuildBoneList(s);
  SortByName(s.groupList);
  Progress(host, 28);
  if (!s.meshList.Empty() && s.materialList.empty()) return Finish(s, NoMaterials);

  ModelHeader header;
  for (int i = 0; i < 3; ++i) {
    header.boundsMin[i] = kBoundsEmptyMin;
    header.boundsMax[i] = kBoundsEmptyMax;
  }
  BuildSurfaces(s, header);
  Progress(host, 35);
  PruneBones(s);
  // The file stores bone indices as bytes: a larger skeleton is refused before anything
  // depends on its indices.
  if (!CheckBoneLimit(s)) return Finish(s, Cancelled);
  OrderBones(s);
  BuildParts(s);
  BuildBonePartRecords(s);
  BuildSkeletonLodMaps(s);
  BuildChunks(s);
  // What the file's 16-bit and 12-bit fields cannot hold is refused before the file is
  // created, so an existing file is kept: the mesh batches, then the animation tracks.
  if (!CheckMeshLimits(s)) return Finish(s, Cancelled);
  if (!CheckAnimationLimits(s)) return Finish(s, Cancelled);
  Progress(host, 42);

  OutputFile file;
  if (!file.Create(fileName)) return Finish(s, CannotCreateFile);

  header.magic = kModelMagic;
  header.version = kModelVersion;
  if (s.special.cameraRotationPort) header.flags |= kFlagCameraRotationPort;
  ReadLodDistances(header, host);
  if (options->TwoSidedLighting) header.flags |= kFlagTwoSidedLighting;
  header.fov = FieldOfView(s);
  header.frameCount = options->ExportAnimation ? static_cast<std::uint16_t>(frameCount) : 0;
  WriteHeader(file, header);

  std::vector<std::uint32_t> materialTable;
  header.materialOffset = file.Position();
  WriteMaterialSection(file, s, materialTable);
  Progress(host, 49);
  if (options->ExportAnimation) {
    header.animationOffset = file.Position();
    WriteAnimationSection(file, s, frameCount);
  }
  Progress(host, 56);
  header.meshOffset = file.Position();
  if (!WriteLodMeshes(file, s, materialTable, header)) {
    file.Abandon();
    return Finish(s, Cancelled);
  }
  materialTable.clear();
  Progress(host, 63);
  header.cameraOffset = file.Position();
  if (!WriteCameraSection(file, s, frameCount)) header.cameraOffset = 0;
  Progress(host, 70);
  header.hitMeshOffset = file.Position();
  WriteHitMeshes(file, s);
  Progress(host, 77);
  header.partsOffset = file.Position();
  WriteParts(file, s);
  Progress(host, 90);
  header.collisionOffset = file.Position();
  WriteCollisionBoxes(file, s);

  file.Seek(0);
  WriteHeader(file, header);
  Progress(host, 100);
  if (!file.Commit()) return Finish(s, CannotCreateFile);

  if (header.meshLevelCount != 0 && !options->Preview) ShowExportReport(s, header);
  const int groupCount = s.groupCount;
  s.Release();
  host->SetSaveRequiredFlag(TRUE);
  if (header.meshLevelCount == 0) return NoValidObjects;
  if (groupCount > kMaxGroups) return TooManyGroups;
  return Ok;
}

}  // namespace tz2
