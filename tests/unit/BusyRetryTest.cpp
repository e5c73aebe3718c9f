#include "FakeOutlook.h"
#include "platform/com/BusyMessageFilter.h"
#include "platform/com/BusyRetry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <utility>
#include <vector>

using namespace std::chrono_literals;
using com::retryWhileBusy;

namespace {

using FakeClock = fake::Clock;

// A call that answers with the given results, one per attempt, and records
// when each attempt was made.
struct ScriptedCall {
    ScriptedCall(std::vector<HRESULT> answers, FakeClock& time, std::chrono::milliseconds taking = 0ms)
        : results(std::move(answers)), clock(time), duration(taking) {}

    std::vector<HRESULT> results;
    FakeClock& clock;
    std::chrono::milliseconds duration;
    std::vector<std::chrono::milliseconds> attempts;

    HRESULT operator()() {
        attempts.push_back(clock.current);
        clock.current += duration;
        return results[std::min(attempts.size(), results.size()) - 1];
    }
};

}  // namespace

TEST(BusyRetry, ACallThatRunsIsMadeOnce) {
    FakeClock clock;
    for (const HRESULT result : {S_OK, S_FALSE, E_FAIL, RPC_E_DISCONNECTED, DISP_E_EXCEPTION}) {
        ScriptedCall call{{result}, clock};
        EXPECT_EQ(retryWhileBusy(call), result);
        EXPECT_EQ(call.attempts.size(), 1u);
    }
    EXPECT_TRUE(clock.sleeps.empty());
}

TEST(BusyRetry, ARejectedCallIsMadeAgainAfterThePause) {
    FakeClock clock;
    ScriptedCall call{{RPC_E_CALL_REJECTED, RPC_E_SERVERCALL_RETRYLATER, S_OK}, clock};
    EXPECT_EQ(retryWhileBusy(call), S_OK);
    EXPECT_EQ(call.attempts, (std::vector<std::chrono::milliseconds>{1000ms, 1200ms, 1400ms}));
    EXPECT_EQ(clock.sleeps, (std::vector<std::chrono::milliseconds>{200ms, 200ms}));
}

TEST(BusyRetry, ACallRejectedUntilTheDeadlineFailsAsRejected) {
    FakeClock clock;
    ScriptedCall call{{RPC_E_CALL_REJECTED}, clock};
    EXPECT_EQ(retryWhileBusy(call), RPC_E_CALL_REJECTED);
    // One attempt every 200 ms for a minute, the last at the deadline.
    EXPECT_EQ(call.attempts.size(), 301u);
    EXPECT_EQ(call.attempts.back() - call.attempts.front(), 60s);
}

TEST(BusyRetry, TheDeadlineRunsFromTheFirstAttempt) {
    // Time spent inside an attempt (COM retrying through the message filter)
    // counts: one call never waits more than one deadline in all.
    FakeClock clock;
    ScriptedCall slow{{RPC_E_CALL_REJECTED}, clock, 59950ms};
    EXPECT_EQ(retryWhileBusy(slow), RPC_E_CALL_REJECTED);
    EXPECT_EQ(clock.sleeps, (std::vector<std::chrono::milliseconds>{50ms}));
    EXPECT_EQ(slow.attempts.size(), 2u);

    FakeClock later;
    ScriptedCall slower{{RPC_E_SERVERCALL_RETRYLATER}, later, 61s};
    EXPECT_EQ(retryWhileBusy(slower), RPC_E_SERVERCALL_RETRYLATER);
    EXPECT_EQ(slower.attempts.size(), 1u);
}

TEST(BusyRetry, TheRoundTripsOfOneCallShareOneDeadline) {
    // The member's DISPID is turned away for some 40 s, then the call
    // itself for ever: the call gives up a minute after its first round
    // trip began, not a minute after its second did.
    FakeClock clock;
    com::BusyWait call;
    ScriptedCall lookup{{RPC_E_CALL_REJECTED, RPC_E_CALL_REJECTED, S_OK}, clock, 13s};
    EXPECT_EQ(retryWhileBusy(lookup), S_OK);
    EXPECT_EQ(clock.current, 1000ms + 39400ms);

    ScriptedCall invoke{{RPC_E_CALL_REJECTED}, clock};
    EXPECT_EQ(call.retry(invoke), RPC_E_CALL_REJECTED);
    EXPECT_EQ(clock.current, 1000ms + 60s);
    EXPECT_EQ(invoke.attempts.size(), 104u);  // every 200 ms over the 20.6 s that were left
}

