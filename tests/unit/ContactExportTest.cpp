// The export's logic against fake Outlook objects, without a COM server:
// the walk and its trailer, the record's members and punctuation, the
// phones, the three roads to the e-mail addresses, the choice of the
// picture, and how a walk ends early.
#include "FakeOutlook.h"
#include "ReferenceBase64.h"
#include "export/ContactExport.h"
#include "export/ContactRecord.h"
#include "platform/com/Dispatch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

using com::ComRef;
using fake::Calls;
using fake::dispatchOf;
using fake::returning;

namespace {

// Keeps what the export writes: standard output with its line ends as the
// process writes them (CR LF), standard error apart. `failWith` makes the
// write that would take standard output past `failAfter` bytes fail.
class RecordingSink final : public text::OutputSink {
public:
    void write(std::string_view narrow) override {
        if (failWith && out.size() + narrow.size() > failAfter) failWith();
        out += narrow;
    }
    void endLine() override { write("\r\n"); }

    std::string out;
    std::string err;
    std::function<void()> failWith;
    std::size_t failAfter = 0;

protected:
    void putError(std::string_view narrow) override { err += narrow; }
};

// MAPI buffers as the fake message objects hand them out, and the count of
// those released.
int buffersReleased = 0;

void* allocateBuffer(std::size_t size) { return std::calloc(1, size); }

ULONG STDAPICALLTYPE freeBuffer(void* buffer) {
    ++buffersReleased;
    std::free(buffer);
    return 0;
}

// MAPI's logon where the profile cannot be logged on to: the session road
// is closed at once.
int logons = 0;

HRESULT STDAPICALLTYPE refusingLogon(ULONG_PTR, LPWSTR, LPWSTR, ULONG, void** session) {
    ++logons;
    *session = nullptr;
    return mapi::MAPI_E_LOGON_FAILED;
}

// A contact's message object that answers the six e-mail properties as
// PT_UNICODE values ("" for a missing one, answered as PT_ERROR).
class FakeMessage final : public com::ComObject<mapi::IMAPIProp> {
public:
    explicit FakeMessage(std::vector<std::wstring> sixValues, HRESULT propsAnswer = S_OK)
        : values(std::move(sixValues)), propsResult(propsAnswer) {}

    // The error an empty value comes back with: a property the contact lacks.
    LONG missingValue = mapi::MAPI_E_NOT_FOUND;

