#include "OutlookObjectModel.h"

#include "../com/ComError.h"
#include "../com/Dispatch.h"
#include "../com/RemoteQuery.h"

namespace outlook {

using com::callMethod;
using com::DispatchMember;
using com::getProperty;
using com::Variant;

namespace {

const DispatchMember applicationGetNamespace{ApplicationInterface, L"GetNamespace"};
const DispatchMember applicationVersion{ApplicationInterface, L"Version"};
const DispatchMember nameSpaceGetDefaultFolder{NameSpaceInterface, L"GetDefaultFolder"};
const DispatchMember nameSpaceCreateRecipient{NameSpaceInterface, L"CreateRecipient"};
const DispatchMember folderItems{FolderInterface, L"Items"};
const DispatchMember itemsCount{ItemsInterface, L"Count"};
const DispatchMember itemsItem{ItemsInterface, L"Item"};
const DispatchMember contactHasPicture{ContactItemInterface, L"HasPicture"};
const DispatchMember contactAttachments{ContactItemInterface, L"Attachments"};
const DispatchMember contactMapiObject{ContactItemInterface, L"MAPIOBJECT"};
const DispatchMember attachmentsCount{AttachmentsInterface, L"Count"};
const DispatchMember attachmentsItem{AttachmentsInterface, L"Item"};
const DispatchMember attachmentFileName{AttachmentInterface, L"FileName"};
const DispatchMember attachmentSaveAsFile{AttachmentInterface, L"SaveAsFile"};
const DispatchMember recipientResolve{RecipientInterface, L"Resolve"};
const DispatchMember recipientAddressEntry{RecipientInterface, L"AddressEntry"};
const DispatchMember addressEntryAddress{AddressEntryInterface, L"Address"};
const DispatchMember addressEntryPropertyAccessor{AddressEntryInterface, L"PropertyAccessor"};
const DispatchMember propertyAccessorGetProperty{PropertyAccessorInterface, L"GetProperty"};

// In the order of ContactText.
#define OUTLOOK_CONTACT_TEXT_WIDE(text) L##text
#define OUTLOOK_CONTACT_TEXT_MEMBER(name) {ContactItemInterface, OUTLOOK_CONTACT_TEXT_WIDE(#name)},
const DispatchMember contactTexts[] = {OUTLOOK_CONTACT_TEXT_PROPERTIES(OUTLOOK_CONTACT_TEXT_MEMBER)};
#undef OUTLOOK_CONTACT_TEXT_MEMBER
#undef OUTLOOK_CONTACT_TEXT_WIDE

// A text result as Outlook returned it, NUL units and all.
WideString takeText(Variant& result) {
    if (result->vt == VT_BSTR) return WideString::adopt(std::exchange(result->bstrVal, nullptr));
    return com::variantToWide(*result);
}

// A BSTR argument that the caller keeps owning.
class BorrowedString {
public:
    explicit BorrowedString(const WideString& value) noexcept {
        VariantInit(&argument);
        argument.vt = VT_BSTR;
        argument.bstrVal = value.get();
    }
    VARIANT* get() noexcept { return &argument; }

private:
    VARIANT argument;
};

// An index or a folder number. Items.Item and GetDefaultFolder are given
// VT_I4 and Attachments.Item VT_INT, the forms the exporter has always
// passed; to Outlook both are the integer in a VARIANT argument.
VARIANT integerArgument(VARTYPE type, long value) {
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = type;
    if (type == VT_INT) {
        argument.intVal = static_cast<int>(value);
    } else {
        argument.lVal = value;
    }
    return argument;
}

}  // namespace

Application Application::startOrAttach() {
    // Outlook turns calls away while it starts: the three steps of the start
    // are made again while it does, within one deadline.
    com::BusyWait wait;
    ComRef<IUnknown> unknown;
    HRESULT outcome = wait.retry([&] {
        return CoCreateInstance(CLSID_OutlookApplication, nullptr, CLSCTX_ALL, IID_IUnknown,
                                reinterpret_cast<void**>(unknown.receive()));
    });
    if (FAILED(outcome)) com::throwComError(outcome, "CoCreateInstance Outlook.Application");
    outcome = wait.retry([&] { return OleRun(unknown.get()); });
    if (FAILED(outcome)) com::throwComError(outcome, "OleRun Outlook.Application");
    ComRef<IDispatch> application;
    outcome = wait.retry([&] { return unknown.query(ApplicationInterface.iid, application); });
    if (FAILED(outcome)) com::throwComError(outcome, "QueryInterface _Application");
    return Application(std::move(application));
}

NameSpace Application::getNamespace(const WideString& type) const {
    BorrowedString argument(type);
    Variant result = callMethod(get(), applicationGetNamespace, argument.get(), 1);
    return NameSpace(com::takeObject(result));
}

WideString Application::version() const {
    Variant result = getProperty(get(), applicationVersion);
    return takeText(result);
}

Folder NameSpace::getDefaultFolder(long folderType) const {
    VARIANT argument = integerArgument(VT_I4, folderType);
    Variant result = callMethod(get(), nameSpaceGetDefaultFolder, &argument, 1);
    return Folder(com::takeObject(result));
}

Recipient NameSpace::createRecipient(const WideString& name) const {
    BorrowedString argument(name);
    Variant result = callMethod(get(), nameSpaceCreateRecipient, argument.get(), 1);
    return Recipient(com::takeObject(result));
}

Items Folder::items() const {
    Variant result = getProperty(get(), folderItems);
    return Items(com::takeObject(result));
}

long Items::count() const {
    Variant result = getProperty(get(), itemsCount);
    return com::takeLong(result);
}

ComRef<IDispatch> Items::item(long position) const {
    VARIANT argument = integerArgument(VT_I4, position);
    Variant result = callMethod(get(), itemsItem, &argument, 1);
    return com::takeObject(result);
}

ContactItem ContactItem::from(const ComRef<IDispatch>& item) {
    if (!item) return ContactItem();
    ComRef<IDispatch> contact;
    const HRESULT outcome = com::queryRemote(item, ContactItemInterface.iid, contact);
    if (outcome == E_NOINTERFACE) return ContactItem();
    if (FAILED(outcome)) com::throwComError(outcome, "QueryInterface _ContactItem");
    return ContactItem(std::move(contact));
}

WideString ContactItem::text(ContactText property) const {
    Variant result = getProperty(get(), contactTexts[static_cast<std::size_t>(property)]);
    return takeText(result);
}

bool ContactItem::hasPicture() const {
    Variant result = getProperty(get(), contactHasPicture);
    return com::takeBool(result);
}

Attachments ContactItem::attachments() const {
    Variant result = getProperty(get(), contactAttachments);
    return Attachments(com::takeObject(result));
}

ComRef<IUnknown> ContactItem::mapiObject() const {
    Variant result = getProperty(get(), contactMapiObject);
    return com::takeUnknown(result);
}

long Attachments::count() const {
    Variant result = getProperty(get(), attachmentsCount);
    return com::takeLong(result);
}

Attachment Attachments::item(int position) const {
    VARIANT argument = integerArgument(VT_INT, position);
    Variant result = callMethod(get(), attachmentsItem, &argument, 1);
    return Attachment(com::takeObject(result));
}

WideString Attachment::fileName() const {
    Variant result = getProperty(get(), attachmentFileName);
    return takeText(result);
}

void Attachment::saveAsFile(const WideString& path) const {
    BorrowedString argument(path);
    callMethod(get(), attachmentSaveAsFile, argument.get(), 1);
}

bool Recipient::resolve() const {
    Variant result = callMethod(get(), recipientResolve, nullptr, 0);
    return com::takeBool(result);
}

AddressEntry Recipient::addressEntry() const {
    Variant result = getProperty(get(), recipientAddressEntry);
    return AddressEntry(com::takeObject(result));
}

WideString AddressEntry::address() const {
    Variant result = getProperty(get(), addressEntryAddress);
    return takeText(result);
}

PropertyAccessor AddressEntry::propertyAccessor() const {
    Variant result = getProperty(get(), addressEntryPropertyAccessor);
    return PropertyAccessor(com::takeObject(result));
}

WideString PropertyAccessor::getPropertyText(const WideString& schemaName) const {
    BorrowedString argument(schemaName);
    Variant result = callMethod(get(), propertyAccessorGetProperty, argument.get(), 1);
    return com::variantToWide(*result);
}

}  // namespace outlook
