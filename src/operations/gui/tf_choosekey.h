#pragma once

#include <QDialog>

class QListWidget;

// "Verteilerschlüssel bestimmen": the six keys of the overhead distribution,
// the first one preselected.
class TF_ChooseKey : public QDialog {
    Q_OBJECT
public:
    explicit TF_ChooseKey(QWidget* parent = nullptr);
    QListWidget& list() const { return *m_list; }
    // The chosen key's index 0..5.
    int chosen() const;

private:
    QListWidget* m_list = nullptr;
};

// The chosen key 0..5; -1 on cancel.
int ChooseDistributionKey(QWidget* parent = nullptr);
