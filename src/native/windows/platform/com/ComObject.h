#pragma once

#include "ComRef.h"
#include "InterfaceId.h"

#include <atomic>
#include <tuple>
#include <utility>

namespace com {

// IUnknown for a COM object that implements `Interfaces`, in the manner of
// WRL's RuntimeClass. QueryInterface answers IUnknown (through the first
// interface) and the IID of each listed interface; AddRef and Release keep
// an atomic count, and the last Release deletes the object. A class derives
// from it, implements the methods of its interfaces and is created with
// makeComObject.
template <typename... Interfaces>
class ComObject : public Interfaces... {
    static_assert(sizeof...(Interfaces) > 0, "a COM object implements at least one interface");

public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (IsEqualIID(iid, IID_IUnknown)) return handOut<FirstInterface>(object);
        const bool listed =
            ((IsEqualIID(iid, InterfaceId<Interfaces>::value()) && SUCCEEDED(handOut<Interfaces>(object))) || ...);
        return listed ? S_OK : queryOtherInterface(iid, object);
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }

    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG remaining = --references;
        if (remaining == 0) delete this;
        return remaining;
    }

protected:
    ComObject() noexcept = default;
    virtual ~ComObject() = default;

    // Asked for an IID that is neither IUnknown nor one of the list. An
    // object that decides at run time which further IIDs it answers (an
    // interface known only as an IID, or one whose query may fail)
    // overrides this and answers with handOut. `*object` is null on entry.
    virtual HRESULT queryOtherInterface(REFIID, void**) { return E_NOINTERFACE; }

    // Hands this object out as `Interface`, with a reference for the caller.
    template <typename Interface>
    HRESULT handOut(void** object) noexcept {
        *object = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }

private:
    using FirstInterface = std::tuple_element_t<0, std::tuple<Interfaces...>>;

    std::atomic<ULONG> references{1};
};

// Creates a COM object whose one reference the result holds. Like
// std::make_unique, raises std::bad_alloc when memory runs short.
template <typename Object, typename... Arguments>
ComRef<Object> makeComObject(Arguments&&... arguments) {
    return ComRef<Object>::adopt(new Object(std::forward<Arguments>(arguments)...));
}

}  // namespace com
