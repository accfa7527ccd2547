#include "printing/gui/picturedialog.h"

#include <QBoxLayout>
#include <QCheckBox>

using namespace Qt::StringLiterals;

TPictureDialog::TPictureDialog(QWidget* parent) : DesignerDialog(u"Bild formatieren"_s, parent) {
    m_center = new QCheckBox(u"Bild zentrieren"_s, this);
    m_stretch = new QCheckBox(u"Bildgröße anpassen"_s, this);
    content()->addWidget(m_center);
    content()->addWidget(m_stretch);
}

void TPictureDialog::setFlags(bool center, bool stretch) {
    m_center->setChecked(center);
    m_stretch->setChecked(stretch);
}

bool TPictureDialog::center() const {
    return m_center->isChecked();
}

bool TPictureDialog::stretch() const {
    return m_stretch->isChecked();
}
