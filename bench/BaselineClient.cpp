// contact-baseline.exe: the floor that the exporter is measured against. It
// makes the calls an export requires, in the exporter's order, and nothing
// else: the same object-model calls (each member's DISPID looked up once per
// run), the same MAPI calls, the picture saved and read back, but no JSON, no
// text conversion and no output beyond the number of contacts it walked.
//
// The e-mail addresses take the exporter's roads, each until it cannot serve
// the run: the contact's MAPIOBJECT; once a MAPIOBJECT gives no IMAPIProp, a
// MAPI session of the floor's own (BaselineSession.cpp); the object model's
// members (each address, and its type when there is an address) where MAPI
// is not to be had, as when _Application.Version fails, or the session
// cannot be opened. An Exchange address is looked up as the exporter looks
// it up on that road. CONTACT_EXPORTER_FIELDS asks for the contact's EntryID
// and LastModificationTime, as it asks the exporter.

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "BaselineDispatch.h"
#include "BaselineExchange.h"
#include "BaselineMapi.h"
#include "BaselineMembers.h"
#include "BaselineSession.h"
#include "outlook/OutlookDefinitions.h"

using namespace baseline;

namespace {

using outlook::CLSID_OutlookApplication;
constexpr IID IID_Application = outlook::ApplicationInterface.iid;
constexpr IID IID_ContactItem = outlook::ContactItemInterface.iid;

// The members after "phones" that CONTACT_EXPORTER_FIELDS names.
struct Fields {
    bool id = false;
    bool modified = false;
};

Fields fieldsAsked() {
    wchar_t list[64] = L"";
    const DWORD length = GetEnvironmentVariableW(L"CONTACT_EXPORTER_FIELDS", list, 64);
    Fields fields;
    if (length == 0 || length >= 64) return fields;
    for (const wchar_t* name = list; name != nullptr;) {
        const wchar_t* comma = std::wcschr(name, L',');
        const std::wstring each(name, comma != nullptr ? comma - name : std::wcslen(name));
        fields.id = fields.id || each == L"id";
        fields.modified = fields.modified || each == L"modified";
        name = comma != nullptr ? comma + 1 : nullptr;
    }
    return fields;
}

bool isPicture(IDispatch* attachment, Members& members) {
    Variant name;
    get(attachment, members.fileName, name);
    return name.value.vt == VT_BSTR && name.value.bstrVal != nullptr &&
           CompareStringOrdinal(name.value.bstrVal, -1, L"ContactPicture.jpg", -1, TRUE) == CSTR_EQUAL;
}

void readBack(const wchar_t* path, std::vector<char>& buffer) {
    const HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw Failed{STG_E_READFAULT};
    DWORD read = 0;
    while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) && read > 0) {
    }
    CloseHandle(file);
}

void savePicture(IDispatch* contact, Members& members, const std::wstring& picturePath, std::vector<char>& buffer) {
    Ref<IDispatch> attachments;
    callForObject(contact, members.attachments, nullptr, attachments);
    Variant attachmentCount;
    get(attachments.get(), members.attachmentsCount, attachmentCount);
    if (attachmentCount.value.lVal < 1) return;
    Ref<IDispatch> attachment;
    VARIANT first = integer(VT_INT, 1);
    callForObject(attachments.get(), members.attachmentsItem, &first, attachment);
    // Of two or more, the one named as Outlook names the picture.
    if (attachmentCount.value.lVal > 1 && !isPicture(attachment.get(), members)) {
        for (LONG at = 2; at <= attachmentCount.value.lVal; ++at) {
            Ref<IDispatch> candidate;
            VARIANT later = integer(VT_INT, at);
            callForObject(attachments.get(), members.attachmentsItem, &later, candidate);
            if (isPicture(candidate.get(), members)) {
                attachment.swap(candidate);
                break;
            }
        }
    }
    TextArgument path(picturePath.c_str());
    Variant saved;
    invoke(attachment.get(), members.saveAsFile, DISPATCH_METHOD, path.get(), saved);
    readBack(picturePath.c_str(), buffer);
}

