// outlook-standin-server.exe: Outlook.Application as a local COM server, the
// way Outlook serves it. COM starts it (registered as LocalServer32, with
// -Embedding) from the client that creates the class; it inherits the
// client's environment, so it reads the same profile and journal.
//
// It serves one client: it registers the class object for a single use,
// answers calls in its single-threaded apartment, and when the client
// process has ended writes "live-objects N" (the objects the client never
// released) as the run's last journal line. In the profile's busy windows
// its message filter turns calls away, as a busy Outlook's does.

#include <windows.h>
#include <objbase.h>
#include <tlhelp32.h>

#include <string>

#include "BusyWindows.h"
#include "ClassFactory.h"
#include "Interfaces.h"
#include "Journal.h"
#include "LiveObjects.h"
#include "UniqueHandle.h"

namespace {

// The process that started this one: the client that asked COM for the class.
standin::UniqueHandle openClientProcess() {
    const standin::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.valid()) {
        return {};
    }
    const DWORD self = GetCurrentProcessId();
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ProcessID == self) {
            return standin::UniqueHandle(OpenProcess(SYNCHRONIZE, FALSE, entry.th32ParentProcessID));
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
    ClassRegistration() : factory_(new outlook::ClassFactory()) {
        result_ = CoRegisterClassObject(outlook::CLSID_OutlookApplication, factory_, CLSCTX_LOCAL_SERVER,
                                        REGCLS_SINGLEUSE, &cookie_);
    }
    ~ClassRegistration() {
        if (SUCCEEDED(result_)) {
            CoRevokeClassObject(cookie_);
        }
        factory_->Release();
    }
    ClassRegistration(const ClassRegistration&) = delete;
    ClassRegistration& operator=(const ClassRegistration&) = delete;
    HRESULT result() const { return result_; }

private:
    outlook::ClassFactory* factory_;
    DWORD cookie_ = 0;
    HRESULT result_ = E_FAIL;
};

// Answers SERVERCALL_REJECTED for a call to one of the stand-in's objects
// (an IDispatch or Outlook interface method beyond IUnknown's) inside a busy
// window; COM then fails the caller's call with RPC_E_CALL_REJECTED.
class BusyServerFilter final : public IMessageFilter {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IMessageFilter)) {
            return E_NOINTERFACE;
        }
        *object = static_cast<IMessageFilter*>(this);
        return S_OK;
    }
    // One instance, living as long as the server's apartment.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, INTERFACEINFO* call) override {
        if (call != nullptr && callsObjectMember(*call) && outlook::busy::messageFilterTurnsAway()) {
            return SERVERCALL_REJECTED;
        }
        return SERVERCALL_ISHANDLED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return static_cast<DWORD>(-1); }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }

private:
    static bool callsObjectMember(const INTERFACEINFO& call) {
        constexpr WORD firstMethodAfterIUnknown = 3;
        if (call.wMethod < firstMethodAfterIUnknown) {
            return false;
        }
        if (IsEqualIID(call.iid, IID_IDispatch)) {
            return true;
        }
        for (const outlook::OutlookInterface* known : outlook::outlookInterfaces) {
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
        IMessageFilter* previous = nullptr;
        registered_ = SUCCEEDED(CoRegisterMessageFilter(filter, &previous));
        if (previous != nullptr) {
            previous->Release();
        }
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

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const standin::UniqueHandle client = openClientProcess();
    if (!client.valid()) {
        standin::journal("server error: the client process cannot be found");
        return 1;
    }
    const ComApartment apartment;
    if (FAILED(apartment.result())) {
        standin::journal("server error: CoInitializeEx failed with " + hex(apartment.result()));
        return 1;
    }
    BusyServerFilter filter;
    const FilterRegistration filterRegistration(&filter);
    if (!filterRegistration.registered()) {
        standin::journal("server error: CoRegisterMessageFilter failed");
        return 1;
    }
    outlook::busy::turnAwayInMessageFilter();
    {
        const ClassRegistration registration;
        if (FAILED(registration.result())) {
            standin::journal("server error: CoRegisterClassObject failed with " + hex(registration.result()));
            return 1;
        }
        serveUntilEnded(client.get());
    }
    // Taken before CoUninitialize, which would release what the client left.
    standin::journal("live-objects " + std::to_string(outlook::LiveObject::count()));
    return 0;
}
