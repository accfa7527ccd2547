#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;
class QTableWidget;

// "Adressendaten erzeugen": the number plan of the address book's sources,
// in which only the offsets are typed, and the build with its progress.
class TF_CnvAdress : public QDialog {
    Q_OBJECT
public:
    explicit TF_CnvAdress(QWidget* parent = nullptr);

    // Recomputes the shifted ranges and statuses from the typed offsets.
    void recomputePlan();
    // "Starten".
    void btnStartClick();
    QTableWidget& grid() const { return *m_grid; }
    QPlainTextEdit& memo() const { return *m_memo; }
    // Closing is refused while a build runs.
    void reject() override;

private:
    void setBuilding(bool building);

    QTableWidget* m_grid = nullptr;
    QPlainTextEdit* m_memo = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_close = nullptr;
    bool m_building = false;
};

// Shows the form modally, unless the client has no master data.
void RunCnvAdress();
// "Sonstiges › Adressdatenbank erstellen": asks before a second build.
void RunCnvAdressEntry();
