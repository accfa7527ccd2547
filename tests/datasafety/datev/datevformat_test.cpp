#include "datasafety/datev/datevformat.h"
#include "datasafety/datev/datevwriter.h"

#include <QBuffer>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace datev;

namespace {

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

Vorlauf sampleVorlauf(Format format) {
    Vorlauf v;
    v.format = format;
    v.anwendung = kAnwendungBuchungen;
    v.namensKuerzel = u"HM"_s;
    v.beraterNr = 1234567;
    v.mandantenNr = 12345;
    v.abrechNr = 7;
    v.jahr2 = 4;
    v.abrechKennung = 704;
    v.datumVon = QDate(2004, 3, 1);
    v.datumBis = QDate(2004, 3, 31);
    v.passwort = u"geh1"_s;
    v.beraterName = u"Müller"_s;
    v.datentraegerNr = 12;
    v.kontoLaenge = 4;
    v.dateikennung = u"1"_s;
    MakeVersionText(v);
    return v;
}

TEST(DatevText, DatesAsTheTransferWritesThem) {
    const QDate date(2004, 3, 5);
    EXPECT_EQ(DateToDDMMYY(date), "050304");
    EXPECT_EQ(DateToDMMYY(date), "50304");
    EXPECT_EQ(DateToDMM(date), "503");
    EXPECT_EQ(DateToDMM(QDate(2004, 3, 15)), "1503");
}

TEST(DatevText, AmountsInCentsWithAndWithoutSign) {
    const struct {
        double amount;
        const char* signedText;
        const char* unsignedText;
    } cases[] = {{12.34, "+1234", "1234"},
                 {-0.05, "-005", "005"},
                 {0.0, "+000", "000"},
                 {1.005, "+101", "101"},
                 {-119.0, "-11900", "11900"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.amount);
        EXPECT_EQ(AmountToCentsSigned(c.amount), QByteArray(c.signedText));
        EXPECT_EQ(AmountToCents(c.amount), QByteArray(c.unsignedText));
    }
}

TEST(DatevText, UmlautsTakeDatevBytesAndNothingElseChanges) {
    EXPECT_EQ(AnsiToDatevText(u"Straße äöü ÄÖÜ €"_s),
              "Stra"_ba + bytes({0xE1}) + "e "_ba + bytes({0x84, 0x94, 0x81}) + " "_ba +
                  bytes({0x8E, 0x99, 0x9A}) + " "_ba + bytes({0xFE}));
    EXPECT_EQ(AnsiToDatevText(u"Abc-123 é"_s), "Abc-123 "_ba + bytes({0xE9}));
}

TEST(DatevText, Word16IsLittleEndianAndRefusesWhatDoesNotFit) {
    EXPECT_EQ(Word16Text(0x0102), bytes({0x02, 0x01}));
    EXPECT_EQ(Word16Text(300), bytes({0x2C, 0x01}));
    EXPECT_ANY_THROW(Word16Text(70000));
    EXPECT_ANY_THROW(Word16Text(-1));
}

TEST(DatevText, AccountPartOfBothFormats) {
    const struct {
        Format format;
        int steuerKz;
        const char* expected;
    } cases[] = {{Format::Obe, 3, "a308400"},
                 {Format::Kne, 3, "l3a8400"},
                 {Format::Obe, 0, "a8400"},
                 {Format::Kne, 0, "a8400"}};
    for (const auto& c : cases)
        EXPECT_EQ(MakeAccountField(c.format, 0, c.steuerKz, 8400, 4), QByteArray(c.expected));
    // "KNE" pads the account to the account length and never cuts it.
    EXPECT_EQ(MakeAccountField(Format::Kne, 0, 2, 840, 5), "l2a00840");
    EXPECT_EQ(MakeAccountField(Format::Kne, 0, 2, 123456, 4), "l2a123456");
}

TEST(DatevText, AccountingKeysOfTheThreeKinds) {
    Vorlauf v = sampleVorlauf(Format::Obe);
    v.abrechKennung = 7 * 100 + 4;
    EXPECT_EQ(MakeVorlaufText(v, false).mid(16, 6), "000704");
    v.abrechKennung = 18900 + 4;
    EXPECT_EQ(MakeVorlaufText(v, false).mid(16, 6), "018904");
    v.abrechKennung = 40000 + 4;
    EXPECT_EQ(MakeVorlaufText(v, false).mid(16, 6), "040004");
}

TEST(DatevText, HeaderTextAndItsControlVariant) {
    Vorlauf v = sampleVorlauf(Format::Obe);
    EXPECT_EQ(MakeVorlaufText(v, false), "11HM123456712345000704010304310304001geh1");
    EXPECT_EQ(MakeVorlaufText(v, true), "11HM1234567123450007040000010304310304001geh1");
    v.anwendung = kAnwendungStammdaten;
    v.abrechKennung = 18904;
    EXPECT_EQ(MakeVorlaufText(v, true), "13HM123456712345018904                001geh1");
    // Short texts are filled, long ones cut; wide numbers stay whole.
    v.namensKuerzel = u"X"_s;
    v.passwort = u"langes"_s;
    v.mandantenNr = 123456;
    EXPECT_EQ(MakeVorlaufText(v, false), "13X 1234567123456018904010304310304001lang");
}

TEST(DatevText, VersionTextNamesTheAccountLength) {
    Vorlauf v;
    v.kontoLaenge = 4;
    MakeVersionText(v);
    EXPECT_EQ(v.versionskennung, u"1,4,4,SELF"_s);
}

TEST(DatevText, BookingRecordWithEveryOptionalPart) {
    Booking b;
    b.konto = 10000;
    b.belegNr = 1234567;
    b.beleg2 = u"150304"_s;
    b.amount = 119.0;
    b.datum = QDate(2004, 3, 5);
    b.kost1 = 123456789;
    b.kost2 = 42;
    b.skonto = 2.38;
    b.buchtext = u"  Müller Rg 1"_s;
    b.currency = 1;
    Vorlauf v = sampleVorlauf(Format::Obe);
    v.gegenkonto = 8400;
    v.steuerKz = 3;
    EXPECT_EQ(MakeBookingRecord(b, v), "+11900a308400b234567c150304d503e10000f123456789g42h238"_ba +
                                           bytes({0x1E}) + "  M"_ba + bytes({0x81}) +
                                           "ller Rg 1"_ba + bytes({0x1C}) + "o1y"_ba);
    v.format = Format::Kne;
    EXPECT_EQ(MakeBookingRecord(b, v),
              "+11900l3a8400"_ba + bytes({0xBD}) + "1234567"_ba + bytes({0x1C, 0xBE}) +
                  "150304"_ba + bytes({0x1C}) + "d503e10000"_ba + bytes({0xBB}) + "12345678"_ba +
                  bytes({0x1C, 0xBC}) + "42"_ba + bytes({0x1C}) + "h238"_ba + bytes({0x1E}) +
                  "  M"_ba + bytes({0x81}) + "ller Rg 1"_ba + bytes({0x1C, 0xB3}) + "EUR"_ba +
                  bytes({0x1C}) + "y"_ba);
}

TEST(DatevText, BookingRecordLeavesOutEmptyPartsAndCutsLongOnes) {
    Booking b;
    b.amount = -5.0;
    b.buchtext = u"   "_s; // blank: no text part
    Vorlauf v = sampleVorlauf(Format::Obe);
    v.gegenkonto = 8400;
    EXPECT_EQ(MakeBookingRecord(b, v), "-500a8400y");
    b.buchtext = QString(40, u'x');
    b.belegNr = 12;
    EXPECT_EQ(MakeBookingRecord(b, v),
              "-500a8400b12"_ba + bytes({0x1E}) + QByteArray(30, 'x') + bytes({0x1C}) + "y"_ba);
}

TEST(DatevText, MasterFieldsAndTheContinuationOfLongValues) {
    EXPECT_EQ(MakeMasterField(10, 106, u"  "_s), QByteArray());
    EXPECT_EQ(MakeMasterField(1, 101, u"1"_s),
              "t101"_ba + bytes({0x1E}) + "1"_ba + bytes({0x1C}) + "y"_ba);
    // A street of 30 characters: its first 18, "=*" and the remaining 12.
    const QString street = u"Am langen Weg der Gaertner 12a"_s;
    ASSERT_EQ(street.size(), 30);
    EXPECT_EQ(MakeMasterField(35, 108, street), "t108"_ba + bytes({0x1E}) +
                                                    "Am langen Weg der =*Gaertner 12a"_ba +
                                                    bytes({0x1C}) + "y"_ba);
    // The mark comes first, the cut to the field's length after it.
    EXPECT_EQ(MakeMasterField(20, 710, QString(30, u'9')),
              "t710"_ba + bytes({0x1E}) + QByteArray(18, '9') + "=*"_ba + bytes({0x1C}) + "y"_ba);
}

TEST(DatevText, PayrollRecordWithSurcharge) {
    PayrollItem items[7];
    items[1] = {8.5, 1.25};
    double total = 0;
    EXPECT_EQ(MakePayrollRecord(Format::Obe, 17, items, total), "+850a1c2d17y+2500a20d17y");
    EXPECT_DOUBLE_EQ(total, 33.5);
    total = 0;
    EXPECT_EQ(MakePayrollRecord(Format::Kne, 17, items, total),
              "+850a1"_ba + bytes({0xBE}) + "2"_ba + bytes({0x1C}) + "d17y+2500a20d17y"_ba);
    PayrollItem none[7];
    EXPECT_EQ(MakePayrollRecord(Format::Obe, 17, none, total), QByteArray());
}

TEST(DatevText, TotalRecords) {
    EXPECT_EQ(MakeTotalRecord(250.75), "x25075yz");
    EXPECT_EQ(MakeTotalRecord(-5.0), "w500yz");
    EXPECT_EQ(MakeTotalRecord(0.0), "x000yz");
}

TEST(DatevText, FileNames) {
    Vorlauf v = sampleVorlauf(Format::Obe);
    v.pfad = u"/tmp/datev/"_s;
    v.dateiNr = 2;
    EXPECT_EQ(GetDatevFileName(v), u"/tmp/datev/DE002"_s);
    EXPECT_EQ(GetControlFileName(v), u"/tmp/datev/DV01"_s);
    v.format = Format::Kne;
    EXPECT_EQ(GetDatevFileName(v), u"/tmp/datev/ED00002"_s);
    EXPECT_EQ(GetControlFileName(v), u"/tmp/datev/EV01"_s);
}

class BlockWriter : public ::testing::Test {
protected:
    void SetUp() override { buffer.open(QIODevice::WriteOnly); }
    QBuffer buffer;
    DataFileWriter writer{buffer};
};

TEST_F(BlockWriter, HeadersRaiseTheCounterByTheirLengthMinusOne) {
    Vorlauf v = sampleVorlauf(Format::Obe);
    ASSERT_TRUE(writer.writeDataHeader(v));
    EXPECT_EQ(buffer.data().size(), 80);
    EXPECT_EQ(writer.counter(), 79);
    EXPECT_EQ(buffer.data().left(6), bytes({0x1D, 0x18}) + "1012"_ba);
    EXPECT_EQ(buffer.data().mid(47, 16), "SELF-ID: 99999  ");
    EXPECT_EQ(buffer.data().right(1), "y");
}

TEST_F(BlockWriter, KneHeadersCarryTheirVersionRecord) {
    Vorlauf v = sampleVorlauf(Format::Kne);
    ASSERT_TRUE(writer.writeDataHeader(v));
    EXPECT_EQ(writer.counter(), 79 + 13);
    EXPECT_EQ(buffer.data().mid(80), bytes({0xB5}) + "1,4,4,SELF"_ba + bytes({0x1C}) + "y"_ba);
    QBuffer master;
    master.open(QIODevice::WriteOnly);
    DataFileWriter masterWriter(master);
    v.anwendung = kAnwendungStammdaten;
    ASSERT_TRUE(masterWriter.writeMasterHeader(v));
    EXPECT_EQ(master.data().size(), 65 + 13);
    EXPECT_EQ(masterWriter.counter(), 64 + 13);
    EXPECT_EQ(quint8(master.data().at(65)), 0xB6);
}

TEST_F(BlockWriter, ARecordEndingAtByte250StaysOneByteMoreMoves) {
    // Counter 79 after the header: 80 bytes written. A record of 170 bytes
    // fills the block up to byte 250.
    Vorlauf v = sampleVorlauf(Format::Obe);
    ASSERT_TRUE(writer.writeDataHeader(v));
    ASSERT_EQ(writer.writeRecord(QByteArray(170, 'a')), WriteResult::Ok);
    EXPECT_EQ(buffer.data().size(), 250);
    EXPECT_EQ(writer.counter(), 249);

    QBuffer other;
    other.open(QIODevice::WriteOnly);
    DataFileWriter moved(other);
    ASSERT_TRUE(moved.writeDataHeader(v));
    ASSERT_EQ(moved.writeRecord(QByteArray(171, 'a')), WriteResult::Ok);
    // 176 zero bytes close the first block, the record starts the second.
    EXPECT_EQ(other.data().size(), 256 + 171);
    EXPECT_EQ(other.data().mid(80, 176), QByteArray(176, '\0'));
    EXPECT_EQ(moved.counter(), 256 + 170);
}

TEST_F(BlockWriter, TheClosingRecordFillsTheBlockWithoutRaisingTheCounter) {
    Vorlauf v = sampleVorlauf(Format::Obe);
    ASSERT_TRUE(writer.writeDataHeader(v));
    ASSERT_EQ(writer.writeRecord("+1000a8400y"), WriteResult::Ok);
    ASSERT_EQ(writer.writeTotalRecord(10.0), WriteResult::Ok);
    EXPECT_EQ(buffer.data().size(), 256);
    EXPECT_EQ(writer.counter(), 79 + 11 + 7);
    EXPECT_EQ(writer.blocks(), 1);
    EXPECT_EQ(writer.lastPos(), 97);
    EXPECT_EQ(buffer.data().mid(91, 7), "x1000yz");
}

TEST_F(BlockWriter, EveryBlockKeepsItsLastSixBytesAndTheFileEndsOnABoundary) {
    Vorlauf v = sampleVorlauf(Format::Obe);
    ASSERT_TRUE(writer.writeDataHeader(v));
    for (int i = 0; i < 500; ++i)
        ASSERT_EQ(writer.writeRecord(QByteArray(7 + i % 40, 'r')), WriteResult::Ok);
    ASSERT_EQ(writer.writeMasterEnd(), WriteResult::Ok);
    const QByteArray data = buffer.data();
    EXPECT_EQ(data.size(), writer.blocks() * 256);
    for (qsizetype block = 0; block < data.size(); block += 256)
        EXPECT_EQ(data.mid(block + 250, 6), QByteArray(6, '\0')) << block;
}

TEST_F(BlockWriter, TooLongRecordsAndTooLargeFilesAreRefusedUnwritten) {
    Vorlauf v = sampleVorlauf(Format::Obe);
    ASSERT_TRUE(writer.writeDataHeader(v));
    EXPECT_EQ(writer.writeRecord(QByteArray(251, 'a')), WriteResult::TooLong);
    EXPECT_EQ(buffer.data().size(), 80);
    EXPECT_EQ(writer.writeRecord(QByteArray(250, 'a')), WriteResult::Ok);
    // 32,767 blocks is the most a file may have.
    int records = 1;
    WriteResult result = WriteResult::Ok;
    while ((result = writer.writeRecord(QByteArray(250, 'a'))) == WriteResult::Ok)
        ++records;
    EXPECT_EQ(result, WriteResult::TooLarge);
    EXPECT_EQ(writer.blocks(), 32767);
    EXPECT_EQ(records, 32766);
    EXPECT_EQ(writer.writeTotalRecord(0), WriteResult::TooLarge);
}

TEST_F(BlockWriter, AFailingDeviceIsReported) {
    buffer.close();
    buffer.open(QIODevice::ReadOnly);
    EXPECT_FALSE(writer.writeDataHeader(sampleVorlauf(Format::Obe)));
    EXPECT_EQ(writer.writeRecord("x"), WriteResult::Failed);
}

TEST(DatevControl, TwoDataFilesMake192BytesInObeAnd384InKne) {
    for (Format format : {Format::Obe, Format::Kne}) {
        Vorlauf v = sampleVorlauf(format);
        ControlRecords control;
        v.dateiNr = v.dateiAnzahl = 1;
        control.store(v, 3, 17);
        v.dateiNr = v.dateiAnzahl = 2;
        v.anwendung = kAnwendungStammdaten;
        v.abrechKennung = 18904;
        control.store(v, 1, 99);
        const QByteArray file = control.controlFile(v);
        EXPECT_EQ(file.size(), format == Format::Obe ? 192 : 384);
    }
}

TEST(DatevControl, RecordsOfBothFormats) {
    Vorlauf v = sampleVorlauf(Format::Obe);
    v.dateiNr = v.dateiAnzahl = 1;
    ControlRecords control;
    control.store(v, 3, 17);
    EXPECT_EQ(control.slot(1), "V"_ba + bytes({1, 0}) +
                                   "11HM1234567123450007040000010304310304001geh1"_ba +
                                   bytes({3, 0, 17, 0, 1, 0}) + QByteArray(9, ' ') + "1"_ba);
    EXPECT_EQ(control.controlFile(v).left(64), "012   1234567M"_ba + bytes({0xFC}) + "ller    "_ba +
                                                   bytes({1, 0, 1, 0}) + QByteArray(37, ' '));
    v.format = Format::Kne;
    control.store(v, 3, 17);
    EXPECT_EQ(control.slot(1), "V00001"_ba + "11HM1234567123450007040000010304310304001geh1"_ba +
                                   "00003001 11,4,4,SELF    "_ba + QByteArray(53, ' '));
    EXPECT_EQ(control.slot(1).size(), 128);
    EXPECT_EQ(control.controlFile(v).left(128),
              "012   1234567M"_ba + bytes({0xFC}) + "ller    0000100001"_ba + QByteArray(95, ' '));
}

} // namespace
