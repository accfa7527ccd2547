#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPrinter;
class QPushButton;

// "Nicht planbare Objekttätigkeiten": the planning check's list, built when
// the form is first shown and editable before it is saved or printed.
class TF_PlanCheck : public QDialog {
    Q_OBJECT
public:
    explicit TF_PlanCheck(QWidget* parent = nullptr);

    QPlainTextEdit& memo() const { return *m_memo; }
    // Builds the list over the objects the data module's object table shows.
    void check();
    // "Speichern": the save dialog, then the file.
    void saveClicked();
    void saveTo(const QString& fileName);
    // "Drucken": the print dialog, then the printer.
    void printClicked();
    void printOn(QPrinter& printer);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPlainTextEdit* m_memo = nullptr;
    bool m_checked = false;
};

// Opens the check modally and frees it afterwards.
void ShowPlanCheckForm();
