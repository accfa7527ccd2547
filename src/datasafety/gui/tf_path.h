#pragma once

#include <QDialog>

class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QPushButton;
class QTreeView;

// "Datensicherungspfade einstellen": the backup path and the transport path,
// typed or chosen in the tree of the mounted file systems.
class TF_Path : public QDialog {
public:
    explicit TF_Path(QWidget* parent = nullptr);
    ~TF_Path() override;

    QLineEdit* backupEdit() const { return edBackup; }
    QLineEdit* transportEdit() const { return edTransport; }
    QComboBox* driveBox() const { return DriveComboBox; }
    QTreeView* directoryList() const { return DirectoryListBox; }
    QLineEdit* target() const { return m_target; }
    // The directory the list shows as chosen, empty when none.
    QString listedDirectory() const;

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setTarget(QLineEdit* edit);
    // Moves the drive box and the list to a path (as far as it exists).
    void moveListTo(const QString& path);
    void setDrive(const QString& root);
    void showPending();
    void listChosen();

    QComboBox* DriveComboBox = nullptr;
    QTreeView* DirectoryListBox = nullptr;
    QFileSystemModel* m_model = nullptr;
    QLineEdit* edBackup = nullptr;
    QLineEdit* edTransport = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
    QLineEdit* m_target = nullptr;
    bool m_moving = false;
    // The directory the list is to show as soon as the model has read it.
    QString m_pending;
};

// Opens the form modally; installed as ShowPathForm's window.
void ShowPathFormWindow();
