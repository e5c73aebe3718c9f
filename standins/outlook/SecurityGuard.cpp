#include "SecurityGuard.h"

#include "Journal.h"
#include "Session.h"

namespace standin::outlook {

namespace {

[[noreturn]] void waitForAnAnswerThatNeverComes() {
    if (servedOutOfProcess()) {
        WaitForSingleObject(servedClientProcess(), INFINITE);
        TerminateProcess(GetCurrentProcess(), 1);
    }
    for (;;) Sleep(INFINITE);
}

}  // namespace

HRESULT passSecurityGuard(profile::Guard guard) {
    if (guard == profile::Guard::trusted) return S_OK;
    journal("guard prompt");
    if (guard == profile::Guard::unanswered) waitForAnAnswerThatNeverComes();
    return E_ABORT;
}

}  // namespace standin::outlook
