#pragma once

#include "datasafety/documentarchive/documentmove.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

// "Daten auslagern" (TF_Auslag): the warning, "&Starten" and "&Abbrechen".
// Starting offers a backup, moves the marked documents of its table pair
// with a progress bar counting heads, reports the end and the documents left
// behind and offers a second backup; the start button then closes the form.
class TF_Auslag : public QDialog {
    Q_OBJECT
public:
    explicit TF_Auslag(const ArchiveTables& tables, QWidget* parent = nullptr);

    QPushButton* startButton() const { return btnStart; }
    QPushButton* cancelButton() const { return btnCancel; }
    QProgressBar* progressBar() const { return ProgressBar1; }
    QLabel* warning() const { return Label2; }

    // "&Starten"; runs once, then the button is "&Schließen".
    void btnStartClick();

    // Escape and the system menu do nothing while the move runs.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void moveSelectedDocuments(DocumentMoveResult& result);
    void becomeClosable();

    ArchiveTables m_tables;
    QLabel* Label2 = nullptr;
    QPushButton* btnStart = nullptr;
    QPushButton* btnCancel = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    bool m_running = false;
    bool m_done = false;
};

// The text of the warning, its lines separated by empty lines.
QString AuslagWarningText();

// Shows TF_Auslag for the tables at the main window's left + 300, top + 200
// with the data module's timer work paused.
void ArchiveDocumentsWindow(const ArchiveTables& tables);
