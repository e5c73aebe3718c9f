#include "FakeOutlook.h"

#include <algorithm>

namespace fake {

namespace {

// DISPIDs by name for the whole run, whichever object is asked.
std::vector<std::wstring>& memberNames() {
    static std::vector<std::wstring> names;
    return names;
}

DISPID dispidOf(const std::wstring& name) {
    std::vector<std::wstring>& names = memberNames();
    auto found = std::find(names.begin(), names.end(), name);
    if (found == names.end()) found = names.insert(names.end(), name);
    return static_cast<DISPID>(found - names.begin() + 1);
}

std::string describe(const VARIANT& argument, Log& log) {
    switch (argument.vt) {
    case VT_I4: return " VT_I4:" + std::to_string(argument.lVal);
    case VT_INT: return " VT_INT:" + std::to_string(argument.intVal);
    case VT_BSTR: log.strings.push_back(argument.bstrVal); return " VT_BSTR:" + ascii(argument.bstrVal);
    default: return " VT " + std::to_string(argument.vt);
    }
}

}  // namespace

std::string ascii(const std::wstring& text) {
    std::string narrow;
    for (const wchar_t unit : text) narrow.push_back(static_cast<char>(unit));
    return narrow;
}

Object::Object(Log& record) : log(record) {
    ++log.objects;
    ++log.references;
}

Object::~Object() { --log.objects; }

HRESULT STDMETHODCALLTYPE Object::QueryInterface(REFIID iid, void** object) {
    const char* name = IsEqualIID(iid, outlook::ContactItemInterface.iid) ? "_ContactItem"
                       : IsEqualIID(iid, IID_IDispatch)                   ? "IDispatch"
                                                                          : "another interface";
    log.calls.push_back(std::string("QueryInterface ") + name);
    if (queryRejections > 0) {
        --queryRejections;
        *object = nullptr;
        return RPC_E_CALL_REJECTED;
    }
    return ComObject::QueryInterface(iid, object);
}

ULONG STDMETHODCALLTYPE Object::AddRef() {
    ++log.references;
    return ComObject::AddRef();
}

ULONG STDMETHODCALLTYPE Object::Release() {
    --log.references;
    return ComObject::Release();
}

HRESULT STDMETHODCALLTYPE Object::GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* dispids) {
    log.lookups.push_back("GetIDsOfNames " + ascii(names[0]));
    if (lookupRejections > 0) {
        --lookupRejections;
        return RPC_E_CALL_REJECTED;
    }
    dispids[0] = dispidOf(names[0]);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Object::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                         VARIANT* result, EXCEPINFO* exception, UINT*) {
    const std::wstring name = memberNames().at(static_cast<std::size_t>(dispid) - 1);
    std::string call = "Invoke " + ascii(name) + (flags == DISPATCH_METHOD ? " call" : " get");
    for (UINT n = 0; n < parameters->cArgs; ++n) call += describe(parameters->rgvarg[n], log);
    log.calls.push_back(call);
    if (invokeRejections > 0) {
        --invokeRejections;
        return RPC_E_CALL_REJECTED;
    }
    const auto answer = answers.find(name);
    return answer == answers.end() ? S_OK : answer->second(*parameters, *result, exception);
}

HRESULT Object::queryOtherInterface(REFIID iid, void** object) {
    if (!IsEqualIID(iid, outlook::ContactItemInterface.iid)) return E_NOINTERFACE;
    return FAILED(contactQuery) ? contactQuery : handOut<IDispatch>(object);
}

ComRef<IDispatch> dispatchOf(const ComRef<Object>& object) { return ComRef<IDispatch>(object.get()); }

Object::Answer returning(VARTYPE type, LONG value, ComRef<IUnknown> object) {
    return [=](const DISPPARAMS&, VARIANT& result, EXCEPINFO*) {
        result.vt = type;
        if (type == VT_I4) result.lVal = value;
        if (type == VT_BOOL) result.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
        if (object) {
            object->AddRef();
            result.punkVal = object.get();  // pdispVal too: the same pointer
        }
        return S_OK;
    };
}

Object::Answer returning(const ComRef<Object>& object) {
    return returning(VT_DISPATCH, 0, ComRef<IUnknown>(static_cast<IDispatch*>(object.get())));
}

Object::Answer text(const std::wstring& value) {
    return [=](const DISPPARAMS&, VARIANT& result, EXCEPINFO*) {
        result.vt = VT_BSTR;
        result.bstrVal = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
        return S_OK;
    };
}

Object::Answer failing(HRESULT failure) {
    return [=](const DISPPARAMS&, VARIANT&, EXCEPINFO*) { return failure; };
}

}  // namespace fake
