// `tz2 info`: reads a TZ2 file back and prints its header and a summary of every section.
#pragma once

#include <ostream>
#include <string>

namespace CLI {
class App;
}
namespace tz2 {
struct Tz2File;
}

namespace tz2cli {

struct InfoArgs {
  std::string file;
};

void AddInfoCommand(CLI::App& app, InfoArgs& args);
int RunInfoCommand(const InfoArgs& args);
// The summary `tz2 info` prints.
void PrintInfo(const tz2::Tz2File& file, std::ostream& out);

}  // namespace tz2cli
