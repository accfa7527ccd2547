#pragma once

#include <QComboBox>
#include <QVariantList>

namespace widgets {

class DataSource;
class FieldLink;

// A combo box for a field. With items alone the chosen text is stored (an
// editable box also takes any typed text); with values the box shows the text
// of the stored value and stores the value of the chosen text.
class DbComboBox : public QComboBox {
    Q_OBJECT
public:
    DbComboBox(DataSource& source, const QString& field, QWidget* parent = nullptr);
    FieldLink& link() const { return *m_link; }

    void setItems(const QStringList& texts, const QVariantList& values = {});

private:
    void showField();
    void commitText();
    FieldLink* m_link;
    QVariantList m_values;
};

} // namespace widgets
