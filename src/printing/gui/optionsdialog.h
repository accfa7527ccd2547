#pragma once

#include "printing/gui/designerdialog.h"

class QComboBox;
class QLabel;

// "Optionen einstellen": the printer and the paper bin of the print form,
// edited in the process-wide printer-option values. The bin of the following
// pages is kept but not offered: its list stays hidden.
class TOptionsDialog : public DesignerDialog {
    Q_OBJECT
public:
    explicit TOptionsDialog(QWidget* parent = nullptr);

    // Fills the lists from the system's printers and the values, shows the
    // dialog and on OK writes the choice back into the values.
    bool ExecuteAt(int x, int y);

    QComboBox* printerList() const { return m_printers; }
    QComboBox* binList() const { return m_firstBin; }
    QComboBox* nextBinList() const { return m_nextBin; }
    QLabel* nextBinLabel() const { return m_nextBinLabel; }

private:
    void fill();
    void store();

    QComboBox* m_printers;
    QComboBox* m_firstBin;
    QComboBox* m_nextBin;
    QLabel* m_nextBinLabel;
    int m_printerCount = 0;
};
