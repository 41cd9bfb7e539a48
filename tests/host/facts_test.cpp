// The registry of gauge facts against the modules themselves: every key event a gauge's mouse
// areas send is listed for it, and `panelhost info` shows the facts.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host/gauge_facts.h"
#include "host/host.h"
#include "tests/link/link_support.h"
#include "tests/support/gauges.h"
#include "tests/support/run_program.h"

using testing::HasSubstr;

namespace {

TEST(GaugeFacts, EveryAreaEventOfEveryGaugeIsListed) {
  linktest::LinkTurn turn;
  ASSERT_FALSE(host::all_gauge_facts().empty());
  for (const host::GaugeFacts& f : host::all_gauge_facts()) {
    SCOPED_TRACE(f.deliverable);
    host::Host h;
    host::Gauge* g = h.load(testsupport::gauge_path(f.deliverable));
    ASSERT_NE(g, nullptr) << h.error();
    ASSERT_EQ(host::facts_for(g->path()), &f);
    ASSERT_TRUE(h.start(*g));
    for (const frame::MouseArea* a = g->mouse_list(); a && a->type != frame::kAreaEndList; ++a) {
      if (a->type != frame::kAreaChild || !a->key_event) continue;
      bool listed = false;
      for (const frame::KeyEventName& e : f.events) listed = listed || e.id == a->key_event;
      EXPECT_TRUE(listed) << "event " << a->key_event;
    }
    for (const frame::KeyEventName& e : f.events) {
      if (e.name) {
        EXPECT_STREQ(host::event_name(e.id), e.name);
      }
    }
  }
  EXPECT_EQ(host::facts_for("no_such_gauge.gau"), nullptr);
  EXPECT_EQ(host::event_name(0xFFFFFFFFu), nullptr);
}

TEST(GaugeFacts, InfoShowsTheRadioStartUpTokensAndCursorNames) {
  linktest::LinkTurn turn;
  const auto r = testsupport::run_program({PANELHOST, "info", testsupport::gauge_path("Tarvex.Navs-Q90")});
  ASSERT_EQ(r.code, 0) << r.err;
  for (const char* token : {"token 130:", "token 165:", "token 200:"}) EXPECT_THAT(r.out, HasSubstr(token));
  EXPECT_THAT(r.out, HasSubstr("(push)"));
  EXPECT_THAT(r.out, HasSubstr("(step up)"));
}

}  // namespace
