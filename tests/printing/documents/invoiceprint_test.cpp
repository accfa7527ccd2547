#include "documentprintfixture.h"
#include "printing/documentprints.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

// Invoices of the working tables, printed with the layout of user form 10001.
class InvoicePrint : public docprint::DocumentPrintFixture {
protected:
    void SetUp() override {
        DocumentPrintFixture::SetUp();
        usePartoptTexts();
    }
    QString layout(const QStringList& on, const QStringList& off = {}) {
        return writeLayoutOf(10001, u"TQR_Rechnung"_s, [&](report::Report& rep) {
            enable(on)(rep);
            enable(off, false)(rep);
        });
    }
    static QStringList carryControls() {
        return {u"L_Uebertrag"_s, u"lb_Uebertrag"_s, u"L_Uebertrag0"_s, u"lb_Uebertrag0"_s};
    }
    // Normal lines of 10.00, 11.00, ... from the position number `first` on.
    static QList<Line> normalLines(int count, int first = 1) {
        QList<Line> lines;
        for (int i = 0; i < count; ++i)
            lines.append(
                {(first + i) * 1000000, 0, u"Leistung %1"_s.arg(first + i), 1, 10.0 + i, 10.0 + i});
        return lines;
    }
};

TEST_F(InvoicePrint, AnInvoiceWithoutLinesPrintsTitleSummaryAndFooterOnly) {
    addHead(u"Rechkopf.DB"_s, 1, u"AR-1"_s);
    PrintInvoice(1, false, false, {});
    ASSERT_EQ(outputs, 1);
    EXPECT_EQ(printed.pageCount, 1);
    EXPECT_EQ(printed.of(u"R_RgNr1"_s), QStringList{u"AR-1"_s});
    EXPECT_EQ(printed.of(u"L_SummeNetto"_s), QStringList{u"Nettosumme:"_s});
    EXPECT_EQ(printed.of(u"R_Firmenfuss"_s), QStringList{u"Bank: Sparkasse Musterstadt"_s});
    EXPECT_TRUE(printed.of(u"L_Pos"_s).isEmpty()) << "no column header without lines";
    EXPECT_TRUE(printed.of(u"S_Netto"_s).isEmpty());
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(InvoicePrint, LineKindsDecideColumnsFontsAndPageBreaks) {
    addHead(u"Rechkopf.DB"_s, 1, u"AR-1"_s);
    addLines(u"RechSatz.DB"_s, 1,
             {{1000000, 0, u"Normal"_s, 2, 50, 100},
              {2000000, 1, u"Alternative"_s, 1, 80, 80},
              {3000000, 2, u"Bedarf"_s, 1, 40, 40},
              {4000000, 3, u"Nur Text"_s, 0, 0, 0},
              {5000000, 4, u"Zwischensumme"_s, 0, 0, 100},
              {6000000, 5, u"Neue Seite"_s, 0, 0, 0},
              {7000000, QVariant(), u"Danach"_s, 1, 5, 5}});
    PrintInvoice(1, false, false, layout({u"PosartKz"_s}));
    ASSERT_EQ(outputs, 1);

    const struct {
        QString pos, menge, netto, mark;
        bool italic, bold;
        int page;
    } expected[] = {
        {u"1"_s, u"2,00"_s, money(100), u"N"_s, false, false, 0},
        {u"2"_s, u"1,00"_s, u"Alternativ"_s, u"A"_s, true, false, 0},
        {u"3"_s, u"1,00"_s, u"bei Bedarf"_s, u"B"_s, true, false, 0},
        {QString(), QString(), QString(), u"T"_s, false, false, 0},
        {QString(), QString(), money(100), u"Z"_s, false, true, 0},
        {QString(), QString(), QString(), QString(), false, false, 0},
        {u"7"_s, u"1,00"_s, money(5), u"N"_s, false, false, 1},
    };
    const auto pos = printed.items(u"S_Pos"_s);
    const auto menge = printed.items(u"S_Menge"_s);
    const auto netto = printed.items(u"S_Netto"_s);
    const auto mark = printed.items(u"PosartKz"_s);
    ASSERT_EQ(netto.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(pos[i].text, expected[i].pos);
        EXPECT_EQ(menge[i].text, expected[i].menge);
        EXPECT_EQ(netto[i].text, expected[i].netto);
        EXPECT_EQ(mark[i].text, expected[i].mark);
        for (const docprint::PrintedText* t : {&pos[i], &menge[i], &netto[i], &mark[i]}) {
            EXPECT_EQ(t->font.italic, expected[i].italic) << t->control.toStdString();
            EXPECT_EQ(t->font.bold, expected[i].bold) << t->control.toStdString();
        }
    }
    // The page-break line ends page 1; page 2 opens with header and column header.
    EXPECT_EQ(printed.pageCount, 2);
    EXPECT_EQ(printed.of(u"S_Netto"_s, 1), QStringList{money(5)});
    EXPECT_EQ(printed.of(u"L_Pos"_s, 1), QStringList{u"Pos."_s});
    EXPECT_EQ(printed.of(u"R_RgNr2"_s, 1), QStringList{u"AR-1"_s});
    // Only the normal lines enter the carry-over.
    EXPECT_DOUBLE_EQ(DocumentPrintStateOf(10000).carryOver, 105.0);
}

// A subtotal prints with its amount whatever "Suppress.txt" says, and not
// at all when the layout shows neither amount column it could stand in.
TEST_F(InvoicePrint, SubtotalsFollowTheAmountColumnsOfTheLayout) {
    writeProgramFile(u"Suppress.txt"_s, u"10001 NETTO\r\n"_s);
    addHead(u"Rechkopf.DB"_s, 1, u"AR-1"_s);
    addLines(u"RechSatz.DB"_s, 1,
             {{1000000, 0, u"Normal"_s, 1, 100, 100}, {2000000, 4, u"Zwischensumme"_s, 0, 0, 100}});
    const struct {
        QStringList on, off;
        QStringList netto;
        bool subtotal;
        double carry;
    } cases[] = {
        {{}, {}, {QString(), money(100)}, true, 0.0},
        {{u"S_Brutto"_s}, {u"S_Netto"_s}, {}, true, 0.0},
        {{}, {u"S_Netto"_s}, {}, false, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.on.join(u',').toStdString() + " / " + c.off.join(u',').toStdString());
        PrintInvoice(1, false, false, layout(c.on, c.off));
        EXPECT_EQ(printed.of(u"S_Netto"_s), c.netto);
        const QStringList texts = printed.of(u"S_Bezeichnung"_s);
        EXPECT_EQ(texts.contains(u"Zwischensumme"_s), c.subtotal);
        EXPECT_DOUBLE_EQ(DocumentPrintStateOf(10000).carryOver, c.carry);
        if (c.netto.size() == 2) {
            EXPECT_TRUE(printed.items(u"S_Netto"_s)[1].font.bold);
        }
    }
}

TEST_F(InvoicePrint, TheCarryOverOfEachPageIsTheNetPrintedBeforeItsFoot) {
    addHead(u"Rechkopf.DB"_s, 1, u"AR-1"_s);
    addLines(u"RechSatz.DB"_s, 1, normalLines(75));
    PrintInvoice(1, false, false, layout(carryControls()));
    ASSERT_EQ(printed.pageCount, 3);
    double sum = 0;
    for (int page = 0; page < 3; ++page) {
        SCOPED_TRACE(page);
        for (const QString& net : printed.of(u"S_Netto"_s, page))
            sum += MoneyStrToFloat(net);
        const QStringList foot = printed.of(u"lb_Uebertrag0"_s, page);
        ASSERT_EQ(foot.size(), 1);
        if (page < 2) {
            EXPECT_EQ(foot[0], money(sum));
            EXPECT_EQ(printed.of(u"lb_Uebertrag"_s, page + 1), QStringList{money(sum)});
            EXPECT_EQ(printed.of(u"L_Uebertrag0"_s, page), QStringList{u"Übertrag"_s});
        } else {
            EXPECT_EQ(foot[0], QString()) << "the closing page carries nothing over";
            EXPECT_EQ(printed.of(u"L_Uebertrag0"_s, page), QStringList{QString()});
        }
    }
    EXPECT_TRUE(printed.of(u"lb_Uebertrag"_s, 0).isEmpty()) << "no page header on page 1";
}

// A print started from the preview paginates again and must count from 0.
TEST_F(InvoicePrint, EveryPassStartsTheCarryOverAnew) {
    addHead(u"Rechkopf.DB"_s, 1, u"AR-1"_s);
    addLines(u"RechSatz.DB"_s, 1, normalLines(40));
    docprint::Printed again;
    afterOutput = [&again](report::Report& rep) {
        const auto spy = docprint::spyOn(rep);
        report::paginate(rep);
        again = *spy;
    };
    PrintInvoice(1, false, true, layout(carryControls()));
    ASSERT_FALSE(printed.of(u"lb_Uebertrag0"_s, 0).value(0).isEmpty());
    EXPECT_EQ(again.of(u"lb_Uebertrag0"_s), printed.of(u"lb_Uebertrag0"_s));
    EXPECT_EQ(again.of(u"lb_Uebertrag"_s), printed.of(u"lb_Uebertrag"_s));
}

TEST_F(InvoicePrint, TheCopyMarkNeedsLayoutSettingAndAnEarlierPrint) {
    const struct {
        int formType;
        bool setting;
        int drucke;
        bool layoutShowsIt;
        bool kopie;
    } cases[] = {
        {10000, true, 0, true, false},  {10000, true, 1, true, true},
        {10000, false, 1, true, false}, {10000, true, 1, false, false},
        {14000, true, 0, true, false},  {14000, true, 2, true, true},
    };
    int id = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(id);
        ++id;
        const bool invoice = c.formType == 10000;
        addHead(invoice ? u"Rechkopf.DB"_s : u"Gskopf.DB"_s, id, u"D-%1"_s.arg(id),
                {{u"R_Drucke"_s, c.drucke}});
        SetKopieVermerkSource([on = c.setting] { return on; });
        const QString file =
            writeLayoutOf(c.formType + 1, invoice ? u"TQR_Rechnung"_s : u"TQR_Gutschrift1"_s,
                          enable({u"L_Kopie"_s}, c.layoutShowsIt));
        invoice ? PrintInvoice(id, false, false, file) : PrintCreditNote(id, false, false, file);
        EXPECT_EQ(printed.of(u"L_Kopie"_s), c.kopie ? QStringList{u"Kopie"_s} : QStringList{});
    }
    for (const QString& cls : {u"TQRAngebot"_s, u"TQR_Auftrag"_s, u"TQR_LSchein"_s})
        EXPECT_EQ(report::Report::create(cls)->find(u"L_Kopie"_s), nullptr) << cls.toStdString();
}

