#include "core/files/programdirs.h"
#include "documentprintfixture.h"
#include "platform/table/database.h"
#include "platform/table/session.h"
#include "printing/defaultprintforms.h"
#include "printing/documentprints.h"
#include "printing/formlayout.h"
#include "printing/formtypes.h"
#include "printing/printprotocol.h"

#include <QCryptographicHash>
#include <QTextCharFormat>
#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

class OtherForms : public docprint::DocumentPrintFixture {
protected:
    void SetUp() override {
        DocumentPrintFixture::SetUp();
        usePartoptTexts();
    }
    QString layoutOf(int formType, const QStringList& on) {
        return writeLayoutOf(formType + 1, FindFormType(formType)->reportClass.toString(),
                             enable(on));
    }
};

// Without lines, the delivery note, incoming invoice and purchase order print
// their column header over one empty line band; the others print neither.
TEST_F(OtherForms, ADocumentWithoutLinesPrintsAnEmptyLineBandWhereItsFormWantsOne) {
    const struct {
        int formType;
        QString head;
        std::function<void()> print;
        bool band;
    } cases[] = {
        {40000, u"LSkopf.DB"_s, [] { PrintDeliveryNote(1, false, {}); }, true},
        {57000, u"ERKopf.DB"_s, [] { PrintIncomingInvoice(1, false, {}); }, true},
        {76000, u"Bestkopf.DB"_s, [] { PrintBestellung(1, false, {}); }, true},
        {12000, u"Angkopf.DB"_s, [] { PrintOffer(1, false, {}); }, false},
        {13000, u"Auftkopf.DB"_s, [] { PrintOrder(1, false, {}); }, false},
        {14000, u"Gskopf.DB"_s, [] { PrintCreditNote(1, false, false, {}); }, false},
        {10000, u"Rechkopf.DB"_s, [] { PrintInvoice(1, false, false, {}); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.formType);
        addHead(c.head, 1, u"NR-1"_s);
        outputs = 0;
        c.print();
        ASSERT_EQ(outputs, 1);
        EXPECT_EQ(printed.of(u"L_Menge"_s), c.band ? QStringList{u"Menge"_s} : QStringList{});
        EXPECT_EQ(printed.of(u"S_Menge"_s), c.band ? QStringList{QString()} : QStringList{});
        EXPECT_EQ(printed.of(u"S_Netto"_s), c.band ? QStringList{QString()} : QStringList{});
    }
}

TEST_F(OtherForms, AnOfferPrintsNormalLinesAfterASubtotalUpright) {
    addHead(u"Angkopf.DB"_s, 1, u"AN-1"_s);
    addLines(u"AngSatz.DB"_s, 1,
             {{1000000, 4, u"Zwischensumme"_s, 0, 0, 50},
              {2000000, 0, u"Fensterreinigung"_s, 2, 25, 50},
              {3000000, 2, u"Bei Bedarf"_s, 1, 30, 30}});
    PrintOffer(1, false, {});
    const auto netto = printed.items(u"S_Netto"_s);
    ASSERT_EQ(netto.size(), 3u);
    EXPECT_TRUE(netto[0].font.bold);
    EXPECT_FALSE(netto[1].font.bold);
    EXPECT_FALSE(netto[1].font.italic);
    EXPECT_EQ(netto[1].text, money(50));
    EXPECT_TRUE(netto[2].font.italic);
    EXPECT_EQ(netto[2].text, u"bei Bedarf"_s);
    EXPECT_EQ(printed.of(u"S_Art"_s), (QStringList{QString(), u"Normal"_s, u"Bedarf"_s}));
}

// The order's and the credit note's subtotals are never bold; their
// carry-over holds the printed net of normal lines even with the gross column on.
TEST_F(OtherForms, TheCarryOverIsTheNetOfNormalLinesAlsoWithTheGrossColumnOn) {
    const QStringList on{u"S_Brutto"_s, u"L_Uebertrag0"_s, u"lb_Uebertrag0"_s};
    const struct {
        int formType;
        QString head, lines;
        std::function<void(const QString&)> print;
    } cases[] = {
        {13000, u"Auftkopf.DB"_s, u"AuftSatz.DB"_s,
         [](const QString& l) { PrintOrder(1, false, l); }},
        {14000, u"Gskopf.DB"_s, u"GsSatz.DB"_s,
         [](const QString& l) { PrintCreditNote(1, false, false, l); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.formType);
        addHead(c.head, 1, u"NR-1"_s);
        addLines(c.lines, 1,
                 {{1000000, 0, u"Eins"_s, 1, 100, 100},
                  {2000000, 1, u"Alternative"_s, 1, 50, 50},
                  {3000000, 4, u"Zwischensumme"_s, 0, 0, 100},
                  {4000000, 0, u"Zwei"_s, 1, 20, 20}});
        c.print(layoutOf(c.formType, on));
        EXPECT_DOUBLE_EQ(DocumentPrintStateOf(c.formType).carryOver, 120.0);
        const auto netto = printed.items(u"S_Netto"_s);
        ASSERT_EQ(netto.size(), 4u);
        EXPECT_FALSE(netto[2].font.bold);
        EXPECT_TRUE(netto[1].font.italic);
        EXPECT_EQ(printed.of(u"S_Brutto"_s)[0], money(119));
        // The order's gross column shows the kind texts like its net column.
        EXPECT_EQ(printed.of(u"S_Brutto"_s)[1],
                  c.formType == 13000 ? u"Alternativ"_s : money(59.5));
    }
}

TEST_F(OtherForms, TheIncomingInvoiceReadsTheOpenOnesForAnySourceButZero) {
    addHead(u"ERKopf.DB"_s, 3, u"ER-Liste"_s);
    addLines(u"ERSatz.DB"_s, 3,
             {{0, QVariant(), u"Gutschrift Lieferant"_s, 1, -12.5, -12.5},
              {0, QVariant(), u"Kostenlos"_s, 1, 0, 0}});
    addHead(u"OERkopf.DB"_s, 3, u"ER-offen"_s);
    for (const int source : {0, 1, 2}) {
        SCOPED_TRACE(source);
        RgPrintSourceScope scope(source);
        PrintIncomingInvoice(3, false, {});
        EXPECT_EQ(printed.of(u"R_RgNr1"_s),
                  QStringList{source == 0 ? u"ER-Liste"_s : u"ER-offen"_s});
    }
    PrintIncomingInvoice(3, false, {});
    EXPECT_EQ(printed.of(u"S_Netto"_s), (QStringList{money(-12.5), QString()}));
    EXPECT_EQ(printed.of(u"S_Menge"_s), (QStringList{u"1,00"_s, u"1,00"_s}));
    EXPECT_EQ(printed.of(u"S_Epreis"_s), (QStringList{money(-12.5), QString()}));
}

// The line VAT columns split by the installation's default code.
TEST_F(OtherForms, VatAmountColumnsSplitByTheDefaultCode) {
    const QStringList on{u"S_MwstBetrag8"_s, u"S_MwstBetrag16"_s};
    const QList<Line> lines{{1000000, 0, u"Voll"_s, 1, 100, 100, 1},
                            {2000000, 0, u"Ermäßigt"_s, 1, 100, 100, 2}};
    addHead(u"Bestkopf.DB"_s, 1, u"BS-1"_s);
    addLines(u"BestSatz.DB"_s, 1, lines);
    PrintBestellung(1, false, layoutOf(76000, on + QStringList{u"S_MwstBetrag"_s}));
    EXPECT_EQ(printed.of(u"S_MwstBetrag8"_s), (QStringList{QString(), money(7)}));
    EXPECT_EQ(printed.of(u"S_MwstBetrag16"_s), (QStringList{money(19), QString()}));
    EXPECT_EQ(printed.of(u"S_MwstBetrag"_s), (QStringList{money(19), QString()}));

    addHead(u"Rechkopf.DB"_s, 1, u"AR-1"_s);
    addLines(u"RechSatz.DB"_s, 1, lines);
    PrintInvoice(1, false, false, layoutOf(10000, on));
    EXPECT_EQ(printed.of(u"S_MwstBetrag8"_s), (QStringList{QString(), money(7)}));
    EXPECT_EQ(printed.of(u"S_MwstBetrag16"_s), (QStringList{money(19), QString()}));
}

TEST_F(OtherForms, EachFormWritesItsVatCaptionsItsOwnWay) {
    const struct {
        int formType;
        QString head;
        std::function<void(const QString&)> print;
        QString full, fullSum, reduced;
    } cases[] = {
        {13000, u"Auftkopf.DB"_s, [](const QString& l) { PrintOrder(1, false, l); }, u"19,0%"_s,
         u"19,0%"_s, u"7,0%"_s},
        {12000, u"Angkopf.DB"_s, [](const QString& l) { PrintOffer(1, false, l); }, u"19,0 %"_s,
         u"19,0 %"_s, u"7,0 %"_s},
        {57000, u"ERKopf.DB"_s, [](const QString& l) { PrintIncomingInvoice(1, false, l); },
         u"Mwst 19,0%"_s, u"Summe Mwst 19,0%"_s, u"Mwst 7,0%"_s},
        {76000, u"Bestkopf.DB"_s, [](const QString& l) { PrintBestellung(1, false, l); },
         u"Mwst 19.0%"_s, u"Summe Mwst 19.0%"_s, u"Mwst 7.0%"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.formType);
        // The purchase order takes today's rates while its print date is empty.
        addHead(
            c.head, 1, u"NR-1"_s,
            {{u"R_DatumDruck"_s, c.formType == 76000 ? QVariant() : QVariant(QDate(2024, 3, 15))}});
        c.print(layoutOf(c.formType, {u"L_Mwst16_2"_s, u"L_Mwst16Summe"_s, u"L_Mwst8_2"_s}));
        EXPECT_EQ(printed.of(u"L_Mwst16_2"_s), QStringList{c.full});
        EXPECT_EQ(printed.of(u"L_Mwst16Summe"_s), QStringList{c.fullSum});
        EXPECT_EQ(printed.of(u"L_Mwst8_2"_s), QStringList{c.reduced});
    }
}

TEST_F(OtherForms, IncomingInvoiceTermsCountFromTheDateOfReceipt) {
    addHead(u"ERKopf.DB"_s, 1, u"ER-1"_s,
            {{u"R_DatumEingang"_s, QDate(2024, 3, 20)},
             {u"R_ZahlBed"_s, u"Fällig am @ZBD1[dd.mm.yyyy]"_s},
             {u"R_ZahlBedTage"_s, 10}});
    PrintIncomingInvoice(1, false, {});
    EXPECT_EQ(printed.of(u"R_Zahlungsbed"_s), QStringList{u"Fällig am 30.03.2024"_s});
}

TEST_F(OtherForms, TheOrderPrintsTheDataOfItsObjectOrNothingForAnUnknownOne) {
    addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 1},
                             {u"O_Nr"_s, 500},
                             {u"O_Match"_s, u"Lindenhof"_s},
                             {u"O_Telefon"_s, u"0123 4567"_s}});
    addHead(u"Auftkopf.DB"_s, 1, u"AU-1"_s);
    addHead(u"Auftkopf.DB"_s, 2, u"AU-2"_s, {{u"R_ObjektNr"_s, 999}});
    const QString file = layoutOf(13000, {u"Obj_Telefon"_s});
    PrintOrder(1, false, file);
    EXPECT_EQ(printed.of(u"Obj_Telefon"_s), QStringList{u"0123 4567"_s});
    PrintOrder(2, false, file);
    EXPECT_EQ(printed.of(u"Obj_Telefon"_s), QStringList{QString()});
}

