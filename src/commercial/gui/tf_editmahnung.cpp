#include "commercial/gui/tf_editmahnung.h"

#include "commercial/accounts/dunning.h"
#include "core/data/dbhelpers.h"
#include "core/gui/placement.h"
#include "masterdata/dialogs/tf_dbrtf.h"
#include "platform/report/printersystem.h"
#include "platform/report/report.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/screenfit.h"
#include "platform/widgets/userprompts.h"
#include "printing/gui/printbutton.h"
#include "printing/opprints.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using table::Table;

TF_EditMahnung::TF_EditMahnung(Table& item, const QString& templateFile, int level, QWidget* parent)
    : QDialog(parent), m_item(item), m_templateFile(templateFile),
      m_letterFile(DunningLetterFile(FieldText(item, u"R_Nr"_s), level)), m_level(level),
      m_printTable(std::make_unique<TDunningPrintTable>()) {
    setObjectName(u"TF_EditMahnung"_s);
    setWindowTitle(u"Mahnung erstellen"_s);
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    m_print = new QPushButton(u"&Druck"_s, this);
    m_preview = new QPushButton(u"&Vorschau"_s, this);
    MarkPreviewButton(m_preview);
    m_close = new QPushButton(u"S&chließen"_s, this);
    for (QPushButton* b : {m_print, m_preview, m_close}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    connect(m_print, &QPushButton::clicked, this,
            [this] { widgets::guarded(this, [this] { printLetter(false); }); });
    connect(m_preview, &QPushButton::clicked, this,
            [this] { widgets::guarded(this, [this] { printLetter(true); }); });
    connect(m_close, &QPushButton::clicked, this,
            [this] { widgets::guarded(this, [this] { closeWithOk(); }); });
    layout->addLayout(buttons);
    m_letterHolder = new QVBoxLayout;
    layout->addLayout(m_letterHolder, 1);
}

TF_EditMahnung::~TF_EditMahnung() {
    closeRow();
}

QString TF_EditMahnung::printTableName() const {
    return m_printTable->name();
}

void TF_EditMahnung::openRow() {
    if (m_printTable->name().isEmpty())
        return;
    m_row = std::make_unique<Table>(table::aliases::database(u"LumoDB"_s), m_printTable->name());
    m_row->open();
    m_source = std::make_unique<widgets::DataSource>(*m_row);
    m_letter = new widgets::DbRichEdit(*m_source, u"R_Text"_s, this);
    m_letter->setObjectName(u"DBRichEdit1"_s);
    m_letter->setReadOnly(true);
    m_letter->viewport()->installEventFilter(this);
    m_letter->installEventFilter(this);
    m_letterHolder->addWidget(m_letter);
}

void TF_EditMahnung::closeRow() {
    // The editor goes before its source, the source before its table.
    delete m_letter;
    m_letter = nullptr;
    m_source.reset();
    if (m_row && m_row->isOpen())
        m_row->close();
    m_row.reset();
}

void TF_EditMahnung::showEvent(QShowEvent* event) {
    widgets::FitToScreen(*this);
    QDialog::showEvent(event);
    if (m_prepared)
        return;
    m_prepared = true;
    widgets::guarded(this, [this] { prepare(); });
}

void TF_EditMahnung::prepare() {
    if (!m_printTable->create(m_item))
        return;
    m_printTable->loadLetter(m_letterFile, m_templateFile);
    openRow();
}

void TF_EditMahnung::editLetter() {
    if (!m_letter)
        return;
    // The memo editor takes the letter's place; this window goes out of sight
    // meanwhile (hiding a modal dialog would end it).
    auto editor = std::make_unique<TF_DbRtf>(this, *m_letter, QString());
    const QPoint at = pos();
    move(-10 * width(), -10 * height());
    struct ShowAgain {
        TF_EditMahnung* form;
        QPoint at;
        ~ShowAgain() { form->move(at); }
    } showAgain{this, at};
    editor->runModal();
    editor.reset();
    if (m_row && m_row->isOpen())
        m_source->refresh();
}

void TF_EditMahnung::printLetter(bool preview) {
    if (m_printTable->name().isEmpty())
        return;
    if (m_row && m_row->isEditing())
        m_row->post();
    report::PrintSettings printer;
    if (!preview && !report::printerSystem().setupPrinter(this, printer))
        return;
    // The print reads the table on a cursor of its own: the letter's is closed meanwhile.
    closeRow();
    struct Reopen {
        TF_EditMahnung* form;
        ~Reopen() {
            try {
                form->openRow();
            } catch (...) {
                // The letter stays hidden; closing the window still drops the table.
            }
        }
    } reopen{this};
    QAbstractButton* pressed = preview ? m_preview : m_print;
    const QString name = m_printTable->name();
    PrintButtonClicked(pressed, {PrintVariant::A, 50000}, WindowPrintFormChoosers(this),
                       [&](bool p, const QString& layout) {
                           PrintMahnung(name, p, layout, this, p ? nullptr : &printer);
                       });
}

void TF_EditMahnung::closeWithOk() {
    if (m_row && m_row->isEditing())
        m_row->post();
    // The letter went out whether or not its file could be kept: the level rises anyway.
    if (!m_printTable->name().isEmpty())
        m_printTable->saveLetter(m_letterFile);
    accept();
}

bool TF_EditMahnung::eventFilter(QObject* watched, QEvent* event) {
    if (m_letter && (watched == m_letter->viewport() || watched == m_letter) &&
        (event->type() == QEvent::MouseButtonRelease)) {
        widgets::guarded(this, [this] { editLetter(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

int ShowEditMahnungForm(Table& item, const QString& templateFile, int level, const QRect& bounds) {
    TF_EditMahnung form(item, templateFile, level, MainForm());
    form.setGeometry(bounds);
    return form.exec();
}
