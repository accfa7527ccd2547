#include "datasafety/datev/datevfixture.h"

#include <QDir>

using namespace Qt::StringLiterals;
using datevtest::DatevFixture;

namespace {

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

using DatevExportTest = DatevFixture;

TEST_F(DatevExportTest, ARunWritesTheBookingsAndTheControlFileAndCountsUp) {
    journal(1, 0, u"RE-1"_s, 100, 0, 100.0, 0);
    ASSERT_TRUE(run()) << errors().join(u'\n').toStdString();
    EXPECT_EQ(files(), (QStringList{u"DE001"_s, u"DV01"_s}));
    const QByteArray data = file(u"DE001"_s);
    EXPECT_EQ(data.size() % 256, 0);
    EXPECT_TRUE(data.contains(QByteArray("+10000a308400b10c190304d503e10100"_ba + bytes({0x1E}) +
                                         "AR RE-1"_ba + bytes({0x1C}) + "o1y"_ba)));
    EXPECT_TRUE(data.contains("x10000yz"));
    EXPECT_EQ(file(u"DV01"_s).size(), 128);
    EXPECT_TRUE(protocol.contains(u"       10    10100     8400    100,00 05.03.2004 AR RE-1"_s))
        << protocol.join(u'\n').toStdString();
    EXPECT_EQ(settingValue(u"E_DatevLastAbrechNr"_s).toInt(), 7);
    EXPECT_EQ(settingValue(u"E_DatevDatenTraegerNr"_s).toInt(), 12);
    EXPECT_TRUE(journalValue(u"RE-1"_s, u"R_Exported"_s).toBool());
    EXPECT_FALSE(journalValue(u"RE-1"_s, u"R_Selected"_s).toBool());
    EXPECT_TRUE(tmpprTables().isEmpty());
    EXPECT_TRUE(presenter.texts(MessagePresenter::Kind::Info)
                    .contains(u"Der Datev-Datenexport wurde erfolgreich abgeschlossen."_s));
}

TEST_F(DatevExportTest, ExportedRowsAreNotTakenAgainAndNoAnswerKeepsThemOpen) {
    journal(1, 0, u"RE-1"_s, 100, 0, 100.0, 0);
    ASSERT_TRUE(run(false));
    EXPECT_FALSE(journalValue(u"RE-1"_s, u"R_Exported"_s).toBool());
    EXPECT_FALSE(journalValue(u"RE-1"_s, u"R_Selected"_s).toBool());
    ASSERT_TRUE(run(true));
    EXPECT_TRUE(journalValue(u"RE-1"_s, u"R_Exported"_s).toBool());
    EXPECT_FALSE(run());
    EXPECT_TRUE(errors().contains(
        u"Für den angegebenen Zeitraum sind keine exportierbaren Daten vorhanden!"_s));
}

TEST_F(DatevExportTest, RangesAcrossYearsAreRefusedAndBackwardRangesExchanged) {
    journal(1, 0, u"RE-1"_s, 100, 0, 100.0, 0);
    setting(u"E_DatevDatumVon"_s, QDate(2004, 12, 1));
    setting(u"E_DatevDatumBis"_s, QDate(2005, 1, 31));
    EXPECT_FALSE(run());
    EXPECT_EQ(errors(), (QStringList{u"Export über Jahresgrenzen hinweg ist nicht erlaubt!"_s,
                                     u"Sie müssen zuerst Ihre Datev-Stammdaten eingeben!"_s}));
    EXPECT_TRUE(files().isEmpty());
    setting(u"E_DatevDatumVon"_s, QDate(2004, 3, 31));
    setting(u"E_DatevDatumBis"_s, QDate(2004, 3, 1));
    ASSERT_TRUE(run());
    EXPECT_EQ(settingValue(u"E_DatevDatumVon"_s).toDate(), QDate(2004, 3, 1));
    EXPECT_EQ(settingValue(u"E_DatevDatumBis"_s).toDate(), QDate(2004, 3, 31));
}

TEST_F(DatevExportTest, CountersWrapAt69And999) {
    journal(1, 0, u"RE-1"_s, 100, 0, 100.0, 0);
    setting(u"E_DatevLastAbrechNr"_s, 69);
    setting(u"E_DatevDatenTraegerNr"_s, 999);
    ASSERT_TRUE(run());
    EXPECT_EQ(settingValue(u"E_DatevLastAbrechNr"_s).toInt(), 1);
    EXPECT_EQ(settingValue(u"E_DatevDatenTraegerNr"_s).toInt(), 1);
    // Accounting key 000104 and carrier 001 in the header.
    EXPECT_EQ(file(u"DE001"_s).mid(3, 3), "001");
    EXPECT_EQ(file(u"DE001"_s).mid(22, 6), "000104");
}

TEST_F(DatevExportTest, TheSettingsAreCheckedBeforeAnythingIsWritten) {
    const struct {
        const char* field;
        QVariant value;
        QString message;
    } cases[] = {
        {"E_DatevBeraterNr", 0, u"Undefiniertes Datev-Stammfeld: Beraternummer"_s},
        {"E_DatevBeraterNr", 12345678, u"Ungültiges Datev-Stammfeld: Beraternummer"_s},
        {"E_DatevMandantenNr", 123456, u"Ungültiges Datev-Stammfeld: Mandantennummer"_s},
        {"E_DatevKontoNrLaenge", 0, u"Ungültiges Datev-Stammfeld: Kontonummern-Länge"_s},
        {"E_DatevKontoNrLaenge", 10, u"Ungültiges Datev-Stammfeld: Kontonummern-Länge"_s},
        {"E_DatevDoBuchungen", false, u"Sie haben keine Exportfunktion markiert!"_s},
    };
    journal(1, 0, u"RE-1"_s, 100, 0, 100.0, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        const QString field = QString::fromLatin1(c.field);
        const QVariant old = settingValue(field);
        setting(field, c.value);
        presenter.boxes.clear();
        EXPECT_FALSE(run());
        EXPECT_EQ(errors(),
                  (QStringList{c.message, u"Sie müssen zuerst Ihre Datev-Stammdaten eingeben!"_s}));
        EXPECT_TRUE(files().isEmpty());
        EXPECT_FALSE(journalValue(u"RE-1"_s, u"R_Selected"_s).toBool());
        setting(field, old);
    }
}

TEST_F(DatevExportTest, TheDebtorAccountComesFromTheJournalFrom1000On) {
    journal(1, 0, u"RE-1"_s, 100, 0, 100.0, 0, {{u"R_FKontoNr"_s, 999}});
    journal(2, 0, u"RE-2"_s, 100, 0, 50.0, 0, {{u"R_FKontoNr"_s, 1000}});
    journal(3, 0, u"RE-3"_s, 200, 0, 10.0, 0);
    ASSERT_TRUE(run());
    const QByteArray data = file(u"DE001"_s);
    EXPECT_TRUE(data.contains("b10c190304d503e10100"));
    EXPECT_TRUE(data.contains(QByteArray("b20c190304d503e1000"_ba + bytes({0x1E}))));
    // Customer 200 has no ledger account: its number stands in.
    EXPECT_TRUE(data.contains(QByteArray("b30c190304d503e200"_ba + bytes({0x1E}))));
}

TEST_F(DatevExportTest, CreditNotesAreNegativeAndSplitRowsGiveOneBookingPerBucket) {
    journal(1, 2, u"GS-1"_s, 100, 0, 119.0, 0);
    journal(2, 0, u"RE-2"_s, 100, 0, 100.0, 50.0);
    ASSERT_TRUE(run());
    const QByteArray data = file(u"DE001"_s);
    EXPECT_TRUE(data.contains("-11900a308400b10"));
    const qsizetype full = data.indexOf("+10000a308400b20");
    const qsizetype reduced = data.indexOf("+5000a208300b20");
    EXPECT_GE(full, 0);
    EXPECT_GT(reduced, full);
    EXPECT_TRUE(data.contains("x3100yz")); // -119 + 100 + 50
}

TEST_F(DatevExportTest, OwnRevenueAccountsAreAutomaticWithKontoAusRechnung) {
    journal(1, 0, u"RE-1"_s, 100, 0, 100.0, 0, {{u"R_FibuKonto2"_s, 8401}});
    setting(u"E_DatevKontoAusRechnung"_s, true);
    ASSERT_TRUE(run());
    EXPECT_TRUE(file(u"DE001"_s).contains("+10000a8401b10"));
}

TEST_F(DatevExportTest, AutomaticAccountsGetNoTaxKey) {
    journal(1, 0, u"RE-1"_s, 100, 0, 100.0, 0);
    setting(u"E_DatevEKonto16Auto"_s, true);
    ASSERT_TRUE(run());
    EXPECT_TRUE(file(u"DE001"_s).contains("+10000a8400b10"));
}

TEST_F(DatevExportTest, TheVatFreeKeyIsTakenPerRun) {
    journal(1, 0, u"RE-1"_s, 100, 40.0, 0, 0);
    setting(u"E_DatevStkz0"_s, 2);
    ASSERT_TRUE(run());
    EXPECT_EQ(stkz0, 2);
    // Key 2 takes the reduced-rate pair.
    EXPECT_TRUE(file(u"DE001"_s).contains("+4000a208300b10"));
    // A later run with 0 goes back to key 1; nothing carries over.
    journal(2, 0, u"RE-2"_s, 100, 40.0, 0, 0);
    setting(u"E_DatevStkz0"_s, 0);
    ASSERT_TRUE(run());
    EXPECT_EQ(stkz0, 1);
    EXPECT_TRUE(file(u"DE001"_s).contains("+4000a108100b20"));
}

TEST_F(DatevExportTest, AMissingDueDateWritesTheEmptyDate) {
    journal(1, 0, u"RE-1"_s, 100, 0, 100.0, 0, {{u"R_FaelligDatum"_s, QVariant()}});
    ASSERT_TRUE(run());
    EXPECT_TRUE(file(u"DE001"_s).contains("b10c301299d503"));
}

TEST_F(DatevExportTest, IncomingInvoicesTakeTheSuppliersAccount) {
    journal(1, 3, u"ER-1"_s, 70, 0, 119.0, 0);
    ASSERT_TRUE(run());
    const QByteArray data = file(u"DE001"_s);
    EXPECT_TRUE(data.contains(
        QByteArray("-11900a303400b10c190304d503e70070"_ba + bytes({0x1E}) + "ER ER-1"_ba)))
        << data.toStdString();
}

TEST_F(DatevExportTest, MissingAccountsAreAskedForAndAnEmptyAnswerStopsTheKind) {
    journal(1, 1, u"ER-1"_s, 99, 0, 10.0, 0);
    accounts = {4711, 0};
    EXPECT_FALSE(run());
    EXPECT_EQ(prompts, (QStringList{u"Erlöskonto zu ER ER-1"_s, u"Kreditorenkonto zu ER ER-1"_s}));
    EXPECT_TRUE(errors().contains(u"Ungültige oder fehlende Kontonummer! : ER ER-1"_s));
    EXPECT_TRUE(errors().contains(u"Beim Datev-Datenexport ist ein Fehler aufgetreten!"_s));
    EXPECT_TRUE(files().isEmpty());
    // The rows taken keep their mark until the next run.
    EXPECT_TRUE(journalValue(u"ER-1"_s, u"R_Selected"_s).toBool());
    EXPECT_EQ(settingValue(u"E_DatevLastAbrechNr"_s).toInt(), 6);
}

TEST_F(DatevExportTest, MasterDataAndPayrollFiles) {
    journal(1, 0, u"RE-1"_s, 100, 0, 100.0, 0);
    setting(u"E_DatevDoDebitoren"_s, true);
    setting(u"E_DatevDoKreditoren"_s, true);
    setting(u"E_DatevDoLohn"_s, true);
    addRow(u"Personal.DB"_s, {{u"P_ID"_s, 1}, {u"P_Nr"_s, 17}, {u"P_OptLohnexport"_s, true}});
    addRow(u"Personal.DB"_s, {{u"P_ID"_s, 2}, {u"P_Nr"_s, 18}, {u"P_OptLohnexport"_s, true}});
    addRow(u"Personal.DB"_s, {{u"P_ID"_s, 3}, {u"P_Nr"_s, 19}, {u"P_OptLohnexport"_s, false}});
    addRow(u"Zeitsum.DB"_s, {{u"ZS_ID"_s, 1},
                             {u"ZS_PersNo"_s, 17},
                             {u"ZS_Monat"_s, 3},
                             {u"ZS_Jahr"_s, 2004},
                             {u"ZS_StdUeb1"_s, 8.5}});
    addRow(u"Zeitsum.DB"_s,
           {{u"ZS_ID"_s, 2}, {u"ZS_PersNo"_s, 18}, {u"ZS_Monat"_s, 3}, {u"ZS_Jahr"_s, 2004}});
    addRow(u"Zeitsum.DB"_s, {{u"ZS_ID"_s, 3},
                             {u"ZS_PersNo"_s, 19},
                             {u"ZS_Monat"_s, 3},
                             {u"ZS_Jahr"_s, 2004},
                             {u"ZS_StdNormal"_s, 160.0}});
    ASSERT_TRUE(run()) << errors().join(u'\n').toStdString();
    EXPECT_EQ(files(), (QStringList{u"DE001"_s, u"DE002"_s, u"DE003"_s, u"DE004"_s, u"DV01"_s}));
    EXPECT_EQ(file(u"DV01"_s).size(), 64 * 5);
    const QByteArray debtors = file(u"DE002"_s);
    EXPECT_EQ(debtors.mid(6, 2), "13");
    EXPECT_TRUE(debtors.contains(QByteArray("t102"_ba + bytes({0x1E}) + "10100"_ba)));
    EXPECT_TRUE(
        debtors.contains(QByteArray("t107"_ba + bytes({0x1E}) + "K"_ba + bytes({0x94}) + "ln"_ba)));
    EXPECT_TRUE(file(u"DE003"_s).contains(QByteArray("t102"_ba + bytes({0x1E}) + "70070"_ba)));
    const QByteArray payroll = file(u"DE004"_s);
    // The surcharge factor of type 2 is the time type's 1.25.
    EXPECT_TRUE(payroll.contains("+850a1c2d17y+2500a20d17y"));
    EXPECT_TRUE(payroll.contains("x3350yz"));
    EXPECT_FALSE(payroll.contains("d19y"));
    EXPECT_TRUE(
        protocol.contains(u"    18    0,00    0,00    0,00    0,00    0,00    0,00    0,00"_s))
        << protocol.join(u'\n').toStdString();
    EXPECT_TRUE(protocol.contains(
        u"1     10100 MUELLER                100 50667  Köln                Domplatz 1         "_s))
        << protocol.join(u'\n').toStdString();
    // The control record of the payroll file carries "4" in "OBE".
    EXPECT_EQ(file(u"DV01"_s).right(1), "4");
}

TEST_F(DatevExportTest, AFailingThirdKindLeavesThePreviousSetAsItWas) {
    journal(1, 0, u"RE-1"_s, 100, 0, 100.0, 0);
    setting(u"E_DatevDoDebitoren"_s, true);
    ASSERT_TRUE(run());
    const QStringList before = files();
    const QByteArray oldBookings = file(u"DE001"_s);
    const QByteArray oldControl = file(u"DV01"_s);
    // A supplier whose record cannot fit a block fails the creditors.
    addRow(u"Liefrnt.DB"_s, {{u"K_ID"_s, 2},
                             {u"K_Nr"_s, 71},
                             {u"K_Match"_s, QString(40, u'M')},
                             {u"K_Ort"_s, QString(30, u'O')},
                             {u"K_Strasse"_s, QString(35, u'S')},
                             {u"K_Email"_s, QString(40, u'E')},
                             {u"K_Tel1"_s, QString(20, u'1')},
                             {u"K_Tel2"_s, QString(20, u'2')},
                             {u"K_Fax"_s, QString(20, u'3')},
                             {u"K_Plz"_s, QString(10, u'4')}});
    journal(2, 0, u"RE-2"_s, 100, 0, 30.0, 0);
    setting(u"E_DatevDoKreditoren"_s, true);
    presenter.boxes.clear();
    EXPECT_FALSE(run());
    EXPECT_TRUE(
        errors().contains(u"Der Datev-Datensatz zu Lieferant 71 ist länger als 250 Zeichen!"_s));
    EXPECT_EQ(files(), before);
    EXPECT_EQ(file(u"DE001"_s), oldBookings);
    EXPECT_EQ(file(u"DV01"_s), oldControl);
    EXPECT_EQ(settingValue(u"E_DatevLastAbrechNr"_s).toInt(), 7);
    EXPECT_TRUE(tmpprTables().isEmpty());
    EXPECT_TRUE(journalValue(u"RE-2"_s, u"R_Selected"_s).toBool());
    EXPECT_FALSE(journalValue(u"RE-2"_s, u"R_Exported"_s).toBool());
}

TEST_F(DatevExportTest, ASmallerRunRemovesTheDataFilesOfALargerOne) {
    journal(1, 0, u"RE-1"_s, 100, 0, 100.0, 0);
    setting(u"E_DatevDoDebitoren"_s, true);
    ASSERT_TRUE(run());
    setting(u"E_DatevDoBuchungen"_s, false);
    ASSERT_TRUE(run());
    EXPECT_EQ(files(), (QStringList{u"DE001"_s, u"DV01"_s}));
    EXPECT_EQ(file(u"DE001"_s).mid(6, 2), "13");
}

TEST_F(DatevExportTest, AnUnwritableTargetNamesTheFile) {
    journal(1, 0, u"RE-1"_s, 100, 0, 100.0, 0);
    setting(u"E_DatevPfad"_s, path(u"fehlt/nirgends"_s));
    EXPECT_FALSE(run());
    const QString name = QDir::toNativeSeparators(path(u"fehlt/nirgends/DE001"_s));
    EXPECT_TRUE(errors().contains(u"Datei %1 kann nicht erzeugt werden!"_s.arg(name)))
        << errors().join(u'\n').toStdString();
    EXPECT_TRUE(tmpprTables().isEmpty());
}

} // namespace