TEST_F(OtherForms, TheOfferLetterPrintsTheCoverLetterOnce) {
    addHead(u"Angkopf.DB"_s, 1, u"AN-1"_s,
            {{u"R_Anschreiben"_s, u"Sehr geehrte Damen und Herren,\nwir bieten an."_s}});
    addLines(u"AngSatz.DB"_s, 1, {{1000000, 0, u"Glasreinigung"_s, 1, 10, 10}});
    PrintOfferLetter(1, false, {});
    EXPECT_EQ(printed.of(u"A_Anschreiben"_s),
              QStringList{u"Sehr geehrte Damen und Herren,\nwir bieten an."_s});
    EXPECT_EQ(printed.of(u"R_AngNr1"_s), QStringList{u"AN-1"_s});
    EXPECT_FALSE(printed.has(u"Glasreinigung"_s));
}

// The "@" markers of line texts print as blanks in the forms that hide them;
// the stored text keeps them, with its formatting.
TEST_F(OtherForms, AtSignsOfLineTextsBecomeBlanksOnlyInThePrint) {
    const QString plain = u"@ 3 Std à @ 25,50 Reinigung"_s;
    addHead(u"Rechkopf.DB"_s, 1, u"AR-1"_s);
    addLines(u"RechSatz.DB"_s, 1, {{1000000, 0, plain, 1, 76.5, 76.5}});
    addHead(u"Bestkopf.DB"_s, 1, u"BS-1"_s);
    addLines(u"BestSatz.DB"_s, 1, {{1000000, 0, plain, 1, 76.5, 76.5}});
    PrintInvoice(1, false, false, {});
    EXPECT_EQ(printed.of(u"S_Bezeichnung"_s), QStringList{u"   3 Std à    25,50 Reinigung"_s});
    PrintBestellung(1, false, {});
    EXPECT_EQ(printed.of(u"S_Bezeichnung"_s), QStringList{plain});
    auto lines = open(u"RechSatz.DB"_s);
    lines->first();
    EXPECT_EQ(lines->value(u"S_Text"_s).toString(), plain);

    QTextDocument doc;
    QTextCursor cursor(&doc);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(u"Preis @"_s, bold);
    cursor.insertText(u" 12,00"_s, QTextCharFormat());
    const QString printedRtf = ReplaceAtSignsInRichText(QString::fromLatin1(richtext::toRtf(doc)));
    const auto back = richtext::fromRtf(printedRtf.toLatin1());
    EXPECT_EQ(back->toPlainText(), u"Preis    12,00"_s);
    QTextCursor at(back.get());
    at.setPosition(7); // behind the first blank of the marker
    EXPECT_TRUE(at.charFormat().font().bold());
    at.setPosition(10);
    EXPECT_FALSE(at.charFormat().font().bold());
}

