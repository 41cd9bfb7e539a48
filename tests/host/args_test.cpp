// The strict parsers of --set and --click: what is taken, what is refused, alike on every platform.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "host/args.h"

namespace {

TEST(Args, SettingsAreTakenWholeOrRefused) {
  struct Row {
    const char* text;
    bool taken;
    uint32_t token;
    double value;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const Row rows[] = {
      {"331=4.9e-324", true, 331, 4.9e-324},  // subnormal
      {"332=16383", true, 332, 16383.0},
      {"0x14C=-2.5", true, 332, -2.5},
      {"4294967295=1", true, 4294967295u, 1.0},
      {"130=inf", true, 130, inf},
      {"130=-infinity", true, 130, -inf},
      {"130=+1", true, 130, 1.0},
      {"332=16383abc", false, 0, 0},
      {"333=16383=0", false, 0, 0},
      {"4294967628=16383", false, 0, 0},  // beyond 32 bits: no wrap to 332
      {"-1=5", false, 0, 0},
      {"=5", false, 0, 0},
      {"5=", false, 0, 0},
      {"5", false, 0, 0},
      {" 5=1", false, 0, 0},
      {"5=1 ", false, 0, 0},
      {"5=1e400", false, 0, 0},
      {"0x=1", false, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    std::string why;
    const auto s = host::parse_setting(r.text, why);
    ASSERT_EQ(s.has_value(), r.taken) << why;
    if (!r.taken) {
      EXPECT_FALSE(why.empty());
      continue;
    }
    EXPECT_EQ(s->token, r.token);
    EXPECT_EQ(s->value, r.value);
  }
  std::string why;
  const auto nan = host::parse_setting("200=nan", why);
  ASSERT_TRUE(nan.has_value());
  EXPECT_TRUE(std::isnan(nan->value));
}

TEST(Args, PointsAreTwoWholeNumbers) {
  struct Row {
    const char* text;
    bool taken;
    int32_t x, y;
  };
  const Row rows[] = {
      {"10,20", true, 10, 20}, {"-3,0", true, -3, 0},   {"10,10,10", false, 0, 0},
      {"10,20x", false, 0, 0}, {"10", false, 0, 0},     {",5", false, 0, 0},
      {"1.5,2", false, 0, 0},  {"10, 20", false, 0, 0}, {"4294967306,1", false, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    std::string why;
    const auto p = host::parse_point(r.text, why);
    ASSERT_EQ(p.has_value(), r.taken) << why;
    if (r.taken) {
      EXPECT_EQ(p->x, r.x);
      EXPECT_EQ(p->y, r.y);
    }
  }
}

}  // namespace
