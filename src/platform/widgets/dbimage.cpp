#include "platform/widgets/dbimage.h"

#include "platform/table/field.h"
#include "platform/widgets/fieldlink.h"

#include <QImage>

namespace widgets {

DbImage::DbImage(DataSource& source, const QString& field, QWidget* parent)
    : QLabel(parent), m_link(new FieldLink(source, field, this)) {
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::StyledPanel);
    setMinimumSize(120, 80);
    m_link->setRefresh([this] {
        const table::Field* f = m_link->field();
        const QByteArray bytes = f ? f->asBytes() : QByteArray();
        m_picture = QPixmap::fromImage(QImage::fromData(bytes));
        showPicture();
    });
}

void DbImage::showPicture() {
    if (m_picture.isNull()) {
        setPixmap({});
        const table::Field* f = m_link->field();
        setText(f && !f->isNull() ? QStringLiteral("Kein Bild") : QString());
        return;
    }
    setPixmap(
        m_picture.scaled(contentsRect().size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void DbImage::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    if (!m_picture.isNull())
        showPicture();
}

} // namespace widgets
