// tz2: the command line of the content-pipeline suite. It runs the standalone host with the
// staged plug-ins: `tz2 export` exports a scene, `tz2 info` shows what a TZ2 file holds, `tz2 import` turns a model file into a scene file.
#include <CLI/CLI.hpp>

#include "apps/tz2/ExportCommand.h"
#include "apps/tz2/ImportCommand.h"
#include "apps/tz2/InfoCommand.h"

int main(int argc, char** argv) {
  CLI::App app{"tz2: export scenes to TZ2 model files and inspect them"};
  app.require_subcommand(1);
  tz2cli::ExportArgs exportArgs;
  tz2cli::InfoArgs infoArgs;
  tz2cli::ImportArgs importArgs;
  tz2cli::AddExportCommand(app, exportArgs);
  tz2cli::AddInfoCommand(app, infoArgs);
  tz2cli::AddImportCommand(app, importArgs);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? 0 : 1;
  }
  if (app.got_subcommand("export")) return tz2cli::RunExportCommand(exportArgs);
  if (app.got_subcommand("info")) return tz2cli::RunInfoCommand(infoArgs);
  if (app.got_subcommand("import")) return tz2cli::RunImportCommand(importArgs);
  return 1;
}
