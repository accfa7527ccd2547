#include "accountingfixture.h"
#include "core/files/programdirs.h"
#include "core/values/datetext.h"
#include "datasafety/accounting/invoiceexporttable.h"
#include "datasafety/interchange/exportrun.h"
#include "datasafety/shippeddefinitions.h"

#include <QDir>
#include <QRegularExpression>
#include <optional>

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

const QString kBackupQuestion = u"Sie sollten vor dem Datenexport eine Datensicherung vornehmen!\r"
                                u"Möchten Sie jetzt die Daten sichern?"_s;
const QString kMarkQuestion =
    u"Sollen die übergebenen Rechnungen als exportiert markiert werden?"_s;
const QString kNothing =
    u"Für den angegebenen Zeitraum sind keine exportierbaren Daten vorhanden!"_s;

// Notes whether a write transaction was open whenever a box appears.
struct TransactionWatcher : frametest::ObservingPresenter {
    explicit TransactionWatcher(MessagePresenter& inner)
        : ObservingPresenter(inner, [this](Kind, const QString&) {
              depths << table::aliases::database(u"LumoDB"_s)->transactionDepth();
          }) {}
    QList<int> depths;
};

// The exports with the windows replaced: the month picker answers from the
// test, the export runs without its window, and the export and the protocol
// note what they were asked, which bookings were marked then and whether a
// transaction was open.
class AccountingExportsTest : public accountingtest::AccountingFixture {
protected:
    struct Protocol {
        JournalProtocol request;
        QStringList marked;
        int depth = -1;
    };

    void SetUp() override {
        AccountingFixture::SetUp();
        m_savedUi = AccountingExportUiRegistry();
        EnsureShippedDefinitions(ImExDir);
        AccountingExportUi& ui = AccountingExportUiRegistry();
        ui.selectMonth = [this](int& month, int& year, int minYear, int maxYear,
                                const QString& caption) {
            pickers << u"%1|%2/%3|%4-%5"_s.arg(caption).arg(month).arg(year).arg(minYear).arg(
                maxYear);
            if (!chosenMonth)
                return false;
            month = chosenMonth->month();
            year = chosenMonth->year();
            return true;
        };
        ui.runExport = [this](table::Table& table, const QString& caption,
                              const QString& definitionFile, const QString& outputFile,
                              const QString& filter) {
            exports << table.tableName() + u'|' + caption + u'|' + definitionFile + u'|' +
                           outputFile + u'|' + filter;
            markedAtExport << journalWith(u"R_Selected"_s);
            depthAtExport << table::aliases::database(u"LumoDB"_s)->transactionDepth();
            if (throwInExport)
                throw DbError(u"Platte voll"_s);
            ExportObserver observer;
            ExportRun* running = nullptr;
            if (cancelExport)
                observer.poll = [&running] { running->cancel(); };
            ExportRun run(table, ImExDir + definitionFile, ImExDir + outputFile, filter, observer);
            running = &run;
            run.run();
            statuses << run.status();
            return run.succeeded();
        };
        ui.printJournal = [this](const JournalProtocol& request) {
            protocols.append({request, journalWith(u"R_Selected"_s),
                              table::aliases::database(u"LumoDB"_s)->transactionDepth()});
            if (throwInPrint)
                throw DbError(u"Drucker nicht bereit"_s);
        };
    }
    void TearDown() override {
        AccountingExportUiRegistry() = m_savedUi;
        AccountingFixture::TearDown();
    }

    InvoiceExportOutcome exportInvoices(const QString& entry) {
        return RunInvoiceExport(AccountingExportOf(entry));
    }
    QStringList lines(const QString& file) {
        QString text = QString::fromLatin1(readFile(file));
        QStringList result = text.split(u"\r\n"_s);
        if (!result.isEmpty() && result.last().isEmpty())
            result.removeLast();
        return result;
    }
    // The log's messages, without date, time and user.
    QStringList logMessages() {
        QStringList messages;
        for (const QString& line : logText().split(u"\r\n"_s, Qt::SkipEmptyParts))
            messages << line.mid(41);
        return messages;
    }
    void marchBookings() {
        booking(1, 0, u"RE-1"_s, QDate(2024, 3, 5), {{u"R_FKontoNr"_s, 10100}});
        booking(2, 2, u"GS-1"_s, QDate(2024, 3, 6));
        booking(3, 0, u"RE-APR"_s, QDate(2024, 4, 2));
        booking(4, 1, u"ER-OHNE"_s, QDate());
    }

