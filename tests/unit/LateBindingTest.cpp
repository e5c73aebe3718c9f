#include "FakeOutlook.h"
#include "platform/com/Dispatch.h"
#include "platform/outlook/OutlookObjectModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

using namespace std::chrono_literals;
using com::ComRef;

namespace {

using fake::Calls;
using fake::dispatchOf;
using fake::failureOf;
using fake::returning;
using FakeDispatch = fake::Object;

constexpr HRESULT lateCode = static_cast<HRESULT>(0x80040119L);
HRESULT STDAPICALLTYPE fillInLater(EXCEPINFO* exception) {
    exception->scode = lateCode;
    return S_OK;
}

class LateBinding : public ::testing::Test {
protected:
    void SetUp() override { com::DispatchMember::forgetDispids(); }
    void TearDown() override { EXPECT_EQ(log.objects, 0) << "fake objects left alive"; }
    ComRef<FakeDispatch> make() { return com::makeComObject<FakeDispatch>(log); }
    fake::Log log;
    fake::Clock clock;
};

}  // namespace

TEST_F(LateBinding, ArgumentsReachInvokeLastFirstWithTheirTypesAndStringsLent) {
    const ComRef<FakeDispatch> object = make();
    const com::WideString address = com::WideString::copyOf(L"ada@example.com", 15);
    const com::DispatchMember pair{outlook::ItemsInterface, L"Pair"};
    VARIANT arguments[3];
    for (LONG n = 0; n < 3; ++n) {
        arguments[n].vt = VT_I4;
        arguments[n].lVal = n + 1;
    }

    outlook::Items(dispatchOf(object)).item(3);
    outlook::Attachments(dispatchOf(object)).item(2);
    outlook::NameSpace(dispatchOf(object)).getDefaultFolder(outlook::olFolderContacts);
    outlook::NameSpace(dispatchOf(object)).createRecipient(address);
    outlook::Attachment(dispatchOf(object)).fileName();
    com::callMethod(object.get(), pair, arguments, 2);
    EXPECT_EQ(failureOf([&] { com::callMethod(object.get(), pair, arguments, 3); }), E_INVALIDARG);

    EXPECT_EQ(log.calls,
              (Calls{"Invoke Item call VT_I4:3", "Invoke Item call VT_INT:2", "Invoke GetDefaultFolder call VT_I4:10",
                     "Invoke CreateRecipient call VT_BSTR:ada@example.com", "Invoke FileName get",
                     "Invoke Pair call VT_I4:2 VT_I4:1"}));
    // The caller's own BSTR, neither copied nor freed by the call.
    EXPECT_EQ(log.strings, std::vector<BSTR>{address.get()});
    EXPECT_EQ(std::wstring(address.get(), address.length()), L"ada@example.com");
}

TEST_F(LateBinding, AMembersDispidIsAskedForOnceARun) {
    const ComRef<FakeDispatch> first = make();
    const ComRef<FakeDispatch> second = make();
    first->answers[L"Resolve"] = returning(VT_BOOL, 1);

    EXPECT_TRUE(outlook::Recipient(dispatchOf(first)).resolve());
    EXPECT_TRUE(outlook::Recipient(dispatchOf(first)).resolve());
    EXPECT_FALSE(outlook::Recipient(dispatchOf(second)).resolve());
    EXPECT_EQ(log.lookups, Calls{"GetIDsOfNames Resolve"});
    EXPECT_EQ(log.calls, (Calls{"Invoke Resolve call", "Invoke Resolve call", "Invoke Resolve call"}));

    const com::DispatchMember journal{outlook::ContactItemInterface, L"Journal"};  // this test's own
    for (const ComRef<FakeDispatch>& object : {first, second, first}) com::getProperty(object.get(), journal);
    EXPECT_EQ(log.lookups, (Calls{"GetIDsOfNames Resolve", "GetIDsOfNames Journal"}));
}

TEST_F(LateBinding, AnExceptionFailsTheCallWithTheResultItCarries) {
    const ComRef<FakeDispatch> object = make();
    const com::DispatchMember saveAsFile{outlook::AttachmentInterface, L"SaveAsFile"};
    const auto raising = [&](SCODE scode, WORD code, decltype(EXCEPINFO::pfnDeferredFillIn) fillIn) {
        object->answers[L"SaveAsFile"] = [=](const DISPPARAMS&, VARIANT&, EXCEPINFO* exception) {
            *exception =
                EXCEPINFO{code, 0, SysAllocString(L"Microsoft Outlook"), nullptr, nullptr, 0, nullptr, fillIn, scode};
            return DISP_E_EXCEPTION;
        };
        return failureOf([&] { com::callMethod(object.get(), saveAsFile, nullptr, 0); });
    };
    EXPECT_EQ(raising(E_ACCESSDENIED, 0, nullptr), E_ACCESSDENIED);
    EXPECT_EQ(raising(0, 0, fillInLater), lateCode);
    EXPECT_EQ(raising(0, 1001, nullptr), DISP_E_EXCEPTION);
}

