#include "SecurityGuard.h"

#include "Journal.h"
#include "Session.h"

namespace outlook {

namespace {

[[noreturn]] void waitForAnAnswerThatNeverComes() {
    if (servedOutOfProcess()) {
        WaitForSingleObject(servedClientProcess(), INFINITE);
        TerminateProcess(GetCurrentProcess(), 1);
    }
    for (;;) {
        Sleep(INFINITE);
    }
}

}  // namespace

HRESULT passSecurityGuard(Guard guard) {
    if (guard == Guard::trusted) {
        return S_OK;
    }
    standin::journal("guard prompt");
    if (guard == Guard::unanswered) {
        waitForAnAnswerThatNeverComes();
    }
    return E_ABORT;
}

}  // namespace outlook
