// CloseViewer and StartPreview over the platform's windows, files and processes.
#include "TZ2_Export/shell/Preview.h"

#include <cctype>
#include <vector>

#include "platform/Windows.h"

namespace tz2 {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::string ViewerModelFolder(const std::string& viewerPath) {
  std::string folder;
  const std::size_t cut = viewerPath.find_last_of("\\/:");
  if (cut != std::string::npos) {
    folder = viewerPath.substr(0, cut + 1);
    if (viewerPath[cut] == ':') folder += '/';
  }
  return folder + "TZ2/";
}

bool IsPathPrefix(const std::string& prefix, const std::string& path) {
  if (prefix.size() > path.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const char a = prefix[i], b = path[i];
    if (IsSeparator(a) && IsSeparator(b)) continue;
    if (std::toupper(static_cast<unsigned char>(a)) != std::toupper(static_cast<unsigned char>(b))) return false;
  }
  return true;
}

PreviewPlan PlanPreview(const std::string& fileName, const std::string& viewerPath) {
  PreviewPlan plan;
  plan.modelFolder = ViewerModelFolder(viewerPath);
  if (IsPathPrefix(plan.modelFolder, fileName)) {
    plan.fileToShow = fileName;
  } else {
    plan.copy = true;
    plan.fileToShow = plan.modelFolder + "PREVIEW.TZ2";
  }
  plan.relativeName = plan.fileToShow.substr(plan.modelFolder.size());
  plan.commandLine = viewerPath + " " + plan.relativeName;
  return plan;
}

void CloseViewer() {
  HWND viewer = FindWindowA(kViewerWindowClass, kViewerWindowTitle);
  if (!viewer) return;
  for (int round = 0; round < 30 && viewer; ++round) {
    PostMessageA(viewer, WM_CLOSE, 0, 0);
    Sleep(100);
    viewer = FindWindowA(kViewerWindowClass, kViewerWindowTitle);
  }
  if (viewer) {
    MessageBoxA(GetActiveWindow(),
                "In order to properly place TZ2 file in game directory, TZ2 Viewer should be closed.\n"
                "Please close TZ2 Viewer and press OK to continue.\n",
                "Error", MB_OK);
  }
}

void StartPreview(const std::string& fileName, const std::string& viewerPath) {
  const PreviewPlan plan = PlanPreview(fileName, viewerPath);
  if (plan.copy && !CopyFileA(fileName.c_str(), plan.fileToShow.c_str(), FALSE)) {
    MessageBoxA(GetActiveWindow(),
                "Unable to copy file for previewing.\nMake sure that path to _TZ2VIEW is valid.", "Error",
                MB_OK | MB_ICONERROR);
    return;
  }
  std::vector<char> commandLine(plan.commandLine.begin(), plan.commandLine.end());
  commandLine.push_back('\0');
  STARTUPINFOA startup{};
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                      CREATE_NEW_CONSOLE | CREATE_NEW_PROCESS_GROUP | CREATE_DEFAULT_ERROR_MODE, nullptr,
                      nullptr, &startup, &process)) {
    MessageBoxA(GetActiveWindow(), "Unable to execute TZ2 viewer", "Error", MB_OK | MB_ICONERROR);
    return;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace tz2
