#pragma once

#include "commercial/commercialrulesfixture.h"
#include "commercial/documentrulesfixture.h"
#include "commercial/documents/documentrules.h"
#include "datasafety/autobackup.h"
#include "platform/table/database.h"
#include "platform/table/session.h"

#include <QDate>

namespace invoiceruntest {

using Kind = MessagePresenter::Kind;

using doctest::LockedElsewhere;

// Customers 100 and 200 with objects 500 (customer 100) and 600 (customer
// 200); the invoice numbers are "RE-" and five digits from counter 1; the
// invoice tables are open as the invoice list opens them and the backup
// offer is recorded.
class InvoiceRun : public commercialtest::CommercialRules {
protected:
    void SetUp() override {
        CommercialRules::SetUp();
        addCustomer(1, 100);
        addCustomer(2, 200);
        addObject(5, 500, 100);
        addObject(6, 600, 200);
        setCompanyField(QStringLiteral("F_FormatNrRg"), QStringLiteral("RE-00000"));
        setCompanyField(QStringLiteral("F_NextNrRg"), 1);
        m_savedBackup = AutoBackupServiceRegistry();
        AutoBackupServiceRegistry() = {[] { return true; },
                                       [this](const QString& c) { backups.append(c); }};
        OpenRechnungTables(*dm, false);
        refreshAll();
    }
    void TearDown() override {
        CloseRechnungTables(*dm);
        AutoBackupServiceRegistry() = m_savedBackup;
        CommercialRules::TearDown();
    }

    void refreshAll() {
        for (table::Table* t : dm->tables())
            RefreshUnlessEditing(*t);
    }

    struct Invoice {
        int id;
        int objekt = 500;
        int kunde = 100;
        double netto = 100;
        double brutto = 119;
        QDate datum = QDate(2026, 3, 10);
        bool marked = true;
        int buchung = 0;
        int intervall = 0;
        QString nr = {}; // "*" and the id in six digits when empty
    };
    void addInvoice(const Invoice& i) {
        QList<std::pair<QString, QVariant>> v{
            {QStringLiteral("R_ID"), i.id},
            {QStringLiteral("R_Nr"),
             i.nr.isEmpty() ? QStringLiteral("*%1").arg(i.id, 6, 10, QLatin1Char('0')) : i.nr},
            {QStringLiteral("R_ObjektNr"), i.objekt},
            {QStringLiteral("R_KundenNr"), i.kunde},
            {QStringLiteral("R_Netto"), i.netto},
            {QStringLiteral("R_Brutto"), i.brutto},
            {QStringLiteral("R_Selected"), i.marked},
            {QStringLiteral("R_Buchung"), i.buchung},
            {QStringLiteral("R_Intervall"), i.intervall}};
        if (i.datum.isValid())
            v.append({QStringLiteral("R_DatumDruck"), i.datum});
        addRow(QStringLiteral("Rechkopf.DB"), v);
    }
    // An article line (kind 0) of the invoice.
    void addLine(int id, int ref, double netto, int artikel = 0, int posArt = 0, int posTyp = 0,
                 int konto = 8400) {
        addRow(QStringLiteral("Rechsatz.db"), {{QStringLiteral("S_ID"), id},
                                               {QStringLiteral("S_Ref"), ref},
                                               {QStringLiteral("S_PosNr"), id * 100},
                                               {QStringLiteral("S_PosArt"), posArt},
                                               {QStringLiteral("S_PosTyp"), posTyp},
                                               {QStringLiteral("S_MatID"), artikel},
                                               {QStringLiteral("S_Netto"), netto},
                                               {QStringLiteral("S_ErloesKonto"), konto}});
    }

    QVariant valueOf(const QString& file, const QString& keyField, int key, const char* field) {
        auto t = open(file);
        if (!t->locate({keyField}, {key}))
            return QStringLiteral("<kein Satz>");
        return t->field(QString::fromLatin1(field)).value();
    }
    QVariant invoice(int id, const char* field) {
        return valueOf(QStringLiteral("Rechkopf.DB"), QStringLiteral("R_ID"), id, field);
    }
    bool exists(const QString& file, const QString& keyField, int key) {
        return open(file)->locate({keyField}, {key});
    }
    QVariant customer(int nr, const char* field) {
        return valueOf(QStringLiteral("Kunden.DB"), QStringLiteral("K_Nr"), nr, field);
    }
    int counter() {
        return valueOf(QStringLiteral("Firmen.DB"), QStringLiteral("F_ID"), firmenId(),
                       "F_NextNrRg")
            .toInt();
    }
    int firmenId() {
        auto t = open(QStringLiteral("Firmen.DB"));
        t->first();
        return t->field(0).asInteger();
    }
    // The month turnover of a customer or an article (0 when missing).
    double monthTurnover(const char* file, const char* owner, int key, const QDate& d) {
        auto t = open(QString::fromLatin1(file));
        if (!t->locate(
                {QString::fromLatin1(owner), QStringLiteral("U_Jahr"), QStringLiteral("U_Monat")},
                {key, d.year(), d.month()}))
            return 0;
        return t->field(QStringLiteral("U_Betrag")).asFloatOr(0);
    }
    // The revenue booked to the object in the month (all cost types).
    double objectRevenue(int objektId, const QDate& d) {
        auto t = open(QStringLiteral("KostSumH.db"));
        if (!t->locate({QStringLiteral("K_Jahr"), QStringLiteral("K_Monat"),
                        QStringLiteral("K_Kostart"), QStringLiteral("K_ObjektID")},
                       {d.year(), d.month(), -1, objektId}))
            return 0;
        return t->field(QStringLiteral("K_Erloes")).asFloatOr(0);
    }

    QStringList backups;

private:
    AutoBackupService m_savedBackup;
};

} // namespace invoiceruntest
