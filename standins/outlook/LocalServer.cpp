// outlook-standin-server.exe: Outlook.Application as a local COM server, the
// way Outlook serves it. COM starts it (registered as LocalServer32, with
// -Embedding) from the client that creates the class; it inherits the
// client's environment, so it reads the same profile and journal.
//
// It serves one client: it registers the class object for a single use,
// answers calls in its single-threaded apartment, and when the client
// process has ended writes "live-objects N" (the objects the client never
// released) as the run's last journal line. In the profile's busy windows
// its message filter turns calls away, as a busy Outlook's does; when the
// profile has Outlook go away, the process ends in the middle of the run.

#include "ClassFactory.h"
#include "ClientProcess.h"
#include "HresultText.h"
#include "Journal.h"
#include "LiveObjects.h"
#include "ServerMessageFilter.h"
#include "Session.h"
#include "com/ComApartment.h"
#include "com/ComRef.h"
#include "outlook/OutlookDefinitions.h"

#include <windows.h>
#include <objbase.h>

#include <string>

namespace standin::outlook {
namespace {

// The class object, registered with COM for a single use for as long as
// this lives.
class ClassRegistration {
public:
    ClassRegistration() : factory(com::makeComObject<ClassFactory>()) {
        outcome = CoRegisterClassObject(::outlook::CLSID_OutlookApplication, factory.get(), CLSCTX_LOCAL_SERVER,
                                        REGCLS_SINGLEUSE, &cookie);
    }
    ~ClassRegistration() {
        if (SUCCEEDED(outcome)) CoRevokeClassObject(cookie);
    }
    ClassRegistration(const ClassRegistration&) = delete;
    ClassRegistration& operator=(const ClassRegistration&) = delete;

    HRESULT result() const { return outcome; }

private:
    const com::ComRef<ClassFactory> factory;
    DWORD cookie = 0;
    HRESULT outcome = E_FAIL;
};

// Serves the client that started this process until it has ended. The
// apartment, the filter and the class object are declared in the order in
// which serving needs them, so that leaving is their destruction in reverse.
int serveClient() {
    const com::UniqueKernelHandle client = openClientProcess();
    if (!client) {
        journal("server error: the client process cannot be found");
        return 1;
    }
    // An apartment that cannot be entered fails the filter's registration.
    const com::ComApartment apartment = com::enterSingleThreadedApartment();
    const com::MessageFilterRegistration filter = registerServerMessageFilter();
    if (!filter) {
        journal("server error: CoRegisterMessageFilter failed");
        return 1;
    }
    serveOutOfProcess(client.get());
    {
        const ClassRegistration registration;
        if (FAILED(registration.result())) {
            journal("server error: CoRegisterClassObject failed with " + hresultText(registration.result()));
            return 1;
        }
        serveUntilEnded(client.get());
    }
    // Taken before COM is left, which would release what the client left.
    journal("live-objects " + std::to_string(LiveObject::count()));
    return 0;
}

}  // namespace
}  // namespace standin::outlook

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return standin::outlook::serveClient(); }
