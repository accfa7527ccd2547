#pragma once

#include "operations/clockimport.h"

#include <QDialog>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class TF_Zeiterf;

// "Chipdrive-Anbindung": the import path of the chip-card clock, the time
// types of its first five tariffs, the import month with its arrows, the
// import itself and its protocol.
class TF_ChipDrive : public QDialog {
    Q_OBJECT
public:
    explicit TF_ChipDrive(QWidget* parent = nullptr);

    // The directory chosen as the clock's installation: the map is read for
    // it and saved with it.
    void chooseImportPath(const QString& dir);
    // "Ext. Daten einlesen": the clock's tariffs again, after asking.
    void reloadTariffs();
    // "Import": the month's clock records of every person.
    void RunImport();
    void stepMonth(int months);
    // The time type chosen for map entry `row` (0 to 4).
    void chooseTimeType(int row, int index);
    bool mapChanged() const { return m_changed; }
    const ClockMonth& month() const { return m_month; }

    QLineEdit& importPathEdit() const { return *m_path; }
    QLabel& invalidPathLabel() const { return *m_invalid; }
    QLineEdit& tariffEdit(int row) const { return *m_names.at(size_t(row)); }
    QComboBox& timeTypeBox(int row) const { return *m_types.at(size_t(row)); }
    QLineEdit& monthEdit() const { return *m_monthName; }
    QLineEdit& yearEdit() const { return *m_year; }
    QPlainTextEdit& protocolMemo() const { return *m_protocol; }
    QPushButton* button(const QString& name) const;

    // Neither closes the dialog while an import runs.
    void accept() override;
    void reject() override;

private:
    void fillRows();
    void showPathState();
    void showMonth();
    void setRunning(bool running);

    QLineEdit* m_path = nullptr;
    QLabel* m_invalid = nullptr;
    std::array<QLineEdit*, 5> m_names{};
    std::array<QComboBox*, 5> m_types{};
    QLineEdit* m_monthName = nullptr;
    QLineEdit* m_year = nullptr;
    QToolButton* m_back = nullptr;
    QToolButton* m_forward = nullptr;
    QPlainTextEdit* m_protocol = nullptr;
    ClockMonth m_month;
    bool m_changed = false;
    bool m_filling = false;
    bool m_running = false;
};

// Opens the dialog modally from time entry's "Chipdrive", 130 pixels right
// of the main window's left edge and 100 below it (kept on the screen).
void ShowChipDriveForm(TF_Zeiterf& window);