TEST_F(InvoicePrint, ATestPrintMasksTheNumberAndTheYear) {
    addHead(u"Rechkopf.DB"_s, 1, u"AR-2024-7"_s);
    addLines(u"RechSatz.DB"_s, 1, normalLines(40));
    const QString file = layout({u"R_Rechnungsjahr"_s});
    for (const bool mask : {true, false}) {
        SCOPED_TRACE(mask);
        PrintInvoice(1, mask, false, file);
        const QString nr = mask ? u"*****"_s : u"AR-2024-7"_s;
        EXPECT_EQ(printed.of(u"R_RgNr1"_s), QStringList{nr});
        EXPECT_EQ(printed.of(u"R_RgNr2"_s), QStringList{nr});
        EXPECT_EQ(printed.of(u"R_Rechnungsjahr"_s), QStringList{mask ? u"*****"_s : u"2024"_s});
    }
    // A credit note has no masked number: its test print shows the real one.
    addHead(u"Gskopf.DB"_s, 2, u"GS-2024-3"_s);
    PrintCreditNote(2, true, false, {});
    EXPECT_EQ(printed.of(u"R_GsNr1"_s), QStringList{u"GS-2024-3"_s});
}

// The default VAT table: 16 % until 2006, 19 % from 2007, 7 % reduced.
TEST_F(InvoicePrint, VatCaptionsShowTheRatesAtTheDocumentDate) {
    const struct {
        QVariant druck, erstell;
        QString full, reduced;
    } cases[] = {
        {QDate(2024, 3, 15), QDate(2024, 3, 1), u"19,0 %"_s, u"7,0 %"_s},
        {QVariant(), QDate(2005, 6, 1), u"16,0 %"_s, u"7,0 %"_s},
        {QDate(1999, 12, 31), QDate(2006, 12, 31), u"16,0 %"_s, u"7,0 %"_s},
        {QVariant(), QVariant(), u"19,0 %"_s, u"7,0 %"_s}, // today
    };
    const QStringList captions{u"L_Mwst16"_s, u"L_Mwst16_2"_s, u"L_Mwst16Summe"_s,
                               u"L_Mwst8"_s,  u"L_Mwst8_2"_s,  u"L_Mwst8Summe"_s};
    const QString file = layout(captions);
    int id = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(id);
        ++id;
        addHead(u"Rechkopf.DB"_s, id, u"AR-%1"_s.arg(id),
                {{u"R_DatumDruck"_s, c.druck}, {u"R_DatumErstell"_s, c.erstell}});
        addLines(u"RechSatz.DB"_s, id, {{1000000, 0, u"Leistung"_s, 1, 1, 1}});
        PrintInvoice(id, false, false, file);
        for (const QString& name : captions)
            EXPECT_EQ(printed.of(name),
                      QStringList{name.startsWith(u"L_Mwst16"_s) ? c.full : c.reduced})
                << name.toStdString();
        EXPECT_EQ(printed.of(u"L_SummeMwst"_s), QStringList{u"zzgl. gesetzl. Mwst"_s});
    }
}