Answer emailsThroughMapiObject(IDispatch* contact, Members& members, const Mapi& loaded, ExchangeByName& byName) {
    Variant object;
    get(contact, members.mapiObject, object);
    if (object.value.vt != VT_UNKNOWN && object.value.vt != VT_DISPATCH) return Answer::closed;
    Ref<mapi::IMAPIProp> properties;
    if (object.value.punkVal == nullptr ||
        FAILED(object.value.punkVal->QueryInterface(mapi::IID_IMAPIProp, properties.receiveVoid())))
        return Answer::closed;

    AddressNames names(AddressNames::addressesAndTypes);
    mapi::SPropTagArray* tags = nullptr;
    if (FAILED(properties.get()->GetIDsFromNames(names.count(), names.pointers(), 0, &tags)) || tags == nullptr)
        return Answer::contactNotRead;
    ULONG count = 0;
    mapi::SPropValue* values = nullptr;
    properties.get()->GetProps(tags, 0, &count, &values);
    // Looked up while the values are held, and freed after, as the exporter does on this road.
    if (values != nullptr) {
        forEachAddress(values, count, [&](const MapiAddress& address) {
            if (address.isExchange) byName.lookUp(address.text);
        });
        loaded.freeBuffer(values);
    }
    loaded.freeBuffer(tags);
    return values != nullptr ? Answer::written : Answer::contactNotRead;
}

void emailsThroughObjectModel(IDispatch* contact, Members& members, ExchangeByName& byName) {
    for (int pair = 0; pair < 3; ++pair) {
        Variant address;
        get(contact, members.emails[2 * pair], address);
        if (address.value.vt != VT_BSTR || address.value.bstrVal == nullptr || address.value.bstrVal[0] == L'\0')
            continue;
        // The type only for an address that is there, as the exporter reads them.
        Variant type;
        get(contact, members.emails[2 * pair + 1], type);
        if (type.value.vt == VT_BSTR && type.value.bstrVal != nullptr && std::wcscmp(type.value.bstrVal, L"EX") == 0)
            byName.lookUp(address.value.bstrVal);
    }
}

// The road to the e-mail addresses, taken as the exporter takes its roads.
class EmailRoads {
public:
    enum class Road { mapiObject, session, objectModel };

    // Without `mapiLoaded`, the object model's road alone.
    EmailRoads(const Mapi& loaded, bool mapiLoaded, Members& members, IDispatch* nameSpace, IDispatch* folder)
        : loaded_(loaded),
          members_(members),
          nameSpace_(nameSpace),
          folder_(folder),
          byName_(nameSpace, members),
          road_(mapiLoaded ? Road::mapiObject : Road::objectModel) {}

    // `entryIdRead`: whether the road read the contact's EntryID.
    void write(IDispatch* contact, bool& entryIdRead) {
        for (;;) {
            Answer answer = Answer::written;
            switch (road_) {
            case Road::mapiObject: answer = emailsThroughMapiObject(contact, members_, loaded_, byName_); break;
            case Road::session: answer = sessionAnswer(contact, entryIdRead); break;
            case Road::objectModel: emailsThroughObjectModel(contact, members_, byName_); return;
            }
            if (answer == Answer::written) return;
            if (answer == Answer::contactNotRead) {
                emailsThroughObjectModel(contact, members_, byName_);
                return;
            }
            road_ = road_ == Road::mapiObject ? Road::session : Road::objectModel;
        }
    }

private:
    Answer sessionAnswer(IDispatch* contact, bool& entryIdRead) {
        if (!sessionAsked_) {
            sessionAsked_ = true;
            sessionOpen_ = session_.open(nameSpace_, folder_);
        }
        return sessionOpen_ ? session_.write(contact, entryIdRead) : Answer::closed;
    }

