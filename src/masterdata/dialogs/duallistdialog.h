#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

class QListWidget;
class QPushButton;

// The dual-list choice: the left list offers entries, the right one holds
// the chosen, moved with ">", ">>", "<", "<<" or a double-click. Each entry
// carries its key beside the text it shows, so that a choice never depends
// on reading the text back.
class DualListDialog : public QDialog {
    Q_OBJECT
public:
    struct Entry {
        QString key;
        QString text;
    };

    DualListDialog(const QString& title, const QList<Entry>& offered, QWidget* parent = nullptr);

    // The keys of the right list, top to bottom.
    QStringList chosenKeys() const;

    QListWidget& offeredList() const { return *m_left; }
    QListWidget& chosenList() const { return *m_right; }
    QPushButton& okButton() const { return *m_ok; }

    // Moves the selected entries (all: every entry) from one side to the other.
    void choose(bool all);
    void giveBack(bool all);

private:
    static void move(QListWidget& from, QListWidget& to, bool all);

    QListWidget* m_left = nullptr;
    QListWidget* m_right = nullptr;
    QPushButton* m_ok = nullptr;
};

// Runs the dialog modally; the chosen keys in the right list's order, empty
// when cancelled.
QStringList ChooseFromDualList(const QString& title, const QList<DualListDialog::Entry>& offered,
                               QWidget* parent = nullptr);
