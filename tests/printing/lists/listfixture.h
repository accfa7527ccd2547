#pragma once

#include "core/data/moduledbfixture.h"
#include "platform/report/pagemodel.h"
#include "platform/report/paginator.h"
#include "platform/report/pdfwriter.h"
#include "platform/report/report.h"
#include "printing/printingsetup.h"
#include "printing/reportentry.h"

#include <QTextDocument>
#include <functional>

namespace liststest {

// The texts of one printed page in the order they were laid out; rich texts
// as plain text, pictures as "<Bild>".
inline QStringList pageTexts(const report::Page& page) {
    QStringList texts;
    for (const report::PageItem& item : page.items) {
        if (const auto* t = std::get_if<report::TextItem>(&item))
            texts << t->text;
        else if (const auto* r = std::get_if<report::RichTextItem>(&item))
            texts << r->document->toPlainText().trimmed();
        else if (std::holds_alternative<report::ImageItem>(item))
            texts << QStringLiteral("<Bild>");
    }
    return texts;
}

// A client database with its data module and the program's lists; every
// print is run into pages and kept instead of being shown.
class ListFixture : public datatest::ModuleDbFixture {
protected:
    void SetUp() override {
        ModuleDbFixture::SetUp();
        InitPrinting();
        m_previousOutput = SetReportOutput([this](report::Report& rep, bool preview, QWidget*) {
            document = report::paginate(rep);
            ++outputs;
            previews.append(preview);
            classes.append(rep.def().className);
            pages.clear();
            for (const report::Page& page : document.pages)
                pages.append(pageTexts(page));
            // DOMVERA_LIST_PDFS=dir keeps each print as dir/<class>.pdf to look at.
            if (const QString dir = qEnvironmentVariable("DOMVERA_LIST_PDFS"); !dir.isEmpty())
                report::writePdf(document, dir + u'/' + rep.def().className + u".pdf");
            if (onOutput)
                onOutput();
        });
    }
    void TearDown() override {
        SetReportOutput(m_previousOutput);
        ModuleDbFixture::TearDown();
    }

    QStringList allTexts() const {
        QStringList all;
        for (const QStringList& page : pages)
            all += page;
        return all;
    }
    // The texts among `candidates` in the order they were printed.
    QStringList printed(const QStringList& candidates) const {
        QStringList order;
        for (const QString& text : allTexts())
            if (candidates.contains(text))
                order << text;
        return order;
    }

    int outputs = 0;
    QList<bool> previews;
    QStringList classes;
    report::Document document;
    QList<QStringList> pages;
    std::function<void()> onOutput;

private:
    ReportOutput m_previousOutput;
};

} // namespace liststest
