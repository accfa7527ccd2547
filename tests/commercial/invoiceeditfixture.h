#pragma once

#include "documentrulesfixture.h"

#include <QDate>

namespace invoicetest {

// The document rules with what an invoice editor needs around them: VAT
// code 1 at 16 % until the end of 2006 and 19 % from 2007, the invoice lines
// in position order, source documents of other kinds (written straight into
// their files, working or archive database) and a reader of the invoice's
// lines.
class InvoiceEditing : public doctest::DocumentRules {
protected:
    void SetUp() override {
        DocumentRules::SetUp();
        auto rates = open(QStringLiteral("Mwstsatz.db"));
        while (!rates->isEmpty()) {
            rates->first();
            rates->deleteRecord();
        }
        rates.reset();
        const struct {
            int id, code;
            double rate;
            QDate from, to;
        } rows[] = {
            {1, 0, 0.0, QDate(2000, 1, 1), QDate(2100, 12, 31)},
            {2, 1, 16.0, QDate(2000, 1, 1), QDate(2006, 12, 31)},
            {3, 1, 19.0, QDate(2007, 1, 1), QDate(2100, 12, 31)},
            {4, 2, 7.0, QDate(2000, 1, 1), QDate(2100, 12, 31)},
        };
        for (const auto& r : rows)
            addRow(QStringLiteral("Mwstsatz.db"), {{QStringLiteral("Mwst_ID"), r.id},
                                                   {QStringLiteral("Mwst_Nr"), r.code},
                                                   {QStringLiteral("Mwst_Satz"), r.rate},
                                                   {QStringLiteral("Mwst_GueltigVon"), r.from},
                                                   {QStringLiteral("Mwst_GueltigBis"), r.to}});
        for (table::Table* t : dm->tables())
            RefreshIfActive(*t);
    }

    // A document head written straight into its file.
    void addSourceHead(const QString& file, int id, const QString& nr, int objektNr,
                       const QString& alias = datatest::kDb) {
        addRow(file,
               {{QStringLiteral("R_ID"), id},
                {QStringLiteral("R_Nr"), nr},
                {QStringLiteral("R_ObjektNr"), objektNr},
                {QStringLiteral("R_DatumDruck"), QDate(2006, 12, 1)}},
               alias);
    }
    struct SourceLine {
        int id;
        int posNr;
        int posArt;
        double menge;
        double geliefert = 0;
        int posTyp = 4;
        int matId = 0;
    };
    // A line written straight into its file: no rules, nothing booked.
    void addSourceLine(const QString& file, int ref, const SourceLine& s,
                       const QString& alias = datatest::kDb) {
        QList<std::pair<QString, QVariant>> values{
            {QStringLiteral("S_ID"), s.id},
            {QStringLiteral("S_Ref"), ref},
            {QStringLiteral("S_PosNr"), s.posNr},
            {QStringLiteral("S_PosArt"), s.posArt},
            {QStringLiteral("S_PosTyp"), s.posTyp},
            {QStringLiteral("S_MatID"), s.matId},
            {QStringLiteral("S_Menge"), s.menge},
            {QStringLiteral("S_EPreis"), 10.0},
            {QStringLiteral("S_MwstKz"), 1},
            {QStringLiteral("S_Kurztext"), QStringLiteral("Zeile %1").arg(s.id)}};
        auto t = open(file, alias);
        if (t->findField(QStringLiteral("S_MengeGeliefert")))
            values.append({QStringLiteral("S_MengeGeliefert"), s.geliefert});
        t.reset();
        addRow(file, values, alias);
    }

    // Opens the shared invoice objects with the lines in position order and
    // appends a posted manual invoice dated the given day.
    int newInvoice(const QDate& date = QDate(2006, 12, 15), int objektNr = 500) {
        table::Table& head = dm->TabRechKopf();
        table::Table& lines = dm->TabRechSatz();
        if (!lines.isOpen())
            lines.open();
        lines.setIndexName(QStringLiteral("S_IRef"));
        if (!head.isOpen())
            head.open();
        head.append();
        head[QStringLiteral("R_Nr")] = QStringLiteral("*000001");
        head[QStringLiteral("R_ObjektNr")] = objektNr;
        head[QStringLiteral("R_DatumDruck")] = date;
        head[QStringLiteral("R_DatumErstell")] = date;
        head[QStringLiteral("R_Creator")] = 1;
        head[QStringLiteral("R_Buchung")] = 0;
        head.post();
        return head[QStringLiteral("R_ID")].asInteger();
    }

    // The invoice's lines in position order.
    struct Line {
        int posNr;
        double menge;
        int quelle;
        int refId;
        int posArt;
        QString kurztext;
        int erloesKonto;
    };
    std::vector<Line> invoiceLines(int headId) {
        auto t = open(QStringLiteral("Rechsatz.db"));
        t->setIndexName(QStringLiteral("S_IRef"));
        t->setRange({headId}, {headId});
        std::vector<Line> result;
        for (t->first(); !t->eof() && !t->isEmpty(); t->next())
            result.push_back(
                {FieldInt(*t, QStringLiteral("S_PosNr")), FieldFloat(*t, QStringLiteral("S_Menge")),
                 FieldInt(*t, QStringLiteral("S_Quelle")), FieldInt(*t, QStringLiteral("S_RefID")),
                 FieldInt(*t, QStringLiteral("S_PosArt")),
                 FieldText(*t, QStringLiteral("S_Kurztext")),
                 FieldInt(*t, QStringLiteral("S_ErloesKonto"))});
        return result;
    }
    QVariant headValue(const QString& file, int id, const QString& field,
                       const QString& alias = datatest::kDb) {
        auto t = open(file, alias);
        if (!t->locate({QStringLiteral("R_ID")}, {id}))
            return QStringLiteral("<kein Satz>");
        return t->field(field).value();
    }
};

} // namespace invoicetest
