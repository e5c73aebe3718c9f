// standin-probe.exe: drives the stand-ins directly, as a conformance test
// drives a library, and prints what each call answered, one line per call.
// Each argument is one step: a command and its parameters, separated by
// spaces. Outlook's object model is reached by IDispatch from
// Outlook.Application; the MAPI session through mapi32.dll's own entry
// points. What a run still holds at the end is released, MAPI ended and its
// library released, unless a step leaked it.
//
//   om                         connect: application, namespace, contacts folder, items
//   profile-name | store-id    _NameSpace.CurrentProfileName, MAPIFolder.StoreID
//   item N MEMBER              Items.Item(N).MEMBER
//   mapiobject N               Items.Item(N).MAPIOBJECT, then its query for IMAPIProp
//   entry ADDRESS MEMBER       CreateRecipient(ADDRESS).AddressEntry.MEMBER
//   load | unload              LoadLibrary + MAPIInitialize | MAPIUninitialize + FreeLibrary
//   logon FLAGS NAME           MAPILogonEx (NAME "-" for none; UTF-16 with MAPI_UNICODE, else ANSI)
//   open-store FLAGS ID        OpenMsgStore; ID is hexadecimal or "@store", the folder's StoreID
//   open-entry FLAGS ID [IID]  IMsgStore::OpenEntry; ID hexadecimal or "@N", item N's EntryID;
//                              IID "message" (IID_IMessage) or "store" (IID_IMsgStore)
//   get-ids | get-props        the message's nine named properties: their tags, their values
//   open-address-book          OpenAddressBook
//   open-user ID               IAddrBook::OpenEntry; ID hexadecimal or "@N", the Nth
//                              original entry id of the last get-props
//   user-props                 IMailUser::GetProps of PR_EMAIL_ADDRESS_W, PR_SMTP_ADDRESS_W
//   logoff                     IMAPISession::Logoff
//   release OBJECT | leak OBJECT   session, store, message, book or user: released, or dropped unreleased

#include "Utf.h"
#include "com/ComRef.h"
#include "com/Variant.h"
#include "mapi/MapiDefinitions.h"
#include "outlook/OutlookDefinitions.h"

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string hexNumber(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", value);
    return text;
}

std::string hresult(HRESULT result) { return hexNumber(static_cast<unsigned long>(result)); }

std::string hexBytes(const unsigned char* bytes, size_t size) {
    std::string text;
    char pair[3];
    for (size_t at = 0; at < size; ++at) {
        std::snprintf(pair, sizeof pair, "%02X", bytes[at]);
        text += pair;
    }
    return text;
}

// Text in quotation marks, control characters and lone surrogates as \uXXXX.
std::string quoted(const std::wstring& text) {
    std::string result = "\"";
    for (size_t at = 0; at < text.size(); ++at) {
        const wchar_t unit = text[at];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool pairs = high && at + 1 < text.size() && text[at + 1] >= 0xDC00 && text[at + 1] <= 0xDFFF;
        if (pairs) {
            result += standin::utf16ToUtf8(text.substr(at++, 2));
        } else if (unit < 0x20 || (unit >= 0xD800 && unit <= 0xDFFF)) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(unit));
            result += escape;
        } else if (unit == L'"' || unit == L'\\') {
            result += '\\';
            result += static_cast<char>(unit);
        } else {
            result += standin::utf16ToUtf8(std::wstring(1, unit));
        }
    }
    return result + "\"";
}

std::vector<unsigned char> bytesOfHex(const std::wstring& text) {
    std::vector<unsigned char> bytes;
    for (size_t at = 0; at + 1 < text.size(); at += 2) {
        bytes.push_back(static_cast<unsigned char>(std::stoul(text.substr(at, 2), nullptr, 16)));
    }
    return bytes;
}

