#include "commercial/gui/tf_editangnotes.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/layoutfiles.h"
#include "core/data/printforms.h"
#include "core/datagui/tf_selform.h"
#include "core/gui/placement.h"
#include "core/messages/messages.h"
#include "masterdata/dialogs/tf_dbrtf.h"
#include "platform/report/printersystem.h"
#include "platform/report/report.h"
#include "platform/table/table.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbrichedit.h"
#include "printing/documentprints.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int kLetterFormType = 11000;

} // namespace

TF_EditAngNotes::TF_EditAngNotes(QWidget* parent)
    : QDialog(parent), m_source(std::make_unique<widgets::DataSource>(DataModule1().TabAngKopf())) {
    setObjectName(u"TF_EditAngNotes"_s);
    setWindowTitle(u"Anschreiben bearbeiten"_s);
    auto* layout = new QVBoxLayout(this);
    m_letter = new widgets::DbRichEdit(*m_source, u"R_Anschreiben"_s, this);
    m_letter->setObjectName(u"Editor"_s);
    m_letter->setReadOnly(true);
    m_letter->setFocusPolicy(Qt::NoFocus);
    m_letter->setToolTip(u"Zum Bearbeiten anklicken"_s);
    m_letter->viewport()->installEventFilter(this);
    layout->addWidget(m_letter, 1);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    m_preview = new QPushButton(u"&Vorschau"_s, this);
    m_print = new QPushButton(u"&Druck"_s, this);
    m_close = new QPushButton(u"S&chließen"_s, this);
    m_close->setToolTip(u"Bearbeitung beenden"_s);
    for (QPushButton* b : {m_preview, m_print, m_close}) {
        b->setAutoDefault(false);
        row->addWidget(b);
    }
    layout->addLayout(row);
    connect(m_preview, &QPushButton::clicked, this, [this] { printLetter(true); });
    connect(m_print, &QPushButton::clicked, this, [this] { printLetter(false); });
    connect(m_close, &QPushButton::clicked, this, [this] { accept(); });
    setMinimumSize(480, 320);
}

TF_EditAngNotes::~TF_EditAngNotes() {
    // The letter is bound to the data source: it goes first.
    delete m_letter;
}

void TF_EditAngNotes::editLetter() {
    RunShowingErrors([&] {
        // The memo editor takes the letter's place; this window goes out of
        // sight meanwhile (hiding a modal dialog would end it).
        const QPoint at = pos();
        move(-10 * width(), -10 * height());
        struct ShowAgain {
            TF_EditAngNotes* form;
            QPoint at;
            ~ShowAgain() { form->move(at); }
        } showAgain{this, at};
        ShowRtfEditor(this, *m_letter, QString(), false);
    });
    m_source->notifyRecordChanged();
}

void TF_EditAngNotes::printLetter(bool preview) {
    QPushButton* pressed = preview ? m_preview : m_print;
    struct Release {
        QPushButton* button;
        ~Release() { button->setDown(false); }
    } release{pressed};
    RunShowingErrors([&] {
        table::Table& head = DataModule1().TabAngKopf();
        if (!head.isOpen() || head.isEmpty())
            return;
        const int formId = ChoosePrintForm(kLetterFormType, 0, x() + 100, y() + 140);
        if (!SameFormType(formId, kLetterFormType))
            return;
        report::PrintSettings printer;
        if (!preview && !report::printerSystem().setupPrinter(this, printer))
            return;
        // The print reads the stored letter: an edit not yet written goes first.
        if (head.isEditing())
            head.post();
        PrintOfferLetter(FieldInt(head, u"R_ID"_s), preview, LayoutFilePath(formId), this,
                         preview ? nullptr : &printer);
    });
}

bool TF_EditAngNotes::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_letter->viewport()) {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            editLetter();
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress ||
            event->type() == QEvent::MouseButtonDblClick)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void ShowAngNotesForm(int left, int top, int width, int height) {
    TF_EditAngNotes form(MainForm());
    form.resize(width, height);
    MoveOnScreen(form, left, top);
    form.exec();
}
