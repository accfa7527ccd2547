#include "datasafety/datev/datevformat.h"

#include "core/values/money.h"
#include "core/values/rangeerrors.h"

#include <QStringEncoder>
#include <cmath>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace datev {

namespace {

QByteArray windows1252(const QString& text) {
    QStringEncoder encoder("windows-1252", QStringEncoder::Flag::Default);
    QByteArray bytes = encoder.encode(text);
    return bytes;
}

QByteArray blanks(int count) {
    return QByteArray(count, ' ');
}

QByteArray lastDigits(qint64 value, int count) {
    const QByteArray text = QByteArray::number(value);
    return text.size() > count ? text.right(count) : text;
}

QByteArray firstDigits(qint64 value, int count) {
    return QByteArray::number(value).left(count);
}

QByteArray centsText(qint64 cents) {
    return Digits(std::llabs(cents), 3);
}

QByteArray withoutLeadingZeros(const QByteArray& text) {
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == '0')
        ++i;
    return text.mid(i);
}

constexpr char kFieldStart = 0x1E;
constexpr char kFieldEnd = 0x1C;

// A "KNE" part: its lead byte, the value and the field end.
QByteArray kneField(int lead, const QByteArray& value) {
    QByteArray part(1, char(lead));
    part.append(value);
    part.append(kFieldEnd);
    return part;
}

// An "OBE" part: its letter and the value.
QByteArray obeField(char letter, const QByteArray& value) {
    QByteArray part(1, letter);
    part.append(value);
    return part;
}

} // namespace

QByteArray Digits(qint64 value, int width) {
    QByteArray text = QByteArray::number(value);
    if (value >= 0 && text.size() < width)
        text.prepend(QByteArray(width - text.size(), '0'));
    return text;
}

QByteArray TextField(const QString& text, int width) {
    QByteArray bytes = windows1252(text).left(width);
    if (bytes.size() < width)
        bytes.append(QByteArray(width - bytes.size(), ' '));
    return bytes;
}

qint64 Cents(double amount) {
    const double cents = std::round(RoundCents(amount) * 100.0);
    if (!std::isfinite(cents) || std::fabs(cents) > 9.0e15)
        RaiseRangeError();
    return qint64(cents);
}

QByteArray AnsiToDatevText(const QString& text) {
    static constexpr std::pair<unsigned char, unsigned char> kMap[] = {
        {0xDF, 0xE1}, {0x80, 0xFE}, {0xE4, 0x84}, {0xF6, 0x94},
        {0xFC, 0x81}, {0xC4, 0x8E}, {0xD6, 0x99}, {0xDC, 0x9A}};
    QByteArray bytes = windows1252(text);
    for (const auto& [from, to] : kMap)
        bytes.replace(char(from), char(to));
    return bytes;
}

QByteArray DateToDDMMYY(const QDate& date) {
    return Digits(date.day(), 2) + Digits(date.month(), 2) + Digits(date.year() % 100, 2);
}

QByteArray DateToDMMYY(const QDate& date) {
    return QByteArray::number(date.day()) + Digits(date.month(), 2) + Digits(date.year() % 100, 2);
}

QByteArray DateToDMM(const QDate& date) {
    return QByteArray::number(date.day()) + Digits(date.month(), 2);
}

QByteArray AmountToCentsSigned(double amount) {
    const qint64 cents = Cents(amount);
    return (cents >= 0 ? "+"_ba : "-"_ba) + centsText(cents);
}

QByteArray AmountToCents(double amount) {
    return centsText(Cents(amount));
}

QByteArray Word16Text(int value) {
    if (value < 0 || value > 0xFFFF)
        RaiseRangeError();
    const auto word = quint16(value);
    QByteArray bytes;
    bytes.append(char(word & 0xFF));
    bytes.append(char(word >> 8));
    return bytes;
}

void MakeVersionText(Vorlauf& vorlauf) {
    const QString length = QString::number(vorlauf.kontoLaenge);
    vorlauf.versionskennung = u"1,"_s + length + u',' + length + u",SELF"_s;
}

QByteArray MakeVorlaufText(const Vorlauf& v, bool forControl) {
    QByteArray text = Digits(v.anwendung, 2) + TextField(v.namensKuerzel, 2) +
                      Digits(v.beraterNr, 7) + Digits(v.mandantenNr, 5) +
                      Digits(v.abrechKennung, 6);
    if (!forControl)
        text += DateToDDMMYY(v.datumVon) + DateToDDMMYY(v.datumBis);
    else if (v.anwendung == kAnwendungStammdaten)
        text += blanks(16);
    else
        text += "0000"_ba + DateToDDMMYY(v.datumVon) + DateToDDMMYY(v.datumBis);
    return text + Digits(v.primanotaSeite, 3) + TextField(v.passwort, 4);
}