    std::optional<QDate> chosenMonth = QDate(2024, 3, 1);
    QStringList pickers, exports, statuses;
    QList<QStringList> markedAtExport;
    QList<int> depthAtExport;
    QList<Protocol> protocols;
    bool throwInPrint = false, throwInExport = false, cancelExport = false;

private:
    AccountingExportUi m_savedUi;
};

TEST_F(AccountingExportsTest, TheLexwareInvoiceExportWritesTheMonthsBookingsAndMarksThem) {
    marchBookings();
    TransactionWatcher watcher(presenter);
    presenter.answers = {true, true};
    EXPECT_EQ(exportInvoices(u"Rechnungsexport -> Lexware-Fibu"_s), InvoiceExportOutcome::Exported);

    const int year = QDate::currentDate().year();
    const int month = QDate::currentDate().month();
    EXPECT_EQ(
        pickers,
        QStringList{
            u"Fibudaten übergeben für Monat:|%1/%2|%3-%4"_s.arg(month).arg(year).arg(year - 2).arg(
                year + 2)});
    EXPECT_EQ(backups, QStringList{u"Autosicherung vor Fibu-Export am "_s + TodayStr()});
    ASSERT_EQ(protocols.size(), 1);
    const JournalProtocol& p = protocols[0].request;
    EXPECT_EQ(p.title, u"Rechnungsexport an Lexware-Fibu Monat 3/2024"_s);
    EXPECT_EQ(p.indexName, u"R_INr"_s);
    EXPECT_EQ(p.rangeFrom, u"01.03.2024"_s);
    EXPECT_EQ(p.rangeTo, u"31.03.2024"_s);
    // The protocol and the export see exactly this export's bookings, marked
    // and committed already.
    const QStringList bookings = {u"RE-1"_s, u"GS-1"_s, u"ER-OHNE"_s};
    EXPECT_EQ(protocols[0].marked, bookings);
    EXPECT_EQ(protocols[0].depth, 0);
    ASSERT_EQ(exports.size(), 1);
    EXPECT_EQ(markedAtExport[0], bookings);
    EXPECT_EQ(depthAtExport[0], 0);
    EXPECT_TRUE(exports[0].startsWith(u"Tmppr"_s)) << exports[0].toStdString();
    EXPECT_TRUE(exports[0].endsWith(u"|Rechnungsexport an Lexware-Fibu|RechLex.exp|RechLex.txt|"_s))
        << exports[0].toStdString();
    EXPECT_EQ(
        lines(u"RechLex.txt"_s),
        (QStringList{u"\"Satzart\";\"Belegnummer\";\"Belegdatum\";\"Kundennummer\";\"Gegenkonto\";"
                     u"\"Brutto\";\"Netto\";\"Mwst\";\"Steuerkennzeichen\";\"Faellig\";"
                     u"\"Kostenstelle1\";\"Kostenstelle2\";"_s,
                     u"\"0\";\"RE-1\";\"05.03.2024\";\"101\";\"10100\";\"119.00\";\"100.00\";"
                     u"\"19.00\";\"1\";\"30.12.1899\";\"0\";\"0\""_s,
                     u"\"2\";\"GS-1\";\"06.03.2024\";\"102\";\"0\";\"-119.00\";\"-100.00\";"
                     u"\"-19.00\";\"1\";\"30.12.1899\";\"0\";\"0\""_s,
                     u"\"1\";\"ER-OHNE\";\"30.12.1899\";\"104\";\"0\";\"-119.00\";\"-100.00\";"
                     u"\"-19.00\";\"1\";\"30.12.1899\";\"0\";\"0\""_s}));
    EXPECT_EQ(presenter.texts(Kind::Question), (QStringList{kBackupQuestion, kMarkQuestion}));
    // No box while a write transaction was open.
    EXPECT_EQ(watcher.depths, QList<int>(watcher.depths.size(), 0));
    EXPECT_TRUE(journalWith(u"R_Selected"_s).isEmpty());
    EXPECT_EQ(journalWith(u"R_Exported"_s), (QStringList{u"RE-1"_s, u"GS-1"_s, u"ER-OHNE"_s}));
    EXPECT_EQ(logMessages(), (QStringList{u"Fibuexport Lex in"_s, u"Fibuexport Lex out"_s}));
    EXPECT_TRUE(tmpprTables().isEmpty());
}

