#pragma once

#include <QString>
#include <QStringList>

namespace table {
class Table;
}

// The two filters of the address list, which share the address table's one
// filtering switch: the filter edited last decides whether it is on.

// The text with every character that is not a digit 0 to 9 removed.
QString PhoneDigits(const QString& text);

// The phone filter in force (empty: none).
const QString& AdressPhoneFilter();
// Keeps text as the phone filter of the data module's address table and
// switches its filtering on for a non-empty text, off for an empty one.
void SetAdressPhoneFilter(const QString& text);
void SetAdressPhoneFilter(table::Table& adress, const QString& text);
// The record test of the address table: true without phone filter, else when
// the filter occurs in the digits of phone | mobile | fax.
bool AdressMatchesPhoneFilter(table::Table& adress);

// Makes text the filter expression of the address table and switches
// filtering on for a non-empty text, off for an empty one. A text that does
// not parse or names an unknown field raises the German message and leaves
// the filter in force as it was.
void SetAdressFilterExpression(table::Table& adress, const QString& text);

// The history of filter expressions, newest first, at most 32 entries.
constexpr int AdrSucheHistorySize = 32;
// The history after a used expression: an empty or known text changes
// nothing; a new one goes to the top, the oldest dropped when full.
QStringList AddAdrSucheHistory(QStringList history, const QString& text);
// The expression filter as the address list applies it: text becomes the
// filter expression (a refused text raises before anything changed, so it
// neither replaces the filter in force nor reaches the history), then a new
// text goes into the history, which is saved when it changed. Returns the
// history.
QStringList ApplyAdressFilterExpression(table::Table& adress, const QString& text,
                                        const QStringList& history);
// "AdrSuche.txt" in the selection directory.
QString AdrSucheFileName();
// The lines of the history file; empty when it does not exist.
QStringList LoadAdrSucheHistory();
// Raises the German message naming the file when it cannot be written.
void SaveAdrSucheHistory(const QStringList& history);
