// contact-baseline.exe: the floor that the exporter is measured against. It
// makes the calls an export requires, in the exporter's order, and nothing
// else: the same object-model calls (each member's DISPID looked up once per
// run), the same MAPI calls, the picture saved and read back, but no JSON, no
// text conversion and no output beyond the number of contacts it walked.
//
// A run whose _Application.Version fails walks the contacts on the object-
// model road (each address, and its type when there is an address) instead
// of MAPIOBJECT, as the exporter does; so does the rest of a run once a
// contact's MAPIOBJECT gives no IMAPIProp.

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "mapi/MapiDefinitions.h"
#include "outlook/OutlookDefinitions.h"

namespace {

using outlook::CLSID_OutlookApplication;
constexpr IID IID_Application = outlook::ApplicationInterface.iid;
constexpr IID IID_ContactItem = outlook::ContactItemInterface.iid;

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

// A member whose DISPID is looked up on its first call and kept.
struct Member {
    const wchar_t* name;
    DISPID id = DISPID_UNKNOWN;
};

struct Failed {
    HRESULT result;
};

void check(HRESULT result) {
    if (FAILED(result)) throw Failed{result};
}

void invoke(IDispatch* object, Member& member, WORD kind, VARIANT* argument, Variant& result) {
    if (object == nullptr) throw Failed{E_POINTER};
    if (member.id == DISPID_UNKNOWN) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(member.name)};
        check(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &member.id));
    }
    DISPPARAMS parameters{argument, nullptr, argument != nullptr ? 1u : 0u, 0};
    check(object->Invoke(member.id, IID_NULL, LOCALE_USER_DEFAULT, kind, &parameters, &result.value, nullptr, nullptr));
}

void get(IDispatch* object, Member& member, Variant& result) {
    invoke(object, member, DISPATCH_PROPERTYGET | DISPATCH_METHOD, nullptr, result);
}

void getObject(IDispatch* object, Member& member, VARIANT* argument, Ref<IDispatch>& result) {
    Variant value;
    invoke(object, member, DISPATCH_METHOD, argument, value);
    result.reset();
    if (value.value.vt == VT_DISPATCH) *result.receive() = std::exchange(value.value.pdispVal, nullptr);
}

UINT textLength(IDispatch* object, Member& member) {
    Variant value;
    get(object, member, value);
    return value.value.vt == VT_BSTR ? SysStringLen(value.value.bstrVal) : 0;
}

VARIANT integer(VARTYPE type, LONG number) {
    VARIANT value;
    VariantInit(&value);
    value.vt = type;
    value.lVal = number;
    return value;
}

struct Members {
    Member getNamespace{L"GetNamespace"}, version{L"Version"};
    Member getDefaultFolder{L"GetDefaultFolder"};
    Member items{L"Items"};
    Member itemsCount{L"Count"}, itemsItem{L"Item"};
    Member hasPicture{L"HasPicture"}, attachments{L"Attachments"}, mapiObject{L"MAPIOBJECT"};
    Member attachmentsCount{L"Count"}, attachmentsItem{L"Item"}, fileName{L"FileName"}, saveAsFile{L"SaveAsFile"};
    // The contact's text properties in Outlook's order: the three names,
    // ten telephone numbers, then each e-mail address before its type.
#define BASELINE_WIDE(text) L##text
#define BASELINE_TEXT_MEMBER(name) {BASELINE_WIDE(#name)},
    Member texts[19] = {OUTLOOK_CONTACT_TEXT_PROPERTIES(BASELINE_TEXT_MEMBER)};
#undef BASELINE_TEXT_MEMBER
#undef BASELINE_WIDE
    Member& fullName = texts[0];
    Member& firstName = texts[1];
    Member& lastName = texts[2];
    Member* phones = texts + 3;
    Member* emails = texts + 13;
};

bool isPicture(IDispatch* attachment, Members& members) {
    Variant name;
    get(attachment, members.fileName, name);
    return name.value.vt == VT_BSTR && name.value.bstrVal != nullptr &&
           CompareStringOrdinal(name.value.bstrVal, -1, L"ContactPicture.jpg", -1, TRUE) == CSTR_EQUAL;
}