// Prints only read: the database file is the same afterwards, also while a
// line table is write-locked at another workstation.
TEST_F(OtherForms, PrintingNeverWritesTheDatabase) {
    addHead(u"Rechkopf.DB"_s, 1, u"AR-1"_s);
    addLines(u"RechSatz.DB"_s, 1, {{1000000, 0, u"@ 2 Std à @ 30,00"_s, 1, 60, 60}});
    addHead(u"Gskopf.DB"_s, 1, u"GS-1"_s);
    addLines(u"GsSatz.DB"_s, 1, {{1000000, 0, u"@ Gutschrift"_s, 1, 10, 10}});
    addHead(u"Rechkopf.DB"_s, 1, u"AR-archiv"_s, {}, u"AblageDB"_s);
    addLines(u"RechSatz.DB"_s, 1, {{1000000, 0, u"@ archiviert"_s, 1, 10, 10}}, u"AblageDB"_s);
    const auto fileHash = [](const QString& dir) {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        for (const QFileInfo& f : QDir(dir).entryInfoList(QDir::Files, QDir::Name)) {
            if (f.fileName().endsWith(u"-shm"_s))
                continue; // the readers' shared index, not data
            QFile file(f.filePath());
            if (file.open(QIODevice::ReadOnly))
                hash.addData(file.readAll());
        }
        return hash.result();
    };
    const QByteArray data = fileHash(DataDir);
    const QByteArray archive = fileHash(AblageDir);
    {
        auto db = table::Database::open(DataDir);
        db->setSession(std::make_shared<table::Session>(NetDir, u"andere"_s));
        table::Table locked(db, u"RechSatz.DB"_s);
        locked.open();
        locked.lockTable();
        PrintInvoice(1, false, false, {});
        EXPECT_EQ(printed.of(u"S_Bezeichnung"_s), QStringList{u"   2 Std à    30,00"_s});
        PrintCreditNote(1, false, true, {});
        ReportDatabaseScope archived(u"AblageDB"_s);
        PrintInvoice(1, false, false, {});
        EXPECT_EQ(printed.of(u"R_RgNr1"_s), QStringList{u"AR-archiv"_s});
        locked.unlockTable();
    }
    EXPECT_EQ(outputs, 3);
    EXPECT_EQ(fileHash(DataDir), data);
    EXPECT_EQ(fileHash(AblageDir), archive);
}

