#include "datasafety/datev/datevexport.h"

#include "core/data/worktable.h"
#include "core/files/programdirs.h"
#include "core/messages/messages.h"
#include "core/values/conversions.h"
#include "core/values/datetext.h"
#include "core/values/money.h"
#include "datasafety/accounting/journalselection.h"
#include "datasafety/datasafety.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/query.h"
#include "platform/table/table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;
using table::FieldType;

namespace datev {

namespace {

const QDate kEmptyDate(1899, 12, 30);

// Journal record kinds.
constexpr int kSatzartRechnung = 0;
constexpr int kSatzartGutschrift = 2;
constexpr int kSatzartEingangsrechnung = 3;

bool isIncoming(int satzart) {
    return satzart == 1 || satzart == kSatzartEingangsrechnung;
}

int intOf(table::Table& t, const QString& name) {
    return t.field(name).asIntegerOr(0);
}
double floatOf(table::Table& t, const QString& name) {
    return t.field(name).asFloatOr(0.0);
}
bool boolOf(table::Table& t, const QString& name) {
    return t.field(name).asBooleanOr(false);
}
QString textOf(table::Table& t, const QString& name) {
    return t.field(name).asStringOr(QString());
}
QDate dateOf(table::Table& t, const QString& name) {
    return t.field(name).asDateOr(QDate());
}

table::TableDef bookingTableDef() {
    table::TableDef def;
    def.fields = {
        {u"X_ID"_s, FieldType::Integer},
        {u"X_Bkz"_s, FieldType::Integer},
        {u"X_Nr"_s, FieldType::String, 20},
        {u"X_NrNum"_s, FieldType::Integer},
        {u"X_KundenNr"_s, FieldType::Integer},
        {u"X_RgDatum"_s, FieldType::Date},
        {u"X_KontoNr"_s, FieldType::Integer},
        {u"X_KontoNrRg"_s, FieldType::Integer},
        {u"X_Kostenstelle1"_s, FieldType::Integer},
        {u"X_Kostenstelle2"_s, FieldType::Integer},
        {u"X_Buchtext"_s, FieldType::String, 40},
        {u"X_Split"_s, FieldType::Integer},
        {u"X_StKz"_s, FieldType::Integer},
        {u"X_Faelligdatum"_s, FieldType::Date},
        {u"Y_Brutto"_s, FieldType::Currency},
        {u"Y_Brutto0"_s, FieldType::Currency},
        {u"Y_Brutto1"_s, FieldType::Currency},
        {u"Y_Brutto2"_s, FieldType::Currency},
    };
    return def;
}

struct KindText {
    QString title;
    QString header;
};

KindText kindText(Kind kind) {
    switch (kind) {
    case Kind::Buchungen:
        return {u"Export Buchungen"_s,
                u"Rechn.-Nr Gegenkto Erlöskto    Betrag      Datum Buchungstext"_s};
    case Kind::Debitoren:
        return {u"Export Debitoren"_s,
                u"E   KontoNr Suchbegriff          Kd-Nr Plz    Ort                 Strasse"_s};
    case Kind::Kreditoren:
        return {u"Export Kreditoren"_s,
                u"E   KontoNr Suchbegriff          Lf-Nr Plz    Ort                 Strasse"_s};
    case Kind::Lohn:
        return {u"Export Lohndaten"_s,
                u"Persnr  Normal  Übstd1  Übstd2  Übstd3   Krank  Urlaub  Leerlf"_s};
    }
    return {};
}

bool kindChosen(const Vorlauf& v, Kind kind) {
    switch (kind) {
    case Kind::Buchungen:
        return v.doBuchungen;
    case Kind::Debitoren:
        return v.doDebitoren;
    case Kind::Kreditoren:
        return v.doKreditoren;
    case Kind::Lohn:
        return v.doLohn;
    }
    return false;
}

QString nativeName(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

// The files of one run: each data file and the control file are written
// under a temporary name beside their final one. Only commit() gives them
// their names; every other way out removes them.
struct DatevExport::Output {
    struct File {
        QString temporary;
        QString final;
    };
    std::vector<File> files;
    bool committed = false;

    static QString temporaryOf(const QString& final) { return final + u".tmp"_s; }

    QString add(const QString& final) {
        files.push_back({temporaryOf(final), final});
        return files.back().temporary;
    }

    ~Output() {
        if (committed)
            return;
        for (const File& f : files)
            QFile::remove(f.temporary);
    }

    // The old control file goes first and the new one comes last, so no
    // control file ever stands beside a mixed set of data files.
    bool commit(const Vorlauf& v, const QString& controlFinal) {
        if (QFile::exists(controlFinal) && !QFile::remove(controlFinal))
            return fail(controlFinal);
        for (const File& f : files) {
            if (f.final == controlFinal)
                continue;
            if (!replace(f))
                return fail(f.final);
        }
        for (const File& f : files) {
            if (f.final == controlFinal && !replace(f))
                return fail(f.final);
        }
        committed = true;
        removeLaterDataFiles(v);
        return true;
    }

    static bool replace(const File& f) {
        if (QFile::exists(f.final) && !QFile::remove(f.final))
            return false;
        return QFile::rename(f.temporary, f.final);
    }

    static bool fail(const QString& name) {
        ShowError(u"Datei %1 kann nicht erzeugt werden!"_s.arg(nativeName(name)));
        return false;
    }

    // Data files of this format numbered above this run's count belong to an
    // older, larger run; without them the directory holds one set.
    static void removeLaterDataFiles(const Vorlauf& v) {
        const QDir dir(v.pfad);
        const QRegularExpression pattern(v.format == Format::Obe ? u"^DE(\\d{3})$"_s
                                                                 : u"^ED(\\d{5})$"_s);
        for (const QString& name : dir.entryList(QDir::Files)) {
            const QRegularExpressionMatch m = pattern.match(name);
            if (m.hasMatch() && m.captured(1).toInt() > v.dateiNr)
                QFile::remove(dir.filePath(name));
        }
    }
};

DatevExport::DatevExport(ExportUi ui, const QString& databaseName)
    : m_ui(std::move(ui)), m_databaseName(databaseName) {}

DatevExport::~DatevExport() = default;

QString DatevExport::workTableName() const {
    return m_work ? m_work->name() : QString();
}

void DatevExport::protocol(const QString& line) {
    if (m_ui.protocol)
        m_ui.protocol(line);
}

void DatevExport::settingsError(const QString& text) {
    ShowError(text);
}

bool DatevExport::loadSettings(table::Table& s) {
    m_vorlauf = Vorlauf();
    Vorlauf& v = m_vorlauf;
    v.format = intOf(s, u"E_Datev_Format"_s) == 1 ? Format::Kne : Format::Obe;
    v.namensKuerzel = textOf(s, u"E_DatevNamensKuerzel"_s);
    v.beraterNr = intOf(s, u"E_DatevBeraterNr"_s);
    v.kontoLaenge = intOf(s, u"E_DatevKontoNrLaenge"_s);
    MakeVersionText(v);
    // The key of the VAT-free bucket belongs to this run alone.
    const int stkz0 = intOf(s, u"E_DatevStkz0"_s);
    m_stkz0 = stkz0 != 0 ? stkz0 : 1;
    if (v.beraterNr == 0) {
        settingsError(u"Undefiniertes Datev-Stammfeld:"_s + u" Beraternummer"_s);
        return false;
    }
    // The header record has room for 7, 5 and 1 digits; a wider value would
    // shift every field behind it.
    if (v.beraterNr < 1 || v.beraterNr > 9999999) {
        settingsError(u"Ungültiges Datev-Stammfeld:"_s + u" Beraternummer"_s);
        return false;
    }
    v.mandantenNr = intOf(s, u"E_DatevMandantenNr"_s);
    if (v.mandantenNr < 0 || v.mandantenNr > 99999) {
        settingsError(u"Ungültiges Datev-Stammfeld:"_s + u" Mandantennummer"_s);
        return false;
    }
    if (v.kontoLaenge < 1 || v.kontoLaenge > 9) {
        settingsError(u"Ungültiges Datev-Stammfeld:"_s + u" Kontonummern-Länge"_s);
        return false;
    }
    v.abrechNr = intOf(s, u"E_DatevLastAbrechNr"_s) + 1;
    if (v.abrechNr > 69 || v.abrechNr < 1)
        v.abrechNr = 1;
    const QDate today = QDate::currentDate();
    v.datumVon = dateOf(s, u"E_DatevDatumVon"_s);
    v.datumBis = dateOf(s, u"E_DatevDatumBis"_s);
    if (!v.datumVon.isValid())
        v.datumVon = today;
    if (!v.datumBis.isValid())
        v.datumBis = today;
    if (v.datumVon.year() != v.datumBis.year()) {
        settingsError(u"Export über Jahresgrenzen hinweg ist nicht erlaubt!"_s);
        return false;
    }
    if (v.datumBis < v.datumVon)
        std::swap(v.datumVon, v.datumBis);
    v.jahr2 = v.datumVon.year() % 100;
    v.abrechKennung = v.abrechNr * 100 + v.jahr2;
    v.primanotaSeite = 1;
    v.passwort = textOf(s, u"E_DatevPasswort"_s);
    v.beraterName = textOf(s, u"E_DatevBeraterName"_s);
    v.kontoAusRechnung = boolOf(s, u"E_DatevKontoAusRechnung"_s);
    v.eKonto0 = intOf(s, u"E_DatevEKonto0"_s);
    v.eKonto7 = intOf(s, u"E_DatevEKonto7"_s);
    v.eKonto16 = intOf(s, u"E_DatevEKonto16"_s);
    v.wKonto0 = intOf(s, u"E_DatevWKonto0"_s);
    v.wKonto7 = intOf(s, u"E_DatevWKonto7"_s);
    v.wKonto16 = intOf(s, u"E_DatevWKonto16"_s);
    v.eKonto0Auto = boolOf(s, u"E_DatevEKonto0Auto"_s);
    v.eKonto7Auto = boolOf(s, u"E_DatevEKonto7Auto"_s);
    v.eKonto16Auto = boolOf(s, u"E_DatevEKonto16Auto"_s);
    v.wKonto0Auto = boolOf(s, u"E_DatevWKonto0Auto"_s);
    v.wKonto7Auto = boolOf(s, u"E_DatevWKonto7Auto"_s);
    v.wKonto16Auto = boolOf(s, u"E_DatevWKonto16Auto"_s);
    v.datentraegerNr = intOf(s, u"E_DatevDatenTraegerNr"_s) + 1;
    if (v.datentraegerNr > 999 || v.datentraegerNr < 1)
        v.datentraegerNr = 1;
    v.doBuchungen = boolOf(s, u"E_DatevDoBuchungen"_s);
    v.doDebitoren = boolOf(s, u"E_DatevDoDebitoren"_s);
    v.doKreditoren = boolOf(s, u"E_DatevDoKreditoren"_s);
    v.doLohn = boolOf(s, u"E_DatevDoLohn"_s);
    if (!v.doBuchungen && !v.doDebitoren && !v.doKreditoren && !v.doLohn) {
        settingsError(u"Sie haben keine Exportfunktion markiert!"_s);
        return false;
    }
    // An empty path means the transport medium, as the diskette drive was.
    QString path = textOf(s, u"E_DatevPfad"_s).trimmed();
    if (path.isEmpty())
        path = TransportDir;
    path = QDir::fromNativeSeparators(path);
    if (!path.endsWith(u'/'))
        path += u'/';
    v.pfad = path;
    return true;
}

bool DatevExport::execute(table::Table& settings) {
    if (!loadSettings(settings)) {
        ShowError(u"Sie müssen zuerst Ihre Datev-Stammdaten eingeben!"_s);
        return false;
    }
    if (AskYesNo(u"Sie sollten vor der Datenübertragung eine Datensicherung vornehmen!\r"
                 u"Möchten Sie jetzt die Daten sichern?"_s)) {
        BackupDatabases(LocalBackup, u"Autosicherung vor Fibu-Export am "_s + TodayStr());
        if (m_ui.processEvents)
            m_ui.processEvents();
    }
    if (m_ui.clearProtocol)
        m_ui.clearProtocol();
    m_vorlauf.dateiNr = 0;
    m_vorlauf.dateiAnzahl = 0;
    protocol(QString());
    protocol(u"Datev-Datenexport am "_s + TodayStr() + u" um "_s + NowTimeStr());
    protocol(QString());
    bool ok = false;
    try {
        m_output = std::make_unique<Output>();
        ok = runKinds() && writeControlFile() &&
             m_output->commit(m_vorlauf, GetControlFileName(m_vorlauf));
    } catch (const DbError& error) {
        m_output.reset();
        m_work.reset();
        ShowError(error.message());
        ok = false;
    } catch (...) {
        m_output.reset();
        m_work.reset();
        throw;
    }
    m_output.reset();
    m_work.reset();
    if (!ok) {
        ShowError(u"Beim Datev-Datenexport ist ein Fehler aufgetreten!"_s);
        return false;
    }
    saveCounters(settings);
    ShowInfo(u"Der Datev-Datenexport wurde erfolgreich abgeschlossen."_s);
    if (m_vorlauf.doBuchungen)
        markBookingsExported();
    return true;
}

bool DatevExport::runKinds() {
    for (Kind kind : {Kind::Buchungen, Kind::Debitoren, Kind::Kreditoren, Kind::Lohn}) {
        if (!kindChosen(m_vorlauf, kind))
            continue;
        const KindText text = kindText(kind);
        protocol(text.title);
        protocol(text.header);
        m_vorlauf.dateiNr += 1;
        m_vorlauf.dateiAnzahl += 1;
        if (!exportKind(kind))
            return false;
        if (m_ui.processEvents)
            m_ui.processEvents();
    }
    return true;
}

bool DatevExport::exportKind(Kind kind) {
    Vorlauf& v = m_vorlauf;
    switch (kind) {
    case Kind::Buchungen:
        v.anwendung = kAnwendungBuchungen;
        v.abrechKennung = v.abrechNr * 100 + v.jahr2;
        v.dateikennung = u"1"_s;
        break;
    case Kind::Debitoren:
    case Kind::Kreditoren:
        v.anwendung = kAnwendungStammdaten;
        v.abrechKennung = 18900 + v.jahr2;
        v.dateikennung = u"1"_s;
        break;
    case Kind::Lohn:
        v.anwendung = kAnwendungLohn;
        v.abrechKennung = 40000 + v.jahr2;
        v.dateikennung = v.format == Format::Kne ? u"1"_s : u"4"_s;
        break;
    }
    if (kind == Kind::Buchungen) {
        const int count = prepareBookingTable();
        if (count == 0)
            ShowError(u"Für den angegebenen Zeitraum sind keine exportierbaren Daten vorhanden!"_s);
        if (count <= 0)
            return false;
    }
    const QString finalName = GetDatevFileName(v);
    QFile file(m_output->add(finalName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        ShowError(u"Datei %1 kann nicht erzeugt werden!"_s.arg(nativeName(finalName)));
        return false;
    }
    DataFileWriter writer(file);
    bool ok = false;
    double total = 0;
    switch (kind) {
    case Kind::Buchungen:
        ok = writer.writeDataHeader(v) && exportBookings(writer, total) &&
             reportWrite(writer.writeTotalRecord(total), finalName);
        break;
    case Kind::Debitoren:
    case Kind::Kreditoren:
        ok = writer.writeMasterHeader(v) && exportMasters(writer, kind == Kind::Kreditoren) &&
             reportWrite(writer.writeMasterEnd(), finalName);
        break;
    case Kind::Lohn:
        ok = exportPayroll(writer, total);
        break;
    }
    file.close();
    m_work.reset();
    if (ok && file.error() != QFileDevice::NoError)
        ok = false;
    if (ok)
        m_control.store(v, writer.blocks(), writer.lastPos());
    return ok;
}

// A refused record names what it belongs to; a refused write fails silently
// here and makes the run fail.
bool DatevExport::reportWrite(WriteResult result, const QString& what) {
    switch (result) {
    case WriteResult::Ok:
        return true;
    case WriteResult::Failed:
        return false;
    case WriteResult::TooLong:
        ShowError(u"Der Datev-Datensatz zu %1 ist länger als 250 Zeichen!"_s.arg(what));
        return false;
    case WriteResult::TooLarge:
        ShowError(
            u"Die Datev-Datei %1 ist zu groß!"_s.arg(nativeName(GetDatevFileName(m_vorlauf))));
        return false;
    }
    return false;
}

// The ledger accounts of all customers or suppliers, read once per run in one
// statement: a run looks up an account per journal row.
const QHash<int, int>& DatevExport::accountsOf(bool suppliers) {
    std::optional<QHash<int, int>>& cache = suppliers ? m_supplierAccounts : m_customerAccounts;
    if (!cache) {
        table::Query q(table::aliases::database(m_databaseName),
                       suppliers ? u"SELECT K_Nr, K_Fibukonto FROM Liefrnt"_s
                                 : u"SELECT K_Nr, K_FibuKonto FROM Kunden"_s);
        q.open();
        cache.emplace();
        cache->reserve(q.recordCount());
        for (q.first(); !q.eof(); q.next()) {
            const int nr = q.value(0).toInt();
            const int konto = q.value(1).toInt();
            cache->insert(nr, konto != 0 ? konto : nr);
        }
    }
    return *cache;
}

int DatevExport::customerFibuAccount(int kundenNr) {
    return accountsOf(false).value(kundenNr, 0);
}

int DatevExport::supplierFibuAccount(int lieferantNr) {
    return accountsOf(true).value(lieferantNr, 0);
}

int DatevExport::prepareBookingTable() {
    const std::shared_ptr<table::Database> db = table::aliases::database(m_databaseName);
    try {
        m_work = std::make_unique<WorkTable>(m_databaseName, bookingTableDef());
    } catch (const DbError&) {
        ShowError(u"Exportdatei konnte nicht erstellt werden!"_s);
        return -1;
    }
    JournalSelection selection(db);
    table::Table& journal = selection.journal();
    table::Table work(db, m_work->name());
    work.open();
    work.lockTable();
    table::Field& exported = journal.field(u"R_Exported"_s);
    table::Field& datum = journal.field(u"R_DatumDruck"_s);
    const auto f = [&](const char* name) -> table::Field& {
        return journal.field(QString::fromLatin1(name));
    };
    table::Field &satzartField = f("R_Satzart"), &brutto = f("R_Brutto"), &brutto0 = f("R_Brutto0"),
                 &brutto1 = f("R_Brutto1"), &brutto2 = f("R_Brutto2"), &fKonto = f("R_FKontoNr"),
                 &kundenNr = f("R_KundenNr"), &nrField = f("R_Nr"), &nrNum = f("R_NrNum"),
                 &fibu2 = f("R_FibuKonto2"), &kost1 = f("R_KKostenstelle1"),
                 &kost2 = f("R_KKostenstelle2"), &buchtext = f("R_Buchtext"),
                 &faellig = f("R_FaelligDatum");
    int taken = 0;
    QDate date;
    const auto take = [&] {
        date = datum.asDateOr(kEmptyDate);
        return !exported.asBooleanOr(false) && m_vorlauf.datumVon <= date &&
               date <= m_vorlauf.datumBis;
    };
    const auto append = [&] {
        const int satzart = satzartField.asIntegerOr(0);
        const int sign = satzart == kSatzartRechnung ? 1 : -1;
        const double b0 = brutto0.asFloatOr(0), b1 = brutto1.asFloatOr(0),
                     b2 = brutto2.asFloatOr(0);
        const int nonZero = (b0 != 0) + (b1 != 0) + (b2 != 0);
        const int split = nonZero >= 2 ? 1 : 0;
        const int stkz = split ? 0 : b1 != 0 ? 1 : b2 != 0 ? 2 : 0;
        const int kunde = kundenNr.asIntegerOr(0);
        int konto = fKonto.asIntegerOr(0);
        // Incoming invoices are booked against their supplier.
        if (konto < 1000)
            konto = isIncoming(satzart) ? supplierFibuAccount(kunde) : customerFibuAccount(kunde);
        ++taken;
        work.appendRecord({taken, satzart, nrField.asStringOr(QString()), nrNum.asIntegerOr(0),
                           kunde, date, konto, fibu2.asIntegerOr(0), kost1.asIntegerOr(0),
                           kost2.asIntegerOr(0), buchtext.asStringOr(QString()), split, stkz,
                           faellig.asDateOr(kEmptyDate), sign * brutto.asFloatOr(0), sign * b0,
                           sign * b1, sign * b2});
    };
    selection.run(take, append);
    work.close();
    if (taken == 0)
        m_work.reset();
    return taken;
}

bool DatevExport::exportBookings(DataFileWriter& file, double& total) {
    table::Table work(table::aliases::database(m_databaseName), m_work->name());
    work.setReadOnly(true);
    work.open();
    Vorlauf& v = m_vorlauf;
    for (work.first(); !work.eof(); work.next()) {
        v.satzart = intOf(work, u"X_Bkz"_s);
        v.split = intOf(work, u"X_Split"_s);
        struct Part {
            double amount;
            int steuerKz;
            int eKonto, wKonto;
            bool eAuto, wAuto;
        };
        std::vector<Part> parts;
        if (v.split) {
            const double b1 = floatOf(work, u"Y_Brutto1"_s);
            const double b2 = floatOf(work, u"Y_Brutto2"_s);
            const double b0 = floatOf(work, u"Y_Brutto0"_s);
            if (b1 != 0)
                parts.push_back({b1, 3, v.eKonto16, v.wKonto16, v.eKonto16Auto, v.wKonto16Auto});
            if (b2 != 0)
                parts.push_back({b2, 2, v.eKonto7, v.wKonto7, v.eKonto7Auto, v.wKonto7Auto});
            if (b0 != 0)
                parts.push_back({b0, m_stkz0, v.eKonto0, v.wKonto0, v.eKonto0Auto, v.wKonto0Auto});
        } else {
            const double brutto = floatOf(work, u"Y_Brutto"_s);
            if (brutto != 0) {
                const int stkz = intOf(work, u"X_StKz"_s);
                const int key = stkz == 1 ? 3 : stkz == 2 ? 2 : m_stkz0;
                if (key == 2)
                    parts.push_back(
                        {brutto, key, v.eKonto7, v.wKonto7, v.eKonto7Auto, v.wKonto7Auto});
                else if (key == m_stkz0)
                    parts.push_back(
                        {brutto, key, v.eKonto0, v.wKonto0, v.eKonto0Auto, v.wKonto0Auto});
                else
                    parts.push_back(
                        {brutto, key, v.eKonto16, v.wKonto16, v.eKonto16Auto, v.wKonto16Auto});
            }
        }
        for (const Part& p : parts) {
            v.steuerKz = p.steuerKz;
            v.gegenkonto = intOf(work, u"X_KontoNrRg"_s);
            if (v.gegenkonto != 0) {
                if (v.kontoAusRechnung)
                    v.steuerKz = 0;
            } else if (v.satzart == kSatzartRechnung || v.satzart == kSatzartGutschrift) {
                v.gegenkonto = p.eKonto;
                if (p.eAuto)
                    v.steuerKz = 0;
            } else if (v.satzart == kSatzartEingangsrechnung) {
                v.gegenkonto = p.wKonto;
                if (p.wAuto)
                    v.steuerKz = 0;
            }
            if (!writeBooking(file, work, p.amount, total))
                return false;
        }
    }
    return true;
}

bool DatevExport::writeBooking(DataFileWriter& file, table::Table& row, double amount,
                               double& total) {
    Vorlauf& v = m_vorlauf;
    const QDate today = QDate::currentDate();
    Booking b;
    b.belegNr = intOf(row, u"X_NrNum"_s);
    b.datum = dateOf(row, u"X_RgDatum"_s);
    if (!b.datum.isValid())
        b.datum = today;
    QDate due = dateOf(row, u"X_Faelligdatum"_s);
    if (!due.isValid())
        due = today;
    b.beleg2 = QString::fromLatin1(DateToDMMYY(due));
    b.kost1 = intOf(row, u"X_Kostenstelle1"_s);
    b.kost2 = intOf(row, u"X_Kostenstelle2"_s);
    b.buchtext = textOf(row, u"X_Buchtext"_s);
    if (b.buchtext.isEmpty()) {
        const QString prefix = v.satzart == kSatzartRechnung     ? u"AR "_s
                               : v.satzart == kSatzartGutschrift ? u"GS "_s
                                                                 : u"ER "_s;
        b.buchtext = prefix + textOf(row, u"X_Nr"_s);
    }
    const auto ask = [&](const QString& prompt) {
        return m_ui.askAccountNumber ? m_ui.askAccountNumber(prompt + b.buchtext) : 0;
    };
    if (v.gegenkonto == 0) {
        v.gegenkonto = ask(u"Erlöskonto zu "_s);
        if (v.gegenkonto == 0) {
            ShowError(u"Ungültige oder fehlende Kontonummer!"_s + u" : "_s + b.buchtext);
            return false;
        }
    }
    b.konto = intOf(row, u"X_KontoNr"_s);
    if (b.konto == 0) {
        b.konto = ask(isIncoming(v.satzart) ? u"Kreditorenkonto zu "_s : u"Debitorenkonto zu "_s);
        if (b.konto == 0) {
            ShowError(u"Ungültige oder fehlende Kontonummer!"_s + u" : "_s + b.buchtext);
            return false;
        }
    }
    b.amount = amount;
    b.currency = 1;
    if (b.datum == kEmptyDate)
        b.datum = QDate();
    const WriteResult result = file.writeRecord(MakeBookingRecord(b, v));
    if (!reportWrite(result, u"Beleg "_s + textOf(row, u"X_Nr"_s)))
        return false;
    protocol(IntToStrWidth(b.belegNr, 9) + IntToStrWidth(b.konto, 9) +
             IntToStrWidth(v.gegenkonto, 9) + FloatToStrLocal(10, 2, amount) + u' ' +
             (b.datum.isValid() ? b.datum : kEmptyDate).toString(u"dd.MM.yyyy"_s) + u' ' +
             b.buchtext);
    total += RoundCents(amount);
    return true;
}

bool DatevExport::exportMasters(DataFileWriter& file, bool suppliers) {
    table::Table t(table::aliases::database(m_databaseName),
                   suppliers ? u"Liefrnt.DB"_s : u"Kunden.DB"_s);
    t.setReadOnly(true);
    t.open();
    t.setIndexName(u"K_INr"_s);
    const QString kontoField = suppliers ? u"K_Fibukonto"_s : u"K_FibuKonto"_s;
    for (t.first(); !t.eof(); t.next()) {
        MasterData d;
        d.nr = intOf(t, u"K_Nr"_s);
        d.konto = intOf(t, kontoField);
        if (d.konto == 0)
            d.konto = d.nr;
        if (d.konto == 0)
            continue;
        d.match = textOf(t, u"K_Match"_s);
        d.plz = textOf(t, u"K_Plz"_s);
        d.ort = textOf(t, u"K_Ort"_s);
        d.strasse = textOf(t, u"K_Strasse"_s);
        d.tel1 = textOf(t, u"K_Tel1"_s);
        d.fax = textOf(t, u"K_Fax"_s);
        d.email = textOf(t, u"K_Email"_s);
        d.tel2 = textOf(t, u"K_Tel2"_s);
        const QString what = (suppliers ? u"Lieferant "_s : u"Kunde "_s) + QString::number(d.nr);
        if (!reportWrite(file.writeRecord(MakeMasterRecord(d)), what))
            return false;
        protocol(u"1 "_s + IntToStrWidth(d.konto, 9) + u' ' + PadRight(d.match, 19) + u' ' +
                 IntToStrWidth(d.nr, 6) + u' ' + PadRight(d.plz, 7) + PadRight(d.ort, 19) + u' ' +
                 PadRight(d.strasse, 19));
    }
    return true;
}

bool DatevExport::exportPayroll(DataFileWriter& file, double& total) {
    const std::shared_ptr<table::Database> db = table::aliases::database(m_databaseName);
    table::Table zeitart(db, u"Zeitart.DB"_s);
    table::Table zeitsum(db, u"Zeitsum.DB"_s);
    table::Table personal(db, u"Personal.DB"_s);
    zeitart.setReadOnly(true);
    zeitsum.setReadOnly(true);
    personal.setReadOnly(true);
    zeitart.open();
    zeitsum.open();
    personal.open();
    personal.setIndexName(u"P_INr"_s);
    zeitsum.setFilter(u"ZS_Monat=%1 AND ZS_Jahr=%2"_s.arg(m_vorlauf.datumVon.month())
                          .arg(m_vorlauf.datumVon.year()));
    zeitsum.setFiltered(true);
    zeitsum.first();
    if (zeitsum.eof()) {
        ShowError(u"Es wurden keine gültigen Datensätze gefunden!"_s);
        return false;
    }
    double factors[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    for (zeitart.first(); !zeitart.eof(); zeitart.next()) {
        const int type = intOf(zeitart, u"ZA_Type"_s);
        if (type >= 1 && type <= 7)
            factors[type] = floatOf(zeitart, u"ZA_Aufschlag"_s);
    }
    if (!file.writeDataHeader(m_vorlauf))
        return false;
    static const QString kHours[7] = {u"ZS_StdNormal"_s,  u"ZS_StdUeb1"_s,  u"ZS_StdUeb2"_s,
                                      u"ZS_StdUeb3"_s,    u"ZS_StdKrank"_s, u"ZS_StdUrlaub"_s,
                                      u"ZS_StdLeerlauf"_s};
    for (; !zeitsum.eof(); zeitsum.next()) {
        const int persNr = intOf(zeitsum, u"ZS_PersNo"_s);
        if (!personal.findKey({persNr}) || !boolOf(personal, u"P_OptLohnexport"_s))
            continue;
        PayrollItem items[7];
        QString line = IntToStrWidth(persNr, 6);
        for (int i = 0; i < 7; ++i) {
            items[i].hours = floatOf(zeitsum, kHours[i]);
            items[i].factor = factors[i + 1];
            line += FloatToStrLocal(8, 2, items[i].hours);
        }
        double sum = 0;
        const QByteArray record = MakePayrollRecord(m_vorlauf.format, persNr, items, sum);
        if (!reportWrite(file.writeRecord(record), u"Mitarbeiter "_s + QString::number(persNr)))
            return false;
        protocol(line);
        total += sum;
    }
    return reportWrite(file.writeTotalRecord(total), GetDatevFileName(m_vorlauf));
}

bool DatevExport::writeControlFile() {
    const QString finalName = GetControlFileName(m_vorlauf);
    QFile file(m_output->add(finalName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        ShowError(u"Datei %1 kann nicht erzeugt werden!"_s.arg(nativeName(finalName)));
        return false;
    }
    const QByteArray bytes = m_control.controlFile(m_vorlauf);
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        ShowError(u"In Datei %1 kann nicht geschrieben werden!"_s.arg(nativeName(finalName)));
        return false;
    }
    return true;
}

void DatevExport::saveCounters(table::Table& s) {
    s.edit();
    s.field(u"E_DatevLastAbrechNr"_s).setValue(m_vorlauf.abrechNr);
    s.field(u"E_DatevDatumVon"_s).setValue(m_vorlauf.datumVon);
    s.field(u"E_DatevDatumBis"_s).setValue(m_vorlauf.datumBis);
    s.field(u"E_DatevDatenTraegerNr"_s).setValue(m_vorlauf.datentraegerNr);
    s.post();
}

void DatevExport::markBookingsExported() {
    // Asked before the transaction: no box while a write transaction is open.
    const bool exported =
        AskYesNo(u"Sollen die übergebenen Buchungen als exportiert markiert werden?"_s);
    ClearJournalSelection(table::aliases::database(m_databaseName), exported);
}

} // namespace datev