TEST_F(AccountingExportsTest, NoToTheMarkingOffersTheBookingsToTheOtherFamilyUntilMarked) {
    marchBookings();
    presenter.answers = {false, false};
    ASSERT_EQ(exportInvoices(u"Rechnungsexport -> Lexware-Fibu"_s), InvoiceExportOutcome::Exported);
    EXPECT_TRUE(journalWith(u"R_Selected"_s).isEmpty());
    EXPECT_TRUE(journalWith(u"R_Exported"_s).isEmpty());
    const QByteArray lexware = readFile(u"RechLex.txt"_s);

    // The same month to KHK: the same bookings, this time marked.
    presenter.answers = {false, true};
    ASSERT_EQ(exportInvoices(u"Rechnungsexport -> KHK-Fibu"_s), InvoiceExportOutcome::Exported);
    EXPECT_EQ(readFile(u"Export.dif"_s), lexware);
    EXPECT_EQ(journalWith(u"R_Exported"_s), (QStringList{u"RE-1"_s, u"GS-1"_s, u"ER-OHNE"_s}));

    // Now nothing is left for Lexware; its file stays as it was.
    presenter.boxes.clear();
    presenter.answers = {false};
    EXPECT_EQ(exportInvoices(u"Rechnungsexport -> Lexware-Fibu"_s),
              InvoiceExportOutcome::NothingFound);
    EXPECT_EQ(errors(), QStringList{kNothing});
    EXPECT_EQ(readFile(u"RechLex.txt"_s), lexware);
    EXPECT_EQ(exports.size(), 2);
    EXPECT_EQ(logMessages(), (QStringList{u"Fibuexport Lex in"_s, u"Fibuexport Lex out"_s,
                                          u"Fibuexport KHK in"_s, u"Fibuexport KHK out"_s}));
}

TEST_F(AccountingExportsTest, AMonthWithNothingToExportSaysSoAndStillRewritesTheMarks) {
    booking(1, 0, u"RE-JAN"_s, QDate(2024, 1, 5), {{u"R_Selected"_s, true}});
    booking(2, 0, u"RE-MAR"_s, QDate(2024, 3, 5), {{u"R_Exported"_s, true}});
    EXPECT_EQ(exportInvoices(u"Rechnungsexport -> KHK-Fibu"_s), InvoiceExportOutcome::NothingFound);
    EXPECT_EQ(errors(), QStringList{kNothing});
    EXPECT_TRUE(journalWith(u"R_Selected"_s).isEmpty());
    EXPECT_TRUE(protocols.isEmpty());
    EXPECT_TRUE(exports.isEmpty());
    EXPECT_TRUE(logMessages().isEmpty());
    EXPECT_TRUE(tmpprTables().isEmpty());
}

TEST_F(AccountingExportsTest, CancelInThePickerEndsBeforeTheBackupQuestion) {
    marchBookings();
    chosenMonth.reset();
    EXPECT_EQ(exportInvoices(u"Rechnungsexport -> KHK-Fibu"_s), InvoiceExportOutcome::Cancelled);
    EXPECT_TRUE(presenter.boxes.isEmpty());
    EXPECT_TRUE(journalWith(u"R_Selected"_s).isEmpty());
    EXPECT_TRUE(exports.isEmpty());
}

