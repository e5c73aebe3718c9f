#include "HresultNames.h"

#include <winerror.h>

#include <cstdio>

namespace com {

namespace {

struct NamedResult {
    HRESULT result;
    const char* name;
};

#define NAMED(result) \
    { static_cast<HRESULT>(result), #result }

// Starting and reaching Outlook, calls and their arguments, a busy or
// vanished Outlook, MAPI, and the exporter's own files and streams.
constexpr NamedResult namedResults[] = {
    NAMED(E_FAIL),
    NAMED(E_NOINTERFACE),
    NAMED(E_POINTER),
    NAMED(E_OUTOFMEMORY),
    NAMED(E_INVALIDARG),
    NAMED(E_UNEXPECTED),
    NAMED(E_NOTIMPL),
    NAMED(E_ABORT),
    NAMED(E_ACCESSDENIED),
    NAMED(CO_E_SERVER_EXEC_FAILURE),
    NAMED(CO_E_NOTINITIALIZED),
    NAMED(CO_E_OBJNOTCONNECTED),
    NAMED(REGDB_E_CLASSNOTREG),
    NAMED(REGDB_E_IIDNOTREG),
    NAMED(MK_E_UNAVAILABLE),
    NAMED(DISP_E_EXCEPTION),
    NAMED(DISP_E_MEMBERNOTFOUND),
    NAMED(DISP_E_UNKNOWNNAME),
    NAMED(DISP_E_TYPEMISMATCH),
    NAMED(DISP_E_BADPARAMCOUNT),
    NAMED(DISP_E_PARAMNOTFOUND),
    NAMED(RPC_E_CALL_REJECTED),
    NAMED(RPC_E_SERVERCALL_RETRYLATER),
    NAMED(RPC_E_DISCONNECTED),
    NAMED(RPC_E_SERVERFAULT),
    NAMED(RPC_E_CALL_CANCELED),
    NAMED(RPC_E_SERVER_DIED),
    NAMED(RPC_E_SERVER_DIED_DNE),
    NAMED(RPC_E_WRONG_THREAD),
    {HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE), "RPC_S_SERVER_UNAVAILABLE"},
    {HRESULT_FROM_WIN32(RPC_S_CALL_FAILED), "RPC_S_CALL_FAILED"},
    {HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE), "RPC_S_CALL_FAILED_DNE"},
    {static_cast<HRESULT>(0x8004010FL), "MAPI_E_NOT_FOUND"},
    {static_cast<HRESULT>(0x80040102L), "MAPI_E_NO_SUPPORT"},
    {static_cast<HRESULT>(0x80040111L), "MAPI_E_LOGON_FAILED"},
    {static_cast<HRESULT>(0x80040119L), "MAPI_E_CALL_FAILED"},
    {static_cast<HRESULT>(0x80040106L), "MAPI_E_UNKNOWN_FLAGS"},
    {static_cast<HRESULT>(0x80040107L), "MAPI_E_INVALID_ENTRYID"},
    {static_cast<HRESULT>(0x80040115L), "MAPI_E_NETWORK_ERROR"},
    {static_cast<HRESULT>(0x80040201L), "MAPI_E_UNKNOWN_ENTRYID"},
    NAMED(STG_E_READFAULT),
    {HRESULT_FROM_WIN32(ERROR_TIMEOUT), "ERROR_TIMEOUT"},
    {HRESULT_FROM_WIN32(ERROR_NO_DATA), "ERROR_NO_DATA"},
    {HRESULT_FROM_WIN32(ERROR_BROKEN_PIPE), "ERROR_BROKEN_PIPE"},
    {HRESULT_FROM_WIN32(ERROR_PIPE_NOT_CONNECTED), "ERROR_PIPE_NOT_CONNECTED"},
    {HRESULT_FROM_WIN32(ERROR_NO_UNICODE_TRANSLATION), "ERROR_NO_UNICODE_TRANSLATION"},
};

#undef NAMED

}  // namespace

const char* hresultName(HRESULT result) noexcept {
    for (const NamedResult& named : namedResults) {
        if (named.result == result) return named.name;
    }
    return nullptr;
}

std::string hresultHex(HRESULT result) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(result));
    return text;
}

}  // namespace com
