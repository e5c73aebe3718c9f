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

#include <windows.h>
#include <objbase.h>
#include <tlhelp32.h>

#include <string>

#include "CallAdmission.h"
#include "ClassFactory.h"
#include "Journal.h"
#include "LiveObjects.h"
#include "OutlookInterfaces.h"
#include "Session.h"
#include "com/ComObject.h"
#include "com/ComRef.h"
#include "com/UniqueHandle.h"

namespace standin::outlook {
namespace {

// A snapshot that cannot be taken is INVALID_HANDLE_VALUE.
using UniqueSnapshot = com::UniqueHandle<HANDLE, com::CloseWith<CloseHandle>, -1>;

// The process that started this one: the client that asked COM for the class.
com::UniqueKernelHandle openClientProcess() {
    const UniqueSnapshot snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return {};
    }
    const DWORD self = GetCurrentProcessId();
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ProcessID == self) {
            return com::UniqueKernelHandle(OpenProcess(SYNCHRONIZE, FALSE, entry.th32ParentProcessID));
        }
    }
    return {};
}

// Answers calls until the client process has ended.
void serveUntilEnded(HANDLE client) {
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjects(1, &client, FALSE, INFINITE, QS_ALLINPUT);
        if (woken != WAIT_OBJECT_0 + 1) {
            return;  // the client ended, or the wait itself failed
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

// CoInitializeEx and CoUninitialize as a pair.
class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    HRESULT result() const { return result_; }

private:
    HRESULT result_;
};

// The class object, registered with COM for as long as this lives.
class ClassRegistration {
public:
    ClassRegistration() : factory_(com::makeComObject<standin::outlook::ClassFactory>()) {
        result_ = CoRegisterClassObject(::outlook::CLSID_OutlookApplication, factory_.get(), CLSCTX_LOCAL_SERVER,
                                        REGCLS_SINGLEUSE, &cookie_);
    }
    ~ClassRegistration() {
        if (SUCCEEDED(result_)) {
            CoRevokeClassObject(cookie_);
        }
    }
    ClassRegistration(const ClassRegistration&) = delete;
    ClassRegistration& operator=(const ClassRegistration&) = delete;
    HRESULT result() const { return result_; }

private:
    const com::ComRef<standin::outlook::ClassFactory> factory_;
    DWORD cookie_ = 0;
    HRESULT result_ = E_FAIL;
};

// Answers SERVERCALL_REJECTED for a call to one of the stand-in's objects
// (an IDispatch or Outlook interface method beyond IUnknown's) inside a busy
// window; COM then fails the caller's call with RPC_E_CALL_REJECTED. Once
// Outlook has gone away, the first call to arrive ends the process.
class BusyServerFilter final : public com::ComObject<IMessageFilter> {
public:
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, INTERFACEINFO* call) override {
        if (standin::outlook::admission::messageFilterTurnsAway(call != nullptr && callsObjectMember(*call))) {
            return SERVERCALL_REJECTED;
        }
        return SERVERCALL_ISHANDLED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return static_cast<DWORD>(-1); }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }

private:
    ~BusyServerFilter() override = default;

    // A remote QueryInterface reaches the filter as IRemUnknown's
    // RemQueryInterface, which does not say what interface it asks for: the
    // filter cannot tell the query for _ContactItem from COM's own queries,
    // and lets every query run.
    static bool callsObjectMember(const INTERFACEINFO& call) {
        constexpr WORD firstMethodAfterIUnknown = 3;
        if (call.wMethod < firstMethodAfterIUnknown) {
            return false;
        }
        if (IsEqualIID(call.iid, IID_IDispatch)) {
            return true;
        }
        for (const ::outlook::OutlookInterface* known : standin::outlookInterfaces) {
            if (IsEqualIID(call.iid, known->iid)) {
                return true;
            }
        }
        return false;
    }
};

// The filter registered on this thread's apartment for as long as this lives.
class FilterRegistration {
public:
    explicit FilterRegistration(IMessageFilter* filter) {
        com::ComRef<IMessageFilter> previous;
        registered_ = SUCCEEDED(CoRegisterMessageFilter(filter, previous.receive()));
    }
    ~FilterRegistration() {
        if (registered_) {
            CoRegisterMessageFilter(nullptr, nullptr);
        }
    }
    FilterRegistration(const FilterRegistration&) = delete;
    FilterRegistration& operator=(const FilterRegistration&) = delete;
    bool registered() const { return registered_; }

private:
    bool registered_ = false;
};

std::string hex(HRESULT result) {
    char text[16];
    wsprintfA(text, "0x%08lX", static_cast<unsigned long>(result));
    return text;
}

}  // namespace
}  // namespace standin::outlook

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const com::UniqueKernelHandle client = standin::outlook::openClientProcess();
    if (!client) {
        standin::journal("server error: the client process cannot be found");
        return 1;
    }
    const standin::outlook::ComApartment apartment;
    if (FAILED(apartment.result())) {
        standin::journal("server error: CoInitializeEx failed with " + standin::outlook::hex(apartment.result()));
        return 1;
    }
    const standin::outlook::FilterRegistration filterRegistration(
        com::makeComObject<standin::outlook::BusyServerFilter>().get());
    if (!filterRegistration.registered()) {
        standin::journal("server error: CoRegisterMessageFilter failed");
        return 1;
    }
    standin::outlook::serveOutOfProcess(client.get());
    {
        const standin::outlook::ClassRegistration registration;
        if (FAILED(registration.result())) {
            standin::journal("server error: CoRegisterClassObject failed with " +
                             standin::outlook::hex(registration.result()));
            return 1;
        }
        standin::outlook::serveUntilEnded(client.get());
    }
    // Taken before CoUninitialize, which would release what the client left.
    standin::journal("live-objects " + std::to_string(standin::LiveObject::count()));
    return 0;
}
