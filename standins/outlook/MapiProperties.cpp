#include "MapiProperties.h"

#include <atomic>

#include "BusyWindows.h"
#include "Interfaces.h"
#include "LiveObjects.h"
#include "MapiAnswers.h"
#include "MapiChannel.h"
#include "MapiPropBase.h"

namespace outlook {

namespace {

class MapiProperties final : public MapiPropBase, public IMarshal {
public:
    MapiProperties(SessionPtr session, size_t item) : session_(std::move(session)), item_(item) {}
    MapiProperties(const MapiProperties&) = delete;
    MapiProperties& operator=(const MapiProperties&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, mapi::IID_IMAPIProp)) {
            *object = static_cast<mapi::IMAPIProp*>(this);
        } else if (IsEqualIID(iid, IID_IMarshal)) {
            *object = static_cast<IMarshal*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }

    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG remaining = --references_;
        if (remaining == 0) {
            delete this;
        }
        return remaining;
    }

    HRESULT STDMETHODCALLTYPE GetIDsFromNames(ULONG nameCount, mapi::MAPINAMEID** names, ULONG,
                                              mapi::SPropTagArray** propTags) override {
        if (busy::objectTurnsAway()) {
            return RPC_E_CALL_REJECTED;
        }
        if (propTags == nullptr) {
            return MAPI_E_INVALID_PARAMETER;
        }
        return deliverTags(answerGetIDsFromNames(*session_, nameCount, names), propTags);
    }

    HRESULT STDMETHODCALLTYPE GetProps(mapi::SPropTagArray* propTags, ULONG, ULONG* valueCount,
                                       mapi::SPropValue** values) override {
        if (busy::objectTurnsAway()) {
            return RPC_E_CALL_REJECTED;
        }
        if (valueCount == nullptr || values == nullptr) {
            return MAPI_E_INVALID_PARAMETER;
        }
        return deliverValues(answerGetProps(*session_, item_, propTags), valueCount, values);
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
        IDispatch* channel = createMapiChannel(session_, item_);
        const HRESULT result = CoGetMarshalSizeMax(size, IID_IDispatch, channel, context, contextData, flags);
        channel->Release();
        return result;
    }

    HRESULT STDMETHODCALLTYPE MarshalInterface(IStream* stream, REFIID, void*, DWORD context, void* contextData,
                                               DWORD flags) override {
        IDispatch* channel = createMapiChannel(session_, item_);
        const HRESULT result = CoMarshalInterface(stream, IID_IDispatch, channel, context, contextData, flags);
        channel->Release();
        return result;
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

    LiveObject live_;
    std::atomic<ULONG> references_{1};
    SessionPtr session_;
    size_t item_;
};

}  // namespace

IUnknown* createMapiProperties(const SessionPtr& session, size_t item) {
    return static_cast<mapi::IMAPIProp*>(new MapiProperties(session, item));
}

}  // namespace outlook
