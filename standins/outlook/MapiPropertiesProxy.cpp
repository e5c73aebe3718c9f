#include "MapiPropertiesProxy.h"

#include <oleauto.h>

#include <atomic>
#include <exception>

#include "Interfaces.h"
#include "LiveObjects.h"
#include "MapiAnswers.h"
#include "MapiChannel.h"
#include "MapiMessages.h"
#include "MapiPropBase.h"

namespace outlook {

namespace {

// Sends one request to the channel and returns the answer's message.
HRESULT exchange(IDispatch* channel, DISPID method, const Bytes& request, Bytes& answer) {
    if (channel == nullptr) {
        return E_UNEXPECTED;
    }
    VARIANT argument;
    HRESULT result = messages::toVariant(request, argument);
    if (FAILED(result)) {
        return result;
    }
    DISPPARAMS parameters{&argument, nullptr, 1, 0};
    VARIANT reply;
    VariantInit(&reply);
    result =
        channel->Invoke(method, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, &reply, nullptr, nullptr);
    VariantClear(&argument);
    if (SUCCEEDED(result) && !messages::fromVariant(reply, answer)) {
        result = RPC_E_INVALID_DATA;
    }
    VariantClear(&reply);
    return result;
}

class MapiPropertiesProxy final : public MapiPropBase, public IMarshal {
public:
    MapiPropertiesProxy() = default;
    MapiPropertiesProxy(const MapiPropertiesProxy&) = delete;
    MapiPropertiesProxy& operator=(const MapiPropertiesProxy&) = delete;

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
        if (propTags == nullptr) {
            return MAPI_E_INVALID_PARAMETER;
        }
        *propTags = nullptr;
        try {
            Bytes answer;
            const HRESULT sent =
                exchange(channel_, channel::getIDsFromNames, messages::encodeNames(nameCount, names), answer);
            return FAILED(sent) ? sent : deliverTags(messages::decodeTagsAnswer(answer), propTags);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (const std::exception&) {
            return RPC_E_INVALID_DATA;
        }
    }

    HRESULT STDMETHODCALLTYPE GetProps(mapi::SPropTagArray* propTags, ULONG, ULONG* valueCount,
                                       mapi::SPropValue** values) override {
        if (valueCount == nullptr || values == nullptr) {
            return MAPI_E_INVALID_PARAMETER;
        }
        *valueCount = 0;
        *values = nullptr;
        try {
            Bytes answer;
            const HRESULT sent = exchange(channel_, channel::getProps, messages::encodeTags(propTags), answer);
            return FAILED(sent) ? sent : deliverValues(messages::decodeValuesAnswer(answer), valueCount, values);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (const std::exception&) {
            return RPC_E_INVALID_DATA;
        }
    }

    // IMarshal: only the unmarshalling end is served; a proxy is not passed on.
    HRESULT STDMETHODCALLTYPE GetUnmarshalClass(REFIID, void*, DWORD, void*, DWORD, CLSID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetMarshalSizeMax(REFIID, void*, DWORD, void*, DWORD, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE MarshalInterface(IStream*, REFIID, void*, DWORD, void*, DWORD) override {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE UnmarshalInterface(IStream* stream, REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (channel_ != nullptr) {
            return E_UNEXPECTED;
        }
        const HRESULT result = CoUnmarshalInterface(stream, IID_IDispatch, reinterpret_cast<void**>(&channel_));
        if (FAILED(result)) {
            channel_ = nullptr;
            return result;
        }
        return QueryInterface(iid, object);
    }

    HRESULT STDMETHODCALLTYPE ReleaseMarshalData(IStream* stream) override { return CoReleaseMarshalData(stream); }

    HRESULT STDMETHODCALLTYPE DisconnectObject(DWORD) override { return S_OK; }

private:
    ~MapiPropertiesProxy() override {
        if (channel_ != nullptr) {
            channel_->Release();
        }
    }

    LiveObject live_;
    std::atomic<ULONG> references_{1};
    IDispatch* channel_ = nullptr;
};

class ProxyClassFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) {
            return E_NOINTERFACE;
        }
        *object = static_cast<IClassFactory*>(this);
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

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        auto* proxy = new MapiPropertiesProxy();
        const HRESULT result = proxy->QueryInterface(iid, object);
        proxy->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    ~ProxyClassFactory() = default;

    LiveObject live_;
    std::atomic<ULONG> references_{1};
};

}  // namespace

HRESULT getMapiPropertiesProxyClassObject(REFIID iid, void** object) {
    auto* factory = new ProxyClassFactory();
    const HRESULT result = factory->QueryInterface(iid, object);
    factory->Release();
    return result;
}

}  // namespace outlook