// The print buttons: a client without any form of the type prints the shipped
// layout without a message; a cancelled choice prints nothing.
TEST_F(OtherForms, ThePrintButtonPrintsTheShippedLayoutOrNothingAfterACancel) {
    addHead(u"Rechkopf.DB"_s, 1, u"AR-1"_s);
    addHead(u"Angkopf.DB"_s, 1, u"AN-1"_s);
    int choices = 0;
    PrintFormChoosers choosers;
    choosers.chooseForField = [&choices](int) {
        ++choices;
        return 0;
    };
    const auto invoice = [](const QString& path) { PrintInvoice(1, false, false, path); };
    const auto offer = [](const QString& path) { PrintOffer(1, false, path); };
    RunPrintButton({PrintVariant::D2, 10000}, choosers, invoice);
    EXPECT_EQ(outputs, 1);
    RunPrintButton({PrintVariant::D, 12000}, choosers, offer);
    EXPECT_EQ(outputs, 2);
    EXPECT_EQ(choices, 0);
    EXPECT_TRUE(presenter.boxes.isEmpty());

    addRow(u"QrFrmDef.DB"_s, {{u"QF_ID"_s, 12001},
                              {u"Q_FormType"_s, 12000},
                              {u"Q_Protect"_s, false},
                              {u"Q_Filename"_s, u"ORM12001.QFD"_s}});
    RunPrintButton({PrintVariant::D, 12000}, choosers, offer);
    EXPECT_EQ(choices, 1);
    EXPECT_EQ(outputs, 2) << "a cancelled choice prints nothing";
}

