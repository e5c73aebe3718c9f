#include "MapiPropertiesProxy.h"

#include <oleauto.h>

#include "ContactMapiProp.h"
#include "Interfaces.h"
#include "LiveObjects.h"
#include "MapiChannel.h"
#include "MapiMessages.h"

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

class MapiPropertiesProxy final : public ContactMapiProp {
public:
    MapiPropertiesProxy() = default;

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
        if (channel_) {
            return E_UNEXPECTED;
        }
        const HRESULT result =
            CoUnmarshalInterface(stream, IID_IDispatch, reinterpret_cast<void**>(channel_.receive()));
        if (FAILED(result)) {
            channel_.detach();  // COM leaves no reference on failure
            return result;
        }
        return QueryInterface(iid, object);
    }

    HRESULT STDMETHODCALLTYPE ReleaseMarshalData(IStream* stream) override { return CoReleaseMarshalData(stream); }

    HRESULT STDMETHODCALLTYPE DisconnectObject(DWORD) override { return S_OK; }

private:
    ~MapiPropertiesProxy() override = default;

    // The server answers, or its message filter turns the call away.
    TagsAnswer tagsFor(ULONG nameCount, mapi::MAPINAMEID** names) override {
        Bytes answer;
        const HRESULT sent =
            exchange(channel_.get(), channel::getIDsFromNames, messages::encodeNames(nameCount, names), answer);
        return FAILED(sent) ? TagsAnswer{sent, std::nullopt} : messages::decodeTagsAnswer(answer);
    }

    ValuesAnswer valuesFor(const mapi::SPropTagArray* propTags) override {
        Bytes answer;
        const HRESULT sent = exchange(channel_.get(), channel::getProps, messages::encodeTags(propTags), answer);
        return FAILED(sent) ? ValuesAnswer{sent, std::nullopt} : messages::decodeValuesAnswer(answer);
    }

    LiveObject live_;
    com::ComRef<IDispatch> channel_;
};

class ProxyClassFactory final : public com::ComObject<IClassFactory> {
public:
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        return com::makeComObject<MapiPropertiesProxy>()->QueryInterface(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    ~ProxyClassFactory() override = default;

    LiveObject live_;
};

}  // namespace

HRESULT getMapiPropertiesProxyClassObject(REFIID iid, void** object) {
    return com::makeComObject<ProxyClassFactory>()->QueryInterface(iid, object);
}

}  // namespace outlook
