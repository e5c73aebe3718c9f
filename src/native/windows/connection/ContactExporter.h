#pragma once

#include "export/PictureFileLock.h"
#include "platform/BusyMessageFilter.h"
#include "platform/OutlookObjectModel.h"
#include "text/WideString.h"

#include <windows.h>

#include <optional>
#include <string>

// The one connection to Outlook for the whole run, and the export that runs
// on it. Construction builds as much of the connection as it can: a COM
// error leaves it incomplete, with the status "ko". A failure to find
// Outlook installed or to load MAPI leaves the constructor as a
// std::runtime_error, and so does an allocation failure (std::bad_alloc).
class ContactExporter {
public:
    ContactExporter();
    ~ContactExporter();
    ContactExporter(const ContactExporter&) = delete;
    ContactExporter& operator=(const ContactExporter&) = delete;

    // "ko" unless the connection is complete, then Outlook's version (UTF-8).
    const std::string& statusText() const noexcept { return status; }

    // Writes every contact of the default contacts folder as one JSON line,
    // then the trailer line. A COM error stops the walk where it stands.
    void exportContacts();

private:
    void connect();

    void walkContacts();
    bool writeContactRecord(const outlook::ContactItem& contact, outlook::Attachments& attachments);
    bool writePicture(const outlook::ContactItem& contact, outlook::Attachments& attachments);
    void writePhones(const outlook::ContactItem& contact);
    void writePhone(const char* label, text::WideString number);
    void writeEmailAddresses(const outlook::ContactItem& contact);
    void writeEmailAddressesThroughMapi(const outlook::ContactItem& contact);
    void writeEmailAddressesThroughObjectModel(const outlook::ContactItem& contact);
    void writeEmailAddress(const text::WideString& address, const text::WideString& type);
    text::WideString resolveSmtpAddress(const text::WideString& address) const;

    std::optional<platform::MessageFilterRegistration> busyMessageFilter;
    outlook::NameSpace nameSpace;
    outlook::Application application;
    outlook::Folder contactsFolder;
    outlook::Items contactItems;
    bool firstEmail = true;
    bool firstPhone = true;
    std::string status = "ko";
    std::string picturePath;
    HMODULE mapiLibrary = nullptr;
    PictureFileLock pictureFileLock;
};