struct Mapi {
    HMODULE library = nullptr;
    mapi::MAPIUNINITIALIZE uninitialize = nullptr;
    mapi::MAPIFREEBUFFER freeBuffer = nullptr;
};

template <typename Function>
Function entryPoint(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

bool loadMapi(Mapi& loaded) {
    loaded.library = LoadLibraryW(L"mapi32.dll");
    if (loaded.library == nullptr) return false;
    auto initialize = entryPoint<mapi::MAPIINITIALIZE>(loaded.library, "MAPIInitialize");
    loaded.uninitialize = entryPoint<mapi::MAPIUNINITIALIZE>(loaded.library, "MAPIUninitialize");
    loaded.freeBuffer = entryPoint<mapi::MAPIFREEBUFFER>(loaded.library, "MAPIFreeBuffer");
    mapi::MAPIINIT_0 init{mapi::MAPI_INIT_VERSION, mapi::MAPI_MULTITHREAD_NOTIFICATIONS};
    return initialize != nullptr && loaded.uninitialize != nullptr && loaded.freeBuffer != nullptr &&
           SUCCEEDED(initialize(&init));
}

void readBack(const wchar_t* path, std::vector<char>& buffer) {
    const HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw Failed{STG_E_READFAULT};
    DWORD read = 0;
    while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) && read > 0) {
    }
    CloseHandle(file);
}

// False when the MAPIOBJECT gives no IMAPIProp.
bool emailsThroughMapi(IDispatch* contact, Members& members, const Mapi& loaded) {
    Variant object;
    get(contact, members.mapiObject, object);
    if (object.value.vt != VT_UNKNOWN && object.value.vt != VT_DISPATCH) return false;
    Ref<mapi::IMAPIProp> properties;
    if (object.value.punkVal == nullptr ||
        FAILED(object.value.punkVal->QueryInterface(mapi::IID_IMAPIProp, properties.receiveVoid())))
        return false;

    GUID propertySet = mapi::PSETID_Address;
    mapi::MAPINAMEID names[6];
    mapi::MAPINAMEID* pointers[6];
    for (int at = 0; at < 6; ++at) {
        names[at].lpguid = &propertySet;
        names[at].ulKind = mapi::MNID_ID;
        names[at].Kind.lID = outlook::emailNamedProperties[at].longId;
        pointers[at] = &names[at];
    }
    mapi::SPropTagArray* tags = nullptr;
    if (FAILED(properties.get()->GetIDsFromNames(6, pointers, 0, &tags)) || tags == nullptr) return true;
    ULONG count = 0;
    mapi::SPropValue* values = nullptr;
    properties.get()->GetProps(tags, 0, &count, &values);
    if (values != nullptr) loaded.freeBuffer(values);
    loaded.freeBuffer(tags);
    return true;
}

void emailsThroughObjectModel(IDispatch* contact, Members& members) {
    for (int pair = 0; pair < 3; ++pair) {
        // The type only for an address that is there, as the exporter reads them.
        if (textLength(contact, members.emails[2 * pair]) > 0) textLength(contact, members.emails[2 * pair + 1]);
    }
}

