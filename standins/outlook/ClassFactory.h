#pragma once

#include <windows.h>
#include <unknwn.h>

#include <atomic>

#include "LiveObjects.h"

namespace outlook {

// The class object of Outlook.Application. Creating the application is the
// operation "Outlook.Application.create": it reads the profile afresh, and
// an unusable profile fails it with E_FAIL and a "profile error:" journal line.
class ClassFactory final : public IClassFactory {
public:
    ClassFactory() = default;
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

    // Locks taken with LockServer and not yet released, across all factories.
    static long serverLocks();

private:
    ~ClassFactory() = default;

    LiveObject live_;
    std::atomic<ULONG> references_{1};
};

}  // namespace outlook
