#include "Logon.h"

#include "Journal.h"
#include "MapiDelivery.h"
#include "MapiSession.h"
#include "OperationCalls.h"
#include "ProfileValues.h"
#include "SessionCalls.h"
#include "mapi/MapiDefinitions.h"

#include <atomic>
#include <optional>
#include <string>

namespace standin::mapi32 {

namespace {

std::atomic<bool> calledLogon{false};

// A program with no user interface must never ask MAPI for one, nor offer
// its session to others.
bool acceptableFlags(ULONG flags) {
    constexpr ULONG refused = mapi::MAPI_LOGON_UI | mapi::MAPI_PASSWORD_UI | mapi::MAPI_ALLOW_OTHERS;
    return (flags & mapi::MAPI_EXTENDED) != 0 && (flags & refused) == 0;
}

// The profile name as given: UTF-16 with MAPI_UNICODE, ANSI text otherwise.
std::optional<std::wstring> nameGiven(LPWSTR profileName, ULONG flags) {
    if (profileName == nullptr) return std::nullopt;
    if ((flags & mapi::MAPI_UNICODE) != 0) return std::wstring(profileName);
    const char* ansi = reinterpret_cast<const char*>(profileName);
    const int length = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring name(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi, -1, name.data(), length);
    name.resize(static_cast<size_t>(length) - 1);
    return name;
}

// Profile names are registry key names, which Windows compares without case.
bool namesProfile(const std::optional<std::wstring>& name, const profile::Text& profileName) {
    return name && profileName &&
           CompareStringOrdinal(name->c_str(), static_cast<int>(name->size()), profileName->c_str(),
                                static_cast<int>(profileName->size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

bool loggedOn() { return calledLogon; }

HRESULT logOn(LPWSTR profileName, ULONG flags, void** session) {
    calledLogon = true;
    const int call = profile::journalCall("MAPILogonEx");
    if (session == nullptr) return mapiprops::MAPI_E_INVALID_PARAMETER;
    *session = nullptr;
    ProfilePtr profile;
    try {
        profile = std::make_shared<const profile::Profile>(profile::loadProfile());
    } catch (const std::exception& error) {
        journal(std::string("profile error: ") + error.what());
        return mapi::MAPI_E_LOGON_FAILED;
    }
    if (const profile::Fault* fault = profile->faultFor("MAPILogonEx", call)) {
        return faultedObjectCall(*fault, mapi::IID_IMAPISession);
    }
    if (!acceptableFlags(flags)) return mapi::MAPI_E_LOGON_FAILED;
    if ((flags & mapi::MAPI_USE_DEFAULT) == 0 && !namesProfile(nameGiven(profileName, flags), profile->profileName)) {
        return mapi::MAPI_E_LOGON_FAILED;
    }
    return mapiprops::resultOfAnswering([&] {
        *session = static_cast<mapi::IMAPISession*>(com::makeComObject<MapiSession>(profile).detach());
        return S_OK;
    });
}

}  // namespace standin::mapi32
