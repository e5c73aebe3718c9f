#include "OutlookObjectModel.h"

#include "../com/ComError.h"
#include "../com/Dispatch.h"
#include "../com/RemoteQuery.h"

using com::ComRef;
using com::WideString;

namespace outlook {

using com::callMethod;
using com::DispatchMember;
using com::getProperty;
using com::Variant;

namespace {

// Any item of a folder, whatever its kind: every kind has Class, at the same
// DISPID, which the first lookup keeps for all.
const OutlookInterface anyItem{"item", IID_IDispatch};
constexpr long olContact = 40;

const DispatchMember applicationGetNamespace{ApplicationInterface, L"GetNamespace"};
const DispatchMember applicationVersion{ApplicationInterface, L"Version"};
const DispatchMember nameSpaceGetDefaultFolder{NameSpaceInterface, L"GetDefaultFolder"};
const DispatchMember nameSpaceCreateRecipient{NameSpaceInterface, L"CreateRecipient"};
const DispatchMember nameSpaceCurrentProfileName{NameSpaceInterface, L"CurrentProfileName"};
const DispatchMember folderItems{FolderInterface, L"Items"};
const DispatchMember folderStoreId{FolderInterface, L"StoreID"};
const DispatchMember itemsCount{ItemsInterface, L"Count"};
const DispatchMember itemsItem{ItemsInterface, L"Item"};
const DispatchMember itemClass{anyItem, L"Class"};
const DispatchMember contactEntryId{ContactItemInterface, L"EntryID"};
const DispatchMember contactLastModificationTime{ContactItemInterface, L"LastModificationTime"};
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

// The member's result as the member yields it: an object of the model
// (null allowed), a text as Outlook returned it (NUL units and all), a
// number, a flag or a date. A value that cannot be had so raises the
// member's COM error.
template <typename Object>
Object objectOf(const DispatchMember& member, Variant&& result) {
    return Object(com::takeObject(result, member));
}

WideString textOf(const DispatchMember& member, Variant&& result) { return com::takeText(result, member); }

long numberOf(const DispatchMember& member, Variant&& result) { return com::takeLong(result, member); }

bool flagOf(const DispatchMember& member, Variant&& result) { return com::takeBool(result, member); }

// A property's value, taken by the reader of its kind.
template <typename Object>
Object objectProperty(IDispatch* object, const DispatchMember& member) {
    return objectOf<Object>(member, getProperty(object, member));
}

WideString textProperty(IDispatch* object, const DispatchMember& member) {
    return textOf(member, getProperty(object, member));
}

long numberProperty(IDispatch* object, const DispatchMember& member) {
    return numberOf(member, getProperty(object, member));
}

bool flagProperty(IDispatch* object, const DispatchMember& member) {
    return flagOf(member, getProperty(object, member));
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
                                reinterpret_cast<void**>(unknown.put()));
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
    return objectOf<NameSpace>(applicationGetNamespace, callMethod(get(), applicationGetNamespace, argument.get(), 1));
}

WideString Application::version() const { return textProperty(get(), applicationVersion); }

Folder NameSpace::getDefaultFolder(long folderType) const {
    VARIANT argument = integerArgument(VT_I4, folderType);
    return objectOf<Folder>(nameSpaceGetDefaultFolder, callMethod(get(), nameSpaceGetDefaultFolder, &argument, 1));
}

Recipient NameSpace::createRecipient(const WideString& name) const {
    BorrowedString argument(name);
    return objectOf<Recipient>(nameSpaceCreateRecipient,
                               callMethod(get(), nameSpaceCreateRecipient, argument.get(), 1));
}

WideString NameSpace::currentProfileName() const { return textProperty(get(), nameSpaceCurrentProfileName); }

Items Folder::items() const { return objectProperty<Items>(get(), folderItems); }

WideString Folder::storeId() const { return textProperty(get(), folderStoreId); }

long Items::count() const { return numberProperty(get(), itemsCount); }

ComRef<IDispatch> Items::item(long position) const {
    VARIANT argument = integerArgument(VT_I4, position);
    return objectOf<ComRef<IDispatch>>(itemsItem, callMethod(get(), itemsItem, &argument, 1));
}

// A query that fails across processes can come back as E_NOINTERFACE
// whatever the reason (Wine's proxy answers so for a rejected or failed
// remote query), so that answer alone does not make an item something else
// than a contact: the item's Class does. A contact whose query failed ends
// the walk, as a failed call does, instead of being passed over.
ContactItem ContactItem::from(const ComRef<IDispatch>& item) {
    if (!item) return ContactItem();
    ComRef<IDispatch> contact;
    const HRESULT outcome = com::queryRemote(item, ContactItemInterface.iid, contact);
    if (outcome == E_NOINTERFACE && numberProperty(item.get(), itemClass) != olContact) return ContactItem();
    if (FAILED(outcome)) com::throwComError(outcome, "QueryInterface _ContactItem");
    return ContactItem(std::move(contact));
}

WideString ContactItem::text(ContactText property) const {
    return textProperty(get(), contactTexts[static_cast<std::size_t>(property)]);
}

WideString ContactItem::entryId() const { return textProperty(get(), contactEntryId); }

DATE ContactItem::lastModificationTime() const {
    Variant result = getProperty(get(), contactLastModificationTime);
    return com::takeDate(result, contactLastModificationTime);
}

bool ContactItem::hasPicture() const { return flagProperty(get(), contactHasPicture); }

Attachments ContactItem::attachments() const { return objectProperty<Attachments>(get(), contactAttachments); }

ComRef<IUnknown> ContactItem::mapiObject() const {
    Variant result = getProperty(get(), contactMapiObject);
    return com::takeUnknown(result, contactMapiObject);
}

long Attachments::count() const { return numberProperty(get(), attachmentsCount); }

Attachment Attachments::item(int position) const {
    VARIANT argument = integerArgument(VT_INT, position);
    return objectOf<Attachment>(attachmentsItem, callMethod(get(), attachmentsItem, &argument, 1));
}

WideString Attachment::fileName() const { return textProperty(get(), attachmentFileName); }

void Attachment::saveAsFile(const WideString& path) const {
    BorrowedString argument(path);
    callMethod(get(), attachmentSaveAsFile, argument.get(), 1);
}

bool Recipient::resolve() const { return flagOf(recipientResolve, callMethod(get(), recipientResolve, nullptr, 0)); }

AddressEntry Recipient::addressEntry() const { return objectProperty<AddressEntry>(get(), recipientAddressEntry); }

WideString AddressEntry::address() const { return textProperty(get(), addressEntryAddress); }

PropertyAccessor AddressEntry::propertyAccessor() const {
    return objectProperty<PropertyAccessor>(get(), addressEntryPropertyAccessor);
}

WideString PropertyAccessor::getPropertyText(const WideString& schemaName) const {
    BorrowedString argument(schemaName);
    return textOf(propertyAccessorGetProperty, callMethod(get(), propertyAccessorGetProperty, argument.get(), 1));
}

}  // namespace outlook
