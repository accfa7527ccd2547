#pragma once

#include "datasafety/ftpvault.h"

#include <QDialog>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPrinter;
class QProgressBar;
class QPushButton;
class QTableWidget;

// "Ftp-Transfer": the vault window. It sends an archive (and its
// companion), lists the vault's archives of a kind and fetches the marked
// ones, or lists every archive and deletes the marked ones, showing rows,
// protocol and progress while the transfers run.
class TF_Ftp : public QDialog, private FtpObserver {
public:
    enum class Mode { Upload, Download, CleanUp };
    TF_Ftp(Mode mode, QWidget* parent = nullptr, const FtpSettingsRecord& settings = FtpSettings);
    ~TF_Ftp() override;

    // Upload: the rows of the archive; false when it cannot be read.
    bool prepareUpload(const QString& archivePath);
    // Download: the kinds asked for.
    void setKinds(const QString& ext, const QString& ext2);

    // Download: the first archive fetched, empty when none.
    QString firstFetched() const;
    // Upload: whether every row was sent.
    bool succeeded() const { return m_succeeded; }

    FtpVaultTransfer& transfer() { return *m_transfer; }
    QTableWidget* grid() const { return StringGrid1; }
    QPushButton* startButton() const { return btnStart; }
    QPushButton* abortButton() const { return btnAbort; }
    QPushButton* printButton() const { return btnPrint; }
    QCheckBox* deleteBox() const { return cbDelete; }
    QPlainTextEdit* protocolArea() const { return Memo1; }
    QLabel* stateLabel() const { return lbState; }
    QLabel* statusLabel() const { return lbStatus; }
    bool running() const { return m_running; }
    bool waitingForMarks() const { return m_waiting; }

    // Where "Drucken" prints the protocol: the print dialog's choice by
    // default; tests print into a file.
    using PrinterChooser = std::function<std::unique_ptr<QPrinter>(QWidget*)>;
    static void setPrinterChooser(PrinterChooser chooser);

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void rowsChanged() override;
    void rowChanged(int row) override;
    void selectRow(int row) override;
    void protocol(const QString& line) override;
    void stateLine(const QString& text) override;
    void statusText(const QString& text) override;
    void progressMaximum(qint64 value) override;
    void progress(qint64 value) override;

    void firstStep();
    void startClicked();
    void abortClicked();
    void printClicked();
    // A run is over: "Start" closes, "Drucken" prints.
    void finished();
    void guarded(const std::function<void()>& action);

    Mode m_mode;
    std::unique_ptr<FtpVaultTransfer> m_transfer;
    QString m_ext;
    QString m_ext2;
    bool m_started = false;
    bool m_running = false;
    bool m_waiting = false;
    bool m_done = false;
    bool m_succeeded = false;
    qint64 m_maximum = 0;

    QLabel* lbStatus = nullptr;
    QLabel* lbState = nullptr;
    QTableWidget* StringGrid1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QCheckBox* cbDelete = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* btnStart = nullptr;
    QPushButton* btnAbort = nullptr;
    QPushButton* btnPrint = nullptr;
};

// Installs the vault window for the upload after a vault backup, the
// download before a vault restore and "Tresor aufräumen".
void InstallVaultWindows();
