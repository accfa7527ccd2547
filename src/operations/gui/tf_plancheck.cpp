#include "operations/gui/tf_plancheck.h"

#include "core/data/datamodule.h"
#include "core/data/timerworkpause.h"
#include "core/files/filedialogfilter.h"
#include "core/files/programdirs.h"
#include "core/gui/formstorage.h"
#include "core/gui/placement.h"
#include "core/settings/formplacement.h"
#include "operations/plancheck.h"
#include "platform/widgets/userprompts.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using widgets::guarded;

namespace {

const QString kTitle = u"Nicht planbare Objekt-Tätigkeiten"_s;

} // namespace

TF_PlanCheck::TF_PlanCheck(QWidget* parent) : QDialog(parent) {
    setObjectName(u"TF_PlanCheck"_s);
    setWindowTitle(u"Nicht planbare Objekttätigkeiten"_s);
    resize(640, 480);
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    auto* save = new QPushButton(u"Speichern"_s, this);
    save->setObjectName(u"sbtnSave"_s);
    auto* print = new QPushButton(u"Drucken"_s, this);
    print->setObjectName(u"sbtnPrint"_s);
    auto* close = new QPushButton(u"S&chließen"_s, this);
    for (QPushButton* b : {save, print, close}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->insertStretch(2);
    connect(save, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { saveClicked(); }); });
    connect(print, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { printClicked(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(u"Memo1"_s);
    QFont courier(u"Courier"_s);
    courier.setStyleHint(QFont::TypeWriter);
    m_memo->setFont(courier);
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addLayout(buttons);
    layout->addWidget(m_memo, 1);
    new FormStorage(this, kPlacementFilePlancheck, u"Plancheck"_s);
}

void TF_PlanCheck::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Built once: the save and print dialogs activate the form again, and
    // the user's edits must survive them.
    if (!m_checked) {
        m_checked = true;
        guarded(this, [this] { check(); });
    }
}

void TF_PlanCheck::check() {
    m_memo->setPlainText(RunPlanCheck(DataModule1().TabObjekt()).join(u'\n'));
}

void TF_PlanCheck::saveClicked() {
    QFileDialog dialog(this, u"Speichern unter"_s, TempDir);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(QtNameFilters(u"Textdateien|*.txt"_s));
    dialog.setDefaultSuffix(u"txt"_s);
    dialog.selectFile(u"Plancheck.txt"_s);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    saveTo(dialog.selectedFiles().first());
}

void TF_PlanCheck::saveTo(const QString& fileName) {
    SavePlanCheckText(fileName, m_memo->toPlainText());
}

void TF_PlanCheck::printClicked() {
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    printOn(printer);
}

void TF_PlanCheck::printOn(QPrinter& printer) {
    printer.setDocName(kTitle);
    QTextDocument document;
    document.setDefaultFont(m_memo->font());
    document.setPlainText(m_memo->toPlainText());
    document.print(&printer);
}

void ShowPlanCheckForm() {
    const TimerWorkPause pause;
    TF_PlanCheck form(MainForm());
    form.exec();
}
