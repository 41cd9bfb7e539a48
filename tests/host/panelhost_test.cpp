// panelhost as a new user meets it: bad command lines and bad files each end in one line naming
// the cause and a documented exit code, never a crash.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/link/link_support.h"
#include "tests/support/gauges.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_folder.h"

using testing::HasSubstr;

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Files a user may hand the host by mistake, in one folder.
class BadFiles : public testing::Test {
 protected:
  BadFiles() {
    const auto gear = read_bytes(testsupport::gauge_path("j4gear"));
    truncated = folder.write("cut/j4gear.gau", std::vector<uint8_t>(gear.begin(), gear.begin() + 5000));
    alone = folder.write("alone/j4gear.gau", gear);  // without its art folder
    std::vector<uint8_t> pe(512, 0), elf(512, 0);
    pe[0] = 'M', pe[1] = 'Z';
    elf[0] = 0x7F, elf[1] = 'E', elf[2] = 'L', elf[3] = 'F';
    windows = folder.write("other/windows.gau", pe);
    linux_module = folder.write("other/linux.gau", elf);
    empty = folder.write("other/empty.gau", {});
    text = folder.write("other/notes.gau", {'h', 'e', 'l', 'l', 'o'});
    png = folder.path("o.png");
  }
  // A render reads the cockpit link, which other test programs may be setting up meanwhile.
  linktest::LinkTurn turn;
  testsupport::TempFolder folder{"panelhost"};
  std::string truncated, alone, windows, linux_module, empty, text, png;
};

struct Case {
  std::vector<std::string> args;
  int code;
  std::vector<std::string> words;  // each must be in the message
};

void expect_case(const Case& c, const std::string& cwd = "") {
  std::vector<std::string> args{PANELHOST};
  args.insert(args.end(), c.args.begin(), c.args.end());
  std::string shown;
  for (const auto& a : c.args) shown += a + " ";
  SCOPED_TRACE(shown);
  const testsupport::ProgramResult r = testsupport::run_program(args, cwd);
  EXPECT_EQ(r.code, c.code) << r.out << r.err;
  for (const auto& w : c.words) EXPECT_THAT(r.err, HasSubstr(w));
  if (c.code != 0) {
    // One line, naming the program.
    EXPECT_THAT(r.err, testing::StartsWith("panelhost: "));
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
}

TEST_F(BadFiles, EachEndsInOneLineAndItsExitCode) {
  const std::string gear = testsupport::gauge_path("j4gear");
  const std::vector<Case> cases = {
      {{"render", folder.path("missing.gau"), "-o", png}, 1, {"missing.gau", "No such file or directory"}},
      {{"render", folder.path("other"), "-o", png}, 1, {"is a folder"}},
      {{"render", empty, "-o", png}, 1, {"is empty"}},
      {{"render", text, "-o", png}, 1, {"notes.gau", "is not a module"}},
      {{"render", gear, "-o", folder.path("no/such/folder/o.png")}, 1, {"cannot write", "No such file"}},
      {{"render", gear, "-o", png, "--set", "332=16383abc"}, 2, {"--set", "332=16383abc"}},
      {{"render", gear, "-o", png, "--set", "333=16383=0"}, 2, {"--set"}},
      {{"render", gear, "-o", png, "--set", "4294967628=16383"}, 2, {"32-bit"}},
      {{"render", gear, "-o", png, "--click", "10,10,10"}, 2, {"--click", "10,10,10"}},
      {{"render", gear, "-o", png, "--click", "10,20x"}, 2, {"--click"}},
      {{"render", gear, "-o", png, "--frames", "0"}, 2, {"--frames"}},
      {{"render", gear}, 2, {"--output"}},
      {{"render", gear, "-o", png, "--bogus"}, 2, {"--bogus"}},
      {{}, 2, {"subcommand"}},
      {{"fly"}, 2, {"fly"}},
      {{"render", gear, "-o", png, "--set", "331=4.9e-324", "--set", "130=nan", "--set", "165=-inf"}, 0, {}},
#ifdef _WIN32
      {{"render", truncated, "-o", png}, 1, {"cannot load", "j4gear.gau"}},
      {{"render", linux_module, "-o", png}, 1, {"Linux module"}},
#else
      {{"render", truncated, "-o", png}, 1, {"cut short"}},
      {{"render", windows, "-o", png}, 1, {"Windows module", "panelhost.exe", "Wine"}},
      {{"render", alone, "-o", png}, 1, {"bitmap 4096 not found", "art/j4gear/4096.bmp"}},
      {{"render", gear, "-o", "/dev/full"}, 1, {"/dev/full", "No space left on device"}},
      {{"cockpit", gear, "--out-dir", "/proc/x"}, 1, {"/proc/x"}},
#endif
  };
  for (const Case& c : cases) expect_case(c);
}

TEST(Panelhost, ARelativePathIsTakenFromTheCurrentFolder) {
  linktest::LinkTurn turn;
  const fs::path gear(testsupport::gauge_path("j4gear"));
  testsupport::TempFolder out("relative");
  const auto r = testsupport::run_program({PANELHOST, "render", "j4gear.gau", "-o", out.path("o.png")},
                                          gear.parent_path().string());
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(fs::exists(out.path("o.png")));
}

TEST(Panelhost, HelpShowsDefaultsExitCodesAndTheNightNote) {
  const auto top = testsupport::run_program({PANELHOST, "--help"});
  EXPECT_EQ(top.code, 0);
  EXPECT_THAT(top.out, HasSubstr("2 usage, 3 contract violation"));
  const auto render = testsupport::run_program({PANELHOST, "render", "--help"});
  EXPECT_EQ(render.code, 0);
  EXPECT_THAT(render.out, HasSubstr("]=1"));  // the defaults of --frames and --scale
  EXPECT_THAT(render.out, HasSubstr("only in the night view"));
}

TEST(Panelhost, RenderSaysWhetherThePanelIsPoweredAndEventsComeInOrder) {
  linktest::LinkTurn turn;
  testsupport::TempFolder out("render");
  // MP (panel window 50), then the BAROSET push (a key event), then PL (panel window 51).
  const auto r = testsupport::run_program({PANELHOST, "render", testsupport::gauge_path("Tarvex.Navs-Q90"),
                                           "--set", "130=1", "--click", "87,22", "--click", "20,30",
                                           "--click", "87,38", "--link", "-o", out.path("navs.png")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_THAT(r.out, HasSubstr("panel power: on"));
  EXPECT_THAT(r.out, HasSubstr("unit flags: 130=1 165=0 200=0"));
  const auto mp = r.out.find("panel window 50"), baro = r.out.find("key event 66040"),
             pl = r.out.find("panel window 51");
  ASSERT_NE(mp, std::string::npos) << r.out;
  ASSERT_NE(baro, std::string::npos) << r.out;
  ASSERT_NE(pl, std::string::npos) << r.out;
  EXPECT_LT(mp, baro);
  EXPECT_LT(baro, pl);
}

}  // namespace
