#include "printing/gui/optionsdialog.h"

#include "platform/report/printersystem.h"
#include "printing/printeroptions.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>

using namespace Qt::StringLiterals;

namespace {

// In the report engine's order of bins, First (0) to Last (13).
const QStringList& binCaptions() {
    static const QStringList captions{
        u"Erstes Fach"_s,      u"Oberes Fach"_s,  u"Unteres Fach"_s,     u"Mittleres Fach"_s,
        u"Manueller Einzug"_s, u"Umschlagfach"_s, u"Umschlag manuell"_s, u"Auto"_s,
        u"Traktor"_s,          u"Klein-Format"_s, u"Groß-Format,"_s,     u"Übergröße,"_s,
        u"Kassette"_s,         u"Letztes Fach"_s};
    return captions;
}

} // namespace

TOptionsDialog::TOptionsDialog(QWidget* parent) : DesignerDialog(u"Optionen einstellen"_s, parent) {
    auto* form = new QFormLayout;
    m_printers = new QComboBox(this);
    m_printers->setMinimumWidth(260);
    m_firstBin = new QComboBox(this);
    m_firstBin->addItems(binCaptions());
    m_nextBin = new QComboBox(this);
    m_nextBin->addItems(binCaptions());
    form->addRow(u"Druckerauswahl"_s, m_printers);
    form->addRow(u"Einzug"_s, m_firstBin);
    m_nextBinLabel = new QLabel(u"Einzug Folgeseiten"_s, this);
    form->addRow(m_nextBinLabel, m_nextBin);
    m_nextBinLabel->hide();
    m_nextBin->hide();
    content()->addLayout(form);
    setStartFocus(m_printers);
}

bool TOptionsDialog::ExecuteAt(int x, int y) {
    fill();
    if (!DesignerDialog::ExecuteAt(x, y))
        return false;
    store();
    return true;
}

void TOptionsDialog::fill() {
    const QStringList names = report::printerSystem().printerNames();
    m_printerCount = int(names.size());
    m_printers->clear();
    m_printers->addItems(names);
    m_printers->addItem(u"Standard-Drucker"_s);
    const PrinterOptionValues& values = PrinterOptions();
    const int index = values.printerIndex;
    m_printers->setCurrentIndex(index >= 0 && index < m_printerCount ? index : m_printerCount);
    m_firstBin->setCurrentIndex(values.firstBin);
    m_nextBin->setCurrentIndex(values.nextBin);
}

void TOptionsDialog::store() {
    PrinterOptionValues& values = PrinterOptions();
    const int chosen = m_printers->currentIndex();
    values.printerIndex = chosen >= 0 && chosen < m_printerCount ? chosen : -1;
    values.firstBin = std::max(m_firstBin->currentIndex(), 0);
    values.nextBin = std::max(m_nextBin->currentIndex(), 0);
}
