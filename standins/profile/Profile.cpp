#include "Profile.h"

#include "Base64.h"
#include "ContactProperties.h"
#include "EntryIds.h"
#include "ProfileFile.h"
#include "ProfileValues.h"
#include "Utf.h"

#include <set>

namespace standin::profile {

using nlohmann::json;

namespace {

const std::set<std::string>& knownOperations() {
    static const std::set<std::string> operations = [] {
        std::set<std::string> names = {
            "Outlook.Application.create",
            "_Application.GetNamespace",
            "_Application.Version",
            "_NameSpace.GetDefaultFolder",
            "_NameSpace.CreateRecipient",
            "_NameSpace.CurrentProfileName",
            "MAPIFolder.Items",
            "MAPIFolder.StoreID",
            "_Items.Count",
            "_Items.Item",
            "item.QueryInterface",
            "item.Class",
            "_ContactItem.HasPicture",
            "_ContactItem.Attachments",
            "_ContactItem.MAPIOBJECT",
            "_ContactItem.EntryID",
            "_ContactItem.LastModificationTime",
            "Attachments.Count",
            "Attachments.Item",
            "Attachment.FileName",
            "Attachment.SaveAsFile",
            "Recipient.Resolve",
            "Recipient.AddressEntry",
            "AddressEntry.Address",
            "AddressEntry.PropertyAccessor",
            "PropertyAccessor.GetProperty",
            "IMAPIProp.GetIDsFromNames",
            "IMAPIProp.GetProps",
            "MAPILogonEx",
            "IMAPISession.OpenMsgStore",
            "IMAPISession.OpenAddressBook",
            "IMAPISession.Logoff",
            "IMsgStore.OpenEntry",
            "IMessage.GetIDsFromNames",
            "IMessage.GetProps",
            "IAddrBook.OpenEntry",
            "IMailUser.GetProps",
        };
        for (std::string_view property : contactTextProperties) names.insert("_ContactItem." + std::string(property));
        return names;
    }();
    return operations;
}

Bytes byteList(const json& value, const std::string& where) {
    requireArray(value, where);
    Bytes bytes;
    for (const auto& byte : value) {
        if (!byte.is_number_integer() || byte.get<long long>() < 0 || byte.get<long long>() > 255) {
            throw ProfileError(where + ": bytes must be integers from 0 to 255");
        }
        bytes.push_back(static_cast<unsigned char>(byte.get<long long>()));
    }
    return bytes;
}

bool isRawBytes(const json& value) { return value.is_object() && value.size() == 1 && value.contains("bytes"); }

// Text in the ANSI code page, as Outlook would show bytes stored as PT_STRING8.
std::wstring decodeAnsi(const Bytes& bytes) {
    if (bytes.empty()) return {};
    const auto* data = reinterpret_cast<const char*>(bytes.data());
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, data, size, nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, data, size, text.data(), length);
    return text;
}

// Outlook's OlObjectClass number of an item class.
LONG objectClassOf(const std::string& className) {
    static const std::map<std::string, LONG> numbers = {
        {"contact", 40}, {"distlist", 69}, {"mail", 43}, {"note", 44}, {"task", 48}, {"appointment", 26},
    };
    const auto number = numbers.find(className);
    return number == numbers.end() ? 0 : number->second;
}

// Entry ids as Outlook's object model writes them: hexadecimal, two digits a byte.
std::wstring entryIdText(const json& value, const std::string& where) {
    const std::wstring text = utf8ToUtf16(stringValue(value, where));
    if (text.empty() || !bytesOfHexText(text)) throw ProfileError(where + ": expected hexadecimal digits, two a byte");
    return text;
}

// "YYYY-MM-DDTHH:MM:SS", a valid date and time of day.
SYSTEMTIME localTimeValue(const json& value, const std::string& where) {
    const std::string& text = stringValue(value, where);
    const std::string pattern = "dddd-dd-ddTdd:dd:dd";
    bool matches = text.size() == pattern.size();
    for (size_t at = 0; matches && at < text.size(); ++at) {
        matches = pattern[at] == 'd' ? text[at] >= '0' && text[at] <= '9' : text[at] == pattern[at];
    }
    const auto number = [&text](size_t at, size_t digits) {
        return static_cast<WORD>(std::stoi(text.substr(at, digits)));
    };
    SYSTEMTIME time{};
    FILETIME check{};
    if (matches) {
        time = SYSTEMTIME{number(0, 4), number(5, 2), 0, number(8, 2), number(11, 2), number(14, 2), number(17, 2), 0};
    }
    // The round trip checks the date and sets its day of the week.
    if (!matches || !SystemTimeToFileTime(&time, &check) || !FileTimeToSystemTime(&check, &time)) {
        throw ProfileError(where + ": expected a date and time written \"YYYY-MM-DDTHH:MM:SS\"");
    }
    return time;
}

// The number in "Email<N>OriginalEntryId" (1 to 3), or 0 for another name.
int originalEntryIdMember(const std::string& key) {
    for (int number = 1; number <= 3; ++number) {
        if (key == "Email" + std::to_string(number) + "OriginalEntryId") return number;
    }
    return 0;
}

MapiRepresentation::Type mapiType(const std::string& name, const std::string& where) {
    if (name == "PT_UNICODE") return MapiRepresentation::Type::Unicode;
    if (name == "PT_STRING8") return MapiRepresentation::Type::String8;
    if (name == "PT_ERROR") return MapiRepresentation::Type::Error;
    throw ProfileError(where + ": expected \"PT_UNICODE\", \"PT_STRING8\" or \"PT_ERROR\"");
}

std::vector<AttachmentContent> parseAttachments(const json& list, const std::wstring& folder,
                                                const std::string& where) {
    requireArray(list, where);
    std::vector<AttachmentContent> attachments;
    for (size_t index = 0; index < list.size(); ++index) {
        const json& attachment = list[index];
        const std::string at = where + "[" + std::to_string(index) + "]";
        requireKnownMembers(attachment, {"path", "base64", "holdOpen", "fileName"}, at);
        if (attachment.contains("path") == attachment.contains("base64")) {
            throw ProfileError(at + ": give exactly one of \"path\" and \"base64\"");
        }
        if (attachment.contains("path")) {
            const std::wstring path = utf8ToUtf16(stringValue(attachment["path"], at + ".path"));
            attachments.push_back({readWholeFile(resolveProfilePath(folder, path))});
        } else {
            auto bytes = decodeBase64(stringValue(attachment["base64"], at + ".base64"));
            if (!bytes) throw ProfileError(at + ".base64: not valid base64");
            attachments.push_back({std::move(*bytes)});
        }
        if (attachment.contains("fileName")) {
            attachments.back().fileName = textValue(attachment["fileName"], at + ".fileName");
        }
        if (attachment.contains("holdOpen")) {
            attachments.back().holdOpen = booleanValue(attachment["holdOpen"], at + ".holdOpen");
        }
    }
    return attachments;
}

Item parseItem(const json& value, const std::wstring& folder, const std::string& where) {
    requireObject(value, where);
    Item item;
    item.className = value.contains("class") ? stringValue(value["class"], where + ".class") : "contact";
    item.objectClass = objectClassOf(item.className);

    for (const auto& member : value.items()) {
        const std::string& key = member.key();
        const std::string at = where + "." + key;
        if (key == "class" || key == "mapiTypes" || key == "comment" || (!key.empty() && key[0] == '_')) continue;
        bool isText = false;
        for (std::string_view property : contactTextProperties) isText = isText || property == key;
        if (isText) {
            if (isEmailMember(key) && isRawBytes(member.value())) {
                Bytes bytes = byteList(member.value()["bytes"], at + ".bytes");
                item.contact.texts[key] = decodeAnsi(bytes);
                auto& representation = item.contact.mapi[key];
                representation.type = MapiRepresentation::Type::String8;
                representation.rawBytes = std::move(bytes);
            } else {
                item.contact.texts[key] = textValue(member.value(), at);
            }
        } else if (key == "HasPicture") {
            item.contact.hasPicture = booleanValue(member.value(), at);
        } else if (key == "attachments") {
            item.contact.attachments = parseAttachments(member.value(), folder, at);
        } else if (key == "mapiValueCount") {
            if (!member.value().is_number_integer() || member.value().get<long long>() < 0 ||
                member.value().get<long long>() > 0xFFFF) {
                throw ProfileError(at + ": expected a count from 0 to 65535");
            }
            item.contact.mapiValueCount = static_cast<ULONG>(member.value().get<long long>());
        } else if (key == "Class") {
            if (!member.value().is_number_integer() || member.value().get<long long>() < -0x80000000LL ||
                member.value().get<long long>() > 0x7FFFFFFF) {
                throw ProfileError(at + ": expected an OlObjectClass number");
            }
            item.objectClass = static_cast<LONG>(member.value().get<long long>());
        } else if (key == "EntryID") {
            item.contact.entryId = entryIdText(member.value(), at);
        } else if (key == "LastModificationTime") {
            item.contact.lastModificationTime = localTimeValue(member.value(), at);
        } else if (const int number = originalEntryIdMember(key)) {
            if (!member.value().is_null()) throw ProfileError(at + ": the only value is null (no original entry id)");
            item.contact.withoutOriginalEntryId[static_cast<size_t>(number - 1)] = true;
        } else {
            throw ProfileError(where + ": unknown member \"" + key + "\"");
        }
    }

    // After the members, so that a PT_STRING8 type given here keeps raw bytes given there.
    if (value.contains("mapiTypes")) {
        const json& types = value["mapiTypes"];
        requireObject(types, where + ".mapiTypes");
        for (const auto& type : types.items()) {
            const std::string at = where + ".mapiTypes." + type.key();
            if (!isEmailMember(type.key())) throw ProfileError(at + ": not one of the six e-mail members");
            auto& representation = item.contact.mapi[type.key()];
            if (isRawBytes(type.value())) {
                representation.type = MapiRepresentation::Type::String8;
                representation.rawBytes = byteList(type.value()["bytes"], at + ".bytes");
            } else {
                representation.type = mapiType(stringValue(type.value(), at), at);
            }
        }
    }
    return item;
}

AddressBookEntry parseAddressBookEntry(const json& value, const std::string& where) {
    requireKnownMembers(value, {"address", "resolves", "entryAddress", "smtp"}, where);
    AddressBookEntry entry;
    if (!value.contains("address")) throw ProfileError(where + ": \"address\" is required");
    const Text address = textValue(value["address"], where + ".address");
    if (!address) throw ProfileError(where + ".address: must not be null");
    entry.address = *address;
    if (value.contains("resolves")) entry.resolves = booleanValue(value["resolves"], where + ".resolves");
    entry.entryAddress =
        value.contains("entryAddress") ? textValue(value["entryAddress"], where + ".entryAddress") : address;
    if (value.contains("smtp")) {
        const json& smtp = value["smtp"];
        if (smtp.is_object() && smtp.contains("hresult")) {
            requireKnownMembers(smtp, {"hresult"}, where + ".smtp");
            entry.smtpFailure = hresultValue(smtp["hresult"], where + ".smtp.hresult");
        } else {
            entry.smtp = textValue(smtp, where + ".smtp");
        }
    }
    return entry;
}

BusyWindow parseBusyWindow(const json& value, const std::string& where) {
    requireKnownMembers(value, {"after", "rejections"}, where);
    BusyWindow window;
    if (value.contains("after")) {
        const json& after = value["after"];
        if (!after.is_number_integer() || after.get<long long>() < 0) {
            throw ProfileError(where + ".after: expected a count of operations from 0");
        }
        window.after = after.get<long long>();
    }
    if (!value.contains("rejections")) throw ProfileError(where + ": \"rejections\" is required");
    const json& rejections = value["rejections"];
    if (rejections.is_string() && rejections.get<std::string>() == "always") return window;
    if (!rejections.is_number_integer() || rejections.get<long long>() < 0) {
        throw ProfileError(where + ".rejections: expected a count of calls or \"always\"");
    }
    window.rejections = rejections.get<long long>();
    return window;
}

Fault parseFault(const json& value, const std::string& where) {
    requireKnownMembers(value, {"operation", "call", "hresult", "result", "description", "via"}, where);
    Fault fault;
    if (!value.contains("operation")) throw ProfileError(where + ": \"operation\" is required");
    fault.operation = stringValue(value["operation"], where + ".operation");
    if (knownOperations().count(fault.operation) == 0) {
        throw ProfileError(where + ".operation: unknown operation \"" + fault.operation + "\"");
    }
    if (value.contains("call")) {
        const json& call = value["call"];
        if (!call.is_number_integer() || call.get<long long>() < 1 || call.get<long long>() > 0x7FFFFFFF) {
            throw ProfileError(where + ".call: expected a positive integer");
        }
        fault.call = static_cast<int>(call.get<long long>());
    }
    if (value.contains("hresult") == value.contains("result")) {
        throw ProfileError(where + ": give exactly one of \"hresult\" and \"result\"");
    }
    if (value.contains("hresult")) {
        fault.hresult = hresultValue(value["hresult"], where + ".hresult");
    } else if (stringValue(value["result"], where + ".result") == "null") {
        fault.yieldsNull = true;
    } else {
        throw ProfileError(where + ".result: the only result a fault can give is \"null\"");
    }
    if (value.contains("description")) fault.description = textValue(value["description"], where + ".description");
    if (value.contains("via")) {
        if (stringValue(value["via"], where + ".via") != "excepinfo") {
            throw ProfileError(where + ".via: the only value is \"excepinfo\"");
        }
        fault.viaExcepInfo = true;
    }
    return fault;
}

}  // namespace

