#include "operations/gui/dailylistprintdialogs.h"

#include "commercial/documents/textplaceholders.h"
#include "core/data/printforms.h"
#include "core/datagui/tf_selform.h"
#include "core/gui/formstorage.h"
#include "core/gui/placement.h"
#include "core/settings/formplacement.h"
#include "core/values/datetext.h"
#include "core/values/datetimevalue.h"
#include "platform/errors.h"
#include "platform/report/printersystem.h"
#include "platform/richtext/rtf.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

ListViewPrinter& listViewPrinter() {
    static ListViewPrinter printer;
    return printer;
}

QString dateText(const QDate& d) {
    return DateToStrDMY(DateTimeOfDate(d));
}

} // namespace

TF_SelPrintOptions::TF_SelPrintOptions(const DailyListPrintOptions& start, const QDate& from,
                                       const QDate& to, QWidget* parent)
    : QDialog(parent), m_options(start) {
    setObjectName(u"TF_SelPrintOptions"_s);
    setWindowTitle(u"Druckoptionen wählen"_s);
    auto* layout = new QVBoxLayout(this);
    auto* range =
        new QLabel(u"Gewählter Zeitraum: "_s + dateText(from) + u" - "_s + dateText(to), this);
    range->setObjectName(u"Label1"_s);
    layout->addWidget(range);
    auto* grid = new QGridLayout;
    auto addRow = [&](int row, const QString& name, const QString& caption, QCheckBox*& box,
                      const QString& button, const QString& edit, QLineEdit*& comment,
                      bool taglist) {
        box = new QCheckBox(caption, this);
        box->setObjectName(name);
        box->setChecked(true);
        grid->addWidget(box, row, 0);
        if (edit.isEmpty())
            return;
        auto* choose = new QPushButton(u"Formular"_s, this);
        choose->setObjectName(button);
        choose->setAutoDefault(false);
        connect(choose, &QPushButton::clicked, this, [this, taglist] { chooseForm(taglist); });
        comment = new QLineEdit(this);
        comment->setObjectName(edit);
        comment->setReadOnly(true);
        comment->setMinimumWidth(220);
        grid->addWidget(choose, row, 1);
        grid->addWidget(comment, row, 2);
    };
    QLineEdit* none = nullptr;
    addRow(0, u"CheckBox1"_s, u"Tageslisten drucken"_s, m_taglists, u"Button1"_s,
           u"EdFormTaglist"_s, m_taglistForm, true);
    addRow(1, u"CheckBox2"_s, u"Arbeitsberichte drucken"_s, m_workReports, u"Button2"_s,
           u"EdFormWorklist"_s, m_worklistForm, false);
    addRow(2, u"CheckBox3"_s, u"Zusatzformulare drucken"_s, m_extraForms, {}, {}, none, false);
    layout->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton(u"&OK"_s, this);
    ok->setObjectName(u"btnOK"_s);
    auto* cancel = new QPushButton(u"&Abbrechen"_s, this);
    cancel->setObjectName(u"btnCancel"_s);
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    auto* storage = new FormStorage(this, kPlacementFile03, u"SelPrintOpt"_s);
    storage->setStoredProperties(
        {u"CheckBox1.checked"_s, u"CheckBox2.checked"_s, u"CheckBox3.checked"_s});
    storage->restore();
    // The options start from the boxes as they were last left.
    m_options.printTaglists = m_taglists->isChecked();
    m_options.printWorkReports = m_workReports->isChecked();
    m_options.printExtraForms = m_extraForms->isChecked();
    connect(m_taglists, &QCheckBox::toggled, this,
            [this](bool on) { m_options.printTaglists = on; });
    connect(m_workReports, &QCheckBox::toggled, this,
            [this](bool on) { m_options.printWorkReports = on; });
    connect(m_extraForms, &QCheckBox::toggled, this,
            [this](bool on) { m_options.printExtraForms = on; });
    showComments();
}

void TF_SelPrintOptions::chooseForm(bool taglist) {
    const QPoint at = frameGeometry().topLeft();
    const int id = ChoosePrintForm(taglist ? 25000 : 35000, 0, at.x() + 10, at.y() + 40);
    (taglist ? m_options.taglistFormId : m_options.worklistFormId) = id;
    showComments();
}

void TF_SelPrintOptions::showComments() {
    m_taglistForm->setText(
        m_options.taglistFormId != 0 ? GetPrintFormComment(m_options.taglistFormId) : QString());
    m_worklistForm->setText(
        m_options.worklistFormId != 0 ? GetPrintFormComment(m_options.worklistFormId) : QString());
}

bool SelectDailyListPrintOptions(DailyListPrintOptions& options, const QDate& from,
                                 const QDate& to) {
    TF_SelPrintOptions dialog(options, from, to, MainForm());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options = dialog.options();
    return true;
}

TF_ViewRtf::TF_ViewRtf(QWidget* parent) : QDialog(parent) {
    setObjectName(u"TF_ViewRtf"_s);
    setWindowTitle(u"Listenansicht"_s);
    auto* layout = new QVBoxLayout(this);
    m_editor = new QTextEdit(this);
    m_editor->setObjectName(u"Editor"_s);
    m_editor->setReadOnly(true);
    m_editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(m_editor, 1);
    auto* row = new QHBoxLayout;
    row->addStretch();
    auto* close = new QPushButton(u"&Schließen"_s, this);
    close->setObjectName(u"btnClose"_s);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    row->addWidget(close);
    layout->addLayout(row);
    resize(760, 560);
}

void TF_ViewRtf::load(const QByteArray& text, const TTemplateValues& values) {
    richtext::readRtf(ExpandTemplateRichText(text, values), m_editor->document());
}

void TF_ViewRtf::printOn(QPrinter& printer) const {
    printer.setDocName(QString());
    m_editor->document()->print(&printer);
}

void ShowListView(const QString& caption, const QByteArray& source, const QString& fileName,
                  bool showIt, const TTemplateValues& values) {
    QByteArray text = source;
    if (!fileName.isEmpty()) {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            throw DbError(u"Die Datei %1 kann nicht gelesen werden."_s.arg(fileName));
        text = file.readAll();
    }
    TF_ViewRtf view(MainForm());
    if (!caption.isEmpty())
        view.setWindowTitle(caption);
    PlaceBelowMainForm(&view, 0, 0, 0);
    view.load(text, values);
    QCoreApplication::processEvents();
    if (showIt) {
        view.exec();
        return;
    }
    if (const ListViewPrinter& printer = listViewPrinter()) {
        printer(view);
        return;
    }
    // The current printer, as the reports print; no dialog, no job title.
    report::PrinterSystem& system = report::printerSystem();
    report::PrinterRequest request;
    request.printerName = system.currentPrinter();
    const std::unique_ptr<QPrinter> printer = system.openPrinter(request);
    if (!printer)
        throw DbError(u"Der Drucker %1 ist nicht verfügbar."_s.arg(request.printerName));
    view.printOn(*printer);
}

ListViewPrinter SetListViewPrinter(ListViewPrinter printer) {
    return std::exchange(listViewPrinter(), std::move(printer));
}