QByteArray MakeAccountField(Format format, int berichtigungsKz, int steuerKz, int gegenkonto,
                            int kontoLaenge) {
    const QByteArray keys = QByteArray::number(berichtigungsKz) + QByteArray::number(steuerKz);
    if (format == Format::Obe)
        return "a"_ba + withoutLeadingZeros(keys + Digits(gegenkonto, 5));
    QByteArray field;
    const QByteArray key = withoutLeadingZeros(keys);
    if (!key.isEmpty())
        field = "l"_ba + key;
    return field + "a"_ba + Digits(gegenkonto, kontoLaenge);
}

QByteArray MakeBookingRecord(const Booking& b, const Vorlauf& v) {
    const bool kne = v.format == Format::Kne;
    QByteArray r =
        AmountToCentsSigned(b.amount) +
        MakeAccountField(v.format, v.berichtigungsKz, v.steuerKz, v.gegenkonto, v.kontoLaenge);
    if (b.belegNr != 0)
        r += kne ? kneField(0xBD, lastDigits(b.belegNr, 12))
                 : obeField('b', lastDigits(b.belegNr, 6));
    if (!b.beleg2.trimmed().isEmpty()) {
        const QByteArray beleg2 = windows1252(b.beleg2);
        r += kne ? kneField(0xBE, beleg2.left(12)) : obeField('c', beleg2.left(6));
    }
    if (b.datum.isValid())
        r += "d"_ba + DateToDMM(b.datum);
    if (b.konto != 0)
        r += "e"_ba + QByteArray::number(b.konto);
    if (b.kost1 != 0)
        r += kne ? kneField(0xBB, firstDigits(b.kost1, 8))
                 : obeField('f', QByteArray::number(b.kost1));
    if (b.kost2 != 0)
        r += kne ? kneField(0xBC, firstDigits(b.kost2, 8))
                 : obeField('g', QByteArray::number(b.kost2));
    if (Cents(b.skonto) != 0)
        r += "h"_ba + AmountToCents(b.skonto);
    // Leading blanks of the text are part of it; only the test for an empty
    // text ignores them.
    if (!b.buchtext.trimmed().isEmpty())
        r += kFieldStart + AnsiToDatevText(b.buchtext).left(30) + kFieldEnd;
    if (b.currency != 0)
        r += kne ? kneField(0xB3, "EUR"_ba) : obeField('o', QByteArray::number(b.currency));
    return r + "y"_ba;
}

QByteArray MakeMasterField(int maxLen, int fieldNo, const QString& value) {
    const QString trimmed = value.trimmed();
    if (trimmed.isEmpty())
        return {};
    QByteArray text = AnsiToDatevText(trimmed);
    // Long values keep their first 18 and then 20 more characters behind the
    // continuation mark; the cut to the field's length comes after.
    if (text.size() > 20)
        text = text.left(18) + "=*"_ba + text.mid(18, 20);
    return "t"_ba + Digits(fieldNo, 3) + kFieldStart + text.left(maxLen) + kFieldEnd + "y"_ba;
}

QByteArray MakeMasterRecord(const MasterData& d) {
    return MakeMasterField(1, 101, u"1"_s) + MakeMasterField(9, 102, QString::number(d.konto)) +
           MakeMasterField(40, 103, d.match) + MakeMasterField(15, 104, QString::number(d.nr)) +
           MakeMasterField(10, 106, d.plz) + MakeMasterField(30, 107, d.ort) +
           MakeMasterField(35, 108, d.strasse) + MakeMasterField(20, 710, d.tel1) +
           MakeMasterField(20, 711, d.fax) + MakeMasterField(40, 712, d.email) +
           MakeMasterField(20, 802, d.tel2);
}

QByteArray MakePayrollRecord(Format format, int persNr, const PayrollItem (&items)[7],
                             double& total) {
    const QByteArray person = "d"_ba + QByteArray::number(persNr) + "y"_ba;
    QByteArray r;
    for (int type = 1; type <= 7; ++type) {
        const PayrollItem& item = items[type - 1];
        if (Cents(item.hours) == 0)
            continue;
        const QByteArray typeText = QByteArray::number(type);
        r += AmountToCentsSigned(item.hours) + "a1"_ba +
             (format == Format::Kne ? kneField(0xBE, typeText) : obeField('c', typeText)) + person;
        total += RoundCents(item.hours);
        const double surcharge = (item.factor - 1.0) * 100.0;
        if (Cents(surcharge) != 0) {
            r += AmountToCentsSigned(surcharge) + "a20"_ba + person;
            total += RoundCents(surcharge);
        }
    }
    return r;
}

QByteArray MakeTotalRecord(double total) {
    return (Cents(total) >= 0 ? "x"_ba : "w"_ba) + AmountToCents(total) + "yz"_ba;
}

QString DataFileBaseName(Format format, int nr) {
    return format == Format::Obe ? u"DE"_s + QString::number(nr).rightJustified(3, u'0')
                                 : u"ED"_s + QString::number(nr).rightJustified(5, u'0');
}

QString GetDatevFileName(const Vorlauf& v) {
    return v.pfad + DataFileBaseName(v.format, v.dateiNr);
}

QString GetControlFileName(const Vorlauf& v) {
    return v.pfad + (v.format == Format::Obe ? u"DV01"_s : u"EV01"_s);
}

} // namespace datev
