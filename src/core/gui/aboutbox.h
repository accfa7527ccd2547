#pragma once

#include <QDialog>

class QLabel;
class QListWidget;

// Program and database version, memory state, network directory and the
// users connected to the shared database.
class TAboutBox : public QDialog {
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    QLabel* lbVersion = nullptr;
    QLabel* lbDbVersion = nullptr;
    QLabel* PhysMem = nullptr;
    QLabel* FreeRes = nullptr;
    QLabel* Label5 = nullptr;
    QListWidget* ListBox1 = nullptr;

private:
    void FormCreate();
};

// Raises DbError when the list of connected users cannot be read.
void ShowAboutBox(QWidget* parent = nullptr);
