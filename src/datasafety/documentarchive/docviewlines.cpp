#include "datasafety/documentarchive/docviewlines.h"

#include "core/data/reportsource.h"

using namespace Qt::StringLiterals;

namespace {

// The text up to the next ":", taken away with it; empty and nothing taken
// when there is none.
QString takeField(QString& rest) {
    const qsizetype colon = rest.indexOf(u':');
    if (colon < 0)
        return {};
    const QString field = rest.left(colon);
    rest.remove(0, colon + 1);
    return field;
}

const QList<DocViewKind>& kinds() {
    static const QList<DocViewKind> list = {
        {u"AN"_s, u"Angkopf.DB"_s, 12000},
        {u"AU"_s, u"Auftkopf.DB"_s, 13000},
        {u"AR"_s, u"Rechkopf.DB"_s, 10000, RgSourceInvoices},
        {u"LS"_s, u"LSkopf.DB"_s, 40000},
        {u"GS"_s, u"GSkopf.DB"_s, 14000},
        {u"OP"_s, u"OpKopf.DB"_s, 10000, RgSourceOpenItems},
        {u"ER"_s, u"ERkopf.DB"_s, 57000},
        // The incoming-invoice print reads the open ones for any source but 0.
        {u"OE"_s, u"OERkopf.DB"_s, 57000, RgSourceOpenItems},
        {u"BE"_s, u"bestkopf.db"_s, 76000},
    };
    return list;
}

} // namespace

int DocViewRow::key() const {
    bool ok = false;
    const int id = source.mid(1, 8).trimmed().toInt(&ok);
    return ok ? id : 0;
}

QList<DocViewRow> ParseDocViewLines(const QStringList& lines) {
    QList<DocViewRow> rows;
    for (const QString& line : lines) {
        if (!line.contains(u':'))
            continue;
        DocViewRow row;
        row.code = line.left(2);
        QString rest = line.mid(3);
        row.source = rest.left(9);
        rest.remove(0, 10);
        row.number = takeField(rest);
        row.date = takeField(rest);
        row.amount = rest;
        rows.append(row);
    }
    return rows;
}

const DocViewKind& DocViewKindOf(const QString& code) {
    for (const DocViewKind& kind : kinds())
        if (kind.code == code)
            return kind;
    return kinds().first();
}