    const Mapi& loaded_;
    Members& members_;
    IDispatch* nameSpace_;
    IDispatch* folder_;
    ExchangeByName byName_;
    Road road_;
    bool sessionAsked_ = false;
    bool sessionOpen_ = false;
    Session session_{loaded_, members_, byName_};
};

long walk(IDispatch* nameSpace, Members& members, const Mapi& loaded, bool mapiLoaded, const std::wstring& picturePath,
          const Fields& fields) {
    Ref<IDispatch> folder;
    VARIANT contacts = integer(VT_I4, 10);
    callForObject(nameSpace, members.getDefaultFolder, &contacts, folder);
    Ref<IDispatch> items;
    getObject(folder.get(), members.items, items);
    Variant count;
    get(items.get(), members.itemsCount, count);
    std::vector<char> buffer(1 << 16);
    long walked = 0;
    {
        EmailRoads emails(loaded, mapiLoaded, members, nameSpace, folder.get());
        for (LONG position = count.value.lVal; position > 0; --position) {
            Ref<IDispatch> item;
            VARIANT index = integer(VT_I4, position);
            callForObject(items.get(), members.itemsItem, &index, item);
            Ref<IDispatch> contact;
            if (!item || FAILED(item.get()->QueryInterface(IID_ContactItem, contact.receiveVoid()))) continue;
            IDispatch* const c = contact.get();

            Variant hasPicture;
            get(c, members.hasPicture, hasPicture);
            if (hasPicture.value.vt == VT_BOOL && hasPicture.value.boolVal != VARIANT_FALSE)
                savePicture(c, members, picturePath, buffer);
            textLength(c, members.fullName);
            bool entryIdRead = false;
            emails.write(c, entryIdRead);
            textLength(c, members.firstName);
            textLength(c, members.lastName);
            for (int phone = 0; phone < 10; ++phone) textLength(c, members.phones[phone]);
            if (fields.id && !entryIdRead) textLength(c, members.entryId);
            if (fields.modified) {
                Variant modified;
                get(c, members.lastModificationTime, modified);
            }
            ++walked;
        }
        Variant again;
        get(items.get(), members.itemsCount, again);
    }
    return walked;
}

}  // namespace

int wmain() {
    CoInitialize(nullptr);
    long walked = -1;
    Mapi loaded;
    try {
        const Fields fields = fieldsAsked();
        Members members;
        Ref<IUnknown> unknown;
        check(CoCreateInstance(CLSID_OutlookApplication, nullptr, CLSCTX_ALL, IID_IUnknown, unknown.receiveVoid()));
        check(OleRun(unknown.get()));
        Ref<IDispatch> application;
        check(unknown.get()->QueryInterface(IID_Application, application.receiveVoid()));
        Ref<IDispatch> nameSpace;
        TextArgument mapiName(L"MAPI");
        callForObject(application.get(), members.getNamespace, mapiName.get(), nameSpace);

        wchar_t temporary[MAX_PATH];
        const DWORD length = GetTempPathW(MAX_PATH, temporary);
        const std::wstring picturePath = std::wstring(temporary, length) + L"contactimage.jpg";
        bool mapiRoad = false;
        try {
            Variant version;
            get(application.get(), members.version, version);
            mapiRoad = loadMapi(loaded);
        } catch (const Failed&) {
            // As in the exporter: the connection stops before MAPI; the object-model road.
        }
        walked = walk(nameSpace.get(), members, loaded, mapiRoad, picturePath, fields);
    } catch (const Failed& failure) {
        std::fprintf(stderr, "baseline: a call failed with 0x%08lX\n", static_cast<unsigned long>(failure.result));
    }
    if (loaded.uninitialize != nullptr) loaded.uninitialize();
    if (loaded.library != nullptr) FreeLibrary(loaded.library);
    CoUninitialize();
    std::printf("%ld\n", walked);
    return walked < 0 ? 1 : 0;
}
