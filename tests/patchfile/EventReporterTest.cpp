// The pacing of the events that cost the caller a window round trip, under a clock the test
// moves itself.
#include "EventReporter.h"
#include "EventRecorder.h"
#include "SteppingClock.h"

#include <gtest/gtest.h>

namespace patchfile {
namespace {

using std::chrono::microseconds;
using testing::EventOutline;
using testing::EventRecorder;
using testing::SteppingClock;

constexpr microseconds kInterval = kIdleInterval;

struct IdleCase {
    const char* name;
    std::vector<microseconds> waits; // before each call of Idle()
    size_t idleEvents;               // how many it sends
};

class IdleCadence : public ::testing::TestWithParam<IdleCase> {};

TEST_P(IdleCadence, SendsTheIdleEventOnlyWhenItIsDue) {
    SteppingClock clock;
    EventRecorder recorder;
    EventReporter reporter(recorder, clock);
    for (microseconds wait : GetParam().waits) {
        clock.Advance(wait);
        EXPECT_TRUE(reporter.Idle());
    }
    EXPECT_EQ(recorder.Count(kEventIdle), GetParam().idleEvents);
    EXPECT_EQ(recorder.events().size(), GetParam().idleEvents);
}

const microseconds kJustShort = kInterval - microseconds(1);

INSTANTIATE_TEST_SUITE_P(
    Waits, IdleCadence,
    ::testing::Values(IdleCase{"NotYetDue", {kJustShort}, 0},
                      IdleCase{"DueAtTheInterval", {kInterval}, 1},
                      IdleCase{"ManyShortWorkSteps",
                               {kInterval / 5, kInterval / 5, kInterval / 5, kInterval / 5,
                                kInterval / 5 - microseconds(1), microseconds(1)},
                               1},
                      IdleCase{"CountedFromTheLastOne", {kInterval, kJustShort}, 1},
                      IdleCase{"EveryIntervalAgain", {kInterval, kInterval, kInterval}, 3},
                      IdleCase{"ALongStepSendsOne", {kInterval * 10}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EventPacing, ProgressStepsComeAfterAnIdleEventWhateverTheTime) {
    SteppingClock clock; // frozen: no idle event is ever due by time
    EventRecorder recorder;
    EventReporter reporter(recorder, clock);
    ASSERT_TRUE(reporter.StartProgress());
    for (uint64_t done = 0; done <= 1000; ++done)
        ASSERT_TRUE(reporter.AdvanceProgress(done, 1000));
    ASSERT_TRUE(reporter.FinishProgress());
    // 0, one step per hundredth below full (1 to 99), then full from Finish.
    EXPECT_EQ(recorder.Count(kEventProgress), 101u);
    EXPECT_EQ(recorder.Count(kEventIdle), 100u);
}

TEST(EventPacing, AProgressStepRestartsTheIdleInterval) {
    SteppingClock clock;
    EventRecorder recorder;
    EventReporter reporter(recorder, clock);
    clock.Advance(kJustShort);
    ASSERT_TRUE(reporter.AdvanceProgress(50, 100)); // idle, then progress
    clock.Advance(kJustShort);
    ASSERT_TRUE(reporter.Idle()); // not due: the interval began at the step
    EXPECT_EQ(EventOutline(recorder.events()), "21 5");
}

TEST(EventPacing, NothingIsSentOnceTheSinkAskedToStop) {
    SteppingClock clock(kInterval);
    EventRecorder recorder(kEventIdle, 2);
    EventReporter reporter(recorder, clock);
    EXPECT_TRUE(reporter.Idle());
    EXPECT_FALSE(reporter.Idle());
    EXPECT_FALSE(reporter.Idle());
    EXPECT_FALSE(reporter.Message("late"));
    EXPECT_TRUE(reporter.stopped());
    EXPECT_EQ(recorder.eventsAfterStop(), 0u);
    EXPECT_EQ(recorder.events().size(), 2u);
}

} // namespace
} // namespace patchfile
