#pragma once

#include <QDialog>
#include <array>
#include <functional>

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;
class TDataModule1;
class TDocListHead;
struct TInvoiceRunHooks;
namespace widgets {
class DataGrid;
class DataSource;
class DbEdit;
class DbRichEdit;
} // namespace widgets

// "Rechnungen": the working list of the invoices not yet handed over to the
// open items, on the data module's shared invoice tables, and the invoice
// run over the marked ones: booking and printing, test print, deletion, the
// invoice date and period text of many at once, the editor, the recurring
// run, the hand-over to the open items and the booking-journal list.
class TF_Rechnung : public QDialog {
    Q_OBJECT
public:
    explicit TF_Rechnung(TDataModule1& dm, QWidget* parent = nullptr);
    ~TF_Rechnung() override;

    TDocListHead& head() const { return *m_head; }
    widgets::DataGrid& headGrid() const;
    widgets::DataGrid* GridSatz = nullptr;
    QTabWidget* PageControl = nullptr;

    QPushButton* btnWaehlen = nullptr;
    QPushButton* btnBuchen = nullptr; // "Druc&ken"
    QPushButton* btnPrint = nullptr;  // "Testdr&uck"
    QPushButton* btnDeleteRg = nullptr;
    QPushButton* sbtnSetDate = nullptr;
    QPushButton* sbtnZeitraum = nullptr;
    QPushButton* sbtnEditRg = nullptr;
    QPushButton* btnNeu = nullptr;
    QPushButton* btnErzeugen = nullptr;
    QPushButton* btnRg2OP = nullptr;
    QPushButton* sBtnRAListe = nullptr;
    QPushButton* btnListe = nullptr;
    QPushButton* btnRgv = nullptr;
    QPushButton* btnInfo = nullptr;
    QPushButton* btnClose = nullptr;
    QCheckBox* cbKopieVermerk = nullptr;

    QLabel* lbCounter = nullptr;
    QWidget* PanelPrint = nullptr;
    QLabel* lbCopy = nullptr;
    QPushButton* btnAbbruch = nullptr;
    QWidget* PanelPause = nullptr;
    QLabel* lbPause = nullptr;

    QMenu* PopupMenu1 = nullptr;
    QAction* actVorschau = nullptr;
    QAction* actRechplan = nullptr;
    QAction* actOpUebergabe = nullptr;
    QList<QAction*> markActions;
    QMenu* PopupAdresse = nullptr;

    // The rights of number 24 on the controls.
    void ApplyRights();

    void btnWaehlenClick();
    void btnBuchenClick();
    void btnPrintClick();
    void btnDeleteRgClick();
    void sbtnSetDateClick();
    void sbtnZeitraumClick();
    void sbtnEditRgClick();
    void btnNeuClick();
    void btnErzeugenClick();
    void btnRg2OPClick();
    void sBtnRAListeClick();
    void btnListeClick();
    void btnRgvClick();
    void Vorschau();
    void Rechnungsvorschau();
    void OPUebergabe();
    // Double-click on the caption of a general text: chooses a head/foot text.
    void ChooseKopfFussText();
    // The address of the shown "Zusatzadr." tab: pick another, clear it.
    void PickZusatzAdresse();
    void ClearZusatzAdresse();
    // Whether "Druck abbrechen" was pressed since the current run started.
    bool printCancelled() const { return m_cancel; }
    // The hooks the invoice run prints, pauses and reports through.
    TInvoiceRunHooks runHooks();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildHeadPage();
    QWidget* buildTextsPage();
    QWidget* buildAddressPage(int index);
    void buildButtons();
    void buildMenus();
    // The start of every command on the marked invoices; false: nothing to do.
    bool beginMarked();
    // Shows the heads again after a command, on the same invoice when it is there.
    void refreshHeads();
    void showAddress(int index);
    void printPause(int seconds, bool cancellable);
    void updateMenu();

    TDataModule1& m_dm;
    TDocListHead* m_head = nullptr;
    widgets::DataSource* m_headSource = nullptr;
    widgets::DataSource* m_lineSource = nullptr;
    widgets::DbRichEdit* m_lineText = nullptr;
    std::array<QLabel*, 3> m_addressText{};
    std::array<widgets::DbEdit*, 3> m_addressNr{};
    QList<QWidget*> m_kopfFussCaptions;
    bool m_cancel = false;
    bool m_pausing = false;
    int m_pauseLeft = 0;
};

// Opens the invoice list (the caller checked the use right of number 24).
void ShowRechnungForm();
