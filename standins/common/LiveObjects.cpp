#include "LiveObjects.h"

#include <atomic>

namespace standin {

namespace {
// Constant-initialised and trivially destructible: readable while the DLL detaches.
std::atomic<long> liveObjects{0};
}  // namespace

LiveObject::LiveObject() { ++liveObjects; }
LiveObject::~LiveObject() { --liveObjects; }
long LiveObject::count() { return liveObjects.load(); }

}  // namespace standin
