#include "ItemCollection.h"

#include "ItemObjects.h"
#include "Results.h"

namespace outlook {

ItemCollection::ItemCollection(SessionPtr session) : DispatchObject(std::move(session), ItemsInterface) {
    addMember("Count", ResultKind::Value, [this](const Arguments& arguments, VARIANT& result) {
        if (const HRESULT count = arguments.expectCount(0); FAILED(count)) {
            return count;
        }
        setLong(result, static_cast<LONG>(this->session()->profile().itemCount()));
        return S_OK;
    });
    addMember("Item", ResultKind::Object, [this](const Arguments& arguments, VARIANT& result) {
        LONG index = 0;
        HRESULT outcome = arguments.expectCount(1);
        if (SUCCEEDED(outcome)) {
            outcome = arguments.integer(0, index);
        }
        if (FAILED(outcome)) {
            return outcome;
        }
        if (index < 1 || static_cast<size_t>(index) > this->session()->profile().itemCount()) {
            return DISP_E_BADINDEX;
        }
        setObject(result, createItemObject(this->session(), static_cast<size_t>(index) - 1));
        return S_OK;
    });
}

}  // namespace outlook