std::string describe(const VARIANT& value) {
    switch (value.vt) {
    case VT_EMPTY: return "VT_EMPTY";
    case VT_BSTR: return value.bstrVal ? "VT_BSTR " + quoted(value.bstrVal) : "VT_BSTR null";
    case VT_I4: return "VT_I4 " + std::to_string(value.lVal);
    case VT_BOOL: return value.boolVal ? "VT_BOOL true" : "VT_BOOL false";
    case VT_DISPATCH: return value.pdispVal ? "VT_DISPATCH" : "VT_DISPATCH null";
    case VT_UNKNOWN: return value.punkVal ? "VT_UNKNOWN" : "VT_UNKNOWN null";
    case VT_DATE: {
        SYSTEMTIME time{};
        char text[64];
        VariantTimeToSystemTime(value.date, &time);
        std::snprintf(text, sizeof text, "VT_DATE %.6f %04u-%02u-%02uT%02u:%02u:%02u", value.date, time.wYear,
                      time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond);
        return text;
    }
    default: return "VT " + std::to_string(value.vt);
    }
}

std::string describe(const mapi::SPropValue& value) {
    const std::string tag = hexNumber(value.ulPropTag);
    switch (mapi::propType(value.ulPropTag)) {
    case mapi::PT_UNICODE: return tag + " " + quoted(value.Value.lpszW);
    case mapi::PT_STRING8:
        return tag + " bytes " +
               hexBytes(reinterpret_cast<const unsigned char*>(value.Value.lpszA),
                        std::char_traits<char>::length(value.Value.lpszA));
    case mapi::PT_BINARY: return tag + " binary " + hexBytes(value.Value.bin.lpb, value.Value.bin.cb);
    case mapi::PT_ERROR: return tag + " error " + hresult(value.Value.err);
    default: return tag + " ?";
    }
}

// A member of an IDispatch called by name with its arguments, first first;
// the arguments are cleared after the call.
HRESULT call(IDispatch* object, const std::wstring& member, std::vector<VARIANT> arguments, com::Variant& result) {
    if (object == nullptr) return E_POINTER;
    LPOLESTR name = const_cast<LPOLESTR>(member.c_str());
    DISPID id = 0;
    if (const HRESULT found = object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id); FAILED(found)) {
        return found;
    }
    std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
    DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    const HRESULT outcome = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                           &parameters, result.get(), nullptr, nullptr);
    for (VARIANT& argument : reversed) VariantClear(&argument);
    return outcome;
}

VARIANT integerArgument(LONG value) {
    VARIANT argument;
    argument.vt = VT_I4;
    argument.lVal = value;
    return argument;
}

VARIANT textArgument(const std::wstring& value) {
    VARIANT argument;
    argument.vt = VT_BSTR;
    argument.bstrVal = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    return argument;
}

com::ComRef<IDispatch> objectOf(com::Variant& result) {
    return result->vt == VT_DISPATCH ? com::ComRef<IDispatch>(result->pdispVal) : nullptr;
}

class Probe {
public:
    ~Probe() { finish(); }

