// Parts in a whole export: more than 60 parts ("Main" included) give TooManyGroups after a
// complete file whose parts section holds every part.
#include <gtest/gtest.h>

#include "TZ2_Export/format/Tz2Reader.h"
#include "TZ2_Export/shell/ExportDriver.h"
#include "host/standalone/Scene.h"
#include "platform/Desktop.h"
#include "tests/TZ2_Export/scene/SceneFixture.h"

namespace tz2 {
namespace {

class PartsExportTest : public SceneFixture {};

TEST_F(PartsExportTest, SixtyOnePartsAreTooManyAfterACompleteFile) {
  for (int groups : {59, 60}) {
    ResetScene();
    ResetPlatform();
    TexturedMesh("Hull")->SetMtl(build::Material("Steel", "steel.tga"));  // a bone outside every group: "Main"
    for (int i = 0; i < groups; ++i) build::Dummy("GR_p" + std::to_string(100 + i));
    const std::string path = TempDir() + "/parts" + std::to_string(groups) + ".tz2";
    ExportOptions o;
    o.Scale = 100;
    o.AnimationQuality = 3;
    EXPECT_EQ(RunExport(&o, path.c_str(), GetCOREInterface()), groups + 1 > kMaxGroups ? TooManyGroups : Ok);
    Tz2File file;
    std::string error;
    ASSERT_TRUE(ReadTz2File(path, file, error)) << error;
    ASSERT_EQ(file.parts.size(), static_cast<std::size_t>(groups + 1));
    EXPECT_EQ(file.parts.front().name, "Main");
    EXPECT_EQ(file.parts.front().kind, 0xFF);
    EXPECT_EQ(file.parts[1].name, "p100");
    EXPECT_EQ(file.parts.back().name, "p" + std::to_string(100 + groups - 1));
    EXPECT_EQ(file.parts.back().kind, 0);
  }
}

}  // namespace
}  // namespace tz2
