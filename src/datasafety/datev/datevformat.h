#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

// The byte layout of the DATEV transfer files: the header record of a run,
// the texts of bookings, master data and payroll records, file names. Every
// text is built as bytes: the program's texts are encoded to Windows-1252
// first, and booking texts and master values then take DATEV's own umlauts.
namespace datev {

enum class Format { Obe = 0, Kne = 1 };

// Kinds of data file (Vorlauf::anwendung).
inline constexpr int kAnwendungBuchungen = 11;
inline constexpr int kAnwendungStammdaten = 13;
inline constexpr int kAnwendungLohn = 41;

// The transfer header record of one run, filled anew by every run.
struct Vorlauf {
    int anwendung = 0;
    QString namensKuerzel;
    int beraterNr = 0;
    int mandantenNr = 0;
    int abrechNr = 0;
    QDate datumVon;
    QDate datumBis;
    int primanotaSeite = 1;
    QString passwort;
    QString beraterName;
    int datentraegerNr = 0;
    int eKonto0 = 0, eKonto7 = 0, eKonto16 = 0;
    int wKonto0 = 0, wKonto7 = 0, wKonto16 = 0;
    bool eKonto0Auto = false, eKonto7Auto = false, eKonto16Auto = false;
    bool wKonto0Auto = false, wKonto7Auto = false, wKonto16Auto = false;
    bool kontoAusRechnung = false;
    bool doBuchungen = false, doDebitoren = false, doKreditoren = false, doLohn = false;
    QString pfad; // target directory, ending in "/"
    QString selfId = QStringLiteral("SELF-ID: 99999");
    int jahr2 = 0;
    int abrechKennung = 0;
    int dateiNr = 0;
    int dateiAnzahl = 0;
    int split = 0;
    int satzart = 0;
    int gegenkonto = 0;
    int berichtigungsKz = 0;
    int steuerKz = 0;
    Format format = Format::Obe;
    int kontoLaenge = 0;
    QString dateikennung;
    QString versionskennung;
};

// One booking as the export hands it over.
struct Booking {
    int konto = 0; // ledger account of the debtor or creditor
    qint64 belegNr = 0;
    QString beleg2; // document field 2
    double amount = 0;
    QDate datum; // null: no date part
    qint64 kost1 = 0;
    qint64 kost2 = 0;
    double skonto = 0;
    QString buchtext;
    int currency = 0;
};

// Amounts in whole cents, rounded by the program's rounding rule.
qint64 Cents(double amount);
// Decimal digits with leading zeros to width; a wider number stays whole.
QByteArray Digits(qint64 value, int width);
// A text field in Windows-1252: left-aligned, filled with blanks and cut to width.
QByteArray TextField(const QString& text, int width);

QByteArray AnsiToDatevText(const QString& text);
QByteArray DateToDDMMYY(const QDate& date);    // 050304
QByteArray DateToDMMYY(const QDate& date);     // 50304
QByteArray DateToDMM(const QDate& date);       // 503
QByteArray AmountToCentsSigned(double amount); // +1234, -005, +000
QByteArray AmountToCents(double amount);       // 1234, 005, 000
QByteArray Word16Text(int value);              // low byte, high byte

void MakeVersionText(Vorlauf& vorlauf);
// 41 characters, or 45 for the control record.
QByteArray MakeVorlaufText(const Vorlauf& vorlauf, bool forControl);
QByteArray MakeAccountField(Format format, int berichtigungsKz, int steuerKz, int gegenkonto,
                            int kontoLaenge);
// The account part and tax key come from the Vorlauf.
QByteArray MakeBookingRecord(const Booking& booking, const Vorlauf& vorlauf);
// One field unit of a master-data record; empty for an empty value.
QByteArray MakeMasterField(int maxLen, int fieldNo, const QString& value);

// The master-data fields of one debtor or creditor, in record order.
struct MasterData {
    qint64 konto = 0;
    QString match;
    qint64 nr = 0;
    QString plz, ort, strasse, tel1, fax, email, tel2;
};
QByteArray MakeMasterRecord(const MasterData& data);

// The hours of time types 1 to 7 of one employee and each type's surcharge
// factor; total receives the sum of every hour and surcharge value written.
struct PayrollItem {
    double hours = 0;
    double factor = 1;
};
QByteArray MakePayrollRecord(Format format, int persNr, const PayrollItem (&items)[7],
                             double& total);

// The closing record of a booking or payroll file: x25075yz, w500yz.
QByteArray MakeTotalRecord(double total);

QString GetDatevFileName(const Vorlauf& vorlauf);
QString GetControlFileName(const Vorlauf& vorlauf);
// The name of data file n of a format, without directory.
QString DataFileBaseName(Format format, int nr);

} // namespace datev
