// tz2 end to end: the staged program run as a user runs it, against a private copy of the
// host's folders (plug-ins linked from the build's stage, their ini files in a temporary
// folder), with its exit status, standard error and written files checked.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "TZ2_Export/format/Tz2Reader.h"

namespace {

namespace fs = std::filesystem;

struct RunResult {
  int status = -1;
  std::string out, err;
};

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("tz2-cli-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "plugins");
    fs::create_directories(root_ / "plugcfg");
    for (const auto& entry : fs::directory_iterator(fs::path(TZ2_STAGE_DIR) / "plugins"))
      if (entry.path().extension() != ".ini")
        fs::create_symlink(entry.path(), root_ / "plugins" / entry.path().filename());
    std::ofstream(root_ / "plugcfg" / "physique.ini") << "[BulgeEditorState]\nUSE_2.2_RIGID_DEFORMATIONS=Yes\n";
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string Path(const std::string& name) const { return (root_ / name).string(); }

  RunResult Tz2(const std::string& args) {
    const std::string err = Path("stderr.txt");
    const std::string command = "TZ2_HOME='" + root_.string() + "' '" + std::string(TZ2_STAGE_DIR) +
                                "/bin/tz2' " + args + " 2>'" + err + "' </dev/null";
    RunResult r;
    FILE* pipe = ::popen(command.c_str(), "r");
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) r.out.append(buf.data(), n);
    const int raw = ::pclose(pipe);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream in(err);
    r.err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return r;
  }

  void WriteScene(const std::string& name, const std::string& json) { std::ofstream(Path(name)) << json; }

  fs::path root_;
};

const char* const kEmptyScene = R"({"format": "quarn-scene", "version": 1, "nodes": []})";

TEST_F(CliTest, BadScenesGetOneLineNamingTheFile) {
  WriteScene("bad.scene.json", R"({"format": "quarn-scene", "version": 1, "nodez": []})");
  const RunResult r = Tz2("export '" + Path("bad.scene.json") + "' -o '" + Path("out.tz2") + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("bad.scene.json"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("nodez"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(Path("out.tz2")));
  EXPECT_EQ(Tz2("export '" + Path("missing.scene.json") + "'").status, 1);
}

TEST_F(CliTest, ResultCodesBecomeExitStatusesWithTheirMessages) {
  WriteScene("empty.scene.json", kEmptyScene);
  RunResult r = Tz2("export '" + Path("empty.scene.json") + "' -o '" + Path("no/such/dir/out.tz2") + "' --no-preview");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Error: Unable to Create File!"), std::string::npos) << r.err;

  r = Tz2("export '" + Path("empty.scene.json") + "' --no-preview");  // default output name
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.err.find("Error: There are no valid objects found in scene."), std::string::npos) << r.err;
  tz2::Tz2File f;
  std::string error;
  EXPECT_TRUE(tz2::ReadTz2File(Path("empty.tz2"), f, error)) << error;
}

TEST_F(CliTest, OptionsGoThroughTheDialogAndCanBeSavedWithTheScene) {
  WriteScene("empty.scene.json", kEmptyScene);
  const RunResult r = Tz2("export '" + Path("empty.scene.json") + "' -o '" + Path("out.tz2") +
                    "' --no-preview --scale 12.5 --quality 7 --two-sided --no-animation --save-scene '" +
                    Path("saved.scene.json") + "'");
  EXPECT_EQ(r.status, 3) << r.err;
  tz2::Tz2File f;
  std::string error;
  ASSERT_TRUE(tz2::ReadTz2File(Path("out.tz2"), f, error)) << error;
  EXPECT_EQ(f.header.flags, tz2::kFlagTwoSidedLighting);
  EXPECT_EQ(f.header.frameCount, 0);
  std::ifstream ini(Path("plugins/TZ2_Export.ini"));
  const std::string iniText((std::istreambuf_iterator<char>(ini)), std::istreambuf_iterator<char>());
  EXPECT_NE(iniText.find("AnimationQuality=3"), std::string::npos) << iniText;
  EXPECT_NE(iniText.find("Scale=12.500000"), std::string::npos) << iniText;
  std::ifstream saved(Path("saved.scene.json"));
  const std::string scene((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
  EXPECT_NE(scene.find("OutputFileName"), std::string::npos);
  EXPECT_NE(scene.find("TwoSidedLighting"), std::string::npos);
}

TEST_F(CliTest, InfoPrintsTheHeaderOrRefusesADamagedFile) {
  WriteScene("empty.scene.json", kEmptyScene);
  Tz2("export '" + Path("empty.scene.json") + "' -o '" + Path("out.tz2") + "' --no-preview");
  RunResult r = Tz2("info '" + Path("out.tz2") + "'");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("version          6"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("0x3FC90FD8"), std::string::npos) << r.out;
  std::ofstream(Path("junk.tz2")) << "not a model";
  r = Tz2("info '" + Path("junk.tz2") + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("junk.tz2"), std::string::npos) << r.err;
}

TEST_F(CliTest, ModelFilesImportIntoScenesAndExport) {
  const std::string model = std::string(TZ2_MODELS_DIR) + "/gltf/CesiumMan.glb";
  RunResult r = Tz2("export '" + model + "' -o '" + Path("cesium.tz2") + "' --no-preview --all --animation --lod --yes");
  EXPECT_EQ(r.status, 0) << r.err;
  tz2::Tz2File f;
  std::string error;
  ASSERT_TRUE(tz2::ReadTz2File(Path("cesium.tz2"), f, error)) << error;
  EXPECT_EQ(f.header.meshLevelCount, 6);
  EXPECT_TRUE(f.header.frameCount == 60 || f.header.frameCount == 61) << f.header.frameCount;

  r = Tz2("import '" + model + "' -o '" + Path("cesium.scene.json") + "'");
  EXPECT_EQ(r.status, 0) << r.err;
  r = Tz2("export '" + Path("cesium.scene.json") + "' -o '" + Path("again.tz2") + "' --no-preview --all --yes");
  EXPECT_EQ(r.status, 0) << r.err;

  std::ofstream(Path("junk.glb")) << "not a model";
  r = Tz2("import '" + Path("junk.glb") + "' -o '" + Path("junk.scene.json") + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("junk.glb"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(Path("junk.scene.json")));
}

TEST_F(CliTest, HelpDescribesTheExitStatuses) {
  const RunResult r = Tz2("export --help");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Exit status"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("--lod-distances"), std::string::npos);
}

}  // namespace