TEST_F(InvoicePrint, AUserLayoutKeepsItsOwnVatSumCaption) {
    addHead(u"Rechkopf.DB"_s, 1, u"AR-1"_s);
    const QString file = writeLayoutOf(10001, u"TQR_Rechnung"_s, [](report::Report& rep) {
        rep.component(u"L_SummeMwst"_s).caption = u"zzgl. 16 % Mwst"_s;
    });
    PrintInvoice(1, false, false, file);
    EXPECT_EQ(printed.of(u"L_SummeMwst"_s), QStringList{u"zzgl. 16 % Mwst"_s});
}

TEST_F(InvoicePrint, TheTableSourceAndTheDatabaseChooseWhatPrints) {
    addHead(u"Rechkopf.DB"_s, 5, u"AR-offen"_s);
    addLines(u"RechSatz.DB"_s, 5, {{1000000, 0, u"aus Rechnung"_s, 1, 1, 1}});
    addHead(u"OpKopf.DB"_s, 5, u"OP-1"_s);
    addLines(u"OpSatz.DB"_s, 5, {{1000000, 0, u"aus offenem Posten"_s, 1, 2, 2}});
    addHead(u"Rgvkopf.DB"_s, 5, u"VORLAGE-1"_s);
    addLines(u"RgvSatz.DB"_s, 5, {{1000000, 0, u"aus Vorlage"_s, 1, 3, 3}});
    addHead(u"Rechkopf.DB"_s, 5, u"AR-archiviert"_s, {}, u"AblageDB"_s);
    addLines(u"RechSatz.DB"_s, 5, {{1000000, 0, u"aus Ablage"_s, 1, 4, 4}}, u"AblageDB"_s);
    const struct {
        int source;
        QString alias, nr, line;
    } cases[] = {
        {RgSourceInvoices, u"LumoDB"_s, u"AR-offen"_s, u"aus Rechnung"_s},
        {RgSourceOpenItems, u"LumoDB"_s, u"OP-1"_s, u"aus offenem Posten"_s},
        {RgSourceTemplates, u"LumoDB"_s, u"VORLAGE-1"_s, u"aus Vorlage"_s},
        {RgSourceInvoices, u"AblageDB"_s, u"AR-archiviert"_s, u"aus Ablage"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nr.toStdString());
        RgPrintSourceScope source(c.source);
        ReportDatabaseScope database(c.alias);
        PrintInvoice(5, false, false, {});
        EXPECT_EQ(printed.of(u"R_RgNr1"_s), QStringList{c.nr});
        EXPECT_EQ(printed.of(u"S_Bezeichnung"_s), QStringList{c.line});
    }
}

