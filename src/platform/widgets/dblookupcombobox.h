#pragma once

#include <QComboBox>
#include <QVariantList>

namespace widgets {

class DataSource;
class FieldLink;

// A combo box that lists a field of another table and stores the chosen
// row's key in the bound field, e.g. the bank name shown, its number stored.
class DbLookupComboBox : public QComboBox {
    Q_OBJECT
public:
    DbLookupComboBox(DataSource& source, const QString& field, QWidget* parent = nullptr);
    FieldLink& link() const { return *m_link; }

    // The list comes from `list` (its rows in its current order, read without
    // moving its cursor); `keyField` holds the value stored, `listField` the text shown.
    void setLookup(DataSource& list, const QString& keyField, const QString& listField);

private:
    void reload();
    void showField();
    FieldLink* m_link;
    DataSource* m_list = nullptr;
    QString m_keyField, m_listField;
    QVariantList m_keys;
};

} // namespace widgets
