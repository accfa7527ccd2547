#pragma once

#include <functional>

class QMimeData;

// What the object form reaches in forms built apart from it; until the
// article, activity and operations forms install their part, the entries
// that need it stay disabled.
struct ObjektFormHooks {
    // The article form on the object's own stock ("Lager").
    std::function<void(int objId, int objNr)> showArtikelForm;
    // The activity number a drag from the activity form carries; 0 for any other drag.
    std::function<int(const QMimeData& data)> taetigNrOfDrag;
    // The planning check ("Kontroll-Liste erstellen") of the operations side.
    std::function<void()> showPlanCheck;
    // The appointment preview ("Termin-Vorschau") of the object activity
    // with that key (TS_ID), over every tour.
    std::function<void(int activityId)> showTermPreview;
};
ObjektFormHooks& ObjektFormHooksRegistry();
