// The exporter declares what it uses of MAPI and Outlook itself (MAPI's
// headers are not in every SDK, Outlook's type library is not a header). A
// wrong constant would pass every test against the stand-ins, which take
// theirs from the same declarations: here they are checked against the
// platform's own headers (MinGW-w64's), and Outlook's against the values
// its documentation gives, typed in as the documentation writes them.
#include "PlatformHeaderFacts.h"
#include "platform/mapi/MapiDefinitions.h"
#include "platform/outlook/OutlookDefinitions.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <iterator>
#include <map>
#include <string>

namespace {

IID fromText(const wchar_t* text) {
    IID iid{};
    EXPECT_EQ(IIDFromString(text, &iid), S_OK) << "not an IID";
    return iid;
}

}  // namespace

TEST(PlatformDefinitions, MapiStructuresAreLaidOutAsThePlatformHeadersLayThem) {
    const platformHeaders::MapiFacts platform = platformHeaders::mapiFacts();
    EXPECT_EQ(sizeof(mapi::SPropValue), platform.propValueSize);
    EXPECT_EQ(offsetof(mapi::SPropValue, ulPropTag), platform.propValueTagOffset);
    EXPECT_EQ(offsetof(mapi::SPropValue, Value), platform.propValueValueOffset);
    EXPECT_EQ(sizeof(mapi::PropValueUnion), platform.propValueUnionSize);
    EXPECT_EQ(sizeof(mapi::MAPINAMEID), platform.nameIdSize);
    EXPECT_EQ(offsetof(mapi::MAPINAMEID, Kind), platform.nameIdKindOffset);
    EXPECT_EQ(sizeof(mapi::MAPINAMEID{}.Kind), platform.nameIdKindSize);
    EXPECT_EQ(offsetof(mapi::SPropTagArray, aulPropTag), platform.propTagArrayTagsOffset);
    EXPECT_EQ(sizeof(mapi::MAPIINIT_0), platform.initSize);
}

TEST(PlatformDefinitions, MapiConstantsAreThePlatformHeadersOwn) {
    const platformHeaders::MapiFacts platform = platformHeaders::mapiFacts();
    EXPECT_EQ(mapi::MAPI_INIT_VERSION, platform.initVersion);
    EXPECT_EQ(mapi::MAPI_MULTITHREAD_NOTIFICATIONS, platform.multithreadNotifications);
    EXPECT_EQ(mapi::MNID_ID, platform.nameKindId);
    EXPECT_EQ(mapi::PT_STRING8, platform.typeString8);
    EXPECT_EQ(mapi::PT_UNICODE, platform.typeUnicode);
    EXPECT_EQ(mapi::MAPI_E_NOT_FOUND, platform.notFound);
    EXPECT_TRUE(IsEqualIID(mapi::IID_IMAPIProp, platform.mapiPropIid));
    // A property that the object lacks comes back with PT_ERROR, which the
    // exporter reads as no text.
    EXPECT_NE(platform.typeError, mapi::PT_STRING8);
    EXPECT_NE(platform.typeError, mapi::PT_UNICODE);
}

TEST(PlatformDefinitions, TheMapiSessionsConstantsAndIidsAreThePlatformHeadersOwn) {
    const std::map<std::string, unsigned long> declared = {
        {"MAPI_LOGON_UI", mapi::MAPI_LOGON_UI},
        {"MAPI_NEW_SESSION", mapi::MAPI_NEW_SESSION},
        {"MAPI_ALLOW_OTHERS", mapi::MAPI_ALLOW_OTHERS},
        {"MAPI_EXTENDED", mapi::MAPI_EXTENDED},
        {"MAPI_USE_DEFAULT", mapi::MAPI_USE_DEFAULT},
        {"MAPI_NO_MAIL", mapi::MAPI_NO_MAIL},
        {"MAPI_PASSWORD_UI", mapi::MAPI_PASSWORD_UI},
        {"MAPI_UNICODE", mapi::MAPI_UNICODE},
        {"MDB_NO_DIALOG", mapi::MDB_NO_DIALOG},
        {"MDB_WRITE", mapi::MDB_WRITE},
        {"MDB_NO_MAIL", mapi::MDB_NO_MAIL},
        {"MAPI_MODIFY", mapi::MAPI_MODIFY},
        {"AB_NO_DIALOG", mapi::AB_NO_DIALOG},
        {"MAPI_MESSAGE", mapi::MAPI_MESSAGE},
        {"MAPI_MAILUSER", mapi::MAPI_MAILUSER},
        {"PT_BINARY", mapi::PT_BINARY},
        {"MAPI_E_UNKNOWN_FLAGS", static_cast<unsigned long>(mapi::MAPI_E_UNKNOWN_FLAGS)},
        {"MAPI_E_LOGON_FAILED", static_cast<unsigned long>(mapi::MAPI_E_LOGON_FAILED)},
        {"MAPI_E_UNKNOWN_ENTRYID", static_cast<unsigned long>(mapi::MAPI_E_UNKNOWN_ENTRYID)},
        {"MAPI_W_ERRORS_RETURNED", static_cast<unsigned long>(mapi::MAPI_W_ERRORS_RETURNED)},
        {"PR_EMAIL_ADDRESS_W", mapi::PR_EMAIL_ADDRESS_W},
    };
    EXPECT_EQ(declared, platformHeaders::mapiSessionConstants());
    // MinGW-w64's headers have no PR_SMTP_ADDRESS; its documented id is 0x39FE.
    EXPECT_EQ(mapi::PR_SMTP_ADDRESS_W, 0x39FE001Fu);

    const std::map<std::string, IID> iids = platformHeaders::mapiSessionIids();
    EXPECT_TRUE(IsEqualIID(mapi::IID_IMAPISession, iids.at("IMAPISession")));
    EXPECT_TRUE(IsEqualIID(mapi::IID_IMsgStore, iids.at("IMsgStore")));
    EXPECT_TRUE(IsEqualIID(mapi::IID_IMessage, iids.at("IMessage")));
    EXPECT_TRUE(IsEqualIID(mapi::IID_IAddrBook, iids.at("IAddrBook")));
    EXPECT_TRUE(IsEqualIID(mapi::IID_IMailUser, iids.at("IMailUser")));
}

