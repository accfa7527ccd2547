#pragma once

#include <QList>
#include <QString>

struct ListFormDecl;
class TF_ListForm;

// The long-lived list forms of the master data, in the order the program
// creates them at start-up (after the calendar): activities, tours,
// objects, address book, articles, staff, customers, emergency services,
// suppliers. A form declared on the list-form host adds its line to the
// table in listforms.cpp at its place in that order.
struct ListFormEntry {
    QString formClass;
    ListFormDecl (*declare)();
};
const QList<ListFormEntry>& ListFormEntries();
// A list form declared above the master data (the tour form) joins the
// long-lived forms: registered before start-up creates them, it is created
// right after the entry named `after` (at the end when there is none). A
// form class registered twice keeps its first place.
void AddListFormEntry(const ListFormEntry& entry, const QString& after);
// Every declaration, for the declaration test.
QList<ListFormDecl> ListFormDecls();

// Held by the program from start-up to its end: creates every declared
// list form in order, each reported on the start-up screen, and answers the
// data module's hooks for them (the record rules' "show the record again",
// the timer's "is the form of this table visible", the customer, supplier
// and article forms' turnover tab and chart). A client switch frees the
// forms before their tables go; the next opener builds them anew.
class LongLivedForms {
public:
    LongLivedForms();
    ~LongLivedForms();
    LongLivedForms(const LongLivedForms&) = delete;
    LongLivedForms& operator=(const LongLivedForms&) = delete;
};

// The form when it exists; nullptr otherwise.
TF_ListForm* FindListForm(const QString& formClass);
// Shows the form without a modal loop and brings it to the front; builds
// it first when it does not exist (after a client switch). Raises for a
// form class that no entry declares.
TF_ListForm& ShowListForm(const QString& formClass);
