#pragma once

#include "LiveObjects.h"
#include "com/ComObject.h"

#include <windows.h>
#include <unknwn.h>

namespace standin::outlook {

// The class object of Outlook.Application. Creating the application is the
// operation "Outlook.Application.create": it reads the profile afresh, and
// an unusable profile fails it with E_FAIL and a "profile error:" journal line.
class ClassFactory final : public com::ComObject<IClassFactory> {
public:
    ClassFactory() = default;

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

    // Locks taken with LockServer and not yet released, across all factories.
    static long serverLocks();

private:
    ~ClassFactory() override = default;

    LiveObject live;
};

}  // namespace standin::outlook
