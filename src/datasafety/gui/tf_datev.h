#pragma once

#include <QDialog>
#include <memory>

class QButtonGroup;
class QPlainTextEdit;
class QPushButton;

namespace table {
class Table;
}
namespace widgets {
class DataSource;
class FieldForm;
} // namespace widgets

// "Datenexport an Datev": the DATEV settings of the client (ExpStamm.DB) and
// the export run with its protocol.
class TF_Datev : public QDialog {
    Q_OBJECT
public:
    explicit TF_Datev(QWidget* parent = nullptr);
    ~TF_Datev() override;

    table::Table& settings() const { return *m_settings; }
    widgets::FieldForm& fields() const { return *m_fields; }
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* sbtnExecute = nullptr;
    QPushButton* sbtnSave = nullptr;
    QPushButton* sbtnPrint = nullptr;
    QPushButton* btnSearchDir = nullptr;
    QPushButton* btnPost = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* sbtnInfo = nullptr;
    QButtonGroup* RadioGroup1 = nullptr;

    void AddDatevProtocolLine(const QString& text);
    // The export itself; the question for a missing account goes to the
    // installed asker (tests answer it).
    void sbtnExecuteClick();
    void sbtnSaveClick();
    void sbtnPrintClick();
    void btnSearchDirClick();
    // The directory the protocol is saved to first: the last run's target.
    QString lastTarget() const { return m_lastTarget; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void postPending();
    void setFormat(int format);
    int askAccountNumber(const QString& prompt);

    std::unique_ptr<table::Table> m_settings;
    std::unique_ptr<widgets::DataSource> m_source;
    widgets::FieldForm* m_fields = nullptr;
    QString m_lastTarget;
};

// Opens the form 200 pixels right of and 32 below the main window's corner,
// modally; the settings row is created when the client has none.
void ShowDatevFormWindow();
void InstallDatevForm();
