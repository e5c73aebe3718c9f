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

// A call's result as the member yields it: an object of the model (null
// allowed), a text as Outlook returned it (NUL units and all), a number or
// a flag.
template <typename Object>
Object objectOf(Variant&& result) {
    return Object(com::takeObject(result));
}

WideString textOf(Variant&& result) {
    if (result->vt == VT_BSTR) return WideString::adopt(std::exchange(result->bstrVal, nullptr));
    return com::variantToWide(*result);
}

long numberOf(Variant&& result) { return com::takeLong(result); }

bool flagOf(Variant&& result) { return com::takeBool(result); }

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
    return objectOf<NameSpace>(callMethod(get(), applicationGetNamespace, argument.get(), 1));
}

WideString Application::version() const { return textOf(getProperty(get(), applicationVersion)); }

Folder NameSpace::getDefaultFolder(long folderType) const {
    VARIANT argument = integerArgument(VT_I4, folderType);
    return objectOf<Folder>(callMethod(get(), nameSpaceGetDefaultFolder, &argument, 1));
}

Recipient NameSpace::createRecipient(const WideString& name) const {
    BorrowedString argument(name);
    return objectOf<Recipient>(callMethod(get(), nameSpaceCreateRecipient, argument.get(), 1));
}

WideString NameSpace::currentProfileName() const { return textOf(getProperty(get(), nameSpaceCurrentProfileName)); }

Items Folder::items() const { return objectOf<Items>(getProperty(get(), folderItems)); }

WideString Folder::storeId() const { return textOf(getProperty(get(), folderStoreId)); }

long Items::count() const { return numberOf(getProperty(get(), itemsCount)); }

ComRef<IDispatch> Items::item(long position) const {
    VARIANT argument = integerArgument(VT_I4, position);
    return objectOf<ComRef<IDispatch>>(callMethod(get(), itemsItem, &argument, 1));
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
    if (outcome == E_NOINTERFACE && numberOf(getProperty(item.get(), itemClass)) != olContact) return ContactItem();
    if (FAILED(outcome)) com::throwComError(outcome, "QueryInterface _ContactItem");
    return ContactItem(std::move(contact));
}

WideString ContactItem::text(ContactText property) const {
    return textOf(getProperty(get(), contactTexts[static_cast<std::size_t>(property)]));
}

WideString ContactItem::entryId() const { return textOf(getProperty(get(), contactEntryId)); }

DATE ContactItem::lastModificationTime() const {
    Variant result = getProperty(get(), contactLastModificationTime);
    return com::takeDate(result);
}

bool ContactItem::hasPicture() const { return flagOf(getProperty(get(), contactHasPicture)); }

Attachments ContactItem::attachments() const { return objectOf<Attachments>(getProperty(get(), contactAttachments)); }

ComRef<IUnknown> ContactItem::mapiObject() const {
    Variant result = getProperty(get(), contactMapiObject);
    return com::takeUnknown(result);
}

long Attachments::count() const { return numberOf(getProperty(get(), attachmentsCount)); }

Attachment Attachments::item(int position) const {
    VARIANT argument = integerArgument(VT_INT, position);
    return objectOf<Attachment>(callMethod(get(), attachmentsItem, &argument, 1));
}

WideString Attachment::fileName() const { return textOf(getProperty(get(), attachmentFileName)); }

void Attachment::saveAsFile(const WideString& path) const {
    BorrowedString argument(path);
    callMethod(get(), attachmentSaveAsFile, argument.get(), 1);
}

bool Recipient::resolve() const { return flagOf(callMethod(get(), recipientResolve, nullptr, 0)); }

AddressEntry Recipient::addressEntry() const {
    return objectOf<AddressEntry>(getProperty(get(), recipientAddressEntry));
}

WideString AddressEntry::address() const { return textOf(getProperty(get(), addressEntryAddress)); }

PropertyAccessor AddressEntry::propertyAccessor() const {
    return objectOf<PropertyAccessor>(getProperty(get(), addressEntryPropertyAccessor));
}

WideString PropertyAccessor::getPropertyText(const WideString& schemaName) const {
    BorrowedString argument(schemaName);
    const Variant result = callMethod(get(), propertyAccessorGetProperty, argument.get(), 1);
    return com::variantToWide(*result);
}

}  // namespace outlook
