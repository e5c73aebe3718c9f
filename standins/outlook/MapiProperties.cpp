#include "MapiProperties.h"

#include "CallAdmission.h"
#include "ContactMapiProp.h"
#include "Interfaces.h"
#include "LiveObjects.h"
#include "MapiChannel.h"

namespace outlook {

namespace {

class MapiProperties final : public ContactMapiProp {
public:
    MapiProperties(SessionPtr session, size_t item, bool marshalsItself)
        : session_(std::move(session)), item_(item), marshalsItself_(marshalsItself) {}

    // In process a busy Outlook turns the query for IMAPIProp away too.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object != nullptr && IsEqualIID(iid, mapi::IID_IMAPIProp)) {
            if (const HRESULT refused = admission::objectQuery(); FAILED(refused)) {
                *object = nullptr;
                return refused;
            }
        }
        if (object != nullptr && !marshalsItself_ && IsEqualIID(iid, IID_IMarshal)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        return ContactMapiProp::QueryInterface(iid, object);
    }

    // IMarshal: the marshalled form is a MapiChannel in the standard form.
    HRESULT STDMETHODCALLTYPE GetUnmarshalClass(REFIID, void*, DWORD, void*, DWORD, CLSID* clsid) override {
        if (clsid == nullptr) {
            return E_POINTER;
        }
        *clsid = CLSID_MapiPropertiesProxy;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetMarshalSizeMax(REFIID, void*, DWORD context, void* contextData, DWORD flags,
                                                DWORD* size) override {
        const com::ComRef<IDispatch> channel = createMapiChannel(session_, item_);
        return CoGetMarshalSizeMax(size, IID_IDispatch, channel.get(), context, contextData, flags);
    }

    HRESULT STDMETHODCALLTYPE MarshalInterface(IStream* stream, REFIID, void*, DWORD context, void* contextData,
                                               DWORD flags) override {
        const com::ComRef<IDispatch> channel = createMapiChannel(session_, item_);
        return CoMarshalInterface(stream, IID_IDispatch, channel.get(), context, contextData, flags);
    }

    HRESULT STDMETHODCALLTYPE UnmarshalInterface(IStream*, REFIID, void** object) override {
        if (object != nullptr) {
            *object = nullptr;
        }
        return E_UNEXPECTED;  // only the proxy unmarshals
    }

    HRESULT STDMETHODCALLTYPE ReleaseMarshalData(IStream* stream) override { return CoReleaseMarshalData(stream); }

    HRESULT STDMETHODCALLTYPE DisconnectObject(DWORD) override { return S_OK; }

private:
    ~MapiProperties() override = default;

    // In process, the object itself turns calls away in a busy window.
    HRESULT admitCall() override { return admission::objectCall(); }

    TagsAnswer tagsFor(ULONG nameCount, mapi::MAPINAMEID** names) override {
        return answerGetIDsFromNames(*session_, nameCount, names);
    }

    ValuesAnswer valuesFor(const mapi::SPropTagArray* propTags) override {
        return answerGetProps(*session_, item_, propTags);
    }

    LiveObject live_;
    SessionPtr session_;
    size_t item_;
    bool marshalsItself_;
};

// A MAPIOBJECT that gives no IMAPIProp in the client's own process.
class UnreachableMapiObject final : public com::ComObject<IUnknown> {
public:
    UnreachableMapiObject() = default;

private:
    ~UnreachableMapiObject() override = default;

    HRESULT queryOtherInterface(REFIID iid, void**) override {
        if (!IsEqualIID(iid, mapi::IID_IMAPIProp)) return E_NOINTERFACE;
        // A busy Outlook turns the query away before it could fail.
        const HRESULT admitted = admission::objectQuery();
        return FAILED(admitted) ? admitted : E_NOINTERFACE;
    }

    LiveObject live_;
};

}  // namespace

com::ComRef<IUnknown> createMapiObject(const SessionPtr& session, size_t item) {
    const bool reachable = session->profile().mapiObject == MapiObjectKind::imapiProp;
    if (!reachable && !servedOutOfProcess()) return com::makeComObject<UnreachableMapiObject>();
    com::ComRef<mapi::IMAPIProp> properties = com::makeComObject<MapiProperties>(session, item, reachable);
    return com::ComRef<IUnknown>(std::move(properties));
}

}  // namespace outlook
