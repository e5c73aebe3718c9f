#include "Session.h"

#include <atomic>
#include <map>
#include <mutex>

#include "CallAdmission.h"
#include "Journal.h"

namespace outlook {

namespace {
std::atomic<bool> outOfProcess{false};
}  // namespace

void serveOutOfProcess() { outOfProcess = true; }
bool servedOutOfProcess() { return outOfProcess; }

int recordCall(const std::string& operation) {
    // Counts live for the whole process, across applications, as a run counts calls.
    static std::mutex mutex;
    static std::map<std::string, int> calls;
    int number = 0;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        number = ++calls[operation];
    }
    standin::journal(operation);
    admission::countOperation();
    return number;
}

const Fault* Session::faultFor(const std::string& operation, int call) const {
    for (const Fault& fault : profile_.faults) {
        if (fault.operation == operation && fault.call == call) {
            return &fault;
        }
    }
    return nullptr;
}

}  // namespace outlook