// These four print a date, days and a percentage: as stored, never as money.
TEST_F(InvoicePrint, TheTermControlsOfTheSummaryPrintAsStored) {
    const QList<std::pair<QString, QVariant>> terms = {{u"R_FaelligDatum"_s, QDate(2024, 4, 15)},
                                                       {u"R_ZahlBedTage2"_s, 30},
                                                       {u"R_ZahlBedSkonto2"_s, 1.5},
                                                       {u"R_ZahlBedNettoTage"_s, 14}};
    addHead(u"Rechkopf.DB"_s, 1, u"AR-1"_s, terms);
    addHead(u"Gskopf.DB"_s, 1, u"GS-1"_s, terms);
    const struct {
        int formType;
        QString reportClass;
        QStringList controls;
    } cases[] = {
        {10000,
         u"TQR_Rechnung"_s,
         {u"R_Faelligdatum"_s, u"R_SkontoTage2"_s, u"R_SkontoProz2"_s, u"R_NettoZahltage"_s}},
        {14000,
         u"TQR_Gutschrift1"_s,
         {u"QRDBText2"_s, u"R_SkontoTage2"_s, u"R_SkontoProz2"_s, u"QRDBText1"_s}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.formType);
        const QString file = writeLayoutOf(c.formType + 1, c.reportClass, enable(c.controls));
        c.formType == 10000 ? PrintInvoice(1, false, false, file)
                            : PrintCreditNote(1, false, false, file);
        const QStringList stored{u"15.04.2024"_s, u"30"_s, u"1,5"_s, u"14"_s};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(printed.of(c.controls[i]), QStringList{stored[i]})
                << c.controls[i].toStdString();
    }
}