    HRESULT STDMETHODCALLTYPE GetIDsFromNames(ULONG count, mapi::MAPINAMEID** names, ULONG,
                                              mapi::SPropTagArray** tags) override {
        auto* array = static_cast<mapi::SPropTagArray*>(allocateBuffer(sizeof(ULONG) * (count + 1)));
        array->cValues = count;
        for (ULONG at = 0; at < count; ++at) array->aulPropTag[at] = static_cast<ULONG>(names[at]->Kind.lID) << 16;
        *tags = array;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetProps(mapi::SPropTagArray* tags, ULONG, ULONG* count,
                                       mapi::SPropValue** result) override {
        if (FAILED(propsResult)) return propsResult;
        std::size_t size = sizeof(mapi::SPropValue) * tags->cValues;
        for (const std::wstring& value : values) size += (value.size() + 1) * sizeof(wchar_t);
        auto* block = static_cast<char*>(allocateBuffer(size));
        auto* array = reinterpret_cast<mapi::SPropValue*>(block);
        auto* strings = reinterpret_cast<wchar_t*>(block + sizeof(mapi::SPropValue) * tags->cValues);
        for (ULONG at = 0; at < tags->cValues; ++at) {
            const std::wstring& value = values.at(at);
            if (value.empty()) {
                array[at].ulPropTag = tags->aulPropTag[at] | mapi::PT_ERROR;
                array[at].Value.err = missingValue;
                continue;
            }
            array[at].ulPropTag = tags->aulPropTag[at] | mapi::PT_UNICODE;
            array[at].Value.lpszW = strings;
            std::memcpy(strings, value.c_str(), (value.size() + 1) * sizeof(wchar_t));
            strings += value.size() + 1;
        }
        *count = tags->cValues;
        *result = array;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SaveChanges(ULONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPropList(ULONG, mapi::SPropTagArray**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OpenProperty(ULONG, const IID*, ULONG, ULONG, IUnknown**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetProps(ULONG, mapi::SPropValue*, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeleteProps(mapi::SPropTagArray*, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyTo(ULONG, const IID*, mapi::SPropTagArray*, ULONG_PTR, void*, const IID*, void*,
                                     ULONG, void**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CopyProps(mapi::SPropTagArray*, ULONG_PTR, void*, const IID*, void*, ULONG,
                                        void**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetNamesFromIDs(mapi::SPropTagArray**, GUID*, ULONG, ULONG*,
                                              mapi::MAPINAMEID***) override {
        return E_NOTIMPL;
    }

private:
    ~FakeMessage() override = default;
    std::vector<std::wstring> values;
    HRESULT propsResult;
};

// A message object that gives no IMAPIProp, as Outlook's do in another process.
class UnreachableMessage final : public com::ComObject<IUnknown> {
private:
    ~UnreachableMessage() override = default;
};

using Texts = std::vector<std::pair<std::wstring, std::wstring>>;

// A contacts folder of fake items in one namespace, and the export over it.
class Folder : public ::testing::Test {
protected:
    void SetUp() override {
        com::DispatchMember::forgetDispids();
        buffersReleased = 0;
        logons = 0;
        wchar_t temporary[MAX_PATH];
        GetTempPathW(MAX_PATH, temporary);
        picturePath = std::wstring(temporary) + L"export-test-" + std::to_wstring(GetCurrentProcessId()) + L".jpg";
    }
    void TearDown() override {
        nameSpace.reset();
        items.clear();
        DeleteFileW(picturePath.c_str());
        EXPECT_EQ(log.references, 0) << "references to fake objects left";
    }

    ComRef<fake::Object> make() { return com::makeComObject<fake::Object>(log); }

    ComRef<fake::Object> contact(const Texts& texts) {
        ComRef<fake::Object> item = make();
        item->contactQuery = S_OK;
        for (const auto& [property, value] : texts) item->answers[property] = fake::text(value);
        items.push_back(item);
        return item;
    }

    void distributionList() { items.push_back(make()); }

    // The export of the folder, items walked from the last; with
    // `mapiFreeBuffer`, MAPI is loaded.
    std::string exported(mapi::MAPIFREEBUFFER mapiFreeBuffer = nullptr) {
        const ComRef<fake::Object> space = nameSpace ? nameSpace : make();
        const ComRef<fake::Object> folder = make();
        const ComRef<fake::Object> collection = make();
        space->answers[L"GetDefaultFolder"] = returning(folder);
        space->answers[L"CurrentProfileName"] = fake::text(L"Outlook");
        folder->answers[L"Items"] = returning(collection);
        folder->answers[L"StoreID"] = fake::text(L"0000000038A1BB1005E5101AA1BB08002B2A56C2");
        collection->answers[L"Count"] = returning(VT_I4, static_cast<LONG>(items.size()));
        collection->answers[L"Item"] = [this](const DISPPARAMS& parameters, VARIANT& result, EXCEPINFO* exception) {
            return returning(items.at(static_cast<std::size_t>(parameters.rgvarg[0].lVal) - 1))(parameters, result,
                                                                                                exception);
        };
        const outlook::NameSpace outlookNameSpace(dispatchOf(space));
        connection::MapiEntryPoints mapi;
        mapi.MAPIFreeBuffer = mapiFreeBuffer;
        mapi.MAPILogonEx = refusingLogon;
        exporting::ContactExport(outlookNameSpace, picturePath, mapiFreeBuffer != nullptr ? &mapi : nullptr, options,
                                 sink)
            .exportContacts();
        space->answers.clear();
        folder->answers.clear();
        collection->answers.clear();
        return sink.out;
    }

    // The Invoke calls made of `member` in the run, in order.
    Calls invokesOf(const std::string& prefix) const {
        Calls found;
        for (const std::string& call : log.calls) {
            if (call.rfind("Invoke " + prefix, 0) == 0) found.push_back(call.substr(7));
        }
        return found;
    }

    fake::Log log;
    fake::Clock clock;
    RecordingSink sink;
    exporting::RecordOptions options;
    std::wstring picturePath;
    ComRef<fake::Object> nameSpace;
    std::vector<ComRef<fake::Object>> items;
};

}  // namespace

TEST_F(Folder, ContactsAreWrittenFromTheLastItemToTheFirstWithTheTrailer) {
    contact({{L"FullName", L"Ada"}});
    distributionList();
    contact({{L"FullName", L"Bea"}});
    EXPECT_EQ(exported(),
              "{\"displayname\":\"Bea\",\"emailaddrs\":[],\"phones\":[]}\r\n"
              "{\"displayname\":\"Ada\",\"emailaddrs\":[],\"phones\":[]}\r\n"
              "contatti trovati: 2 / 3\r\n");
    EXPECT_EQ(sink.err, "");
}

TEST_F(Folder, AnEmptyFolderWritesAnEmptyLineAndTheTrailer) {
    EXPECT_EQ(exported(), "\r\ncontatti trovati: 0 / 0\r\n");
    distributionList();
    sink.out.clear();
    EXPECT_EQ(exported(), "\r\ncontatti trovati: 0 / 1\r\n");
}

// Across processes a failed query for _ContactItem can come back as
// E_NOINTERFACE whatever went wrong: the item's Class tells whether it is a
// contact after all (olContact, 40), and the walk ends rather than pass it
// over; any other class is skipped.
TEST_F(Folder, AnItemThatAnswersNoContactInterfaceIsAskedItsClass) {
    contact({{L"FullName", L"First"}});
    const ComRef<fake::Object> distributionList = make();
    distributionList->answers[L"Class"] = returning(VT_I4, 69);
    items.push_back(distributionList);
    contact({{L"FullName", L"Third"}});
    EXPECT_EQ(exported(),
              "{\"displayname\":\"Third\",\"emailaddrs\":[],\"phones\":[]}\r\n"
              "{\"displayname\":\"First\",\"emailaddrs\":[],\"phones\":[]}\r\n"
              "contatti trovati: 2 / 3\r\n");
    EXPECT_EQ(invokesOf("Class"), Calls{"Class get"});

    sink.out.clear();
    distributionList->answers[L"Class"] = returning(VT_I4, 40);
    EXPECT_EQ(exported(), "{\"displayname\":\"Third\",\"emailaddrs\":[],\"phones\":[]}");
}

TEST_F(Folder, ARecordsMembersComeInTheirOrderWithTheirPunctuation) {
    contact({{L"FirstName", L"Only"}, {L"LastName", L"X"}});
    contact({{L"FullName", L"Anna \"A\" Rossi/2"},
             {L"FirstName", L"Anna"},
             {L"LastName", L"Rossi"},
             {L"MobileTelephoneNumber", L"+39 (02) 123-456"},
             {L"BusinessTelephoneNumber", L"02/55\t1"},
             {L"HomeFaxNumber", L"7"}});
    EXPECT_EQ(exported(),
              "{\"displayname\":\"Anna \\\"A\\\" Rossi\\/2\",\"emailaddrs\":[],\"firstname\":\"Anna\","
              "\"surname\":\"Rossi\",\"phones\":[{\"type\":\"business\",\"number\":\"02\\/55\\t1\"},"
              "{\"type\":\"homeFax\",\"number\":\"7\"},{\"type\":\"mobile\",\"number\":\"+39 (02) 123-456\"}]}\r\n"
              // A one-letter surname is left out.
              "{\"emailaddrs\":[],\"firstname\":\"Only\",\"phones\":[]}\r\n"
              "contatti trovati: 2 / 2\r\n");
    // Each property is read once.
    EXPECT_EQ(invokesOf("FullName").size(), 2u);
    EXPECT_EQ(invokesOf("MobileTelephoneNumber").size(), 2u);
}

TEST_F(Folder, TheObjectModelReadsEachAddressAndItsTypeOnlyWhenThereIsAnAddress) {
    nameSpace = make();
    const ComRef<fake::Object> recipient = make(), entry = make(), accessor = make();
    nameSpace->answers[L"CreateRecipient"] = returning(recipient);
    recipient->answers[L"Resolve"] = returning(VT_BOOL, 1);
    recipient->answers[L"AddressEntry"] = returning(entry);
    entry->answers[L"Address"] = fake::text(L"/o=A/cn=ada");
    entry->answers[L"PropertyAccessor"] = returning(accessor);
    accessor->answers[L"GetProperty"] = fake::text(L"ada@contoso.example");
    // An empty address typed "EX", an Exchange address, an address without a type.
    const Texts addresses = {{L"Email1Address", L""},
                             {L"Email1AddressType", L"EX"},
                             {L"Email2Address", L"/o=A/cn=ada"},
                             {L"Email2AddressType", L"EX"},
                             {L"Email3Address", L"third@example.org"}};
    contact(addresses);

    EXPECT_EQ(exported(),
              "{\"emailaddrs\":[\"ada@contoso.example\",\"third@example.org\"],\"phones\":[]}\r\n"
              "contatti trovati: 1 / 1\r\n");
    EXPECT_EQ(invokesOf("Email"), (Calls{"Email1Address get", "Email2Address get", "Email2AddressType get",
                                         "Email3Address get", "Email3AddressType get"}));
    EXPECT_EQ(invokesOf("GetProperty"),
              Calls{"GetProperty call VT_BSTR:http://schemas.microsoft.com/mapi/proptag/0x39FE001E"});
    recipient->answers.clear();
    entry->answers.clear();
}

TEST_F(Folder, MapiGivesTheSixValuesInOneCallAndBothBuffersAreReleased) {
    const auto withMessage = [this](const ComRef<fake::Object>& item, std::vector<std::wstring> values) {
        item->answers[L"MAPIOBJECT"] =
            returning(VT_UNKNOWN, 0, ComRef<IUnknown>(com::makeComObject<FakeMessage>(std::move(values)).get()));
    };
    withMessage(contact({}), {L"", L"", L"b@example.org", L"SMTP", L"", L""});
    withMessage(contact({}), {L"a@example.org", L"SMTP", L"", L"", L"c/\"d\"@example.org", L""});

    EXPECT_EQ(exported(freeBuffer),
              "{\"emailaddrs\":[\"a@example.org\",\"c\\/\\\"d\\\"@example.org\"],\"phones\":[]}\r\n"
              "{\"emailaddrs\":[\"b@example.org\"],\"phones\":[]}\r\n"
              "contatti trovati: 2 / 2\r\n");
    EXPECT_EQ(buffersReleased, 4);
    EXPECT_TRUE(invokesOf("Email").empty());
}

TEST_F(Folder, AContactThatMapiCannotReadTakesTheObjectModelAndACallThatNeverRanEndsTheWalk) {
    const auto withFailingMessage = [this](HRESULT failure, LONG missingValue = mapi::MAPI_E_NOT_FOUND) {
        items.clear();
        sink.out.clear();
        log.calls.clear();
        const ComRef<FakeMessage> message = com::makeComObject<FakeMessage>(std::vector<std::wstring>(6), failure);
        message->missingValue = missingValue;
        contact({{L"FullName", L"Ada"}, {L"Email2Address", L"ada@example.org"}})->answers[L"MAPIOBJECT"] =
            returning(VT_UNKNOWN, 0, ComRef<IUnknown>(message.get()));
        return exported(freeBuffer);
    };
    const std::string throughObjectModel =
        "{\"displayname\":\"Ada\",\"emailaddrs\":[\"ada@example.org\"],\"phones\":[]}\r\ncontatti trovati: 1 / 1\r\n";
    // The store cannot answer for this contact, or answers a value it could
    // not read: the contact's addresses come through the object model, and
    // the next contact would be MAPI's again.
    EXPECT_EQ(withFailingMessage(static_cast<HRESULT>(0x80040102L)), throughObjectModel);  // MAPI_E_NO_SUPPORT
    EXPECT_EQ(invokesOf("Email"),
              (Calls{"Email1Address get", "Email2Address get", "Email2AddressType get", "Email3Address get"}));
    EXPECT_EQ(withFailingMessage(S_OK, E_OUTOFMEMORY), throughObjectModel);
    EXPECT_EQ(invokesOf("Email").size(), 4u);
    // Values that are not there are an empty list, not a failure.
    EXPECT_EQ(withFailingMessage(S_OK),
              "{\"displayname\":\"Ada\",\"emailaddrs\":[],\"phones\":[]}\r\ncontatti trovati: 1 / 1\r\n");
    EXPECT_TRUE(invokesOf("Email").empty());
    // Outlook has gone away, or stayed busy past the deadline: the call
    // says nothing of the addresses, and the walk ends where it stands.
    for (const HRESULT neverRan :
         {RPC_E_DISCONNECTED, HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE), RPC_E_CALL_REJECTED}) {
        EXPECT_EQ(withFailingMessage(neverRan), "{\"displayname\":\"Ada\",\"emailaddrs\":[");
    }
    EXPECT_EQ(buffersReleased, 8);  // each run's tag array, and the value arrays of the two that read them
    EXPECT_EQ(logons, 0);
}

TEST_F(Folder, AMessageObjectWithoutIMapiPropTurnsTheRunToTheObjectModel) {
    for (const wchar_t* address : {L"first@example.org", L"second@example.org", L"third@example.org"}) {
        const ComRef<fake::Object> item = contact({{L"Email1Address", address}});
        item->answers[L"MAPIOBJECT"] =
            returning(VT_UNKNOWN, 0, ComRef<IUnknown>(com::makeComObject<UnreachableMessage>().get()));
    }
    // The run that MAPI would have served is the object model's, with one
    // MAPIOBJECT asked for in all.
    const std::string throughObjectModel = exported();
    const Calls objectModelReads = invokesOf("Email");
    ASSERT_EQ(objectModelReads.size(), 12u);  // each address, the first one's type
    sink.out.clear();
    log.calls.clear();
    EXPECT_EQ(exported(freeBuffer), throughObjectModel);
    EXPECT_EQ(invokesOf("Email"), objectModelReads);
    EXPECT_EQ(invokesOf("MAPIOBJECT").size(), 1u);
    EXPECT_EQ(buffersReleased, 0);
    // Between the two, the session of the exporter's own was tried once, on
    // Outlook's profile and the contacts' store, and refused.
    EXPECT_EQ(logons, 1);
    EXPECT_EQ(invokesOf("CurrentProfileName").size(), 1u);
    EXPECT_EQ(invokesOf("StoreID").size(), 1u);
}

// Only a real "no such interface" closes the MAPIOBJECT's road: a query that
// Outlook turned away until the deadline never ran and says nothing, so the
// walk ends where it stands, as on a failed call.
TEST_F(Folder, AQueryForIMapiPropThatNeverRanEndsTheWalk) {
    const ComRef<fake::Object> busyObject = make();
    busyObject->queryRejections = 1000000;
    contact({{L"FullName", L"Ada"}})->answers[L"MAPIOBJECT"] =
        returning(VT_UNKNOWN, 0, ComRef<IUnknown>(busyObject.get()));
    EXPECT_EQ(exported(freeBuffer), "{\"displayname\":\"Ada\",\"emailaddrs\":[");
    EXPECT_EQ(logons, 0);
    EXPECT_TRUE(invokesOf("Email").empty());
}

namespace {

// A contact with a picture among attachments of the given names; each
// attachment saves its own name's bytes. An empty name stands for one whose
// FileName fails.
ComRef<fake::Object> withAttachments(const ComRef<fake::Object>& item, std::vector<ComRef<fake::Object>>& kept,
                                     const std::function<ComRef<fake::Object>()>& make,
                                     const std::vector<std::wstring>& names) {
    const ComRef<fake::Object> attachments = make();
    item->answers[L"HasPicture"] = returning(VT_BOOL, 1);
    item->answers[L"Attachments"] = returning(attachments);
    attachments->answers[L"Count"] = returning(VT_I4, static_cast<LONG>(names.size()));
    for (const std::wstring& name : names) {
        const ComRef<fake::Object> attachment = make();
        attachment->answers[L"FileName"] = name.empty() ? fake::failing(E_FAIL) : fake::text(name);
        attachment->answers[L"SaveAsFile"] = [name](const DISPPARAMS& parameters, VARIANT&, EXCEPINFO*) {
            const HANDLE file = CreateFileW(parameters.rgvarg[0].bstrVal, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr);
            const std::string bytes = fake::ascii(name.empty() ? L"unnamed" : name);
            DWORD written = 0;
            WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
            CloseHandle(file);
            return S_OK;
        };
        kept.push_back(attachment);
    }
    attachments->answers[L"Item"] = [&kept, first = kept.size() - names.size()](const DISPPARAMS& parameters,
                                                                                VARIANT& result, EXCEPINFO* exception) {
        return returning(kept.at(first + static_cast<std::size_t>(parameters.rgvarg[0].intVal) - 1))(parameters, result,
                                                                                                     exception);
    };
    kept.push_back(attachments);
    return item;
}

std::string imageOf(const std::string& record) {
    const std::string key = "{\"image\":\"";
    if (record.rfind(key, 0) != 0) return "(no image)";
    return record.substr(key.size(), record.find('"', key.size()) - key.size());
}

}  // namespace

TEST_F(Folder, ThePictureIsTheAttachmentNamedAsOutlookNamesIt) {
    struct Case {
        std::vector<std::wstring> names;
        std::string picture;  // the bytes saved
    };
    const Case cases[] = {
        {{L"Offerta.pdf", L"ContactPicture.jpg"}, "ContactPicture.jpg"},
        {{L"a.pdf", L"CONTACTPICTURE.JPG", L"ContactPicture.jpg"}, "CONTACTPICTURE.JPG"},
        {{L"a.pdf", L"b.jpg"}, "a.pdf"},
        // The choice is made before a name that cannot be read.
        {{L"ContactPicture.jpg", L""}, "ContactPicture.jpg"},
        // One attachment is the picture, its name unread.
        {{L""}, "unnamed"},
    };
    for (const Case& each : cases) {
        std::vector<ComRef<fake::Object>> kept;
        items.clear();
        sink.out.clear();
        withAttachments(
            contact({}), kept, [this] { return make(); }, each.names);
        const std::string out = exported();
        EXPECT_EQ(imageOf(out), reference::base64(each.picture)) << out;
        EXPECT_NE(out.find("contatti trovati: 1 / 1"), std::string::npos) << out;
        for (const ComRef<fake::Object>& object : kept) object->answers.clear();
    }
    EXPECT_EQ(sink.err, "");
}

// A name that cannot be read before the choice is made, for whatever
// reason (the call failed, Outlook is gone or stayed busy past the
// deadline): that attachment may be the picture or not, and another must
// not pass for it. The walk ends where it stands.
TEST_F(Folder, AnAttachmentThatMayBeThePictureEndsTheWalk) {
    for (const HRESULT failure : {E_FAIL, RPC_E_DISCONNECTED, RPC_E_CALL_REJECTED}) {
        for (const auto& names :
             {std::vector<std::wstring>{L"Offerta.pdf", L""}, std::vector<std::wstring>{L"", L"ContactPicture.jpg"}}) {
            std::vector<ComRef<fake::Object>> kept;
            items.clear();
            sink.out.clear();
            withAttachments(
                contact({}), kept, [this] { return make(); }, names);
            for (std::size_t at = 0; at < names.size(); ++at) {
                if (names[at].empty()) kept.at(at)->answers[L"FileName"] = fake::failing(failure);
            }
            EXPECT_EQ(exported(), "{\"image\":");
            for (const ComRef<fake::Object>& object : kept) object->answers.clear();
        }
    }
    EXPECT_EQ(sink.err, "");
}

TEST_F(Folder, AContactWithAPictureButNoAttachmentCollectionStopsTheWalk) {
    contact({{L"FullName", L"Earlier"}});
    const ComRef<fake::Object> flagged = contact({{L"FullName", L"Flagged"}});
    flagged->answers[L"HasPicture"] = returning(VT_BOOL, 1);
    EXPECT_EQ(exported(), "{");
    EXPECT_EQ(sink.err, "Unabel to get Attachments.");
}

// A failed call, memory that runs short, a value too large for a string, or
// a reader that stops reading: the walk stops where it stands, quietly, and
// the missing trailer tells the reader.
TEST_F(Folder, AWalkThatCannotGoOnStopsWhereItStands) {
    const std::function<void()> failures[] = {
        [] { throw std::bad_alloc(); },
        [] { throw std::length_error("a picture too large for a string"); },
        [] { com::throwComError(HRESULT_FROM_WIN32(ERROR_NO_DATA), "WriteFile standard output"); },
    };
    contact({{L"FullName", L"Second"}});
    contact({{L"FullName", L"First"}});
    const std::string whole = exported();
    for (const std::function<void()>& failure : failures) {
        sink.out.clear();
        sink.failWith = failure;
        sink.failAfter = whole.find("Second") + 2;
        EXPECT_NO_THROW(exported());
        EXPECT_EQ(sink.out, whole.substr(0, whole.find("Second")));
    }

    sink.failWith = nullptr;
    sink.out.clear();
    items.at(0)->answers[L"FullName"] = fake::failing(RPC_E_DISCONNECTED);
    EXPECT_EQ(exported(), whole.substr(0, whole.find("{\"displayname\":\"Second") + 1));
    EXPECT_EQ(sink.err, "");
}
