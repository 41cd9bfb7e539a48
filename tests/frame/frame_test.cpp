// The frame as the host sees it: which services each routine calls, in which order, with which
// arguments, for every module that adds no own work to its routines.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host/host.h"
#include "tests/support/gauges.h"
#include "tests/support/host_calls.h"

using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;

namespace {

class PlainFrame : public testing::TestWithParam<const char*> {
 protected:
  host::Host host;
};

TEST_P(PlainFrame, EachRoutineCallsItsServicesInOrder) {
  host::Gauge* g = host.load(testsupport::gauge_path(GetParam()));
  ASSERT_NE(g, nullptr) << host.error();
  EXPECT_THAT(host.calls(), IsEmpty()) << "module init must not call the host";

  ASSERT_TRUE(host.start(*g, 77));
  ASSERT_TRUE(host.frame(*g));
  ASSERT_TRUE(host.kill(*g));
  ASSERT_TRUE(host.unload(*g));

  EXPECT_THAT(host::calls_in(host, "query"), ElementsAre("query_elements"));
  EXPECT_THAT(host::calls_in(host, "install"),
              ElementsAre("install_elements", "install_mouse_list", "register_mouse_list"));
  EXPECT_THAT(host::calls_in(host, "initialize"), ElementsAre("initialize_elements"));
  EXPECT_THAT(host::calls_in(host, "update"), ElementsAre("update_elements"));
  EXPECT_THAT(host::calls_in(host, "generate"), ElementsAre("generate_elements"));
  EXPECT_THAT(host::calls_in(host, "draw"), ElementsAre("draw_elements"));
  EXPECT_THAT(host::calls_in(host, "kill"), ElementsAre("unregister_mouse_list", "kill_elements"));
  EXPECT_THAT(host::calls_in(host, "module_deinit"), IsEmpty());
  EXPECT_THAT(host.violations(), IsEmpty());
}

TEST_P(PlainFrame, ArgumentsArePassedThroughAndTheMouseAddressFollowsInstall) {
  host::Gauge* g = host.load(testsupport::gauge_path(GetParam()));
  ASSERT_NE(g, nullptr) << host.error();
  ASSERT_TRUE(host.start(*g, 0xC0FFEE));
  ASSERT_TRUE(host.generate(*g, 0xBEEF));

  const auto top = reinterpret_cast<uintptr_t>(g->top());
  const auto* top_image = reinterpret_cast<const frame::StaticImageElement*>(g->top());
  for (const host::ServiceCall& c : host.calls()) {
    if (c.name == "install_elements") {
      EXPECT_EQ(c.args[1], 0xC0FFEEu);
    }
    if (c.name == "generate_elements") {
      EXPECT_EQ(c.args[1], 0xBEEFu);
    }
    if (c.name.ends_with("_elements")) {
      EXPECT_EQ(c.args[0], top) << c.name;
    }
    if (c.name == "install_mouse_list") {
      // The word the host wrote at 0x3C of the top element while installing, plus 4.
      EXPECT_NE(top_image->host_word, 0u);
      EXPECT_EQ(c.args[2], top_image->host_word + 4);
      EXPECT_EQ(c.args[1], reinterpret_cast<uintptr_t>(g->header()));
    }
  }
  EXPECT_TRUE(g->mouse_registered());
  EXPECT_THAT(host.violations(), IsEmpty());
}

TEST_P(PlainFrame, LoadAndUnloadWithoutInstallLeavesNothing) {
  host::Gauge* g = host.load(testsupport::gauge_path(GetParam()));
  ASSERT_NE(g, nullptr) << host.error();
  frame::Linkage* link = g->linkage();
  EXPECT_EQ(link->module_id, 0x13u);
  EXPECT_EQ(link->gauges[1], nullptr);
  EXPECT_EQ(g->header()->version, 610u);
  EXPECT_EQ(g->imports()->entries[0].id, 0xFu);
  EXPECT_EQ(g->imports()->entries[1].id, 0u);
  ASSERT_TRUE(host.unload(*g));
  EXPECT_THAT(host.calls(), IsEmpty());
  EXPECT_THAT(host.violations(), IsEmpty());
  EXPECT_THAT(host.named_variables(), IsEmpty());
}

TEST_P(PlainFrame, AReinstallAfterKillRunsTheSameBody) {
  host::Gauge* g = host.load(testsupport::gauge_path(GetParam()));
  ASSERT_NE(g, nullptr) << host.error();
  ASSERT_TRUE(host.start(*g));
  ASSERT_TRUE(host.kill(*g));
  host.clear_log();
  ASSERT_TRUE(host.start(*g));
  ASSERT_TRUE(host.frame(*g));
  EXPECT_THAT(host::calls_in(host, "install"),
              ElementsAre("install_elements", "install_mouse_list", "register_mouse_list"));
  EXPECT_THAT(host.violations(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Modules, PlainFrame, testing::Values("j4gear", "Lumet.LightSwitch"));

TEST(ModuleRecords, NamesSizesAndInitFunctions) {
  struct Row {
    const char* deliverable;
    const char* gauge_name;
    uint32_t horizontal_size;
    int top_bitmap;
    bool separate_init_deinit;
  };
  const Row rows[] = {
      {"j4gear", "j4gear", 100, 4096, true},
      {"Lumet.LightSwitch", "Lumet.LightSwitch  by Ostrel", 290, 4096, false},
  };
  for (const Row& r : rows) {
    host::Host host;
    host::Gauge* g = host.load(testsupport::gauge_path(r.deliverable));
    ASSERT_NE(g, nullptr) << host.error();
    EXPECT_STREQ(g->header()->name, r.gauge_name);
    EXPECT_EQ(g->header()->horizontal_size, r.horizontal_size);
    EXPECT_EQ(g->header()->vertical_size, 0u);
    EXPECT_EQ(g->header()->mouse_list, 0u);
    EXPECT_EQ(g->header()->elements[1], nullptr);
    EXPECT_EQ(g->top()->type, uint32_t(frame::kStaticImage));
    EXPECT_EQ(g->top()->bitmap_id, r.top_bitmap);
    EXPECT_EQ(g->linkage()->module_init != g->linkage()->module_deinit, r.separate_init_deinit)
        << r.deliverable;
  }
}

// The host's checks themselves: a gauge that breaks the order is reported, not obeyed blindly.
TEST(HostChecks, AMisorderedGaugeIsReportedClearly) {
  host::Host host;
  host::Gauge* g = host.load(MISORDERED_GAUGE);
  ASSERT_NE(g, nullptr) << host.error();
  ASSERT_TRUE(host.start(*g));
  ASSERT_TRUE(host.update(*g));
  ASSERT_TRUE(host.kill(*g));
  const auto& v = host.violations();
  auto has = [&](const char* text) {
    return std::any_of(v.begin(), v.end(),
                       [&](const std::string& s) { return s.find(text) != std::string::npos; });
  };
  EXPECT_TRUE(has("install_mouse_list before install_elements"));
  EXPECT_TRUE(has("address other than the install word + 4"));
  EXPECT_TRUE(has("refresh_token_var on a token variable never initialized"));
  EXPECT_TRUE(has("kill_elements while its mouse list is registered"));
  EXPECT_TRUE(has("kill left its mouse list registered"));
}

TEST(HostChecks, TheHostRefusesToDriveOutOfOrder) {
  host::Host host;
  host::Gauge* g = host.load(testsupport::gauge_path("j4gear"));
  ASSERT_NE(g, nullptr) << host.error();
  EXPECT_FALSE(host.update(*g));
  EXPECT_FALSE(host.install(*g));
  EXPECT_THAT(host.calls(), IsEmpty());
  ASSERT_EQ(host.violations().size(), 2u);
  EXPECT_THAT(host.violations()[0], HasSubstr("update refused: the gauge is loaded"));
}

// The slot table against the offsets of the binary contract, written out here as their own check.
static_assert(static_cast<uint32_t>(frame::Slot::apply_image_flags) * 4 == 0x44);
static_assert(static_cast<uint32_t>(frame::Slot::install_mouse_list) * 4 == 0x80);
static_assert(static_cast<uint32_t>(frame::Slot::send_key_event) * 4 == 0x90);
static_assert(static_cast<uint32_t>(frame::Slot::unregister_named_variables) * 4 == 0xA8);

TEST(ServiceTable, TheHostFillsExactlyTheListedSlots) {
  host::Host host;
  host::Gauge* g = host.load(testsupport::gauge_path("j4gear"));
  ASSERT_NE(g, nullptr) << host.error();
  const frame::PanelServices* table = g->imports()->entries[0].services;
  ASSERT_NE(table, nullptr);
  std::vector<bool> listed(frame::kServiceSlotCount, false);
  for (const frame::SlotInfo& s : frame::kSlots) {
    listed[s.offset / 4] = true;
    EXPECT_NE(table->slots[s.offset / 4], nullptr) << s.name;
    EXPECT_STREQ(frame::slot_name(s.slot), s.name);
  }
  for (size_t i = 0; i < listed.size(); ++i)
    if (!listed[i]) {
      EXPECT_EQ(table->slots[i], nullptr) << "slot at offset " << i * 4;
    }
  EXPECT_STREQ(frame::slot_name(frame::Slot::register_named_variable), "register_named_variable");
}

}  // namespace