    std::string run(const std::wstring& step) {
        std::wistringstream words(step);
        std::vector<std::wstring> word;
        for (std::wstring one; words >> one;) word.push_back(one);
        word.resize(4);
        const std::wstring& command = word[0];
        if (command == L"om") return connect();
        if (command == L"profile-name") return member(nameSpace.get(), L"CurrentProfileName");
        if (command == L"store-id") return member(folder.get(), L"StoreID");
        if (command == L"item") return member(item(std::stol(word[1])).get(), word[2]);
        if (command == L"mapiobject") return mapiObject(std::stol(word[1]));
        if (command == L"entry") return member(addressEntry(word[1]).get(), word[2]);
        if (command == L"load") return load();
        if (command == L"unload") return unload();
        if (command == L"logon") return logon(std::stoul(word[1], nullptr, 16), word[2]);
        if (command == L"open-store") return openStore(std::stoul(word[1], nullptr, 16), word[2]);
        if (command == L"open-entry") return openEntry(std::stoul(word[1], nullptr, 16), word[2], word[3]);
        if (command == L"get-ids") return getIds();
        if (command == L"get-props") return getProps();
        if (command == L"open-address-book") return openAddressBook();
        if (command == L"open-user") return openUser(word[1]);
        if (command == L"user-props") return userProps();
        if (command == L"logoff") return hresult(session ? session.get()->Logoff(0, 0, 0) : E_POINTER);
        if (command == L"release" || command == L"leak") return drop(word[1], command == L"leak");
        return "unknown step";
    }

private:
    std::string connect() {
        HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        initialised = SUCCEEDED(result);
        com::ComRef<IDispatch> application;
        if (SUCCEEDED(result)) {
            result =
                CoCreateInstance(outlook::CLSID_OutlookApplication, nullptr, CLSCTX_LOCAL_SERVER | CLSCTX_INPROC_SERVER,
                                 IID_IDispatch, reinterpret_cast<void**>(application.put()));
        }
        com::Variant nameSpaceResult, folderResult, itemsResult;
        if (SUCCEEDED(result))
            result = call(application.get(), L"GetNamespace", {textArgument(L"MAPI")}, nameSpaceResult);
        nameSpace = objectOf(nameSpaceResult);
        if (SUCCEEDED(result)) result = call(nameSpace.get(), L"GetDefaultFolder", {integerArgument(10)}, folderResult);
        folder = objectOf(folderResult);
        if (SUCCEEDED(result)) result = call(folder.get(), L"Items", {}, itemsResult);
        items = objectOf(itemsResult);
        return hresult(result);
    }

    std::string member(IDispatch* object, const std::wstring& name) {
        com::Variant result;
        const HRESULT outcome = call(object, name, {}, result);
        return FAILED(outcome) ? hresult(outcome) : describe(*result);
    }

    com::ComRef<IDispatch> item(LONG index) {
        com::Variant result;
        call(items.get(), L"Item", {integerArgument(index)}, result);
        return objectOf(result);
    }

    com::ComRef<IDispatch> addressEntry(const std::wstring& address) {
        com::Variant recipient, entry;
        call(nameSpace.get(), L"CreateRecipient", {textArgument(address)}, recipient);
        call(objectOf(recipient).get(), L"AddressEntry", {}, entry);
        return objectOf(entry);
    }

    std::string mapiObject(LONG index) {
        com::Variant result;
        if (const HRESULT outcome = call(item(index).get(), L"MAPIOBJECT", {}, result); FAILED(outcome)) {
            return hresult(outcome);
        }
        if (result->vt != VT_UNKNOWN || result->punkVal == nullptr) return describe(*result);
        com::ComRef<mapi::IMAPIProp> properties;
        return "IMAPIProp " + hresult(com::ComRef<IUnknown>(result->punkVal).query(mapi::IID_IMAPIProp, properties));
    }

    std::wstring text(const std::wstring& member, IDispatch* object) {
        com::Variant result;
        call(object, member, {}, result);
        return result->vt == VT_BSTR && result->bstrVal ? result->bstrVal : L"";
    }

    template <typename Function>
    Function entryPoint(const char* name) {
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
    }

    std::string load() {
        library = LoadLibraryW(L"mapi32.dll");
        if (library == nullptr) return "LoadLibrary failed";
        return hresult(entryPoint<mapi::MAPIINITIALIZE>("MAPIInitialize")(nullptr));
    }

    std::string unload() {
        if (library == nullptr) return "not loaded";
        entryPoint<mapi::MAPIUNINITIALIZE>("MAPIUninitialize")();
        FreeLibrary(std::exchange(library, nullptr));
        return "unloaded";
    }

