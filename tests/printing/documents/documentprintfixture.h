#pragma once

#include "core/data/clientdbfixture.h"
#include "core/data/layoutfiles.h"
#include "core/data/reportsource.h"
#include "core/files/programdirs.h"
#include "core/settings/settingsfiles.h"
#include "core/values/money.h"
#include "platform/report/paginator.h"
#include "platform/report/report.h"
#include "platform/report/runcontext.h"
#include "platform/richtext/rtf.h"
#include "platform/table/table.h"
#include "printing/companylogo.h"
#include "printing/documentreport.h"
#include "printing/layoutfile.h"
#include "printing/printingfixture.h"
#include "printing/printingsetup.h"
#include "printing/reportentry.h"

#include <QDir>
#include <QFile>
#include <QTextCursor>
#include <QTextDocument>
#include <functional>

namespace docprint {

using namespace Qt::StringLiterals;

// One text a control printed, told apart by the control's box.
struct PrintedText {
    QString control;
    QString text;
    report::FontSpec font;
    double y = 0;
};

struct PrintedPage {
    std::vector<PrintedText> texts;
    std::vector<PrintedText> rich; // the plain text of rich-text slices, font of the first char
};

struct Printed {
    std::vector<PrintedPage> pages;
    int pageCount = 0;
    bool preview = false;

    // The texts of a control (on one page, or on all for -1), in print order.
    QStringList of(const QString& control, int page = -1) const {
        QStringList out;
        for (size_t p = 0; p < pages.size(); ++p) {
            if (page >= 0 && size_t(page) != p)
                continue;
            for (const PrintedText& t : pages[p].texts)
                if (t.control == control)
                    out.append(t.text);
            for (const PrintedText& t : pages[p].rich)
                if (t.control == control)
                    out.append(t.text);
        }
        return out;
    }
    // What a control printed, with its fonts.
    std::vector<PrintedText> items(const QString& control, int page = -1) const {
        std::vector<PrintedText> out;
        for (size_t p = 0; p < pages.size(); ++p) {
            if (page >= 0 && size_t(page) != p)
                continue;
            for (const PrintedText& t : pages[p].texts)
                if (t.control == control)
                    out.push_back(t);
        }
        return out;
    }
    const PrintedText* find(const QString& text, int page = -1) const {
        for (size_t p = 0; p < pages.size(); ++p) {
            if (page >= 0 && size_t(page) != p)
                continue;
            for (const PrintedText& t : pages[p].texts)
                if (t.text == text)
                    return &t;
            for (const PrintedText& t : pages[p].rich)
                if (t.text.contains(text))
                    return &t;
        }
        return nullptr;
    }
    bool has(const QString& text, int page = -1) const { return find(text, page) != nullptr; }
};

// Records what every enabled control prints, after the control's own print
// step, by wrapping each control's print hook in a recording one.
inline std::shared_ptr<Printed> spyOn(report::Report& rep) {
    auto out = std::make_shared<Printed>();
    for (report::Component& c : rep.def().components) {
        if (!report::isPrintable(c.cls))
            continue;
        report::Hooks::PrintHook original;
        if (const auto* hook = rep.hooks().print(c.onPrint))
            original = *hook;
        const bool rich = c.cls == report::ComponentClass::DBRichText ||
                          c.cls == report::ComponentClass::RichText;
        c.onPrint = u"Spy "_s + c.name;
        rep.hooks().onPrint(
            c.onPrint, [out, original, rich](report::RunContext& ctx, report::ControlPrint& p) {
                if (original)
                    original(ctx, p);
                if (!p.print)
                    return;
                const size_t page = size_t(std::max(1, ctx.pageNumber()));
                if (out->pages.size() < page)
                    out->pages.resize(page);
                PrintedText t{p.control.name, p.text, p.font, 0};
                if (rich) {
                    t.text = p.control.cls == report::ComponentClass::RichText
                                 ? richtext::plainTextOfRtf(p.control.caption.toLatin1())
                                 : richtext::plainTextOfRtf(p.value.toString().toLatin1());
                    out->pages[page - 1].rich.push_back(t);
                } else {
                    out->pages[page - 1].texts.push_back(t);
                }
            });
    }
    return out;
}

// A client with the program's document forms, its own program and layout
// directories, and every print captured as pages instead of printed.
class DocumentPrintFixture : public datatest::ClientDbFixture {
protected:
    void SetUp() override {
        ClientDbFixture::SetUp();
        InitPrinting();
        m_savedQrfd = QrfdDir;
        QrfdDir = path(u"QRFD0001/"_s);
        QDir().mkpath(QrfdDir);
        report::setPrinterSystem(
            std::make_unique<printingtest::FakePrinters>(QStringList{u"Laser"_s}, u"Laser"_s));
        m_savedProgramDir = ProgramDir;
        ProgramDir = path(u"Programm/"_s);
        QDir().mkpath(ProgramDir);
        ReadPartopt();
        SetKopieVermerkSource(nullptr);
        SetFirmenLogoLoader(nullptr);
        m_previousOutput = SetReportOutput([this](report::Report& rep, bool preview, QWidget*) {
            ++outputs;
            const std::shared_ptr<Printed> spy = spyOn(rep);
            const report::Document doc = report::paginate(rep);
            printed = *spy;
            printed.pageCount = int(doc.pages.size());
            printed.preview = preview;
            if (afterOutput)
                afterOutput(rep);
        });
        auto firma = open(u"Firmen.DB"_s);
        firma->first();
        firma->edit();
        firma->field(u"F_REBriefkopf"_s).setValue(u"Hausmeisterdienst Sauber GmbH"_s);
        firma->field(u"F_AbsenderZeileRg"_s)
            .setValue(u"Sauber GmbH · Hauptstr. 1 · 12345 Musterstadt"_s);
        firma->field(u"F_REBrieffussRg"_s).setValue(u"Bank: Sparkasse Musterstadt"_s);
        firma->post();
    }
    void TearDown() override {
        SetReportOutput(m_previousOutput);
        SetKopieVermerkSource(nullptr);
        SetFirmenLogoLoader(nullptr);
        ProgramDir = m_savedProgramDir;
        ReadPartopt();
        report::setPrinterSystem(nullptr);
        QrfdDir = m_savedQrfd;
        ClientDbFixture::TearDown();
    }

