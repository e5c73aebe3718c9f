#include "platform/OutlookObjectModel.h"

#include "platform/ComError.h"
#include "platform/Dispatch.h"
#include "text/TextConversion.h"

#include <iterator>

namespace outlook {

using platform::callMethod;
using platform::DispatchInterface;
using platform::DispatchMember;
using platform::getProperty;
using platform::Variant;

namespace {

constexpr IID outlookIid(unsigned long first) {
    return {first, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
}

constexpr CLSID CLSID_OutlookApplication = outlookIid(0x0006F03A);

constexpr DispatchInterface applicationInterface{L"_Application", outlookIid(0x00063001)};
constexpr DispatchInterface nameSpaceInterface{L"_NameSpace", outlookIid(0x00063002)};
constexpr DispatchInterface folderInterface{L"MAPIFolder", outlookIid(0x00063006)};
constexpr DispatchInterface itemsInterface{L"_Items", outlookIid(0x00063041)};
constexpr DispatchInterface contactItemInterface{L"_ContactItem", outlookIid(0x00063021)};
constexpr DispatchInterface attachmentsInterface{L"Attachments", outlookIid(0x0006303C)};
constexpr DispatchInterface attachmentInterface{L"Attachment", outlookIid(0x00063007)};
constexpr DispatchInterface recipientInterface{L"Recipient", outlookIid(0x00063045)};
constexpr DispatchInterface addressEntryInterface{L"AddressEntry", outlookIid(0x0006304B)};
constexpr DispatchInterface propertyAccessorInterface{L"PropertyAccessor", outlookIid(0x0006302D)};

const DispatchMember applicationGetNamespace{applicationInterface, L"GetNamespace"};
const DispatchMember applicationVersion{applicationInterface, L"Version"};
const DispatchMember nameSpaceGetDefaultFolder{nameSpaceInterface, L"GetDefaultFolder"};
const DispatchMember nameSpaceCreateRecipient{nameSpaceInterface, L"CreateRecipient"};
const DispatchMember folderItems{folderInterface, L"Items"};
const DispatchMember itemsCount{itemsInterface, L"Count"};
const DispatchMember itemsItem{itemsInterface, L"Item"};
const DispatchMember contactHasPicture{contactItemInterface, L"HasPicture"};
const DispatchMember contactAttachments{contactItemInterface, L"Attachments"};
const DispatchMember contactMapiObject{contactItemInterface, L"MAPIOBJECT"};
const DispatchMember attachmentsCount{attachmentsInterface, L"Count"};
const DispatchMember attachmentsItem{attachmentsInterface, L"Item"};
const DispatchMember attachmentFileName{attachmentInterface, L"FileName"};
const DispatchMember attachmentSaveAsFile{attachmentInterface, L"SaveAsFile"};
const DispatchMember recipientResolve{recipientInterface, L"Resolve"};
const DispatchMember recipientAddressEntry{recipientInterface, L"AddressEntry"};
const DispatchMember addressEntryAddress{addressEntryInterface, L"Address"};
const DispatchMember addressEntryPropertyAccessor{addressEntryInterface, L"PropertyAccessor"};
const DispatchMember propertyAccessorGetProperty{propertyAccessorInterface, L"GetProperty"};

// In the order of ContactText.
const DispatchMember contactTexts[] = {
    {contactItemInterface, L"FullName"},
    {contactItemInterface, L"FirstName"},
    {contactItemInterface, L"LastName"},
    {contactItemInterface, L"BusinessTelephoneNumber"},
    {contactItemInterface, L"Business2TelephoneNumber"},
    {contactItemInterface, L"BusinessFaxNumber"},
    {contactItemInterface, L"HomeTelephoneNumber"},
    {contactItemInterface, L"Home2TelephoneNumber"},
    {contactItemInterface, L"HomeFaxNumber"},
    {contactItemInterface, L"CompanyMainTelephoneNumber"},
    {contactItemInterface, L"OtherTelephoneNumber"},
    {contactItemInterface, L"PrimaryTelephoneNumber"},
    {contactItemInterface, L"MobileTelephoneNumber"},
    {contactItemInterface, L"Email1Address"},
    {contactItemInterface, L"Email1AddressType"},
    {contactItemInterface, L"Email2Address"},
    {contactItemInterface, L"Email2AddressType"},
    {contactItemInterface, L"Email3Address"},
    {contactItemInterface, L"Email3AddressType"},
};
static_assert(std::size(contactTexts) == static_cast<std::size_t>(ContactText::Email3AddressType) + 1);

// A text result as Outlook returned it, NUL units and all.
WideString takeText(Variant& result) {
    if (result->vt == VT_BSTR) return WideString::adopt(std::exchange(result->bstrVal, nullptr));
    return text::variantToWide(*result);
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

Application Application::startOrAttach() noexcept {
    ComRef<IUnknown> unknown;
    if (FAILED(CoCreateInstance(CLSID_OutlookApplication, nullptr, CLSCTX_ALL, IID_IUnknown,
                                reinterpret_cast<void**>(unknown.receive())))) {
        return Application();
    }
    if (FAILED(OleRun(unknown.get()))) return Application();
    ComRef<IDispatch> application;
    if (FAILED(unknown.query(applicationInterface.iid, application))) return Application();
    return Application(std::move(application));
}

NameSpace Application::getNamespace(const WideString& type) const {
    BorrowedString argument(type);
    Variant result = callMethod(get(), applicationGetNamespace, argument.get(), 1);
    return NameSpace(platform::takeObject(result));
}

WideString Application::version() const {
    Variant result = getProperty(get(), applicationVersion);
    return takeText(result);
}

Folder NameSpace::getDefaultFolder(long folderType) const {
    VARIANT argument = integerArgument(VT_I4, folderType);
    Variant result = callMethod(get(), nameSpaceGetDefaultFolder, &argument, 1);
    return Folder(platform::takeObject(result));
}

Recipient NameSpace::createRecipient(const WideString& name) const {
    BorrowedString argument(name);
    Variant result = callMethod(get(), nameSpaceCreateRecipient, argument.get(), 1);
    return Recipient(platform::takeObject(result));
}

Items Folder::items() const {
    Variant result = getProperty(get(), folderItems);
    return Items(platform::takeObject(result));
}

long Items::count() const {
    Variant result = getProperty(get(), itemsCount);
    return platform::takeLong(result);
}

ComRef<IDispatch> Items::item(long position) const {
    VARIANT argument = integerArgument(VT_I4, position);
    Variant result = callMethod(get(), itemsItem, &argument, 1);
    return platform::takeObject(result);
}

ContactItem ContactItem::from(const ComRef<IDispatch>& item) {
    if (!item) return ContactItem();
    ComRef<IDispatch> contact;
    const HRESULT outcome = item.query(contactItemInterface.iid, contact);
    if (outcome == E_NOINTERFACE) return ContactItem();
    if (FAILED(outcome)) platform::throwComError(outcome);
    return ContactItem(std::move(contact));
}

WideString ContactItem::text(ContactText property) const {
    Variant result = getProperty(get(), contactTexts[static_cast<std::size_t>(property)]);
    return takeText(result);
}

bool ContactItem::hasPicture() const {
    Variant result = getProperty(get(), contactHasPicture);
    return platform::takeBool(result);
}

Attachments ContactItem::attachments() const {
    Variant result = getProperty(get(), contactAttachments);
    return Attachments(platform::takeObject(result));
}

ComRef<IUnknown> ContactItem::mapiObject() const {
    Variant result = getProperty(get(), contactMapiObject);
    return platform::takeUnknown(result);
}

long Attachments::count() const {
    Variant result = getProperty(get(), attachmentsCount);
    return platform::takeLong(result);
}

Attachment Attachments::item(int position) const {
    VARIANT argument = integerArgument(VT_INT, position);
    Variant result = callMethod(get(), attachmentsItem, &argument, 1);
    return Attachment(platform::takeObject(result));
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
    return platform::takeBool(result);
}

AddressEntry Recipient::addressEntry() const {
    Variant result = getProperty(get(), recipientAddressEntry);
    return AddressEntry(platform::takeObject(result));
}

WideString AddressEntry::address() const {
    Variant result = getProperty(get(), addressEntryAddress);
    return takeText(result);
}

PropertyAccessor AddressEntry::propertyAccessor() const {
    Variant result = getProperty(get(), addressEntryPropertyAccessor);
    return PropertyAccessor(platform::takeObject(result));
}

WideString PropertyAccessor::getPropertyText(const WideString& schemaName) const {
    BorrowedString argument(schemaName);
    Variant result = callMethod(get(), propertyAccessorGetProperty, argument.get(), 1);
    return text::variantToWide(*result);
}

}  // namespace outlook
