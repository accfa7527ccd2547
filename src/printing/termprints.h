#pragma once

// The prints of the appointments (TermObj.DB): the four appointment lists of
// the appointment window (31000 to 34000, one per filter choice) and the work
// sheet of one object on one day (41000), which the daily lists print too.
// Each entry prints (preview: shows and returns when the preview is closed)
// with the layout file of the chosen print form (empty: the shipped layout);
// a call while the same entry is printing does nothing. The prints only read:
// no shared table moves. Errors (a filter that cannot be read) reach the
// caller after everything was closed.

#include <QString>
#include <QStringView>

// filter: the appointment window's filter (empty: every appointment), in the
// order of the date index, the latest first. The subtitle L_Titel2 prints
// dateText + ", " + objektText ("vom 01.03.2001 bis 31.03.2001, alle Objekte").
void PrintTermList(bool preview, const QString& filter, const QString& dateText,
                   const QString& objektText, const QString& layoutFile);
void PrintTermListTag(bool preview, const QString& filter, const QString& dateText,
                      const QString& objektText, const QString& layoutFile);
void PrintTermListObjekt(bool preview, const QString& filter, const QString& dateText,
                         const QString& objektText, const QString& layoutFile);
void PrintTermListObjektTag(bool preview, const QString& filter, const QString& dateText,
                            const QString& objektText, const QString& layoutFile);

using TermListEntry = void (*)(bool preview, const QString& filter, const QString& dateText,
                               const QString& objektText, const QString& layoutFile);
// The list entry of that name ("PrintTermList" ...); nullptr for any other.
TermListEntry FindTermListEntry(QStringView name);

// The work sheet ("Arbeitsschein für den" dateText) of the appointments the
// filter passes ("T_Objekt=12 AND T_Date=15.11.2024", with " AND
// T_Erledigt='false'" for open ones only): the object text and address as
// given, the object's description and notes (empty when the object of the
// first appointment does not exist), one block per appointment, and
// "Lieferschein" with the delivery-note number only when the first
// appointment has a delivery note.
void PrintArbeitsschein(bool preview, const QString& filter, const QString& dateText,
                        const QString& objektText, const QString& objektAdresse,
                        const QString& layoutFile);