TEST(BusyRetry, AWaitOfItsOwnBeginsWhenNoOtherLives) {
    FakeClock clock;
    {
        com::BusyWait first;
        clock.current += 50s;
    }
    ScriptedCall later{{RPC_E_CALL_REJECTED}, clock};
    EXPECT_EQ(retryWhileBusy(later), RPC_E_CALL_REJECTED);
    EXPECT_EQ(later.attempts.back() - later.attempts.front(), 60s);
}

TEST(BusyMessageFilter, AnswersFromTheDeadlineOfTheCallInProgress) {
    // COM's tick count starts at each attempt; the call's own wait knows
    // when the call began, and no pause under 100 ms is answered (COM would
    // retry at once, spinning): the filter cancels instead.
    const com::ComRef<IMessageFilter> filter = com::ComRef<IMessageFilter>::adopt(new com::BusyMessageFilter());
    FakeClock clock;
    const com::BusyWait call;
    EXPECT_EQ(filter->RetryRejectedCall(nullptr, 50000, SERVERCALL_RETRYLATER), 200u);
    clock.current += 59800ms;
    EXPECT_EQ(filter->RetryRejectedCall(nullptr, 0, SERVERCALL_RETRYLATER), 200u);
    clock.current += 50ms;
    EXPECT_EQ(filter->RetryRejectedCall(nullptr, 0, SERVERCALL_RETRYLATER), 150u);
    clock.current += 51ms;
    EXPECT_EQ(filter->RetryRejectedCall(nullptr, 0, SERVERCALL_RETRYLATER), static_cast<DWORD>(-1));
    EXPECT_EQ(filter->RetryRejectedCall(nullptr, 0, SERVERCALL_REJECTED), static_cast<DWORD>(-1));
}

TEST(BusyMessageFilter, RetriesWhatTheServerAsksToRetryLaterUntilTheDeadline) {
    const com::ComRef<IMessageFilter> filter = com::ComRef<IMessageFilter>::adopt(new com::BusyMessageFilter());
    EXPECT_EQ(filter->RetryRejectedCall(nullptr, 0, SERVERCALL_RETRYLATER), 200u);
    EXPECT_EQ(filter->RetryRejectedCall(nullptr, 59000, SERVERCALL_RETRYLATER), 200u);
    EXPECT_EQ(filter->RetryRejectedCall(nullptr, 59900, SERVERCALL_RETRYLATER), 100u);
    EXPECT_EQ(filter->RetryRejectedCall(nullptr, 59901, SERVERCALL_RETRYLATER), static_cast<DWORD>(-1));
    EXPECT_EQ(filter->RetryRejectedCall(nullptr, 60000, SERVERCALL_RETRYLATER), static_cast<DWORD>(-1));
    EXPECT_EQ(filter->RetryRejectedCall(nullptr, 0, SERVERCALL_REJECTED), static_cast<DWORD>(-1));
    EXPECT_EQ(filter->HandleInComingCall(CALLTYPE_TOPLEVEL, nullptr, 0, nullptr),
              static_cast<DWORD>(SERVERCALL_ISHANDLED));
    EXPECT_EQ(filter->MessagePending(nullptr, 0, PENDINGTYPE_TOPLEVEL), static_cast<DWORD>(PENDINGMSG_WAITDEFPROCESS));
}

TEST(BusyMessageFilter, IsRegisteredWhileItsRegistrationLives) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    const auto current = [] {
        com::ComRef<IMessageFilter> filter;
        CoRegisterMessageFilter(nullptr, filter.put());
        CoRegisterMessageFilter(filter.get(), nullptr);
        return filter;
    };
    const com::ComRef<IMessageFilter> before = com::ComRef<IMessageFilter>::adopt(new com::BusyMessageFilter());
    CoRegisterMessageFilter(before.get(), nullptr);
    {
        const com::MessageFilterRegistration registration = com::registerBusyMessageFilter();
        EXPECT_TRUE(registration);
        const com::ComRef<IMessageFilter> registered = current();
        ASSERT_TRUE(registered);
        EXPECT_NE(registered.get(), before.get());
        EXPECT_EQ(registered->RetryRejectedCall(nullptr, 0, SERVERCALL_RETRYLATER), 200u);
    }
    EXPECT_EQ(current().get(), before.get());
    CoRegisterMessageFilter(nullptr, nullptr);
    CoUninitialize();
}
