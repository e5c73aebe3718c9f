#include "platform/com/BusyRetry.h"
#include "platform/com/ComError.h"
#include "platform/com/ComObject.h"
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
using Calls = std::vector<std::string>;

namespace {

// What the fake objects of a test saw, in order, as Wine's conformance tests
// write calls down; kept after the objects are gone.
struct Log {
    Calls lookups;
    Calls calls;
    std::vector<BSTR> strings;  // BSTR arguments as Invoke received them
    long references = 0;        // held on all fake objects now
    long objects = 0;           // alive now
};

std::string ascii(const std::wstring& text) {
    std::string narrow;
    for (const wchar_t unit : text) narrow.push_back(static_cast<char>(unit));
    return narrow;
}

// DISPIDs by name for the whole run, whichever object is asked.
std::vector<std::wstring>& memberNames() {
    static std::vector<std::wstring> names;
    return names;
}

DISPID dispidOf(const std::wstring& name) {
    std::vector<std::wstring>& names = memberNames();
    auto found = std::find(names.begin(), names.end(), name);
    if (found == names.end()) found = names.insert(names.end(), name);
    return static_cast<DISPID>(found - names.begin() + 1);
}

std::string describe(const VARIANT& argument, Log& log) {
    switch (argument.vt) {
    case VT_I4: return " VT_I4:" + std::to_string(argument.lVal);
    case VT_INT: return " VT_INT:" + std::to_string(argument.intVal);
    case VT_BSTR: log.strings.push_back(argument.bstrVal); return " VT_BSTR:" + ascii(argument.bstrVal);
    default: return " VT " + std::to_string(argument.vt);
    }
}

// An Outlook object answering members by name from the test's table.
class FakeDispatch final : public com::ComObject<IDispatch> {
public:
    using Answer = std::function<HRESULT(const DISPPARAMS& parameters, VARIANT& result, EXCEPINFO* exception)>;

    explicit FakeDispatch(Log& record) : log(record) {
        ++log.objects;
        ++log.references;
    }

    std::map<std::wstring, Answer> answers;  // a member without one returns VT_EMPTY
    HRESULT contactQuery = E_NOINTERFACE;    // the answer to a query for _ContactItem
    int lookupRejections = 0;                // calls to turn away as a busy Outlook does
    int invokeRejections = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        const char* name = IsEqualIID(iid, outlook::ContactItemInterface.iid) ? "_ContactItem"
                           : IsEqualIID(iid, IID_IDispatch)                   ? "IDispatch"
                                                                              : "another interface";
        log.calls.push_back(std::string("QueryInterface ") + name);
        return ComObject::QueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        ++log.references;
        return ComObject::AddRef();
    }
    ULONG STDMETHODCALLTYPE Release() override {
        --log.references;
        return ComObject::Release();
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* dispids) override {
        log.lookups.push_back("GetIDsOfNames " + ascii(names[0]));
        if (lookupRejections > 0) {
            --lookupRejections;
            return RPC_E_CALL_REJECTED;
        }
        dispids[0] = dispidOf(names[0]);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                                     EXCEPINFO* exception, UINT*) override {
        const std::wstring name = memberNames().at(static_cast<std::size_t>(dispid) - 1);
        std::string call = "Invoke " + ascii(name) + (flags == DISPATCH_METHOD ? " call" : " get");
        for (UINT n = 0; n < parameters->cArgs; ++n) call += describe(parameters->rgvarg[n], log);
        log.calls.push_back(call);
        if (invokeRejections > 0) {
            --invokeRejections;
            return RPC_E_CALL_REJECTED;
        }
        const auto answer = answers.find(name);
        return answer == answers.end() ? S_OK : answer->second(*parameters, *result, exception);
    }

private:
    ~FakeDispatch() override { --log.objects; }

    HRESULT queryOtherInterface(REFIID iid, void** object) override {
        if (!IsEqualIID(iid, outlook::ContactItemInterface.iid)) return E_NOINTERFACE;
        return FAILED(contactQuery) ? contactQuery : handOut<IDispatch>(object);
    }

    Log& log;
};

ComRef<IDispatch> dispatchOf(const ComRef<FakeDispatch>& object) { return ComRef<IDispatch>(object.get()); }