// The template client gets a shipped form of every document type, so a new
// client prints every document at once; the designer opens each.
TEST_F(OtherForms, TheTemplateClientGetsTheShippedDocumentForms) {
    QDir().mkpath(TemplateDataDir);
    ASSERT_TRUE(
        QFile::copy(table::Database::fileIn(DataDir), table::Database::fileIn(TemplateDataDir)));
    ASSERT_TRUE(EnsureDefaultPrintForms());
    auto db = table::Database::open(TemplateDataDir);
    table::Table forms(db, u"QrFrmDef.DB"_s);
    forms.open();
    for (const DocumentForm& form : DocumentForms()) {
        SCOPED_TRACE(form.formType);
        const int id = form.formType + 1;
        ASSERT_TRUE(forms.findKey({id}));
        EXPECT_EQ(forms.value(u"Q_FormType"_s).toInt(), form.formType);
        EXPECT_EQ(forms.value(u"Q_Comment"_s).toString(),
                  FindFormType(form.formType)->catalogueName.toString());
        const QString file = GetMandantQrfdDir(0) + LayoutFileName(id);
        ASSERT_TRUE(QFile::exists(file));
        // The shipped file gives back the designed report.
        auto designed = report::Report::create(FindFormType(form.formType)->reportClass.toString());
        auto applied = report::Report::create(FindFormType(form.formType)->reportClass.toString());
        ApplyFormLayout(applied.get(), file);
        ASSERT_EQ(applied->def().components.size(), designed->def().components.size());
        for (qsizetype i = 0; i < designed->def().components.size(); ++i) {
            const report::Component& a = applied->def().components[i];
            const report::Component& d = designed->def().components[i];
            EXPECT_EQ(a.enabled, d.enabled) << d.name.toStdString();
            EXPECT_EQ(a.caption, d.caption) << d.name.toStdString();
            EXPECT_EQ(a.left, d.left) << d.name.toStdString();
        }
    }
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

} // namespace