TEST_F(AccountingExportsTest, AFailedOrCancelledExportKeepsTheFileAndMarksNothingExported) {
    const struct {
        const char* name;
        bool removeDefinition;
        bool cancel;
        QString status;
    } cases[] = {
        {"missing definition", true, false, ExportRun::kFailed},
        {"cancelled", false, true, ExportRun::kCancelled},
    };
    marchBookings();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EnsureShippedDefinitions(ImExDir);
        if (c.removeDefinition)
            QFile::remove(ImExDir + u"RechKHK.exp"_s);
        cancelExport = c.cancel;
        writeFile(u"Export.dif"_s, "vorher\r\n");
        presenter.boxes.clear();
        statuses.clear();
        EXPECT_EQ(exportInvoices(u"Rechnungsexport -> KHK-Fibu"_s),
                  InvoiceExportOutcome::ExportFailed);
        EXPECT_EQ(statuses, QStringList{c.status});
        EXPECT_EQ(readFile(u"Export.dif"_s), QByteArray("vorher\r\n"));
        EXPECT_FALSE(presenter.texts(Kind::Question).contains(kMarkQuestion));
        EXPECT_TRUE(journalWith(u"R_Exported"_s).isEmpty());
        // The bookings stay marked for the protocol until the next export.
        EXPECT_EQ(journalWith(u"R_Selected"_s), (QStringList{u"RE-1"_s, u"GS-1"_s, u"ER-OHNE"_s}));
        EXPECT_TRUE(tmpprTables().isEmpty());
        EXPECT_EQ(logMessages().mid(logMessages().size() - 2),
                  (QStringList{u"Fibuexport KHK in"_s, u"Fibuexport KHK out"_s}));
    }
}

TEST_F(AccountingExportsTest, TheWorkTableGoesAlsoWhenThePrintOrTheExportRaises) {
    marchBookings();
    for (bool inPrint : {true, false}) {
        SCOPED_TRACE(inPrint ? "print" : "export");
        throwInPrint = inPrint;
        throwInExport = !inPrint;
        EXPECT_THROW(exportInvoices(u"Rechnungsexport -> Lexware-Fibu"_s), DbError);
        EXPECT_TRUE(tmpprTables().isEmpty());
        EXPECT_TRUE(journalWith(u"R_Exported"_s).isEmpty());
        EXPECT_EQ(logMessages().last(), u"Fibuexport Lex out"_s);
    }
    EXPECT_EQ(exports.size(), 1);
}