TEST(PlatformDefinitions, TheMapiMethodsCalledAreInThePlatformHeadersVtableSlots) {
    // An object of the headers' IMAPIProp, called through the exporter's.
    IUnknown* const object = platformHeaders::newNumberedMapiProp();
    auto* const properties = reinterpret_cast<mapi::IMAPIProp*>(object);
    EXPECT_EQ(properties->GetProps(nullptr, 0, nullptr, nullptr), platformHeaders::methodResult(3));
    EXPECT_EQ(properties->GetIDsFromNames(0, nullptr, 0, nullptr), platformHeaders::methodResult(11));
    EXPECT_EQ(properties->GetLastError(S_OK, 0, nullptr), platformHeaders::methodResult(1));
    object->Release();
}

TEST(PlatformDefinitions, OutlooksIdentifiersAreThoseItsDocumentationGives) {
    const struct {
        const wchar_t* documented;
        IID declared;
    } identifiers[] = {
        {L"{0006F03A-0000-0000-C000-000000000046}", outlook::CLSID_OutlookApplication},
        {L"{00063001-0000-0000-C000-000000000046}", outlook::ApplicationInterface.iid},
        {L"{00063002-0000-0000-C000-000000000046}", outlook::NameSpaceInterface.iid},
        {L"{00063006-0000-0000-C000-000000000046}", outlook::FolderInterface.iid},
        {L"{00063041-0000-0000-C000-000000000046}", outlook::ItemsInterface.iid},
        {L"{00063021-0000-0000-C000-000000000046}", outlook::ContactItemInterface.iid},
        {L"{0006303C-0000-0000-C000-000000000046}", outlook::AttachmentsInterface.iid},
        {L"{00063007-0000-0000-C000-000000000046}", outlook::AttachmentInterface.iid},
        {L"{00063045-0000-0000-C000-000000000046}", outlook::RecipientInterface.iid},
        {L"{0006304B-0000-0000-C000-000000000046}", outlook::AddressEntryInterface.iid},
        {L"{0006302D-0000-0000-C000-000000000046}", outlook::PropertyAccessorInterface.iid},
        {L"{00062004-0000-0000-C000-000000000046}", mapi::PSETID_Address},
    };
    for (const auto& identifier : identifiers) {
        EXPECT_TRUE(IsEqualIID(fromText(identifier.documented), identifier.declared))
            << std::string(identifier.documented, identifier.documented + 39);
    }
}

TEST(PlatformDefinitions, TheEmailPropertiesAreTheDocumentedLongIds) {
    // PidLidEmail1EmailAddress 0x8083 and PidLidEmail1AddressType 0x8082;
    // the second and third addresses' ids are 0x10 and 0x20 further on.
    const struct {
        const char* member;
        LONG longId;
    } documented[] = {{"Email1Address", 0x8083},     {"Email1AddressType", 0x8082}, {"Email2Address", 0x8093},
                      {"Email2AddressType", 0x8092}, {"Email3Address", 0x80A3},     {"Email3AddressType", 0x80A2}};
    ASSERT_EQ(std::size(outlook::emailNamedProperties), std::size(documented));
    for (std::size_t at = 0; at < std::size(documented); ++at) {
        EXPECT_STREQ(outlook::emailNamedProperties[at].member, documented[at].member);
        EXPECT_EQ(outlook::emailNamedProperties[at].longId, documented[at].longId) << documented[at].member;
    }
}
