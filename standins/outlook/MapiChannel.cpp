#include "MapiChannel.h"

#include <oleauto.h>

#include <atomic>
#include <exception>

#include "LiveObjects.h"
#include "MapiAnswers.h"
#include "MapiMessages.h"

namespace outlook {

namespace {

class MapiChannel final : public IDispatch {
public:
    MapiChannel(SessionPtr session, size_t item) : session_(std::move(session)), item_(item) {}
    MapiChannel(const MapiChannel&) = delete;
    MapiChannel& operator=(const MapiChannel&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch)) {
            return E_NOINTERFACE;
        }
        *object = static_cast<IDispatch*>(this);
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

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** typeInfo) override {
        if (typeInfo != nullptr) {
            *typeInfo = nullptr;
        }
        return DISP_E_BADINDEX;
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;  // the proxy calls by DISPID
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispId, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        if (parameters == nullptr || parameters->cArgs != 1 || parameters->cNamedArgs != 0 || result == nullptr) {
            return DISP_E_BADPARAMCOUNT;
        }
        Bytes request;
        if (!messages::fromVariant(parameters->rgvarg[0], request)) {
            return DISP_E_TYPEMISMATCH;
        }
        try {
            switch (dispId) {
            case channel::getIDsFromNames: {
                messages::DecodedNames names(request);
                return messages::toVariant(
                    messages::encodeAnswer(answerGetIDsFromNames(*session_, names.count(), names.names())), *result);
            }
            case channel::getProps: {
                const messages::DecodedTags tags(request);
                return messages::toVariant(messages::encodeAnswer(answerGetProps(*session_, item_, tags.tags())),
                                           *result);
            }
            default: return DISP_E_MEMBERNOTFOUND;
            }
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (const std::exception&) {
            return RPC_E_INVALID_DATA;
        }
    }

private:
    ~MapiChannel() = default;

    LiveObject live_;
    std::atomic<ULONG> references_{1};
    SessionPtr session_;
    size_t item_;
};

}  // namespace

IDispatch* createMapiChannel(const SessionPtr& session, size_t item) { return new MapiChannel(session, item); }

}  // namespace outlook
