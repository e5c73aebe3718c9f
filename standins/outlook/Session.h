#pragma once

#include "Profile.h"

#include <windows.h>

#include <memory>
#include <string>

namespace standin::outlook {

// Whether this process is the local server (outlook-standin-server.exe),
// serving the objects to a client in another process, rather than a client
// that loaded the in-process server; the local server keeps the client's
// process handle (SYNCHRONIZE access) open for as long as it serves.
void serveOutOfProcess(HANDLE clientProcess);
bool servedOutOfProcess();
HANDLE servedClientProcess();

// Journals a call of an operation, counts it among the operations that
// busy windows and Outlook's going away go by, and returns its 1-based
// number among the calls of that operation in this process.
int recordCall(const std::string& operation);

// What one Outlook.Application and every object reached from it share: the
// profile, read once when the application was created.
class Session {
public:
    explicit Session(profile::Profile loaded) : held(std::move(loaded)) {}

    const profile::Profile& profile() const { return held; }

    // The fault planned for the given call of an operation, or null.
    const profile::Fault* faultFor(const std::string& operation, int call) const {
        return held.faultFor(operation, call);
    }

    // recordCall, then faultFor.
    const profile::Fault* call(const std::string& operation) const {
        return faultFor(operation, recordCall(operation));
    }

private:
    profile::Profile held;
};

using SessionPtr = std::shared_ptr<const Session>;

}  // namespace standin::outlook
