// The panel configuration and scenario readers: what a good file gives, and that every malformed
// line is refused with a message naming the file, the line and the fault.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host/panel_config.h"
#include "host/scenario.h"

namespace {

using testing::HasSubstr;

TEST(PanelConfig, ReadsWindowsGaugesOfBothFormsAndTitles) {
  const char* text =
      "// Q90 panel\n"
      "[Window Titles]\n"
      "Window00=Main Panel\n"
      "\n"
      "[Window00]\n"
      "file=panel.bmp\n"
      "size_mm=640, 400   // drawing area\n"
      "gauge00=j4gear!j4gear, 500, 10\n"
      "gauge01=Lumet.LightSwitch!Lumet.LightSwitch  by Ostrel, 20, 300, 145\n"
      "gauge02=Nordel_HSI_Switch,380,300\n"
      "[Views]\n"
      "gauge03=ignored!ignored, 1, 1\n"
      "[WINDOW01]\n"
      "gauge00=Tarvex.Navs-Q90!Tarvex.Navs-Q90.gau, 0, 0, 284, 174\r\n";
  std::string error;
  const auto c = host::parse_panel_config(text, "panel.cfg", error);
  ASSERT_TRUE(c) << error;
  ASSERT_EQ(c->windows.size(), 2u);
  const host::PanelWindow& w = c->windows[0];
  EXPECT_EQ(w.title, "Main Panel");
  EXPECT_EQ(w.width, 640);
  EXPECT_EQ(w.height, 400);
  ASSERT_EQ(w.gauges.size(), 3u);
  EXPECT_EQ(w.gauges[0].file, "j4gear");
  EXPECT_EQ(w.gauges[0].gauge, "j4gear");
  EXPECT_EQ(w.gauges[0].x, 500);
  EXPECT_EQ(w.gauges[0].line, 8);
  // The gauge name keeps its inner blanks; a width alone keeps the height open.
  EXPECT_EQ(w.gauges[1].gauge, "Lumet.LightSwitch  by Ostrel");
  EXPECT_EQ(w.gauges[1].width, 145);
  EXPECT_EQ(w.gauges[1].height, 0);
  EXPECT_EQ(w.gauges[2].file, "Nordel_HSI_Switch");
  EXPECT_EQ(w.gauges[2].gauge, "");
  EXPECT_EQ(w.gauges[2].y, 300);
  EXPECT_EQ(c->windows[1].title, "WINDOW01");
  EXPECT_EQ(c->windows[1].gauges[0].height, 174);
}

struct Bad {
  const char* text;
  const char* message;  // after "cfg:<line>: "
};

TEST(PanelConfig, RefusesMalformedLinesNamingFileAndLine) {
  const Bad kCases[] = {
      {"[Window00\ngauge00=a!b,1,2\n", "cfg:1: a section header needs its closing ']'"},
      {"[Window00]\ngauge00=a!b, 10\n", "cfg:2: gauge00 wants 'file!gauge, x, y[, w, h]'"},
      {"[Window00]\n\ngauge00=a!b, 1x, 2\n", "cfg:3: gauge00: x '1x' is not a whole number"},
      {"[Window00]\ngauge00=a!b, 1, 2, 0, 5\n", "cfg:2: gauge00: width 0 is out of range"},
      {"[Window00]\ngauge00=!b, 1, 2\n", "cfg:2: gauge00: the gauge file is missing"},
      {"[Window00]\ngauge00=a!, 1, 2\n", "cfg:2: gauge00: a gauge name is missing after '!'"},
      {"[Window00]\ngauge00=a, 1, 2\ngauge00=b, 3, 4\n",
       "cfg:3: gauge00 appears twice in [Window00] (first on line 2)"},
      {"gauge00=a, 1, 2\n", "cfg:1: 'gauge00' stands outside any [section]"},
      {"[Window00]\njust words\n", "cfg:2: expected key=value"},
      {"[Window00]\nsize_mm=640\n", "cfg:2: size_mm wants two whole numbers"},
      {"[Window00]\n[window00]\n", "cfg:2: section [window00] appears twice"},
  };
  for (const Bad& b : kCases) {
    std::string error;
    EXPECT_FALSE(host::parse_panel_config(b.text, "cfg", error)) << b.text;
    EXPECT_THAT(error, HasSubstr(b.message)) << b.text;
  }
}

TEST(Scenario, ReadsEveryCommand) {
  const char* text =
      "# a comment\n"
      "panel panels/q90/panel.cfg\n"
      "load j4gear at 10,20 size 60,125 as gear   # trailing comment\n"
      "set 331=0 2=2560.5\n"
      "descend 700\n"
      "run 18\n"
      "run 2.5s\n"
      "run 3 frames\n"
      "run until 65570 within 10 s\n"
      "run until height 250.5\n"
      "click gear 5,5 x3\n"
      "expect event 65570 16383\n"
      "expect event 66124 -5000\n"
      "expect no event 65751\n"
      "expect text autopilot 4 \"# 12\"\n"
      "expect image gear 1 none\n"
      "expect var SWITCH_FLAG 1\n"
      "expect link unit_flags[1] 1\n"
      "expect link slot[0] \"_3\"\n"
      "expect token 332 16383\n"
      "snapshot gear down\n"
      "print link\n";
  std::string error;
  const auto s = host::parse_scenario(text, "s.scn", error);
  ASSERT_TRUE(s) << error;
  const auto& c = s->commands;
  ASSERT_EQ(c.size(), 21u);
  EXPECT_EQ(c[0].op, host::Op::Panel);
  EXPECT_EQ(c[0].path, "panels/q90/panel.cfg");
  EXPECT_EQ(c[1].op, host::Op::Load);
  EXPECT_EQ(c[1].line, 3);
  EXPECT_TRUE(c[1].placed);
  EXPECT_EQ(c[1].height, 125);
  EXPECT_EQ(c[1].name, "gear");
  ASSERT_EQ(c[2].settings.size(), 2u);
  EXPECT_EQ(c[2].settings[1].token, 2u);
  EXPECT_DOUBLE_EQ(c[2].settings[1].value, 2560.5);
  EXPECT_DOUBLE_EQ(c[3].number, 700);
  EXPECT_EQ(c[4].frames, 18);
  EXPECT_DOUBLE_EQ(c[5].seconds, 2.5);
  EXPECT_EQ(c[6].frames, 3);
  EXPECT_EQ(c[7].op, host::Op::RunUntil);
  EXPECT_DOUBLE_EQ(c[7].seconds, 10);
  EXPECT_EQ(c.at(8).op, host::Op::RunUntilHeight);
  EXPECT_DOUBLE_EQ(c[8].number, 250.5);
  EXPECT_EQ(c[9].count, 3);
  EXPECT_EQ(c[10].value, 16383u);
  EXPECT_EQ(c[11].value, uint32_t(-5000));  // two's complement, as the gauge sends it
  EXPECT_EQ(c[12].op, host::Op::ExpectNoEvent);
  EXPECT_EQ(c[13].text, "# 12");
  EXPECT_EQ(c[13].element, 4);
  EXPECT_DOUBLE_EQ(c[14].number, -1);
  EXPECT_EQ(c[16].name, "unit_flags[1]");
  EXPECT_EQ(c[17].text, "_3");
  EXPECT_EQ(c[18].token, 332u);
  EXPECT_EQ(c[19].text, "gear down");
  EXPECT_EQ(c[20].op, host::Op::PrintLink);
}

TEST(Scenario, RefusesMalformedLinesNamingFileAndLine) {
  const Bad kCases[] = {
      {"fly 3\n", "s:1: unknown command 'fly'"},
      {"\nload\n", "s:2: load wants a .gau file"},
      {"load j4gear at 10\n", "s:1: at wants two whole numbers X,Y, not '10'"},
      {"load j4gear beside x\n", "s:1: load: unknown word 'beside'"},
      {"set 331\n", "s:1: set '331': wants TOKEN=VALUE"},
      {"set 331=down\n", "s:1: set '331=down': the value is not a number"},
      {"run\n", "s:1: run wants frames"},
      {"run 2 minutes\n", "s:1: run: the unit is 'frames' or 's'"},
      {"run -3\n", "s:1: run: '-3' is not a frame count"},
      {"run until EV_NOTHING\n", "s:1: 'EV_NOTHING' is neither a key event id nor an EV_ name"},
      {"click gear\n", "s:1: click wants a gauge and a point"},
      {"click gear 1,2 3\n", "s:1: click: repeats are written x1 to x10000, not '3'"},
      {"expect text ap four \"x\"\n", "s:1: an element is its place in drawing order"},
      {"expect text ap 4 x\n", "s:1: expect text: the text goes in double quotes"},
      {"expect image gear 1 blue\n", "s:1: expect image: 'blue' is neither an image index nor 'none'"},
      {"expect event 65570 lots\n", "s:1: expect event: value 'lots' is not a 32-bit whole number"},
      {"expect weather fine\n", "s:1: expect what? 'weather'"},
      {"descend fast\n", "s:1: descend: rate 'fast' is not a number"},
  };
  for (const Bad& b : kCases) {
    std::string error;
    EXPECT_FALSE(host::parse_scenario(b.text, "s", error)) << b.text;
    EXPECT_THAT(error, HasSubstr(b.message)) << b.text;
  }
}

}  // namespace
