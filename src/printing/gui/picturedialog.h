#pragma once

#include "printing/gui/designerdialog.h"

class QCheckBox;

// "Bild formatieren": whether the picture is centred and stretched.
class TPictureDialog : public DesignerDialog {
    Q_OBJECT
public:
    explicit TPictureDialog(QWidget* parent = nullptr);

    void setFlags(bool center, bool stretch);
    bool center() const;
    bool stretch() const;
    QCheckBox* centerBox() const { return m_center; }
    QCheckBox* stretchBox() const { return m_stretch; }

private:
    QCheckBox* m_center;
    QCheckBox* m_stretch;
};
