#pragma once

#include <QStyledItemDelegate>

// Shows the Boolean column of a data grid as "Ja" or "Nein" instead of a
// check box, and keeps clicks and keys from toggling it: the windows change
// such a field through their own actions.
class JaNeinDelegate : public QStyledItemDelegate {
public:
    JaNeinDelegate(int column, QObject* parent);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

    int booleanColumn() const { return m_column; }
    // Whether the row's Boolean is set, as the grid shows it.
    bool isSet(const QModelIndex& index) const;

private:
    int m_column;
};