// The master-data exports: each entry's table, window caption, definition,
// output, filter, backup comment and log name.
TEST_F(AccountingExportsTest, MasterExportsPassTheirSettingsAndLogEitherWay) {
    addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 1}, {u"K_Nr"_s, 1001}, {u"K_FibuKonto"_s, 10100}});
    addRow(u"Liefrnt.DB"_s, {{u"K_ID"_s, 1}, {u"K_Nr"_s, 70}, {u"K_Fibukonto"_s, 70070}});
    addRow(u"Personal.DB"_s, {{u"P_ID"_s, 1}, {u"P_Nr"_s, 7}, {u"P_Name1"_s, u"Sommer"_s}});
    const struct {
        const char16_t* entry;
        const char16_t* call;
        const char16_t* backup;
        const char16_t* log;
    } cases[] = {
        {u"Debitorenexport -> KHK-Fibu",
         u"Kunden.DB|Datenexport : Debitoren -> KHK-Fibu|DebitKHK.exp|Opdebit.dif|K_FibuKonto>0",
         u"Autosicherung vor Debitoren-Export am ", u"Debitorenexport KHK"},
        {u"Debitorenexport->Lexware-Fibu",
         u"Kunden.DB|Datenexport : Debitoren -> Lexware-Fibu|DebitLex.exp|DebitLex.txt|"
         u"K_FibuKonto>0",
         u"Autosicherung vor Debitoren-Export am ", u"Debitorenexport Lexware"},
        {u"Kreditorenexport->Lexware-Fibu",
         u"Liefrnt.db|Datenexport : Kreditoren -> Lexware-Fibu|KreditLex.exp|kreditLex.txt|"
         u"K_FibuKonto>0",
         u"Autosicherung vor Kreditoren-Export am ", u"Kreditorenexport Lexware"},
        {u"Personaldaten ->Lexware Lohn+Gehalt",
         u"Personal.DB|Datenexport : Personaldaten -> Lexware-Lohn|Perslex.exp|Perslext.txt|",
         u"Autosicherung vor Personaldaten-Export am ", u"Personaldatenexport Lexware"},
    };
    for (const auto& c : cases) {
        const QString entry = QString::fromUtf16(c.entry);
        SCOPED_TRACE(entry.toStdString());
        exports.clear();
        backups.clear();
        statuses.clear();
        QFile::remove(LogFileName);
        presenter.answers = {true};
        RunAccountingExport(entry);
        EXPECT_EQ(exports, QStringList{QString::fromUtf16(c.call)});
        EXPECT_EQ(statuses, QStringList{ExportRun::kFinished});
        EXPECT_EQ(backups, QStringList{QString::fromUtf16(c.backup) + TodayStr()});
        const QString log = QString::fromUtf16(c.log);
        EXPECT_EQ(logMessages(), (QStringList{log + u" in"_s, log + u" out"_s}));
        EXPECT_TRUE(pickers.isEmpty());
    }
    // A failed export is logged alike.
    QFile::remove(ImExDir + u"Perslex.exp"_s);
    QFile::remove(LogFileName);
    RunAccountingExport(u"Personaldaten ->Lexware Lohn+Gehalt"_s);
    EXPECT_EQ(statuses.last(), ExportRun::kFailed);
    EXPECT_EQ(logMessages(), (QStringList{u"Personaldatenexport Lexware in"_s,
                                          u"Personaldatenexport Lexware out"_s}));
}

TEST_F(AccountingExportsTest, DebtorsAndCreditorsAreExportedOnlyWithAnAccountAboveZero) {
    const QVariant accounts[] = {10100, 0, QVariant(), -5, 10400};
    int id = 0;
    for (const QVariant& account : accounts) {
        ++id;
        addRow(u"Kunden.DB"_s,
               {{u"K_ID"_s, id}, {u"K_Nr"_s, 1000 + id}, {u"K_FibuKonto"_s, account}});
        addRow(u"Liefrnt.DB"_s,
               {{u"K_ID"_s, id}, {u"K_Nr"_s, 70 + id}, {u"K_Fibukonto"_s, account}});
    }
    RunAccountingExport(u"Debitorenexport -> KHK-Fibu"_s);
    RunAccountingExport(u"Debitorenexport->Lexware-Fibu"_s);
    RunAccountingExport(u"Kreditorenexport->Lexware-Fibu"_s);
    for (const QString& file : {u"Opdebit.dif"_s, u"DebitLex.txt"_s}) {
        const QStringList l = lines(file);
        ASSERT_EQ(l.size(), 3) << file.toStdString();
        EXPECT_TRUE(l[1].startsWith(u"\"10100\";"_s)) << l[1].toStdString();
        EXPECT_TRUE(l[1].endsWith(u";\"1001\""_s)) << l[1].toStdString();
        EXPECT_TRUE(l[2].startsWith(u"\"10400\";"_s)) << l[2].toStdString();
    }
    const QStringList suppliers = lines(u"kreditLex.txt"_s);
    ASSERT_EQ(suppliers.size(), 3);
    EXPECT_TRUE(suppliers[1].endsWith(u";\"71\""_s)) << suppliers[1].toStdString();
    EXPECT_TRUE(suppliers[2].endsWith(u";\"75\""_s)) << suppliers[2].toStdString();
}