    std::string logon(ULONG flags, const std::wstring& name) {
        std::string ansi(name.size() * 2 + 1, '\0');
        WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, ansi.data(), static_cast<int>(ansi.size()), nullptr, nullptr);
        LPWSTR given = name == L"-"                        ? nullptr
                       : (flags & mapi::MAPI_UNICODE) != 0 ? const_cast<LPWSTR>(name.c_str())
                                                           : reinterpret_cast<LPWSTR>(ansi.data());
        void* opened = nullptr;
        const HRESULT result = entryPoint<mapi::MAPILOGONEX>("MAPILogonEx")(0, given, nullptr, flags, &opened);
        session = com::ComRef<mapi::IMAPISession>::adopt(static_cast<mapi::IMAPISession*>(opened));
        return hresult(result) + (opened ? " session" : "");
    }

    std::vector<unsigned char> entryId(const std::wstring& id) {
        if (id == L"@store") return bytesOfHex(text(L"StoreID", folder.get()));
        if (!id.empty() && id[0] == L'@') return bytesOfHex(text(L"EntryID", item(std::stol(id.substr(1))).get()));
        return bytesOfHex(id);
    }

    std::string openStore(ULONG flags, const std::wstring& id) {
        if (!session) return "no session";
        std::vector<unsigned char> bytes = entryId(id);
        com::ComRef<IUnknown> opened;
        const HRESULT result = session.get()->OpenMsgStore(0, static_cast<ULONG>(bytes.size()), bytes.data(), nullptr,
                                                           flags, opened.put());
        store = com::ComRef<mapi::IMsgStore>::adopt(static_cast<mapi::IMsgStore*>(opened.detach()));
        return hresult(result) + (store ? " store" : "");
    }

    std::string openEntry(ULONG flags, const std::wstring& id, const std::wstring& iidName) {
        if (!store) return "no store";
        std::vector<unsigned char> bytes = entryId(id);
        const IID* iid = iidName == L"message" ? &mapi::IID_IMessage
                         : iidName == L"store" ? &mapi::IID_IMsgStore
                                               : nullptr;
        ULONG type = 0;
        com::ComRef<IUnknown> opened;
        const HRESULT result =
            store.get()->OpenEntry(static_cast<ULONG>(bytes.size()), bytes.data(), iid, flags, &type, opened.put());
        message = com::ComRef<mapi::IMessage>::adopt(static_cast<mapi::IMessage*>(opened.detach()));
        return hresult(result) + " type " + std::to_string(type) + (message ? " message" : "");
    }

    std::string getIds() {
        if (!message) return "no message";
        constexpr LONG longIds[] = {0x8083, 0x8082, 0x8093, 0x8092, 0x80A3, 0x80A2, 0x8085, 0x8095, 0x80A5};
        GUID set = mapi::PSETID_Address;
        mapi::MAPINAMEID names[std::size(longIds)];
        mapi::MAPINAMEID* pointers[std::size(longIds)];
        for (size_t at = 0; at < std::size(longIds); ++at) {
            names[at].lpguid = &set;
            names[at].ulKind = mapi::MNID_ID;
            names[at].Kind.lID = longIds[at];
            pointers[at] = &names[at];
        }
        mapi::SPropTagArray* tags = nullptr;
        const HRESULT result =
            message.get()->GetIDsFromNames(static_cast<ULONG>(std::size(longIds)), pointers, 0, &tags);
        std::string line = hresult(result);
        namedTags.clear();
        for (ULONG at = 0; tags != nullptr && at < tags->cValues; ++at) {
            line += " " + hexNumber(tags->aulPropTag[at]);
            namedTags.push_back(tags->aulPropTag[at]);
        }
        freeBuffer(tags);
        return line;
    }

    std::string values(mapi::IMAPIProp* object, const std::vector<ULONG>& tags, bool keepEntryIds) {
        std::vector<ULONG> array(tags.size() + 1);
        array[0] = static_cast<ULONG>(tags.size());
        std::copy(tags.begin(), tags.end(), array.begin() + 1);
        ULONG count = 0;
        mapi::SPropValue* values = nullptr;
        const HRESULT result =
            object->GetProps(reinterpret_cast<mapi::SPropTagArray*>(array.data()), 0, &count, &values);
        std::string line = hresult(result) + " " + std::to_string(count);
        if (keepEntryIds) originalEntryIds.clear();
        for (ULONG at = 0; values != nullptr && at < count; ++at) {
            line += " [" + describe(values[at]) + "]";
            if (keepEntryIds && mapi::propType(values[at].ulPropTag) == mapi::PT_BINARY) {
                const auto& binary = values[at].Value.bin;
                originalEntryIds.emplace_back(binary.lpb, binary.lpb + binary.cb);
            }
        }
        freeBuffer(values);
        return line;
    }

    // The tags of get-ids, typed as the properties' own types.
    std::string getProps() {
        if (!message) return "no message";
        std::vector<ULONG> tags = namedTags;
        for (size_t at = 0; at < tags.size(); ++at) {
            const ULONG type = at >= 6 ? mapi::PT_BINARY : mapi::PT_UNICODE;
            if (mapi::propType(tags[at]) != mapi::PT_ERROR) tags[at] = mapi::propTag(type, mapi::propId(tags[at]));
        }
        return values(message.get(), tags, true);
    }

    std::string openAddressBook() {
        if (!session) return "no session";
        com::ComRef<IUnknown> opened;
        const HRESULT result = session.get()->OpenAddressBook(0, nullptr, 0, opened.put());
        book = com::ComRef<mapi::IAddrBook>::adopt(static_cast<mapi::IAddrBook*>(opened.detach()));
        return hresult(result) + (book ? " book" : "");
    }

    std::string openUser(const std::wstring& id) {
        if (!book) return "no address book";
        const size_t original = id[0] == L'@' ? std::stoul(id.substr(1)) : 0;
        if (original > originalEntryIds.size()) return "no such original entry id";
        std::vector<unsigned char> bytes = original > 0 ? originalEntryIds[original - 1] : bytesOfHex(id);
        ULONG type = 0;
        com::ComRef<IUnknown> opened;
        const HRESULT result =
            book.get()->OpenEntry(static_cast<ULONG>(bytes.size()), bytes.data(), nullptr, 0, &type, opened.put());
        user = com::ComRef<mapi::IMailUser>::adopt(static_cast<mapi::IMailUser*>(opened.detach()));
        return hresult(result) + " type " + std::to_string(type) + (user ? " user" : "");
    }

    std::string userProps() {
        if (!user) return "no user";
        return values(user.get(), {mapi::PR_EMAIL_ADDRESS_W, mapi::PR_SMTP_ADDRESS_W}, false);
    }

    template <typename Interface>
    static void dropOne(com::ComRef<Interface>& object, bool leak) {
        if (leak) {
            object.detach();
        } else {
            object.reset();
        }
    }

    std::string drop(const std::wstring& name, bool leak) {
        if (name == L"session") dropOne(session, leak);
        if (name == L"store") dropOne(store, leak);
        if (name == L"message") dropOne(message, leak);
        if (name == L"book") dropOne(book, leak);
        if (name == L"user") dropOne(user, leak);
        return leak ? "leaked" : "released";
    }

    void freeBuffer(void* buffer) {
        if (buffer != nullptr) entryPoint<mapi::MAPIFREEBUFFER>("MAPIFreeBuffer")(buffer);
    }

    void finish() {
        user.reset();
        book.reset();
        message.reset();
        store.reset();
        session.reset();
        unload();
        items.reset();
        folder.reset();
        nameSpace.reset();
        if (initialised) CoUninitialize();
    }

    bool initialised = false;
    com::ComRef<IDispatch> nameSpace, folder, items;
    HMODULE library = nullptr;
    com::ComRef<mapi::IMAPISession> session;
    com::ComRef<mapi::IMsgStore> store;
    com::ComRef<mapi::IMessage> message;
    com::ComRef<mapi::IAddrBook> book;
    com::ComRef<mapi::IMailUser> user;
    std::vector<ULONG> namedTags;
    std::vector<std::vector<unsigned char>> originalEntryIds;
};

void writeLine(const std::string& line) {
    const std::string record = line + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Probe probe;
    for (int at = 1; at < argc; ++at) writeLine(standin::utf16ToUtf8(argv[at]) + ": " + probe.run(argv[at]));
    return 0;
}
