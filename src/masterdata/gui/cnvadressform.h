#pragma once

#include <QDialog>

class QPlainTextEdit;
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

private:
    QTableWidget* m_grid = nullptr;
    QPlainTextEdit* m_memo = nullptr;
};

// Shows the form modally, unless the client has no master data.
void RunCnvAdress();
// "Sonstiges › Adressdatenbank erstellen": asks before a second build.
void RunCnvAdressEntry();