    // A head with the usual object address; `values` add or replace fields.
    void addHead(const QString& table, int id, const QString& nr,
                 QList<std::pair<QString, QVariant>> values = {},
                 const QString& alias = u"LumoDB"_s) {
        auto t = open(table, alias);
        t->append();
        const QList<std::pair<QString, QVariant>> base = {
            {u"R_ID"_s, id},
            {u"R_Nr"_s, nr},
            {u"R_DatumDruck"_s, QDate(2024, 3, 15)},
            {u"R_DatumErstell"_s, QDate(2024, 3, 1)},
            {u"R_Jahr"_s, 2024},
            {u"R_KundenNr"_s, 100},
            {u"R_ObjektNr"_s, 500},
            {u"R_OMatch"_s, u"Wohnanlage Lindenhof"_s},
            {u"R_OName1"_s, u"Wohnanlage Lindenhof"_s},
            {u"R_OStrasse"_s, u"Lindenweg 7"_s},
            {u"R_OPlz"_s, u"12345"_s},
            {u"R_OOrt"_s, u"Musterstadt"_s},
            {u"R_Netto"_s, 100.0},
            {u"R_Mwst"_s, 19.0},
            {u"R_Brutto"_s, 119.0},
        };
        for (const auto& [field, value] : base)
            if (table::Field* f = t->findField(field))
                f->setValue(value);
        for (const auto& [field, value] : values)
            t->field(field).setValue(value);
        t->post();
    }

    struct Line {
        int posNr = 1000000;
        QVariant kind = 0;
        QString text;
        double menge = 1;
        double epreis = 0;
        double netto = 0;
        int mwstKz = 1;
        QList<std::pair<QString, QVariant>> values = {};
    };
    void addLines(const QString& table, int headId, const QList<Line>& lines,
                  const QString& alias = u"LumoDB"_s) {
        auto t = open(table, alias);
        for (const Line& l : lines) {
            t->append();
            t->field(u"S_ID"_s).setValue(++m_lineId);
            t->field(u"S_Ref"_s).setValue(headId);
            const double rate = l.mwstKz == 1 ? 19.0 : l.mwstKz == 2 ? 7.0 : 0.0;
            const QList<std::pair<QString, QVariant>> base = {
                {u"S_PosNr"_s, l.posNr},
                {u"S_PosArt"_s, l.kind},
                {u"S_Text"_s, l.text},
                {u"S_Kurztext"_s, l.text.left(20)},
                {u"S_Menge"_s, l.menge},
                {u"S_MengBez"_s, u"Std"_s},
                {u"S_EPreis"_s, l.epreis},
                {u"S_Netto"_s, l.netto},
                {u"S_MwstKz"_s, l.mwstKz},
                {u"S_Mwst"_s, rate},
                {u"S_MwstBetrag"_s, l.netto * rate / 100},
                {u"S_Brutto"_s, l.netto * (100 + rate) / 100},
            };
            for (const auto& [field, value] : base)
                if (table::Field* f = t->findField(field))
                    f->setValue(value);
            for (const auto& [field, value] : l.values)
                t->field(field).setValue(value);
            t->post();
        }
    }

    // The layout file of a user form: the designed layout of the class with
    // the change applied, written as the designer writes it.
    QString writeLayoutOf(int formId, const QString& reportClass,
                          const std::function<void(report::Report&)>& change) {
        auto rep = report::Report::create(reportClass);
        change(*rep);
        const QString file = LayoutFilePath(formId);
        QFile out(file);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(WriteFormLayout(*rep, u"Test"_s, PrinterOptionValues{}));
        return file;
    }
    static std::function<void(report::Report&)> enable(const QStringList& names, bool on = true) {
        return [names, on](report::Report& rep) {
            for (const QString& n : names)
                rep.component(n).enabled = on;
        };
    }

    // "Partopt.txt" naming the kinds N, A, B, T, Z with the amount texts of kinds 2 and 1.
    void usePartoptTexts() {
        writeProgramFile(u"Partopt.txt"_s, u"N;A;B;T;Z;bei Bedarf;Alternativ"_s);
        ReadPartopt();
    }
    static QString money(double amount) { return FormatMoney(1, amount); }

    void writeLayoutFile(const QString& name, const QString& text) {
        QFile f(QrfdDir + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(printingtest::cp1252(text));
    }
    void writeProgramFile(const QString& name, const QString& text) {
        QFile f(ProgramDir + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(printingtest::cp1252(text));
    }

    Printed printed;
    int outputs = 0;
    std::function<void(report::Report&)> afterOutput;

private:
    QString m_savedProgramDir;
    QString m_savedQrfd;
    ReportOutput m_previousOutput;
    int m_lineId = 0;
};

} // namespace docprint
