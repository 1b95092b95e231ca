// tz2: the command line of the content-pipeline suite. It runs the standalone host with the
// staged plug-ins: `tz2 export` exports a scene, `tz2 info` shows what a TZ2 file holds.
#include <CLI/CLI.hpp>

#include "apps/tz2/ExportCommand.h"
#include "apps/tz2/InfoCommand.h"

int main(int argc, char** argv) {
  CLI::App app{"tz2: export scenes to TZ2 model files and inspect them"};
  app.require_subcommand(1);
  tz2cli::ExportArgs exportArgs;
  tz2cli::InfoArgs infoArgs;
  tz2cli::AddExportCommand(app, exportArgs);
  tz2cli::AddInfoCommand(app, infoArgs);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? 0 : 1;
  }
  if (app.got_subcommand("export")) return tz2cli::RunExportCommand(exportArgs);
  if (app.got_subcommand("info")) return tz2cli::RunInfoCommand(infoArgs);
  return 1;
}
