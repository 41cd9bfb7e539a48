// The vertical sequencer through the host, frame by frame: token tables in, the whole key-event
// log of each frame out.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/autopilot/approach.h"
#include "tests/autopilot/autopilot_support.h"

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

namespace {

using approach::KeyEvent;
using approach::TokenValue;
using namespace approach;

class Sequencer : public aptest::Autopilot {
 protected:
  // One frame with these tokens set first; the key events it sent, in order.
  std::vector<KeyEvent> run(const std::vector<TokenValue>& set) {
    for (const TokenValue& t : set) host.set(t.token, t.value);
    host.clear_log();
    update();
    std::vector<KeyEvent> out;
    for (const host::KeyEvent& k : host.key_events()) out.push_back({k.id, static_cast<int32_t>(k.value)});
    EXPECT_THAT(host.violations(), IsEmpty());
    return out;
  }
  bool windows_held() const {
    return text(aptest::kAltitudeWindow) == "-----" && text(aptest::kVsWindow) == "-----";
  }

  // Powered, engaged with APPR/LAND lit, A/T on, ground at 0, 1000 ft up; one frame run so the
  // AUTO FLIGHT light has been seen engaged.
  void engaged() {
    start();
    set_power(1);
    EXPECT_THAT(run({{2, 0}, {73, 305}, {103, 1}, {112, 1}, {123, 1}, {81, 0}, {65, -700}, {318, 100}}),
                IsEmpty());
  }
  // On from engaged(): captured, APPR/LAND out, holding at 200 ft.
  void in_stage_250() {
    engaged();
    ASSERT_EQ(run({{73, 65}}).size(), 6u);  // 205 ft
    ASSERT_THAT(run({{112, 0}}), IsEmpty());
    ASSERT_TRUE(windows_held());
  }
  // Below 140 ft, waiting for the A/T light.
  void in_stage_140() {
    in_stage_250();
    ASSERT_EQ(run({{73, 40}}).size(), 3u);  // 123 ft
    ASSERT_FALSE(windows_held());
  }
  // A/T light out, holding the reference at 123 ft.
  void in_stage_at_off() {
    in_stage_140();
    ASSERT_THAT(run({{123, 0}}), ElementsAre(KeyEvent{kSeqTriggerAtOff, 0}));
    ASSERT_TRUE(windows_held());
  }
  // Below 55 ft (41 ft), commanding every frame.
  void in_stage_55() {
    in_stage_at_off();
    ASSERT_EQ(run({{73, 15}}).size(), 4u);
    ASSERT_FALSE(windows_held());
  }
};

const std::vector<KeyEvent> kCapture = {{kSeqHold, 0},     {kSeqTargetA, -520}, {kSeqTargetB, -5000},
                                        {kSeqTrigger1, 0}, {kSeqTrigger2, 0},   {kSeqTrigger3, 0}};
const std::vector<KeyEvent> kFlare = {{kSeqTargetA, -480}, {kSeqTrigger140, 0}, {kAt, 0}};
const std::vector<KeyEvent> kAtOff = {{kSeqTriggerAtOff, 0}};
const std::vector<KeyEvent> kAt55 = {{kSeqTrigger55, 0}, {kSeqTargetB, 0}, {kSeqTargetA, 0}};
const std::vector<KeyEvent> kCancel = {{kSeqTrigger55, 0}, {kSeqTargetA, 0}, {kSeqTargetB, 0}};
const std::vector<KeyEvent> kDisengage = {{kSeqTargetA, 0}, {kSeqTargetB, 0}};

std::vector<KeyEvent> join(std::initializer_list<std::vector<KeyEvent>> parts) {
  std::vector<KeyEvent> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TEST_F(Sequencer, ACompleteApproachSendsEveryEventOfEveryFrameInOrder) {
  start();
  set_power(1);
  // Frames in which stage_250 or stage_at_off holds the two windows.
  const bool held[] = {false, false, true, true, false, false, true, true, false, false, false, false, false};
  ASSERT_EQ(std::size(held), kFrames.size());
  for (size_t i = 0; i < kFrames.size(); ++i) {
    SCOPED_TRACE("frame " + std::to_string(i + 1) + ": " + kFrames[i].note);
    EXPECT_EQ(run(kFrames[i].set), kFrames[i].events);
    EXPECT_EQ(windows_held(), held[i]);
  }
}

TEST_F(Sequencer, TheCommandLawHoldsTheReferenceAndHalvesTheLastCommand) {
  in_stage_at_off();
  EXPECT_THAT(run({{318, 100}, {73, 25}}), IsEmpty());  // 74 ft: 318 taken as the reference
  EXPECT_EQ(run({{318, 999}, {73, 15}}), join({kAt55, {{kSeqCommand, 1250}}}));
  EXPECT_EQ(run({}), (std::vector<KeyEvent>{{kSeqCommand, 1250}}));
  EXPECT_EQ(run({{60, 1}}), (std::vector<KeyEvent>{{kSeqCommand, 625}}));
  EXPECT_THAT(run({}), IsEmpty()) << "idle";
}

// Below 55 ft already at capture, with the A/T light out: capture, 140-ft step, A/T-off step,
// 55-ft step and the first command in one frame, in that order.
TEST_F(Sequencer, OneFrameCanRunEveryStep) {
  engaged();
  const std::vector<KeyEvent> first =
      run({{123, 0}, {73, 12}, {318, 300}});  // 31 ft; the reference is never held: 0
  EXPECT_EQ(first, join({kCapture, kFlare, kAtOff, kAt55, {{kSeqCommand, 1150}}}));
  // APPR/LAND still lit: the capture repeats, and with it the 140-ft and A/T-off steps; the
  // 55-ft step again, and the command goes on.
  EXPECT_EQ(run({}), join({kCapture, kFlare, kAtOff, kAt55, {{kSeqCommand, 1150}}}));
}

TEST_F(Sequencer, ARepeatedCaptureSendsThe140FootEventsAgain) {
  engaged();
  EXPECT_EQ(run({{73, 65}}), kCapture);  // 205 ft
  EXPECT_EQ(run({{65, -690.5}}),
            join({{{kSeqHold, 0}, {kSeqTargetA, -510}}, {kCapture.begin() + 2, kCapture.end()}}));
  EXPECT_EQ(run({{65, -700}, {73, 40}}), join({kCapture, kFlare}));  // 123 ft
  EXPECT_EQ(run({}), join({kCapture, kFlare})) << "stage_250 set again over stage_140";
  EXPECT_THAT(run({{112, 0}}), IsEmpty());
  EXPECT_EQ(run({{123, 0}}), kAtOff);
}

TEST_F(Sequencer, Token128AboveNineTenthsCancelsOnlyTheLateStages) {
  in_stage_250();
  EXPECT_THAT(run({{128, 16000}}), IsEmpty()) << "stage_250 goes on";
  EXPECT_EQ(run({{73, 40}}), kFlare);
  EXPECT_THAT(run({}), IsEmpty()) << "stage_140 goes on";
  EXPECT_EQ(run({{128, 14745.6}, {123, 0}}), kAtOff);
  EXPECT_THAT(run({}), IsEmpty()) << "exactly 14745.6 does not cancel";
  EXPECT_EQ(run({{128, 14745.61}}), kCancel);
  EXPECT_FALSE(windows_held());
  EXPECT_THAT(run({{73, 15}}), IsEmpty()) << "idle: no 55-ft step";
}

TEST_F(Sequencer, Token128CancelsTheCommandsBeforeTheNextOne) {
  in_stage_55();
  EXPECT_EQ(run({}).size(), 1u);
  EXPECT_EQ(run({{128, 16383}}), kCancel);
  EXPECT_THAT(run({{128, 0}}), IsEmpty());
}

// Disengaged: engaged_seen is cleared by the frame's light routine, after the steps, so the
// disengage branch acts on the next frame.
TEST_F(Sequencer, DisengagingClearsStage250WithItsEvents) {
  in_stage_250();
  EXPECT_THAT(run({{103, 0}}), IsEmpty());
  EXPECT_EQ(run({}), kDisengage);
  EXPECT_FALSE(windows_held());
  EXPECT_THAT(run({{73, 15}}), IsEmpty());
}

TEST_F(Sequencer, DisengagingInStage140LetsItGoOn) {
  in_stage_140();
  EXPECT_THAT(run({{103, 0}}), IsEmpty());
  EXPECT_THAT(run({}), IsEmpty()) << "stage_140 is left alone";
  // The A/T light goes out below 55 ft: on through the 55-ft step and the first command.
  EXPECT_EQ(run({{123, 0}, {73, 15}}), join({kAtOff, kAt55, {{kSeqCommand, 1150}}}));
  EXPECT_EQ(run({}), (std::vector<KeyEvent>{{kSeqCommand, 1150}}));
}

TEST_F(Sequencer, DisengagingInStage140LeavesAStageAtOffForTheNextFrame) {
  in_stage_140();
  run({{103, 0}});
  EXPECT_EQ(run({{123, 0}}), kAtOff);
  EXPECT_TRUE(windows_held());
  EXPECT_EQ(run({}), kDisengage);
  EXPECT_FALSE(windows_held());
}

TEST_F(Sequencer, DisengagingClearsStageAtOffWithItsEvents) {
  in_stage_at_off();
  EXPECT_THAT(run({{103, 0}}), IsEmpty());
  EXPECT_EQ(run({{73, 15}}), kDisengage) << "cleared before the 55-ft step";
  EXPECT_THAT(run({}), IsEmpty());
}

TEST_F(Sequencer, DisengagingInStage55LeavesTheCommandsRunning) {
  in_stage_55();
  EXPECT_EQ(run({{103, 0}}).size(), 1u);
  EXPECT_EQ(run({}), (std::vector<KeyEvent>{{kSeqCommand, 1250}}));
  EXPECT_EQ(run({{60, 1}}), (std::vector<KeyEvent>{{kSeqCommand, 625}}));
}

TEST_F(Sequencer, TheFirstCommandStageEndingAtOnceSendsZero) {
  in_stage_at_off();
  EXPECT_EQ(run({{60, 1}, {73, 15}}), join({kAt55, {{kSeqCommand, 0}}}));
}

// Nothing is reset by power: the steps stop, every flag keeps its value, and they carry on.
TEST_F(Sequencer, PowerOffFreezesEveryFlagAndPowerBackResumes) {
  in_stage_at_off();
  set_power(0);
  EXPECT_THAT(run({{73, 15}, {103, 0}, {128, 16383}}), IsEmpty());
  EXPECT_EQ(text(aptest::kAltitudeWindow), "");
  EXPECT_THAT(run({{128, 0}, {103, 1}}), IsEmpty());
  set_power(1);
  // engaged_seen is still 1 from the last powered frame; the 55-ft step runs on.
  EXPECT_EQ(run({}), join({kAt55, {{kSeqCommand, 1250}}}));
}

TEST_F(Sequencer, PowerBackUsesTheEngagedStateLastSeenWithPower) {
  in_stage_250();
  set_power(0);
  EXPECT_THAT(run({{103, 0}}), IsEmpty());  // unpowered: engaged_seen keeps 1
  set_power(1);
  EXPECT_THAT(run({}), IsEmpty()) << "still seen engaged: no disengage in this frame";
  EXPECT_EQ(run({}), kDisengage);
}

}  // namespace
