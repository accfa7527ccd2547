#pragma once

// The one loader of report definitions. A definition file is JSON:
//   {"class": "TQRKundList01", "title": "Druck Kundenliste",
//    "orientation": "portrait", "margins": {"left": 20, "top": 10, "right": 10, "bottom": 10},
//    "options": {"firstPageHeader": true, "lastPageFooter": true, "printIfEmpty": true},
//    "font": {"name": "Arial", "size": 10}, "dataset": "TabKD",
//    "datasets": [{"name": "TabKD", "table": "Kunden.DB", "index": "K_INr",
//                  "lookups": [{"name": "Zahlart", "table": "Zahlart.DB",
//                               "keyFields": ["K_Zahlart"], "lookupKeys": ["ZA_ID"],
//                               "result": "ZA_Text"}]}],
//    "bands": [{"class": "TQRBand", "name": "DetailBand1", "type": "detail", "height": 19,
//               "controls": [{"class": "TQRDBText", "name": "K_Nr", "field": "K_Nr",
//                             "left": 0, "top": 2, "width": 60, "height": 15}]}]}
// Bands come in component order, each followed by its controls. Every key is
// checked: unknown keys, wrong types, duplicate names (ignoring case), bands
// and datasets that do not exist and malformed expressions are errors naming
// the file and the element.

#include "platform/report/reportdef.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

namespace report {

// Raises DbError "Fehler in der Berichtsdefinition ..." for a faulty file.
ReportDefinition readReportDefinition(const QByteArray& json, const QString& fileName);

// The definitions of the program, read from the JSON files of directories
// (resource directories such as ":/reports") the first time a class is asked for.
void addReportDirectory(const QString& directory);
// Definitions made by the program (generated from shorter descriptions): the
// source gives its JSON texts, each named for messages, at the same moment.
struct ReportText {
    QString name;
    QByteArray json;
};
using ReportSource = std::function<QList<ReportText>()>;
void addReportSource(ReportSource source);
// Raises DbError when no definition has that class name.
std::shared_ptr<const ReportDefinition> reportDefinition(const QString& className);
// Whether a definition has that class name; a faulty definition file raises.
bool hasReportDefinition(const QString& className);

} // namespace report