TEST_F(AccountingExportsTest, TheHoursOfAMonthWithoutSumsFailAndLeaveNoFile) {
    addRow(u"Zeitsum.DB"_s, {{u"ZS_ID"_s, 1},
                             {u"ZS_PersNo"_s, 7},
                             {u"ZS_Monat"_s, 2},
                             {u"ZS_Jahr"_s, 2024},
                             {u"ZS_StdNormal"_s, 151.5}});
    addRow(u"Zeitsum.DB"_s, {{u"ZS_ID"_s, 2},
                             {u"ZS_PersNo"_s, 7},
                             {u"ZS_Monat"_s, 2},
                             {u"ZS_Jahr"_s, 2023},
                             {u"ZS_StdNormal"_s, 140.0}});
    presenter.answers = {true};
    RunAccountingExport(u"Arbeitszeiten -> Lexware Lohn+Gehalt"_s);
    const int year = QDate::currentDate().year();
    EXPECT_EQ(pickers, QStringList{u"Lohndaten übergeben für Monat:|%1/%2|%3-%4"_s
                                       .arg(QDate::currentDate().month())
                                       .arg(year)
                                       .arg(year - 2)
                                       .arg(year + 2)});
    EXPECT_EQ(exports, QStringList{u"Zeitsum.DB|Datenexport : Lohndaten -> Lexware-Lohn|"
                                   u"Lohnlex.exp|Lohnlext.txt|ZS_Monat=3 AND ZS_Jahr=2024"_s});
    EXPECT_EQ(statuses, QStringList{ExportRun::kFailed});
    EXPECT_FALSE(QFile::exists(ImExDir + u"Lohnlext.txt"_s));
    EXPECT_EQ(backups, QStringList{u"Autosicherung vor Lohndaten-Export am "_s + TodayStr()});
    EXPECT_EQ(logMessages(),
              (QStringList{u"Lohndatenexport Lexware in"_s, u"Lohndatenexport Lexware out"_s}));

    chosenMonth = QDate(2024, 2, 1);
    RunAccountingExport(u"Arbeitszeiten -> Lexware Lohn+Gehalt"_s);
    EXPECT_EQ(statuses.last(), ExportRun::kFinished);
    const QStringList l = lines(u"Lohnlext.txt"_s);
    ASSERT_EQ(l.size(), 2);
    EXPECT_TRUE(l[1].startsWith(u"\"7\";\"2\";\"2024\";\"151.50\";"_s)) << l[1].toStdString();

    // Cancel in the picker: nothing else happens.
    chosenMonth.reset();
    exports.clear();
    backups.clear();
    RunAccountingExport(u"Arbeitszeiten -> Lexware Lohn+Gehalt"_s);
    EXPECT_TRUE(exports.isEmpty());
    EXPECT_TRUE(backups.isEmpty());
}

TEST_F(AccountingExportsTest, ADefinitionWithoutSfileWritesIntoTheImportExportDirectory) {
    addRow(u"Personal.DB"_s, {{u"P_ID"_s, 1}, {u"P_Nr"_s, 7}, {u"P_Name1"_s, u"Sommer"_s}});
    writeLines(u"Perslex.exp"_s, {u"SEPAR=;"_s, u"1:P_Nr=Personalnummer>"_s});
    int chooserCalls = 0;
    SetExportPath(u"Perslex.exp"_s, u"Perslext.txt"_s, [&chooserCalls](const QString&) {
        ++chooserCalls;
        return QString();
    });
    EXPECT_EQ(chooserCalls, 0);
    EXPECT_TRUE(presenter.texts(Kind::Error).isEmpty());
    RunAccountingExport(u"Personaldaten ->Lexware Lohn+Gehalt"_s);
    EXPECT_EQ(lines(u"Perslext.txt"_s), (QStringList{u"\"Personalnummer\";"_s, u"\"7\""_s}));
}

