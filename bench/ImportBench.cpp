// A real model from file to TZ2 file: the import (Assimp reading, the host scene) alone, and
// the import followed by the whole export (every section, all levels, animation), for the
// large static ClearCoatTest (37k triangles, base level only) and the skinned, animated
// CesiumMan (4.7k triangles, 19 bones, 61 frames, six levels).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "TZ2_Export/shell/ExportDriver.h"
#include "TZ2_Export/shell/Module.h"
#include "host/Interface.h"
#include "host/standalone/Scene.h"
#include "import/ModelImport.h"
#include "platform/Windows.h"

namespace {

const std::string kModels = TZ2_MODELS_DIR;
const char* const kClearCoat = "/gltf/ClearCoatTest/ClearCoatTest.gltf";
const char* const kCesiumMan = "/gltf/CesiumMan.glb";

// The platform and the exporter's module, registered in a folder of the benchmark's own.
class ExportSession {
 public:
  ExportSession() {
    dir_ = std::filesystem::temp_directory_path() / ("tz2-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    ResetPlatform();
    tz2::SetModuleInstance(RegisterModule((dir_ / "TZ2_Export.dle").string()));
  }
  ~ExportSession() {
    tz2::SetModuleInstance(nullptr);
    ResetPlatform();
    ResetScene();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  std::string Output() const { return (dir_ / "model.tz2").string(); }

 private:
  std::filesystem::path dir_;
};

bool Import(benchmark::State& state, const char* model) {
  tz2import::ImportReport report;
  std::string error;
  if (tz2import::ImportModel(kModels + model, {}, report, error)) return true;
  state.SkipWithError(error.c_str());
  return false;
}

void ImportOnly(benchmark::State& state, const char* model) {
  ExportSession session;
  for (auto _ : state)
    if (!Import(state, model)) break;
}

void ImportAndExport(benchmark::State& state, const char* model) {
  ExportSession session;
  tz2::ExportOptions o;
  o.Scale = 100;
  o.ExportAnimation = true;
  o.GenerateLOD = true;
  o.GenerateSkeletonLOD = true;
  o.AnimationQuality = 3;
  for (auto _ : state) {
    if (!Import(state, model)) break;
    if (tz2::RunExport(&o, session.Output().c_str(), GetCOREInterface()) != tz2::Ok) {
      state.SkipWithError("the export failed");
      break;
    }
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(session.Output()));
}

BENCHMARK_CAPTURE(ImportOnly, ClearCoatTest, kClearCoat)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ImportOnly, CesiumMan, kCesiumMan)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ImportAndExport, ClearCoatTest, kClearCoat)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ImportAndExport, CesiumMan, kCesiumMan)->Unit(benchmark::kMillisecond);

}  // namespace
