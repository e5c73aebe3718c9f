#include "export/EmailAddresses.h"

#include "export/RoadReports.h"

namespace exporting {

namespace {

const connection::MapiEntryPoints noMapi{};

}  // namespace

// The roads in the order the run tries them, each taken until it cannot
// serve the run:
// 1. The contact's own MAPI object (MAPIOBJECT): one call in Outlook's
//    process for the six values, where that object can be used here. It
//    cannot from another process than Outlook's, so on most machines the
//    first contact closes this road.
// 2. A MAPI session of the exporter's own on Outlook's profile: a few calls
//    in this process a contact, none of them guarded by Outlook's security
//    prompt. It needs MAPI of Outlook's bitness, a logon and the contacts'
//    store.
// 3. The object model's e-mail members, which Outlook's security prompt
//    guards: where the prompt is shown, nobody may be there to answer it. It
//    reads any contact, so it is last, and a contact that a MAPI road could
//    not read takes it too.
EmailAddresses::EmailAddresses(const outlook::NameSpace& nameSpace, const outlook::Folder& contactsFolder,
                               const connection::MapiEntryPoints* mapi, text::RecordEncoding encoding)
    : resolver(nameSpace, encoding),
      mapiObject(mapi != nullptr ? mapi->MAPIFreeBuffer : nullptr, resolver),
      session(mapi != nullptr ? *mapi : noMapi, nameSpace, contactsFolder, resolver),
      objectModel(resolver),
      roads{&mapiObject, &session, &objectModel},
      current(mapi != nullptr ? 0 : roads.size() - 1) {}

void EmailAddresses::write(CurrentContact& contact, JsonList& addresses) {
    if (roads[current] == &objectModel) announceObjectModel();
    for (;;) {
        switch (roads[current]->write(contact, addresses)) {
        case RoadAnswer::written: return;
        case RoadAnswer::contactNotRead: objectModel.write(contact, addresses); return;
        case RoadAnswer::closed: takeNextRoad(); break;
        }
    }
}

void EmailAddresses::takeNextRoad() noexcept {
    ++current;
    if (roads[current] == &objectModel) announceObjectModel();
}

void EmailAddresses::announceObjectModel() noexcept {
    if (objectModelAnnounced) return;
    objectModelAnnounced = true;
    roadReports::objectModelFromHere();
}

}  // namespace exporting
