#pragma once

#include "core/data/clientdbfixture.h"
#include "datasafety/datev/datevexport.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QStringList>

namespace datevtest {

using namespace Qt::StringLiterals;
using Field = std::pair<QString, QVariant>;

// A client with the DATEV settings row, two customers, a supplier, staff with
// their monthly hours, and a target directory; journal rows are added per test.
class DatevFixture : public datatest::ClientDbFixture {
protected:
    void SetUp() override {
        ClientDbFixture::SetUp();
        target = path(u"datev/"_s);
        QDir().mkpath(target);
        addRow(u"ExpStamm.DB"_s, {{u"E_ID"_s, 1},
                                  {u"E_DatevNamensKuerzel"_s, u"HM"_s},
                                  {u"E_DatevBeraterNr"_s, 1234567},
                                  {u"E_DatevMandantenNr"_s, 12345},
                                  {u"E_DatevBeraterName"_s, u"Berater"_s},
                                  {u"E_DatevPasswort"_s, u"geh1"_s},
                                  {u"E_DatevDatenTraegerNr"_s, 11},
                                  {u"E_DatevLastAbrechNr"_s, 6},
                                  {u"E_DatevPfad"_s, target},
                                  {u"E_DatevEKonto16"_s, 8400},
                                  {u"E_DatevEKonto7"_s, 8300},
                                  {u"E_DatevEKonto0"_s, 8100},
                                  {u"E_DatevWKonto16"_s, 3400},
                                  {u"E_DatevWKonto7"_s, 3300},
                                  {u"E_DatevWKonto0"_s, 3100},
                                  {u"E_DatevKontoNrLaenge"_s, 4},
                                  {u"E_DatevStkz0"_s, 0},
                                  {u"E_DatevDatumVon"_s, QDate(2004, 3, 1)},
                                  {u"E_DatevDatumBis"_s, QDate(2004, 3, 31)},
                                  {u"E_DatevDoBuchungen"_s, true},
                                  {u"E_Datev_Format"_s, 0}});
        addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 1},
                                {u"K_Nr"_s, 100},
                                {u"K_Match"_s, u"MUELLER"_s},
                                {u"K_FibuKonto"_s, 10100},
                                {u"K_Plz"_s, u"50667"_s},
                                {u"K_Ort"_s, u"Köln"_s},
                                {u"K_Strasse"_s, u"Domplatz 1"_s}});
        addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 2}, {u"K_Nr"_s, 200}, {u"K_Match"_s, u"SCHMIDT"_s}});
        addRow(u"Liefrnt.DB"_s, {{u"K_ID"_s, 1},
                                 {u"K_Nr"_s, 70},
                                 {u"K_Match"_s, u"GROSSHANDEL"_s},
                                 {u"K_Fibukonto"_s, 70070}});
    }

    // A journal row: record kind, number, customer, gross per VAT bucket.
    void journal(int id, int satzart, const QString& nr, int kunde, double b0, double b1, double b2,
                 QList<Field> more = {}) {
        QList<Field> row = {{u"R_ID"_s, id},
                            {u"R_Nr"_s, nr},
                            {u"R_NrNum"_s, id * 10},
                            {u"R_KundenNr"_s, kunde},
                            {u"R_Satzart"_s, satzart},
                            {u"R_DatumDruck"_s, QDate(2004, 3, 5)},
                            {u"R_FaelligDatum"_s, QDate(2004, 3, 19)},
                            {u"R_Brutto"_s, b0 + b1 + b2},
                            {u"R_Brutto0"_s, b0},
                            {u"R_Brutto1"_s, b1},
                            {u"R_Brutto2"_s, b2},
                            {u"R_Exported"_s, false}};
        addRow(u"raliste.db"_s, datatest::WithValues(row, more));
    }

    void setting(const QString& field, const QVariant& value) {
        auto t = open(u"ExpStamm.DB"_s);
        t->first();
        t->edit();
        t->field(field).setValue(value);
        t->post();
    }
    QVariant settingValue(const QString& field) {
        auto t = open(u"ExpStamm.DB"_s);
        t->first();
        return t->field(field).value();
    }
    QVariant journalValue(const QString& nr, const QString& field) {
        auto t = open(u"raliste.db"_s);
        return t->locate({u"R_Nr"_s}, {nr}) ? t->field(field).value() : QVariant();
    }

    // Runs "Ausführen" with the backup question answered No and the closing
    // question answered as given; accounts asked for come from the list.
    bool run(bool markExported = true) {
        presenter.answers = {false, markExported};
        datev::ExportUi ui;
        ui.protocol = [this](const QString& line) { protocol << line; };
        ui.clearProtocol = [this] { protocol.clear(); };
        ui.askAccountNumber = [this](const QString& prompt) {
            prompts << prompt;
            return accounts.isEmpty() ? 0 : accounts.takeFirst();
        };
        datev::DatevExport exporter(ui);
        auto settings = open(u"ExpStamm.DB"_s);
        settings->first();
        const bool ok = exporter.execute(*settings);
        stkz0 = exporter.stkz0();
        return ok;
    }

    QByteArray file(const QString& name) const {
        QFile f(target + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList files() const { return QDir(target).entryList(QDir::Files, QDir::Name); }
    QStringList tmpprTables() {
        return table::aliases::database(u"LumoDB"_s)->tableNames().filter(u"Tmppr"_s);
    }
    QStringList errors() const { return presenter.texts(MessagePresenter::Kind::Error); }

    QString target;
    QStringList protocol;
    QStringList prompts;
    QList<int> accounts;
    int stkz0 = 0;
};

} // namespace datevtest
