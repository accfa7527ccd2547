#pragma once

#include "datasafety/backupdialog.h"

#include <QDialog>
#include <QElapsedTimer>
#include <memory>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

// "Datensicherung": the window of the backup dialog. It shows what the
// dialog holds and hands it the user's clicks and keys.
class TF_Datsich : public QDialog, private BackupDialogView {
public:
    explicit TF_Datsich(const BackupDialogArgs& args, QWidget* parent = nullptr);
    ~TF_Datsich() override;

    BackupDialog& dialog() { return m_dialog; }
    QTableWidget* grid() const { return StringGrid1; }
    QLineEdit* commentEdit() const { return edComment; }
    QPushButton* startButton() const { return btnStart; }
    QPushButton* closeButton() const { return btnClose; }
    QLabel* archiveLabel() const { return lbFile; }
    QProgressBar* progressBar() const { return ProgressBar1; }

    // Puts the window at the main window's left edge, directly below it,
    // inside the screen.
    void placeBelowMainWindow();

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void stateChanged() override;
    void rowsReset() override;
    void rowAdded(int row) override;
    void cellChanged(int row, int column) override;
    void currentRowChanged(int row) override;
    void progressChanged() override;

    void setColumns();
    void fillRow(int row);
    void guarded(const std::function<void()>& action);
    void closeClicked();
    void repaintNow(bool force);

    BackupDialog m_dialog;
    QLabel* lbFile = nullptr;
    QLineEdit* edComment = nullptr;
    QTableWidget* StringGrid1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* btnStart = nullptr;
    QPushButton* btnClose = nullptr;
    BackupFocus m_appliedFocus = BackupFocus::None;
    bool m_syncing = false;
    bool m_opened = false;
    QElapsedTimer m_lastRepaint;
};

// Installs the backup dialog's window for RunBackupDialog.
void InstallBackupDialogWindow();