// Answers `type` (VT_I4, VT_BOOL, VT_DISPATCH or VT_UNKNOWN) holding `value` or a new reference to `object`.
FakeDispatch::Answer returning(VARTYPE type, LONG value, ComRef<FakeDispatch> object = nullptr) {
    return [=](const DISPPARAMS&, VARIANT& result, EXCEPINFO*) {
        result.vt = type;
        if (type == VT_I4) result.lVal = value;
        if (type == VT_BOOL) result.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
        if (object) result.pdispVal = dispatchOf(object).detach();  // punkVal too: the same pointer
        return S_OK;
    };
}

constexpr HRESULT lateCode = static_cast<HRESULT>(0x80040119L);
HRESULT STDAPICALLTYPE fillInLater(EXCEPINFO* exception) {
    exception->scode = lateCode;
    return S_OK;
}

template <typename Call>
HRESULT failureOf(Call&& call) {
    try {
        call();
    } catch (const com::ComError& error) {
        return error.result();
    }
    return S_OK;
}

class LateBinding : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(log.objects, 0) << "fake objects left alive"; }
    ComRef<FakeDispatch> make() { return com::makeComObject<FakeDispatch>(log); }
    Log log;
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
    const Calls afterFirstCall = log.lookups;  // empty when an earlier test of the run asked
    EXPECT_LE(afterFirstCall.size(), 1u);
    EXPECT_TRUE(outlook::Recipient(dispatchOf(first)).resolve());
    EXPECT_FALSE(outlook::Recipient(dispatchOf(second)).resolve());
    EXPECT_EQ(log.lookups, afterFirstCall);
    EXPECT_EQ(log.calls, (Calls{"Invoke Resolve call", "Invoke Resolve call", "Invoke Resolve call"}));

    const com::DispatchMember journal{outlook::ContactItemInterface, L"Journal"};  // this test's own
    for (const ComRef<FakeDispatch>& object : {first, second, first}) com::getProperty(object.get(), journal);
    EXPECT_EQ(log.lookups.size(), afterFirstCall.size() + 1);
    EXPECT_EQ(log.lookups.back(), "GetIDsOfNames Journal");
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
    folder->answers[L"Items"] = returning(VT_DISPATCH, 0, items);
    items->answers[L"Count"] = returning(VT_I4, 2);
    items->answers[L"Item"] = [first = returning(VT_DISPATCH, 0, contact), second = returning(VT_UNKNOWN, 0, other)](
                                  const DISPPARAMS& parameters, VARIANT& result, EXCEPINFO* exception) {
        return (parameters.rgvarg[0].lVal == 1 ? first : second)(parameters, result, exception);
    };
    contact->contactQuery = S_OK;
    contact->answers[L"MAPIOBJECT"] = returning(VT_UNKNOWN, 0, message);

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
    EXPECT_EQ(log.calls, (Calls{"Invoke Items get", "Invoke Count get", "Invoke Item call VT_I4:1",
                                "QueryInterface _ContactItem", "Invoke MAPIOBJECT get", "Invoke Item call VT_I4:2",
                                "QueryInterface IDispatch", "QueryInterface _ContactItem", "Invoke Item call VT_I4:2",
                                "QueryInterface IDispatch", "QueryInterface _ContactItem"}));
}

TEST_F(LateBinding, ACallTurnedAwayAsBusyIsMadeAgain) {
    const ComRef<FakeDispatch> object = make();
    object->lookupRejections = object->invokeRejections = 1;
    object->answers[L"Patience"] = returning(VT_I4, 7);
    const com::DispatchMember patience{outlook::ApplicationInterface, L"Patience"};

    const auto start = std::chrono::steady_clock::now();
    com::Variant result = com::getProperty(object.get(), patience);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 2 * com::busyRetry::pause - 20ms);
    EXPECT_EQ(com::takeLong(result), 7);
    EXPECT_EQ(log.lookups, (Calls{"GetIDsOfNames Patience", "GetIDsOfNames Patience"}));
    EXPECT_EQ(log.calls, (Calls{"Invoke Patience get", "Invoke Patience get"}));
}
