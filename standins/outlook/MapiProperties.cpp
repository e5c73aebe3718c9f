#include "MapiProperties.h"

#include "BusyWindows.h"
#include "ContactMapiProp.h"
#include "Interfaces.h"
#include "LiveObjects.h"
#include "MapiChannel.h"

namespace outlook {

namespace {

class MapiProperties final : public ContactMapiProp {
public:
    MapiProperties(SessionPtr session, size_t item) : session_(std::move(session)), item_(item) {}

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
        const platform::ComRef<IDispatch> channel = createMapiChannel(session_, item_);
        return CoGetMarshalSizeMax(size, IID_IDispatch, channel.get(), context, contextData, flags);
    }

    HRESULT STDMETHODCALLTYPE MarshalInterface(IStream* stream, REFIID, void*, DWORD context, void* contextData,
                                               DWORD flags) override {
        const platform::ComRef<IDispatch> channel = createMapiChannel(session_, item_);
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
    HRESULT admitCall() override { return busy::objectTurnsAway() ? RPC_E_CALL_REJECTED : S_OK; }

    TagsAnswer tagsFor(ULONG nameCount, mapi::MAPINAMEID** names) override {
        return answerGetIDsFromNames(*session_, nameCount, names);
    }

    ValuesAnswer valuesFor(const mapi::SPropTagArray* propTags) override {
        return answerGetProps(*session_, item_, propTags);
    }

    LiveObject live_;
    SessionPtr session_;
    size_t item_;
};

}  // namespace

platform::ComRef<mapi::IMAPIProp> createMapiProperties(const SessionPtr& session, size_t item) {
    return platform::makeComObject<MapiProperties>(session, item);
}

}  // namespace outlook