long walk(IDispatch* nameSpace, Members& members, const Mapi* loaded, const std::wstring& picturePath) {
    Ref<IDispatch> folder;
    VARIANT contacts = integer(VT_I4, 10);
    getObject(nameSpace, members.getDefaultFolder, &contacts, folder);
    Ref<IDispatch> items;
    {
        Variant value;
        get(folder.get(), members.items, value);
        if (value.value.vt == VT_DISPATCH) *items.receive() = std::exchange(value.value.pdispVal, nullptr);
    }
    Variant count;
    get(items.get(), members.itemsCount, count);
    std::vector<char> buffer(1 << 16);
    long walked = 0;
    for (LONG position = count.value.lVal; position > 0; --position) {
        Ref<IDispatch> item;
        VARIANT index = integer(VT_I4, position);
        getObject(items.get(), members.itemsItem, &index, item);
        Ref<IDispatch> contact;
        if (!item || FAILED(item.get()->QueryInterface(IID_ContactItem, contact.receiveVoid()))) continue;
        IDispatch* const c = contact.get();

        Variant hasPicture;
        get(c, members.hasPicture, hasPicture);
        if (hasPicture.value.vt == VT_BOOL && hasPicture.value.boolVal != VARIANT_FALSE) {
            Ref<IDispatch> attachments;
            getObject(c, members.attachments, nullptr, attachments);
            Variant attachmentCount;
            get(attachments.get(), members.attachmentsCount, attachmentCount);
            if (attachmentCount.value.lVal >= 1) {
                Ref<IDispatch> attachment;
                VARIANT first = integer(VT_INT, 1);
                getObject(attachments.get(), members.attachmentsItem, &first, attachment);
                // Of two or more, the one named as Outlook names the picture.
                if (attachmentCount.value.lVal > 1 && !isPicture(attachment.get(), members)) {
                    for (LONG at = 2; at <= attachmentCount.value.lVal; ++at) {
                        Ref<IDispatch> candidate;
                        VARIANT later = integer(VT_INT, at);
                        getObject(attachments.get(), members.attachmentsItem, &later, candidate);
                        if (isPicture(candidate.get(), members)) {
                            attachment.swap(candidate);
                            break;
                        }
                    }
                }
                Variant path;
                path.value.vt = VT_BSTR;
                path.value.bstrVal = SysAllocString(picturePath.c_str());
                Variant saved;
                invoke(attachment.get(), members.saveAsFile, DISPATCH_METHOD, &path.value, saved);
                readBack(picturePath.c_str(), buffer);
            }
        }
        textLength(c, members.fullName);
        if (loaded == nullptr || !emailsThroughMapi(c, members, *loaded)) {
            loaded = nullptr;
            emailsThroughObjectModel(c, members);
        }
        textLength(c, members.firstName);
        textLength(c, members.lastName);
        for (int phone = 0; phone < 10; ++phone) textLength(c, members.phones[phone]);
        ++walked;
    }
    Variant again;
    get(items.get(), members.itemsCount, again);
    return walked;
}

}  // namespace

int wmain() {
    CoInitialize(nullptr);
    long walked = -1;
    Mapi loaded;
    bool mapiRoad = false;
    try {
        Members members;
        Ref<IUnknown> unknown;
        check(CoCreateInstance(CLSID_OutlookApplication, nullptr, CLSCTX_ALL, IID_IUnknown, unknown.receiveVoid()));
        check(OleRun(unknown.get()));
        Ref<IDispatch> application;
        check(unknown.get()->QueryInterface(IID_Application, application.receiveVoid()));
        Ref<IDispatch> nameSpace;
        Variant mapiName;
        mapiName.value.vt = VT_BSTR;
        mapiName.value.bstrVal = SysAllocString(L"MAPI");
        getObject(application.get(), members.getNamespace, &mapiName.value, nameSpace);

        wchar_t temporary[MAX_PATH];
        const DWORD length = GetTempPathW(MAX_PATH, temporary);
        const std::wstring picturePath = std::wstring(temporary, length) + L"contactimage.jpg";
        try {
            Variant version;
            get(application.get(), members.version, version);
            mapiRoad = loadMapi(loaded);
        } catch (const Failed&) {
            // As in the exporter: the connection stops before MAPI; the object-model road.
        }
        walked = walk(nameSpace.get(), members, mapiRoad ? &loaded : nullptr, picturePath);
    } catch (const Failed& failure) {
        std::fprintf(stderr, "baseline: a call failed with 0x%08lX\n", static_cast<unsigned long>(failure.result));
    }
    if (mapiRoad) loaded.uninitialize();
    if (loaded.library != nullptr) FreeLibrary(loaded.library);
    CoUninitialize();
    std::printf("%ld\n", walked);
    return walked < 0 ? 1 : 0;
}
