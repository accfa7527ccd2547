#include "commercial/gui/f_cnvrgv.h"

#include "commercial/billing/rgvconversion.h"
#include "core/data/lookups.h"
#include "core/files/programdirs.h"
#include "core/gui/placement.h"
#include "core/messages/messages.h"
#include "core/settings/settingsfiles.h"
#include "platform/errors.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

void markConverted(int mandant) {
    if (!MarkRgvConverted(mandant))
        throw DbError(u"Die Markierung \"RgvCnvrt.%1\" konnte nicht geschrieben werden."_s.arg(
            MandantSuffix3(mandant)));
}

} // namespace

TF_CnvRgv::TF_CnvRgv(int mandant, QWidget* parent)
    : QDialog(parent), m_mandant(mandant), m_conversion(std::make_unique<TRgvConversion>()) {
    setObjectName(u"F_CnvRgv"_s);
    setWindowTitle(u"Dauerrechnungen konvertieren"_s);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(u"Memo1"_s);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The progress lines align object numbers in columns.
    Memo1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Memo1->setPlainText(u"Mit diesem Programmteil konvertieren Sie Ihre "
                        u"Dauerrechnungs-Definitionen in das\n"
                        u"von Domvera Version 2.20 verwendete Format übersetzen lassen."_s);

    BitBtn1 = new QPushButton(u"&Konvertieren"_s, this);
    BitBtn1->setObjectName(u"BitBtn1"_s);
    BitBtn1->setDefault(true);
    BitBtn3 = new QPushButton(u"&Übergehen"_s, this);
    BitBtn3->setObjectName(u"BitBtn3"_s);
    BitBtn2 = new QPushButton(u"&Schließen"_s, this);
    BitBtn2->setObjectName(u"BitBtn2"_s);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn3);
    buttons->addStretch(1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Memo1, 1);
    layout->addLayout(buttons);
    resize(760, 420);

    m_conversion->addLine = [this](const QString& line) { Memo1->appendPlainText(line); };
    m_conversion->processEvents = [] { QCoreApplication::processEvents(); };
}

TF_CnvRgv::~TF_CnvRgv() = default;

table::Table& TF_CnvRgv::TabRgvKopf() {
    return m_conversion->TabRgvKopf();
}

table::Table& TF_CnvRgv::TabRgvSatz() {
    return m_conversion->TabRgvSatz();
}

void TF_CnvRgv::BitBtn1Click() {
    // The run lets events through for the progress lines: no second start
    // and no closing meanwhile.
    struct Busy {
        TF_CnvRgv& form;
        explicit Busy(TF_CnvRgv& f) : form(f) {
            form.m_busy = true;
            for (QPushButton* b : {form.BitBtn1, form.BitBtn2, form.BitBtn3})
                b->setEnabled(false);
            QApplication::setOverrideCursor(Qt::WaitCursor);
        }
        ~Busy() {
            QApplication::restoreOverrideCursor();
            for (QPushButton* b : {form.BitBtn1, form.BitBtn2, form.BitBtn3})
                b->setEnabled(true);
            form.m_busy = false;
        }
    };
    Memo1->clear();
    try {
        Busy busy(*this);
        m_conversion->Run(m_mandant);
    } catch (const Abort&) {
    } catch (const DbError& e) {
        ShowError(e.message());
    }
}

void TF_CnvRgv::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Once shown the frame is known, so the width comes out exact.
    PlaceBelowMainForm(this, 0, 0, -200);
}

void TF_CnvRgv::reject() {
    if (!m_busy)
        QDialog::reject();
}

void TF_CnvRgv::BitBtn3Click() {
    try {
        markConverted(m_mandant);
    } catch (const DbError& e) {
        ShowError(e.message());
        return;
    }
    accept();
}

void RunCnvRgv(int mandant) {
    if (CountMasterRecords() == 0) {
        markConverted(mandant);
        ShowInfo(u"Es sind noch keine Stammdaten vorhanden, aus denen Rechnungsvorlagen "
                 u"entstehen könnten.\rDie Rechnungsvorlagen gelten damit als konvertiert."_s);
        return;
    }
    TF_CnvRgv form(mandant, MainForm());
    form.exec();
}
