#pragma once

#include <QLabel>

namespace widgets {

class DataSource;
class FieldLink;

// Shows a picture field (e.g. a logo) scaled into the box, keeping its
// proportions; bytes that are no picture Qt can read show "Kein Bild".
class DbImage : public QLabel {
    Q_OBJECT
public:
    DbImage(DataSource& source, const QString& field, QWidget* parent = nullptr);
    FieldLink& link() const { return *m_link; }
    bool hasPicture() const { return !m_picture.isNull(); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showPicture();
    FieldLink* m_link;
    QPixmap m_picture;
};

} // namespace widgets
