#pragma once

#include <QList>
#include <QString>
#include <functional>

class QWidget;

namespace table {
class Field;
class Table;
} // namespace table

// The double-click pickers that write an address or a person in charge into
// a document head field; both pause the timer work while they are open.

// Posts a pending edit of the field's record, then offers the address book
// at the address whose A_ID the field holds (grid height 360, at the main
// window's left + 80 and its top), sorted by sortField, which comes back as
// the picker leaves it. A chosen address's A_ID goes into the field (record
// put into edit state), posted when postAfter. True when it did.
bool PickAdressIntoField(table::Field& field, bool postAfter, QString& sortField);

// The staff picker from number 0 (grid height 200) below the control, 400
// pixels left of it (at least 0); a chosen member's match code
// (PersonalMatchOfNr) goes into the field and the record is posted. True
// when it did.
bool PickBetreuerIntoField(QWidget* control, table::Field& field);

// The payment-term picker at the head's R_ZahlBedID, opened at left, top; a
// chosen term goes into the head (ApplyZahlbedToKopf), which is posted.
// True when it did.
bool PickZahlbedIntoHead(table::Table& head, int left, int top);

// The address pop-up of the document editors and the address editor: the
// object's address, its billing address, the customer's address, an address
// from the address book (its picker at the main window's left + 80 and top)
// and the three further addresses, each into the head's address lines.
// post: the head is posted after the copy (the address editor writes only on
// "Überneh&men").
struct THeadAddressCommand {
    QString caption;
    std::function<void(table::Table& head)> run;
};
QList<THeadAddressCommand> HeadAddressCommands(bool post);
