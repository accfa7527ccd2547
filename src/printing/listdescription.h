#pragma once

// The short description of a master-data list: what the list shows, read from
// a JSON file. The list generator (listreport.h) turns it into the report
// definition with the frame every list shares; the list entries read it for
// the table settings they copy from the window's table.
//
//   {"formType": 18000, "class": "TQRKundList01", "reportTitle": "Druck Kundenliste",
//    "title": "Kundenliste",
//    "dataset": {"name": "TabKD", "table": "Kunden.DB", "index": "K_INr"},
//    "screen": {"table": "TabKunden", "copy": ["index", "filter"]},
//    "columns": [[{"caption": "Kd-Nr.", "field": "K_Nr", "width": 14, "align": "right"}, ...]],
//    "optional": [{"caption": "Name1", "field": "K_Name1"}],
//    "spare": [[1, 8], [18, 21]]}
//
// Keys of the description:
//   printDate    mask of the print date ("" for none); default "dd.mm.yyyy hh:nn' Uhr'"
//   printTime    mask of a second, optional time beside it
//   titleLabels  further labels of the title band ({"name", "caption"}), filled by the entry
//   titleLines   captioned fields of the title band (the company print)
//   titleWidth   mm of the title; the first title line continues it on its row
//   headInTitle  the page header leaves page 1 and the title band carries the list head
//   logo         the company logo QRImage1 in the title band
//   datasets     further datasets linked to the list's ("master", "masterFields", ...)
//   columns      the detail's lines; their captions make the column header
//   form         the detail as captioned fields under headings (no column header)
//   optional     fields present but off, with their captions, below the detail
//   group        a group band ("expression") with captioned fields before each row
//   subDetail    rows of a linked dataset after each row; their captions close the band before
//   footer       fields of the page footer above the page number
//   spare        ranges of the spare labels L_Reserve<n> the list carries

#include <QList>
#include <QString>
#include <QStringList>

class QByteArray;

struct ListItem {
    enum class Kind { Text, Wrap, Rich };
    QString caption;
    QString field;           // empty: a label only
    QString dataset;         // empty: the section's dataset
    double width = 0;        // mm; 0 runs to the end of the line
    double captionWidth = 0; // mm; a caption printed before the value on its line
    Kind kind = Kind::Text;
    QString align = QStringLiteral("left");
    QString mask;
    bool bold = false;
    bool optional = false;        // field and caption are off until a layout enables them
    bool captionOptional = false; // the field prints, its caption is off
};
using ListLine = QList<ListItem>;

struct ListLookup {
    QString field; // the looked-up field; also the name the list uses
    QString table;
    QString key; // field of the dataset
    QString on;  // field of the looked-up table
};

struct ListDataset {
    QString name;
    QString table;
    QString index;
    QString master;
    QStringList masterFields, detailFields;
    QList<ListLookup> lookups;
};

struct ListFormSection {
    QString heading;
    QList<ListItem> items;
};

struct ListLabel {
    QString name;
    QString caption;
};

struct ListDescription {
    QString fileName;
    int formType = 0;
    QString className;
    QString reportTitle;
    QString title;
    QString printDate;
    QString printTime;
    QList<ListLabel> titleLabels;
    QList<ListLine> titleLines;
    double titleWidth = 0;
    bool headInTitle = false;
    bool logo = false;
    QList<ListDataset> datasets; // the first one is the list's
    QString screenTable;         // the data module's table whose settings the entry copies
    QStringList screenCopy;      // "database", "tableName", "index", "filter"
    QList<ListLine> columns;
    QList<ListFormSection> form;
    QList<ListItem> optional;
    QString groupExpression;
    QList<ListLine> groupLines;
    ListDataset subDataset;
    QList<ListLine> subLines;
    QList<ListItem> subOptional;
    QList<ListItem> footer;
    QList<int> spare;

    bool hasSubDetail() const { return !subDataset.name.isEmpty(); }
};

// Raises DbError "Fehler in der Listenbeschreibung ..." naming the file and
// the element for unknown keys, wrong types and missing entries.
ListDescription ReadListDescription(const QByteArray& json, const QString& fileName);
