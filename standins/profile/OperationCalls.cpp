#include "OperationCalls.h"

#include "Journal.h"

#include <map>
#include <mutex>

namespace standin::profile {

int journalCall(const std::string& operation) {
    static std::mutex mutex;
    static std::map<std::string, int> calls;
    int number = 0;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        number = ++calls[operation];
    }
    journal(operation);
    return number;
}

}  // namespace standin::profile
