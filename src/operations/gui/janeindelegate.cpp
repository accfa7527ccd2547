#include "operations/gui/janeindelegate.h"

using namespace Qt::StringLiterals;

JaNeinDelegate::JaNeinDelegate(int column, QObject* parent)
    : QStyledItemDelegate(parent), m_column(column) {}

bool JaNeinDelegate::isSet(const QModelIndex& index) const {
    return index.siblingAtColumn(m_column).data(Qt::CheckStateRole).toInt() == Qt::Checked;
}

void JaNeinDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() != m_column)
        return;
    option->features &= ~QStyleOptionViewItem::HasCheckIndicator;
    option->text = isSet(index) ? u"Ja"_s : u"Nein"_s;
    option->displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
}

bool JaNeinDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                 const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (index.column() == m_column)
        return false;
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}
