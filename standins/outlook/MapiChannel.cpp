#include "MapiChannel.h"

#include <oleauto.h>

#include "LiveObjects.h"
#include "MapiAnswers.h"
#include "MapiMessages.h"
#include "com/ComObject.h"

namespace outlook {

namespace {

class MapiChannel final : public com::ComObject<IDispatch> {
public:
    MapiChannel(SessionPtr session, size_t item) : session_(std::move(session)), item_(item) {}

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
        return resultOfAnswering([&] {
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
        });
    }

private:
    ~MapiChannel() override = default;

    LiveObject live_;
    SessionPtr session_;
    size_t item_;
};

}  // namespace

com::ComRef<IDispatch> createMapiChannel(const SessionPtr& session, size_t item) {
    return com::makeComObject<MapiChannel>(session, item);
}

}  // namespace outlook
