#include "ItemCollection.h"

#include "ItemObjects.h"
#include "Results.h"

namespace standin::outlook {

ItemCollection::ItemCollection(SessionPtr session) : DispatchObject(std::move(session), ::outlook::ItemsInterface) {
    addProperty("Count", ResultKind::Value, [this](VARIANT& result) {
        setLong(result, static_cast<LONG>(this->session()->profile().itemCount()));
    });
    addIntegerMethod("Item", ResultKind::Object, [this](LONG index, VARIANT& result) {
        if (index < 1 || static_cast<size_t>(index) > this->session()->profile().itemCount()) return DISP_E_BADINDEX;
        setObject(result, createItemObject(this->session(), static_cast<size_t>(index) - 1));
        return S_OK;
    });
}

}  // namespace standin::outlook
