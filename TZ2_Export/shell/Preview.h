// Preview in the engine's model viewer: closing a running viewer before an export, and
// handing the exported file to it afterwards.
//
// The viewer opens models only from the folder "TZ2" beside its executable and takes the
// model's path relative to that folder on its command line. A file from elsewhere is copied
// there as "PREVIEW.TZ2" first. Paths may use "\" or "/": both count as separators, "/" is
// used to join, the model folder is recognised without regard to letter case, and the copy
// target and the command line keep the paths' own spelling.
#pragma once

#include <string>

namespace tz2 {

inline constexpr const char* kViewerWindowClass = "TTZ2ViewMainForm";
inline constexpr const char* kViewerWindowTitle = "TZ2 Viewer";

// What StartPreview will do for an export file and a viewer path.
struct PreviewPlan {
  std::string modelFolder;   // folder of the viewer path + "TZ2/"
  bool copy = false;         // the file lies outside the model folder
  std::string fileToShow;    // the export file, or the copy target
  std::string relativeName;  // fileToShow without the model folder
  std::string commandLine;   // viewer path, a space, relativeName
};

// The viewer's model folder: the viewer path up to and including its last separator or ":"
// (a ":" gets a "/" after it; no such character gives ""), then "TZ2/".
std::string ViewerModelFolder(const std::string& viewerPath);
// Whether `prefix` begins `path`, ignoring letter case and treating "\" and "/" alike.
bool IsPathPrefix(const std::string& prefix, const std::string& path);
PreviewPlan PlanPreview(const std::string& fileName, const std::string& viewerPath);

// Asks a running viewer to close (up to 30 times, 100 ms apart), then asks the user to close
// it by hand.
void CloseViewer();
// Copies the file into the viewer's folder when needed and starts the viewer; failures are
// shown as messages (the export itself has succeeded).
void StartPreview(const std::string& fileName, const std::string& viewerPath);

}  // namespace tz2
