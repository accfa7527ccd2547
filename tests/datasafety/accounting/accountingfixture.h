#pragma once

#include "../interchange/interchangefixture.h"
#include "datasafety/accounting/accountingexports.h"
#include "datasafety/autobackup.h"
#include "platform/sql/qtprinters.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QDate>
#include <QStringList>

namespace accountingtest {

using namespace Qt::StringLiterals;
using Field = std::pair<QString, QVariant>;

// A client with the data module, an import/export directory of the test's
// own and a booking journal filled per test; the backup service is one that
// only notes its comments.
class AccountingFixture : public interchangetest::InterchangeFixture {
protected:
    void SetUp() override {
        InterchangeFixture::SetUp();
        m_savedBackup = AutoBackupServiceRegistry();
        AutoBackupServiceRegistry() = {[] { return true; },
                                       [this](const QString& comment) { backups << comment; }};
    }
    void TearDown() override {
        AutoBackupServiceRegistry() = m_savedBackup;
        InterchangeFixture::TearDown();
    }

    // A journal row: record kind, number and print date (invalid: none),
    // with gross 119 = net 100 + VAT 19 at VAT code 1 unless `more` says
    // otherwise.
    void booking(int id, int satzart, const QString& nr, const QDate& date,
                 const QList<Field>& more = {}) {
        QList<Field> row = {{u"R_ID"_s, id},           {u"R_Nr"_s, nr},
                            {u"R_NrNum"_s, id * 10},   {u"R_KundenNr"_s, 100 + id},
                            {u"R_Satzart"_s, satzart}, {u"R_Netto"_s, 100.0},
                            {u"R_Netto1"_s, 100.0},    {u"R_Brutto"_s, 119.0},
                            {u"R_Brutto1"_s, 119.0},   {u"R_Mwst"_s, 19.0},
                            {u"R_Mwst1"_s, 19.0},      {u"R_Exported"_s, false}};
        if (date.isValid())
            row.append({u"R_DatumDruck"_s, date});
        addRow(u"raliste.db"_s, datatest::WithValues(row, more));
    }

    QVariant journalValue(const QString& nr, const QString& field) {
        auto t = open(u"raliste.db"_s);
        return t->locate({u"R_Nr"_s}, {nr}) ? t->field(field).value() : QVariant();
    }
    // The numbers of the journal rows whose boolean field is true, in key order.
    QStringList journalWith(const QString& field) {
        auto t = open(u"raliste.db"_s);
        QStringList numbers;
        for (t->first(); !t->eof() && !t->isEmpty(); t->next())
            if (t->field(field).asBooleanOr(false))
                numbers << t->field(u"R_Nr"_s).asString();
        return numbers;
    }
    QStringList tmpprTables() {
        return table::aliases::database(u"LumoDB"_s)->tableNames().filter(u"Tmppr"_s);
    }
    QStringList errors() const { return presenter.texts(MessagePresenter::Kind::Error); }

    QStringList backups;

private:
    AutoBackupService m_savedBackup;
};

} // namespace accountingtest
