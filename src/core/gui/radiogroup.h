#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QVBoxLayout;

// A titled group of exclusive radio buttons built from a list of texts, with
// the selection as an index (-1: none).
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit RadioGroup(const QString& title, QWidget* parent = nullptr);

    void clearItems();
    void addItem(const QString& text);
    QStringList items() const;
    int itemIndex() const;
    // An index outside the items clears the selection.
    void setItemIndex(int index);

private:
    QButtonGroup* m_buttons;
    QVBoxLayout* m_layout;
};
