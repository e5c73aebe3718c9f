#include "Session.h"

#include <atomic>

#include "CallAdmission.h"
#include "OperationCalls.h"

namespace outlook {

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
    const int number = journalCall(operation);
    admission::countOperation();
    return number;
}

}  // namespace outlook
