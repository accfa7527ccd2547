#pragma once

#include "commercial/billing/rgvtables.h"
#include "invoiceeditfixture.h"
#include "platform/table/database.h"

#include <QDate>
#include <memory>

namespace rgvtest {

inline const QString kHeads = QStringLiteral("Rgvkopf.db");
inline const QString kLines = QStringLiteral("RgvSatz.DB");

// Invoice templates on the invoice-editing client (VAT code 1 at 16 % until
// 2006 and 19 % from 2007, object 500 of customer 100): templates and their
// lines written straight into their files, and a pair of table objects of
// the test's own with the template rules, as a window opens them.
// Base is the invoice-editing fixture or one built on it (the editor's).
template <class Base> class RgvTemplatesOn : public Base {
protected:
    void TearDown() override {
        lines.reset();
        head.reset();
        Base::TearDown();
    }

    // The pair of table objects: the lines follow the head, in position order.
    void openPair(const TRgvTableRules& rules = {}) {
        auto db = table::aliases::database(datatest::kDb);
        head = std::make_unique<table::Table>(db, kHeads);
        lines = std::make_unique<table::Table>(db, kLines);
        lines->setIndexName(QStringLiteral("S_IRef"));
        lines->setMaster(head.get(), {QStringLiteral("R_ID")}, {QStringLiteral("S_Ref")});
        BindRgvTableRules(*this->dm, *head, *lines, rules);
        head->open();
        lines->open();
    }

    void addTemplate(int id, const QString& nr, int objektNr,
                     const QList<std::pair<QString, QVariant>>& more = {}) {
        QList<std::pair<QString, QVariant>> values{{QStringLiteral("R_ID"), id},
                                                   {QStringLiteral("R_Nr"), nr},
                                                   {QStringLiteral("R_ObjektNr"), objektNr},
                                                   {QStringLiteral("R_KundenNr"), 100},
                                                   {QStringLiteral("R_Intervall"), 0}};
        values.append(more);
        this->addRow(kHeads, values);
    }
    // A normal line of code 1, its amounts as stored before (at 16 %).
    void addTemplateLine(int id, int ref, int posNr, double menge, double preis,
                         const QList<std::pair<QString, QVariant>>& more = {}) {
        QList<std::pair<QString, QVariant>> values{
            {QStringLiteral("S_ID"), id},
            {QStringLiteral("S_Ref"), ref},
            {QStringLiteral("S_PosNr"), posNr},
            {QStringLiteral("S_Posart"), 0},
            {QStringLiteral("S_PosTyp"), 4},
            {QStringLiteral("S_Menge"), menge},
            {QStringLiteral("S_EPreis"), preis},
            {QStringLiteral("S_MwstKz"), 1},
            {QStringLiteral("S_Mwst"), 16.0},
            {QStringLiteral("S_Netto"), menge * preis},
            {QStringLiteral("S_Rechmode"), 0},
            {QStringLiteral("S_Kurztext"), QStringLiteral("Zeile %1").arg(id)}};
        values.append(more);
        this->addRow(kLines, values);
    }
    // A stored field of a template (of its head by R_ID).
    QVariant stored(int id, const QString& field) { return this->headValue(kHeads, id, field); }
    // A stored field of a template line (by S_ID).
    QVariant storedLine(int id, const QString& field) {
        auto t = this->open(kLines);
        if (!t->locate({QStringLiteral("S_ID")}, {id}))
            return QStringLiteral("<kein Satz>");
        return t->field(field).value();
    }
    int lineCount(int ref) {
        auto t = this->open(kLines);
        int n = 0;
        for (t->first(); !t->eof() && !t->isEmpty(); t->next())
            n += FieldInt(*t, QStringLiteral("S_Ref")) == ref ? 1 : 0;
        return n;
    }
    // The activity number planned at the object.
    void planActivity(int objektNr, int taetigNr, int id = 1) {
        this->addRow(QStringLiteral("ObjTaet.db"), {{QStringLiteral("TS_ID"), id},
                                                    {QStringLiteral("TS_Objekt"), objektNr},
                                                    {QStringLiteral("TS_Taetigkeit"), taetigNr}});
    }
    QStringList errors() const { return this->presenter.texts(MessagePresenter::Kind::Error); }

    std::unique_ptr<table::Table> head;
    std::unique_ptr<table::Table> lines;
};

using RgvTemplates = RgvTemplatesOn<invoicetest::InvoiceEditing>;

} // namespace rgvtest
