#pragma once

#include <QLabel>

namespace widgets {

class DataSource;

// Shows where the cursor stands, "Datensatz 3 von 120"; a record being
// inserted shows "Neuer Datensatz", an empty or closed table nothing.
class RecordPositionLabel : public QLabel {
    Q_OBJECT
public:
    explicit RecordPositionLabel(DataSource& source, QWidget* parent = nullptr);
    // %1 is the position, %2 the count.
    void setFormat(const QString& format);

private:
    void showPosition();
    DataSource& m_source;
    QString m_format = QStringLiteral("Datensatz %1 von %2");
};

} // namespace widgets
