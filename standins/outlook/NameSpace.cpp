#include "NameSpace.h"

#include "ContactsFolder.h"
#include "Recipient.h"
#include "Results.h"

namespace outlook {

namespace {
constexpr LONG olFolderContacts = 10;
}

NameSpace::NameSpace(SessionPtr session) : DispatchObject(std::move(session), NameSpaceInterface) {
    addMember("GetDefaultFolder", ResultKind::Object, [this](const Arguments& arguments, VARIANT& result) {
        LONG folder = 0;
        HRESULT outcome = arguments.expectCount(1);
        if (SUCCEEDED(outcome)) {
            outcome = arguments.integer(0, folder);
        }
        if (FAILED(outcome)) {
            return outcome;
        }
        if (folder != olFolderContacts) {
            return E_INVALIDARG;  // the profile holds only the contacts folder
        }
        setObject(result, platform::makeComObject<ContactsFolder>(this->session()));
        return S_OK;
    });
    addMember("CreateRecipient", ResultKind::Object, [this](const Arguments& arguments, VARIANT& result) {
        std::wstring name;
        HRESULT outcome = arguments.expectCount(1);
        if (SUCCEEDED(outcome)) {
            outcome = arguments.text(0, name);
        }
        if (FAILED(outcome)) {
            return outcome;
        }
        setObject(result, platform::makeComObject<Recipient>(this->session(), std::move(name)));
        return S_OK;
    });
}

}  // namespace outlook
