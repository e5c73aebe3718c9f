#pragma once

#include "../com/ComRef.h"
#include "../com/WideString.h"
#include "OutlookDefinitions.h"

#include <oaidl.h>

// The Outlook object model as the exporter uses it. Each class holds one
// counted reference to an Outlook object (null allowed) and offers the
// operations the exporter calls on it. A failing operation raises the COM
// error; a call on a null object raises it with E_POINTER. An operation that
// yields an object may yield a null one, which the caller tests.
namespace outlook {

// An Outlook object reached by late binding: one counted reference to its
// IDispatch (null allowed), and the base of the model's classes.
class AutomationObject {
public:
    AutomationObject() noexcept = default;
    explicit AutomationObject(com::ComRef<IDispatch> object) noexcept : dispatch(std::move(object)) {}
    explicit operator bool() const noexcept { return static_cast<bool>(dispatch); }
    void reset() noexcept { dispatch.reset(); }

protected:
    IDispatch* get() const noexcept { return dispatch.get(); }

private:
    com::ComRef<IDispatch> dispatch;
};

class Recipient;
class AddressEntry;
class PropertyAccessor;
class Attachment;
class Attachments;
class Items;
class Folder;
class NameSpace;

class Application : public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    // Starts Outlook's automation server or attaches to the running one.
    // Raises the COM error of the step that failed: the creation, the run or
    // the query for _Application.
    static Application startOrAttach();

    NameSpace getNamespace(const com::WideString& type) const;
    com::WideString version() const;
};

class NameSpace : public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Folder getDefaultFolder(long folderType) const;
    Recipient createRecipient(const com::WideString& name) const;
    // The name of the MAPI profile Outlook runs with.
    com::WideString currentProfileName() const;
};

constexpr long olFolderContacts = 10;

class Folder : public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Items items() const;
    // The entry id of the folder's store, as hexadecimal text.
    com::WideString storeId() const;
};

class ContactItem;

class Items : public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    long count() const;
    com::ComRef<IDispatch> item(long position) const;
};

// The contact's properties read as text.
enum class ContactText {
#define OUTLOOK_CONTACT_TEXT_ENUMERATOR(name) name,
    OUTLOOK_CONTACT_TEXT_PROPERTIES(OUTLOOK_CONTACT_TEXT_ENUMERATOR)
#undef OUTLOOK_CONTACT_TEXT_ENUMERATOR
};

class ContactItem : public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    // The item as a contact: null for a null item and for one that is not a
    // contact (the query answers E_NOINTERFACE and the item's Class is not
    // olContact); any other failure of the query raises.
    static ContactItem from(const com::ComRef<IDispatch>& item);

    com::WideString text(ContactText property) const;
    // The item's entry id in its store, as hexadecimal text.
    com::WideString entryId() const;
    // The item's last change, in Windows' local time.
    DATE lastModificationTime() const;
    bool hasPicture() const;
    Attachments attachments() const;
    com::ComRef<IUnknown> mapiObject() const;
};

class Attachments : public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    long count() const;
    Attachment item(int position) const;
};

class Attachment : public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    com::WideString fileName() const;
    void saveAsFile(const com::WideString& path) const;
};

class Recipient : public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    bool resolve() const;
    AddressEntry addressEntry() const;
};

class AddressEntry : public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    com::WideString address() const;
    PropertyAccessor propertyAccessor() const;
};

class PropertyAccessor : public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    // The property's value as text, converted from whatever type it has.
    com::WideString getPropertyText(const com::WideString& schemaName) const;
};

}  // namespace outlook
