#pragma once

// The floor's late binding: the least a client can do to call Outlook's
// object model by name, each member's DISPID looked up once per run as the
// exporter does. A failed call raises Failed; the floor stops there.

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <utility>

namespace baseline {

// One counted reference.
template <typename Interface>
class Ref {
public:
    Ref() = default;
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    ~Ref() { reset(); }
    void reset() {
        if (held_ != nullptr) std::exchange(held_, nullptr)->Release();
    }
    Interface* get() const { return held_; }
    Interface** receive() {
        reset();
        return &held_;
    }
    void** receiveVoid() { return reinterpret_cast<void**>(receive()); }
    void swap(Ref& other) { std::swap(held_, other.held_); }
    explicit operator bool() const { return held_ != nullptr; }

private:
    Interface* held_ = nullptr;
};

class Variant {
public:
    Variant() { VariantInit(&value); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&value); }
    VARIANT value;
};

// A BSTR argument, freed with it.
class TextArgument {
public:
    explicit TextArgument(const wchar_t* text) {
        text_.value.vt = VT_BSTR;
        text_.value.bstrVal = SysAllocString(text);
    }
    VARIANT* get() { return &text_.value; }

private:
    Variant text_;
};

// A member whose DISPID is looked up on its first call and kept.
struct Member {
    const wchar_t* name;
    DISPID id = DISPID_UNKNOWN;
};

struct Failed {
    HRESULT result;
};

inline void check(HRESULT result) {
    if (FAILED(result)) throw Failed{result};
}

inline void invoke(IDispatch* object, Member& member, WORD kind, VARIANT* argument, Variant& result) {
    if (object == nullptr) throw Failed{E_POINTER};
    if (member.id == DISPID_UNKNOWN) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(member.name)};
        check(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &member.id));
    }
    DISPPARAMS parameters{argument, nullptr, argument != nullptr ? 1u : 0u, 0};
    check(object->Invoke(member.id, IID_NULL, LOCALE_USER_DEFAULT, kind, &parameters, &result.value, nullptr, nullptr));
}

inline void get(IDispatch* object, Member& member, Variant& result) {
    invoke(object, member, DISPATCH_PROPERTYGET | DISPATCH_METHOD, nullptr, result);
}

inline void takeObject(Variant& value, Ref<IDispatch>& result) {
    result.reset();
    if (value.value.vt == VT_DISPATCH) *result.receive() = std::exchange(value.value.pdispVal, nullptr);
}

// A method that gives an object.
inline void callForObject(IDispatch* object, Member& member, VARIANT* argument, Ref<IDispatch>& result) {
    Variant value;
    invoke(object, member, DISPATCH_METHOD, argument, value);
    takeObject(value, result);
}

// A property that holds an object.
inline void getObject(IDispatch* object, Member& member, Ref<IDispatch>& result) {
    Variant value;
    get(object, member, value);
    takeObject(value, result);
}

inline UINT textLength(IDispatch* object, Member& member) {
    Variant value;
    get(object, member, value);
    return value.value.vt == VT_BSTR ? SysStringLen(value.value.bstrVal) : 0;
}

inline VARIANT integer(VARTYPE type, LONG number) {
    VARIANT value;
    VariantInit(&value);
    value.vt = type;
    value.lVal = number;
    return value;
}

}  // namespace baseline