TEST_F(LateBinding, EveryReferenceTakenIsReleasedWithTheResults) {
    const ComRef<FakeDispatch> folder = make(), items = make(), contact = make(), other = make(), message = make();
    folder->answers[L"Items"] = returning(items);
    items->answers[L"Count"] = returning(VT_I4, 2);
    items->answers[L"Item"] = [first = returning(contact), second = returning(VT_UNKNOWN, 0, dispatchOf(other))](
                                  const DISPPARAMS& parameters, VARIANT& result, EXCEPINFO* exception) {
        return (parameters.rgvarg[0].lVal == 1 ? first : second)(parameters, result, exception);
    };
    contact->contactQuery = S_OK;
    contact->answers[L"MAPIOBJECT"] = returning(VT_UNKNOWN, 0, dispatchOf(message));

    const long before = log.references;
    {
        const outlook::Items all = outlook::Folder(dispatchOf(folder)).items();
        EXPECT_EQ(all.count(), 2);
        const outlook::ContactItem found = outlook::ContactItem::from(all.item(1));
        EXPECT_TRUE(found && found.mapiObject());
        EXPECT_FALSE(outlook::ContactItem::from(all.item(2)));
        other->contactQuery = RPC_E_DISCONNECTED;
        EXPECT_EQ(failureOf([&] { outlook::ContactItem::from(all.item(2)); }), RPC_E_DISCONNECTED);
        EXPECT_EQ(log.references, before + 2);  // the items and the contact
    }
    EXPECT_EQ(log.references, before);
    EXPECT_EQ(log.calls,
              (Calls{"Invoke Items get", "Invoke Count get", "Invoke Item call VT_I4:1", "QueryInterface _ContactItem",
                     "Invoke MAPIOBJECT get", "Invoke Item call VT_I4:2", "QueryInterface IDispatch",
                     "QueryInterface _ContactItem", "Invoke Class get", "Invoke Item call VT_I4:2",
                     "QueryInterface IDispatch", "QueryInterface _ContactItem"}));
}

TEST_F(LateBinding, ACallTurnedAwayAsBusyIsMadeAgain) {
    const ComRef<FakeDispatch> object = make();
    object->lookupRejections = object->invokeRejections = 1;
    object->answers[L"Patience"] = returning(VT_I4, 7);
    const com::DispatchMember patience{outlook::ApplicationInterface, L"Patience"};

    com::Variant result = com::getProperty(object.get(), patience);
    EXPECT_EQ(com::takeLong(result, patience), 7);
    EXPECT_EQ(log.lookups, (Calls{"GetIDsOfNames Patience", "GetIDsOfNames Patience"}));
    EXPECT_EQ(log.calls, (Calls{"Invoke Patience get", "Invoke Patience get"}));
    EXPECT_EQ(clock.sleeps, (std::vector<std::chrono::milliseconds>{200ms, 200ms}));
}

// A value that cannot be had as the kind the member gives names the member,
// as a failed call does, and so do the diagnostics that report it.
TEST_F(LateBinding, AValueOfAnotherKindNamesItsMember) {
    const ComRef<FakeDispatch> object = make();
    object->answers[L"Count"] = fake::text(L"many");
    object->answers[L"Nothing"] = returning(VT_EMPTY, 0);
    const com::DispatchMember count{outlook::ItemsInterface, L"Count"};
    const com::DispatchMember nothing{outlook::ContactItemInterface, L"Nothing"};
    const auto operationOf = [](auto&& take) {
        try {
            take();
        } catch (const com::ComError& error) {
            return error.operation();
        }
        return std::string("(no error)");
    };
    EXPECT_EQ(operationOf([&] {
                  com::Variant result = com::getProperty(object.get(), count);
                  com::takeLong(result, count);
              }),
              "_Items.Count");
    EXPECT_EQ(operationOf([&] {
                  com::Variant result = com::getProperty(object.get(), nothing);
                  com::takeDate(result, nothing);
              }),
              "_ContactItem.Nothing");
}

TEST_F(LateBinding, TheNameLookupAndTheCallWaitOneDeadlineTogether) {
    // The lookup is turned away for 40 s (200 rejections and pauses), the
    // call then for good: the call gives up 60 s after the lookup began.
    const ComRef<FakeDispatch> object = make();
    object->lookupRejections = 200;
    object->invokeRejections = 1000000;
    const com::DispatchMember patient{outlook::ApplicationInterface, L"Patient"};

    EXPECT_EQ(failureOf([&] { com::getProperty(object.get(), patient); }), RPC_E_CALL_REJECTED);
    EXPECT_EQ(clock.current, 1000ms + 60s);
    EXPECT_EQ(log.lookups.size(), 201u);
    const auto invokes = std::count_if(log.calls.begin(), log.calls.end(),
                                       [](const std::string& call) { return call.rfind("Invoke", 0) == 0; });
    EXPECT_EQ(invokes, 101);  // over the other 20 s
}

TEST_F(LateBinding, AQueryTurnedAwayAsBusyIsMadeAgain) {
    const ComRef<FakeDispatch> item = make();
    item->contactQuery = S_OK;
    item->queryRejections = 2;
    EXPECT_TRUE(outlook::ContactItem::from(dispatchOf(item)));
    EXPECT_EQ(log.calls,
              (Calls{"QueryInterface _ContactItem", "QueryInterface _ContactItem", "QueryInterface _ContactItem"}));
    EXPECT_EQ(clock.sleeps, (std::vector<std::chrono::milliseconds>{200ms, 200ms}));
}
