#include "Session.h"

#include "CallAdmission.h"
#include "OperationCalls.h"

#include <atomic>

namespace standin::outlook {

namespace {
std::atomic<bool> outOfProcess{false};
std::atomic<HANDLE> client{nullptr};
}  // namespace

void serveOutOfProcess(HANDLE clientProcess) {
    client = clientProcess;
    outOfProcess = true;
}
bool servedOutOfProcess() { return outOfProcess; }
HANDLE servedClientProcess() { return client; }

int recordCall(const std::string& operation) {
    const int number = profile::journalCall(operation);
    admission::countOperation();
    return number;
}

}  // namespace standin::outlook
