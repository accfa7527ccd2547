#pragma once

#include "printing/gui/designerdialog.h"

class QButtonGroup;

// "Ausrichtung": "Linksbündig", "Rechtsbündig", "Zentriert", numbered as the
// report's alignments (0 left, 1 right, 2 centred).
class TAlignDialog : public DesignerDialog {
    Q_OBJECT
public:
    explicit TAlignDialog(QWidget* parent = nullptr);

    void setItemIndex(int index);
    int itemIndex() const;
    QButtonGroup* items() const { return m_items; }

private:
    QButtonGroup* m_items;
};
