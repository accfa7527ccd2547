#pragma once

#include <QRect>
#include <QString>
#include <functional>

// The two windows the offer editor opens beside its lines: the calculation
// sheet ("Kalukulat.(F7)") and the cover-letter editor ("Anschreib.(F9)").
// They live in their own units and fill these hooks at start-up; while a hook
// is empty the editor shows its button disabled with a tooltip saying so.
// The editor posts pending changes of lines and head before it calls a hook;
// the offer is the current head of the data module's TabAngKopf.
struct OfferEditorHooks {
    // The calculation sheet of the offer with this R_ID and R_Nr; modal.
    std::function<void(int angId, const QString& angNr)> showCalc;
    // The cover-letter editor, placed and sized as the offer editor; modal.
    std::function<void(const QRect& editorGeometry)> showNotes;
};

OfferEditorHooks& OfferEditorHooksRegistry();