TEST_F(InvoicePrint, PaymentTermsExpandTheirMarkersAndLeaveOtherAtSigns) {
    addHead(u"Rechkopf.DB"_s, 1, u"AR-1"_s,
            {{u"R_ZahlBed"_s, u"Zahlbar bis @ZBD1[dd.mm.yyyy]. Fragen an buchhaltung@sauber.de"_s},
             {u"R_ZahlBedTage"_s, 10}});
    PrintInvoice(1, false, false, layout({u"R_RgDatumLang"_s}));
    EXPECT_EQ(printed.of(u"R_Zahlungsbed"_s),
              QStringList{u"Zahlbar bis 25.03.2024. Fragen an buchhaltung@sauber.de"_s});
    EXPECT_EQ(printed.of(u"R_RgDatumLang"_s), QStringList{u"15.März.2024"_s});
    auto head = open(u"Rechkopf.DB"_s);
    ASSERT_TRUE(head->findKey({1}));
    EXPECT_TRUE(head->value(u"R_ZahlBed"_s).toString().contains(u"@ZBD1"_s));
}

TEST_F(InvoicePrint, TheLogoPrintsWhenThereIsOneAndIsSwitchedOffOtherwise) {
    addHead(u"Rechkopf.DB"_s, 1, u"AR-1"_s);
    bool logoOn = true;
    afterOutput = [&logoOn](report::Report& rep) { logoOn = rep.component(u"F_Logo"_s).enabled; };
    PrintInvoice(1, false, false, {});
    EXPECT_FALSE(logoOn);
    SetFirmenLogoLoader([](QImage& picture) {
        picture = QImage(40, 20, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        return true;
    });
    PrintInvoice(1, false, false, {});
    EXPECT_TRUE(logoOn);
}

TEST_F(InvoicePrint, AMissingHeadPrintsNothingAndSaysNothing) {
    PrintInvoice(999, false, false, {});
    EXPECT_EQ(outputs, 0);
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(InvoicePrint, ASecondCallDuringItsPreviewDoesNothingWhileOtherFormsPrint) {
    addHead(u"Rechkopf.DB"_s, 1, u"AR-1"_s);
    addHead(u"Gskopf.DB"_s, 1, u"GS-1"_s);
    int nested = 0;
    afterOutput = [&nested](report::Report& rep) {
        if (rep.def().className != u"TQR_Rechnung"_s || nested++ > 0)
            return;
        PrintInvoice(1, false, true, {});    // the invoice's own entry is busy
        PrintCreditNote(1, false, true, {}); // another form's is not
    };
    PrintInvoice(1, false, true, {});
    EXPECT_EQ(outputs, 2);
    EXPECT_EQ(printed.of(u"R_GsNr1"_s), QStringList{u"GS-1"_s});
    // Free again afterwards.
    afterOutput = nullptr;
    PrintInvoice(1, false, true, {});
    EXPECT_EQ(outputs, 3);
}

// Values a layout cannot take are clamped; the invoice still prints.
TEST_F(InvoicePrint, ABrokenLayoutIsClamped) {
    addHead(u"Rechkopf.DB"_s, 1, u"AR-1"_s);
    addLines(u"RechSatz.DB"_s, 1, normalLines(3));
    const QString dashes(40, u'-');
    writeLayoutFile(u"ORM10001.QFD"_s,
                    u"DetailBand1\r\nHeight=-40\r\n"_s + dashes +
                        u"\r\nS_Netto\r\nHeight=-5\r\n"_s +
                        u"Width=99999\r\nFontSize=5000\r\nFrameLineWidth=-3\r\n"_s + dashes +
                        u"\r\nFormBorderleft=-999\r\n"_s);
    PrintInvoice(1, false, false, LayoutFilePath(10001));
    EXPECT_EQ(outputs, 1);
    EXPECT_EQ(printed.of(u"S_Netto"_s).size(), 3);
}

} // namespace
