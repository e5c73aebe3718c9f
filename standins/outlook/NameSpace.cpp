#include "NameSpace.h"

#include "ContactsFolder.h"
#include "Recipient.h"
#include "Results.h"

namespace standin::outlook {

namespace {
constexpr LONG olFolderContacts = 10;
}

NameSpace::NameSpace(SessionPtr session) : DispatchObject(std::move(session), ::outlook::NameSpaceInterface) {
    addIntegerMethod("GetDefaultFolder", ResultKind::Object, [this](LONG folder, VARIANT& result) {
        if (folder != olFolderContacts) return E_INVALIDARG;  // the profile holds only the contacts folder
        setObject(result, com::makeComObject<ContactsFolder>(this->session()));
        return S_OK;
    });
    addTextMethod("CreateRecipient", ResultKind::Object, [this](const std::wstring& name, VARIANT& result) {
        setObject(result, com::makeComObject<Recipient>(this->session(), name));
        return S_OK;
    });
    addProperty("CurrentProfileName", ResultKind::Bstr,
                [this](VARIANT& result) { setText(result, this->session()->profile().profileName); });
}

}  // namespace standin::outlook
