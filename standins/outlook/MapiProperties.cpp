#include "MapiProperties.h"

#include "CallAdmission.h"
#include "ContactMapiProp.h"
#include "LiveObjects.h"

namespace standin::outlook {

namespace {

// IMAPIProp has no Outlook IID of its own; error information names the MAPI one.
const IID& errorInterface = mapi::IID_IMAPIProp;

class MapiProperties final : public mapiprops::ContactMapiProp<mapi::IMAPIProp> {
public:
    MapiProperties(SessionPtr itemSession, size_t itemPosition)
        : session(std::move(itemSession)), position(itemPosition) {}

    // In process a busy Outlook turns the query for IMAPIProp away too.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object != nullptr && IsEqualIID(iid, mapi::IID_IMAPIProp)) {
            if (const HRESULT refused = admission::objectQuery(); FAILED(refused)) {
                *object = nullptr;
                return refused;
            }
        }
        return ContactMapiProp::QueryInterface(iid, object);
    }

private:
    ~MapiProperties() override = default;

    // In process, the object itself turns calls away in a busy window.
    HRESULT admitCall() override { return admission::objectCall(); }

    mapiprops::TagsAnswer tagsFor(ULONG nameCount, mapi::MAPINAMEID** names) override {
        return mapiprops::answerGetIDsFromNames(session->call("IMAPIProp.GetIDsFromNames"), errorInterface, nameCount,
                                                names);
    }

    mapiprops::ValuesAnswer valuesFor(const mapi::SPropTagArray* propTags) override {
        return mapiprops::answerGetProps(session->call("IMAPIProp.GetProps"), errorInterface,
                                         session->profile().item(position).contact, propTags);
    }

    LiveObject live;
    SessionPtr session;
    size_t position;
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

    LiveObject live;
};

}  // namespace

com::ComRef<IUnknown> createMapiObject(const SessionPtr& session, size_t item) {
    // The local server hands out the IMAPIProp itself: with no proxy for
    // IMAPIProp registered, COM's standard marshalling cannot carry it.
    const bool reachable = session->profile().mapiObject == profile::MapiObjectKind::imapiProp;
    if (!reachable && !servedOutOfProcess()) return com::makeComObject<UnreachableMapiObject>();
    com::ComRef<mapi::IMAPIProp> properties = com::makeComObject<MapiProperties>(session, item);
    return com::ComRef<IUnknown>(std::move(properties));
}

}  // namespace standin::outlook