Profile loadProfile() {
    const ProfileFile file = loadProfileFile();
    const json& document = file.document;
    requireKnownMembers(
        document,
        {"version", "items", "itemsRepeat", "addressBook", "faults", "mapi32", "mapiInitialize", "registry",
         "environment", "server", "busy", "mapiObject", "goesAway", "guard", "profileName", "storeId"},
        "profile");
    if (document.contains("server")) {
        const std::string& server = stringValue(document["server"], "server");
        if (server != "inprocess" && server != "local") {
            throw ProfileError("server: expected \"inprocess\" or \"local\"");
        }
    }
    Profile profile;
    profile.version = document.contains("version") ? textValue(document["version"], "version") : Text(L"16.0.0.0");
    if (document.contains("items")) {
        requireArray(document["items"], "items");
        for (size_t index = 0; index < document["items"].size(); ++index) {
            profile.items.push_back(
                parseItem(document["items"][index], file.folder, "items[" + std::to_string(index) + "]"));
        }
    }
    for (size_t index = 0; index < profile.items.size(); ++index) {
        if (const auto& given = profile.items[index].contact.entryId) {
            profile.givenEntryIds.emplace(*bytesOfHexText(*given), index);
        }
    }
    if (document.contains("itemsRepeat")) {
        const nlohmann::json& repeat = document["itemsRepeat"];
        if (!repeat.is_number_unsigned() || repeat.get<unsigned long long>() < 1 ||
            repeat.get<unsigned long long>() * profile.items.size() > 0x7FFFFFFF) {
            throw ProfileError("itemsRepeat: expected a whole number from 1, within 2^31 - 1 items in all");
        }
        profile.itemsRepeat = repeat.get<size_t>();
    }
    if (document.contains("addressBook")) {
        requireArray(document["addressBook"], "addressBook");
        for (size_t index = 0; index < document["addressBook"].size(); ++index) {
            profile.addressBook.push_back(
                parseAddressBookEntry(document["addressBook"][index], "addressBook[" + std::to_string(index) + "]"));
        }
    }
    if (document.contains("faults")) {
        requireArray(document["faults"], "faults");
        for (size_t index = 0; index < document["faults"].size(); ++index) {
            profile.faults.push_back(parseFault(document["faults"][index], "faults[" + std::to_string(index) + "]"));
        }
    }
    if (document.contains("mapiObject")) {
        const std::string& kind = stringValue(document["mapiObject"], "mapiObject");
        if (kind != "IMAPIProp" && kind != "unmarshallable") {
            throw ProfileError("mapiObject: expected \"IMAPIProp\" or \"unmarshallable\"");
        }
        profile.mapiObject = kind == "IMAPIProp" ? MapiObjectKind::imapiProp : MapiObjectKind::unmarshallable;
    }
    if (document.contains("goesAway")) {
        const json& goesAway = document["goesAway"];
        requireKnownMembers(goesAway, {"after"}, "goesAway");
        if (!goesAway.contains("after") || !goesAway["after"].is_number_integer() ||
            goesAway["after"].get<long long>() < 0) {
            throw ProfileError("goesAway.after: expected a count of operations from 0");
        }
        profile.goesAwayAfter = goesAway["after"].get<long long>();
    }
    if (document.contains("guard")) {
        const std::string& guard = stringValue(document["guard"], "guard");
        if (guard != "trusted" && guard != "denied" && guard != "unanswered") {
            throw ProfileError("guard: expected \"trusted\", \"denied\" or \"unanswered\"");
        }
        profile.guard = guard == "trusted" ? Guard::trusted : guard == "denied" ? Guard::denied : Guard::unanswered;
    }
    if (document.contains("profileName")) profile.profileName = textValue(document["profileName"], "profileName");
    profile.storeId = document.contains("storeId") ? entryIdText(document["storeId"], "storeId") : defaultStoreId;
    if (document.contains("busy")) {
        requireArray(document["busy"], "busy");
        for (size_t index = 0; index < document["busy"].size(); ++index) {
            profile.busy.push_back(parseBusyWindow(document["busy"][index], "busy[" + std::to_string(index) + "]"));
        }
    }
    return profile;
}

std::wstring Profile::entryIdOf(size_t position) const {
    const auto& given = item(position).contact.entryId;
    return given ? *given : defaultEntryId(position);
}

std::optional<size_t> Profile::contactWithEntryId(const Bytes& entryId) const {
    std::optional<size_t> position;
    if (const auto given = givenEntryIds.find(entryId); given != givenEntryIds.end()) {
        position = given->second;
    } else if (const auto byDefault = positionOfDefaultEntryId(entryId);
               byDefault && *byDefault < itemCount() && !item(*byDefault).contact.entryId) {
        position = byDefault;
    }
    if (position && !item(*position).isContact()) return std::nullopt;
    return position;
}

const Fault* Profile::faultFor(const std::string& operation, int call) const {
    for (const Fault& fault : faults) {
        if (fault.operation == operation && fault.call == call) return &fault;
    }
    return nullptr;
}

}  // namespace standin::profile
