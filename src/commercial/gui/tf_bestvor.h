#pragma once

#include "core/data/timerworkpause.h"

#include <QBrush>
#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
namespace widgets {
class DataGrid;
class DataSource;
class RowReader;
} // namespace widgets

// "Bestellvorschläge bearbeiten": the order proposals per article with the
// stocks they are meant for; creating them anew, changing supplier and
// quantities, and ordering the proposals of one supplier.
class TF_BestVor : public QDialog {
    Q_OBJECT
public:
    explicit TF_BestVor(QWidget* parent = nullptr);
    ~TF_BestVor() override;

    // "Er&zeugen": asks before an existing list is replaced.
    void createProposals();
    // "Bestellen": the current row's supplier.
    void orderSupplier();
    // A double-click on "Lief.-Nr.": another supplier for the current row.
    void changeSupplier();
    void showObjects();
    // Leaving the stock rows: the row's quantity from theirs.
    void closeObjects();
    void updateSums();

    widgets::DataGrid& grid() const { return *m_grid; }
    widgets::DataGrid& objectGrid() const { return *m_objectGrid; }
    QWidget& objectPanel() const { return *m_objectPanel; }
    QString sumGesamt() const;
    QString sumLieferant() const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void leaveObjects();
    void gridDoubleClicked(int column);
    void showDetails();

    TimerWorkPause m_pause;
    bool m_openedLiefArt = false;
    bool m_openedProposals = false;
    bool m_firstShow = true;
    bool m_inObjects = false;
    widgets::DataSource* m_source = nullptr;
    widgets::DataSource* m_objectSource = nullptr;
    widgets::DataGrid* m_grid = nullptr;
    widgets::DataGrid* m_objectGrid = nullptr;
    QWidget* m_objectPanel = nullptr;
    QLabel* m_objectArtikel = nullptr;
    QLineEdit* m_lieferant = nullptr;
    QLineEdit* m_ekPreis = nullptr;
    QLineEdit* m_posPreis = nullptr;
    QLineEdit* m_offen = nullptr;
    QLineEdit* m_limit = nullptr;
    QLineEdit* m_liefArtikel = nullptr;
    QLineEdit* m_lieferzeit = nullptr;
    QLineEdit* m_summeLieferant = nullptr;
    QLineEdit* m_summeGesamt = nullptr;
    QLineEdit* m_gebinde = nullptr;
    QLineEdit* m_minMenge = nullptr;
    QString m_sortField;
};

void ShowBestVorForm();

// The stock rows' grid (purchase-order editor and proposals): the objects by
// number and name, the central row as "Hauptlager"; only "Best.-Menge" is
// edited.
void SetUpStockRowGrid(widgets::DataGrid& grid);

// A proposal row's colour: grey without supplier, else orange when it orders
// less than proposed.
QBrush ProposalRowBrush(widgets::RowReader& rows, int row);