class SetExportPathTest : public accountingtest::AccountingFixture {
protected:
    void SetUp() override {
        AccountingFixture::SetUp();
        EnsureShippedDefinitions(ImExDir);
        m_savedProgramDir = ProgramDir;
        ProgramDir = path(u"prog/"_s);
        QDir().mkpath(ProgramDir);
    }
    void TearDown() override {
        ProgramDir = m_savedProgramDir;
        AccountingFixture::TearDown();
    }
    // Sets the path with the picker answering `answer`; where it started.
    QString setPath(const QString& definition, const QString& output, const QString& answer) {
        QString started;
        SetExportPath(definition, output, [&started, answer](const QString& start) {
            started = start;
            return answer;
        });
        return started;
    }
    QStringList sfileLines(const QString& definition) {
        return QString::fromLatin1(readFile(definition))
            .split(u"\r\n"_s)
            .filter(QRegularExpression(u"^SFILE"_s));
    }

private:
    QString m_savedProgramDir;
};

TEST_F(SetExportPathTest, TheChosenDirectoryAndTheOutputNameReplaceTheSfileLine) {
    const QByteArray before = readFile(u"RechKHK.exp"_s);
    // The shipped line names no directory: the picker starts in the program
    // directory, never in the process's working directory.
    const QString target = path(u"fibu"_s);
    QDir().mkpath(target);
    EXPECT_EQ(setPath(u"RechKHK.exp"_s, u"Export.dif"_s, target), ProgramDir);
    EXPECT_EQ(sfileLines(u"RechKHK.exp"_s),
              QStringList{u"SFILE="_s + QDir::toNativeSeparators(target) + QDir::separator() +
                          u"Export.dif"_s});
    // Every other line stays.
    QStringList other = QString::fromLatin1(readFile(u"RechKHK.exp"_s)).split(u"\r\n"_s);
    QStringList original = QString::fromLatin1(before).split(u"\r\n"_s);
    other.removeIf([](const QString& l) { return l.startsWith(u"SFILE"_s); });
    original.removeIf([](const QString& l) { return l.startsWith(u"SFILE"_s); });
    EXPECT_EQ(other, original);

    // The next time the picker starts in that directory; a cancel changes nothing.
    const QByteArray set = readFile(u"RechKHK.exp"_s);
    EXPECT_EQ(setPath(u"RechKHK.exp"_s, u"Export.dif"_s, QString()),
              QDir::toNativeSeparators(target) + QDir::separator());
    EXPECT_EQ(readFile(u"RechKHK.exp"_s), set);

    // A directory that is gone: the program directory again.
    QDir(target).removeRecursively();
    EXPECT_EQ(setPath(u"RechKHK.exp"_s, u"Export.dif"_s, QString()), ProgramDir);
    EXPECT_TRUE(presenter.boxes.isEmpty());

    // The export then writes there.
    QDir().mkpath(target);
    setPath(u"Lohnlex.exp"_s, u"Lohnlext.txt"_s, target + u'/');
    EXPECT_EQ(sfileLines(u"Lohnlex.exp"_s), QStringList{u"SFILE="_s + target + u"/Lohnlext.txt"_s});
}

TEST_F(SetExportPathTest, AMissingOrEmptyDefinitionIsReported) {
    QFile::remove(ImExDir + u"DebitLex.exp"_s);
    writeFile(u"Perslex.exp"_s, "");
    bool asked = false;
    for (const QString& file : {u"DebitLex.exp"_s, u"Perslex.exp"_s})
        SetExportPath(file, u"x.txt"_s, [&asked](const QString&) {
            asked = true;
            return QString();
        });
    EXPECT_FALSE(asked);
    EXPECT_EQ(errors(), (QStringList{u"Datei "_s + ImExDir +
                                         u"DebitLex.exp\rist nicht vorhanden!\r"
                                         u"Der Datenexport muss neu konfiguriert werden."_s,
                                     u"Datei "_s + ImExDir +
                                         u"Perslex.exp\rist nicht vorhanden!\r"
                                         u"Der Datenexport muss neu konfiguriert werden."_s}));
    EXPECT_FALSE(QFile::exists(ImExDir + u"DebitLex.exp"_s));
}

} // namespace
