#pragma once

#include "platform/widgets/datagridmodel.h"

#include <QDialog>
#include <QHash>
#include <QPair>
#include <QStringList>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPrinter;
class QProgressBar;
class QPushButton;
class QSplitter;
class QWidget;
class TF_Oposten;
class GridSearch;

namespace table {
class Table;
}
namespace widgets {
class DataGrid;
class DataSource;
class DbNavigator;
} // namespace widgets

// One print of the window: the form type its print button offers and the
// call that prints with the chosen layout.
struct OpenItemPrint {
    int formType = 0;
    std::function<void(TF_Oposten& form, bool preview, const QString& layout)> print;
    explicit operator bool() const { return formType > 0 && bool(print); }
};

// What makes one open-items window: the outgoing invoices declare it here
// (OpostenDeclaration), the open incoming invoices declare the same window
// over their own tables with their own rules. Every hook left empty leaves
// its control out of the window.
struct OpenItemWindowDecl {
    QString formClass;
    QString caption;
    int right = 0;         // the rights' function number
    QString headTable;     // the data module's table object of the items
    QString paymentFile;   // the payments, linked by their OZ_RgNo to R_Nr
    QString helpPage;      // "&?Info?"
    QString placementFile; // where placement, columns, panel height and sort field stay
    QString placementSection;
    QString emptyMessage; // shown instead of the window when there are no items
    QString logLine;      // written when the window is first shown
    QList<widgets::GridColumn> columns;
    QList<widgets::GridColumn> paymentColumns;
    QString filterLabel; // the caption before the filter list (empty: none)
    QStringList filters; // the filter list, mode = index
    // Applies a filter mode (99: the search text, already upper-cased) to the
    // items and returns the range text the prints show ("[Alle]", ...).
    std::function<QString(TF_Oposten& form, int mode, const QString& search)> applyFilter;
    // Shows every item again when the window has closed (the tables are still open).
    std::function<void()> resetFilter;
    // The sort field of the first showing when no sort column is known yet
    // (empty: the field stored with the placement).
    QString defaultSortField;
    QString settledCaption;
    // The read-only fields beside the payments: caption and field.
    QList<QPair<QString, QString>> termFields;
    // The balances: object name and caption of each label, the item fields
    // whose change shows them anew, and their values for the current item
    // (one per label).
    QStringList saldoNames;
    QStringList saldoCaptions;
    QStringList saldoKeyFields;
    std::function<QList<double>(table::Table& item)> balances;
    // The rules of the form's own payment object (new row, post, delete).
    std::function<void(table::Table& payments, table::Table& items)> installPaymentRules;
    // "Rechnen": every item the filter shows.
    std::function<void(table::Table& items)> recalc;
    // "Erledigen" (service mode only); false when the user declined.
    std::function<bool(table::Table& items)> settleBefore;
    bool searchButton = false;  // "Suchen" with its text dialog
    bool changeAddress = false; // "Ändern" (the document address dialog)
    bool dunning = false;       // "Mahnen" and the dunning-level pop-up
    bool paymentList = false;   // "Zahlungseingänge auflisten"
    OpenItemPrint invoice;      // "Rechnung": the current item as a document
    OpenItemPrint list;         // "OP-Liste"
    OpenItemPrint payments;     // "Zahlung"
    // "Kto-Ausz." by filter mode: the group is shown in these modes only.
    QHash<int, OpenItemPrint> statements;
    // "Auslagern", enabled in archiveMode with the export right.
    int archiveMode = 2;
    std::function<void(TF_Oposten& form)> archive;
    // The scroll hooks of the data module while the window is shown.
    std::function<void(const std::function<TF_Oposten*()>& shown)> installHooks;
    std::function<void()> removeHooks;
    // Runs after the window is built (buttons and pop-ups of its own).
    std::function<void(TF_Oposten&)> setup;
};

// "Offene Posten": the open items with their payments, balances, filters,
// the invoice copy, the list prints, the dunning letters and the payment list.
class TF_Oposten : public QDialog {
    Q_OBJECT
    Q_PROPERTY(int PanelHeight READ panelHeight WRITE setPanelHeight)
    Q_PROPERTY(QString SortField READ sortField WRITE setSortField)
public:
    TF_Oposten(const OpenItemWindowDecl& decl, table::Table& items, QWidget* parent = nullptr);
    ~TF_Oposten() override;

    const OpenItemWindowDecl& declaration() const { return m_decl; }
    table::Table& items() const { return m_items; }
    table::Table& payments() const { return *m_payments; }
    widgets::DataGrid& grid() const { return *m_grid; }
    widgets::DataGrid& paymentGrid() const { return *m_paymentGrid; }
    widgets::DbNavigator& navigator() const { return *m_navigator; }
    QComboBox& filterList() const { return *m_filter; }
    QLineEdit& searchEdit() const { return *m_search; }
    QCheckBox& settledBox() const { return *m_settled; }
    QPlainTextEdit& paymentList() const { return *m_listText; }
    QWidget& paymentListPanel() const { return *m_listPanel; }
    QMenu& itemMenu() const { return *m_itemMenu; }
    QMenu& paymentMenu() const { return *m_paymentMenu; }
    QGroupBox& statementGroup() const { return *m_statementGroup; }
    // The cancel panel of long runs ("Abbruch", the progress texts and bar).
    QWidget& cancelPanel() const { return *m_cancelPanel; }
    QLabel& cancelText() const { return *m_cancelText; }
    // A label or button by its object name (lbObjektSaldo, btnSuchen, ...).
    QLabel* label(const QString& name) const;
    QPushButton* button(const QString& name) const;

    int panelHeight() const;
    void setPanelHeight(int height);
    QString sortField() const { return m_sortField; }
    void setSortField(const QString& field) { m_sortField = field; }
    int sortColumn() const;
    int filterMode() const { return m_mode; }
    const QString& filterCaption() const { return m_filterCaption; }

    // The commands, as their buttons and menu entries run them.
    void applyFilter(int mode);
    void searchClicked();
    void sortByColumn(int column);
    void recalcClicked();
    void settleClicked();
    void changeAddressClicked();
    void dunningClicked();
    void changeDunningLevel(int delta);
    void listPayments();
    void printPaymentList();
    void savePaymentList();
    void closePaymentList();
    void invoiceCopy(bool preview);
    void printOpList(bool preview);
    void printPayments(bool preview);
    void printStatement(bool preview);
    void archiveClicked();

    // The outgoing invoices' "Auslagern": settled items up to a limit date.
    void archiveSettledItems();
    // The cancel panel of a long run: shown with its text, "Abbruch" seen
    // between the run's steps, hidden again by endCancelPanel.
    void startCancelPanel();
    void showProgressText(const QString& text);
    void showProgress(int position, int maximum);
    bool cancelRequested() const { return m_cancel; }
    void endCancelPanel();
    // Sorts by a field of the item grid and remembers it as the user's choice.
    void sortByField(const QString& field);

    // The rights of the declaration's function: print buttons, payments, settling, archiving.
    void applyRights();

    // The record position and the balances (the scroll hooks call them).
    void showRecordPosition();
    void updateSaldo(bool force = false);

    // Tests choose the printer and the file of the payment list.
    using PrinterChooser = std::function<std::unique_ptr<QPrinter>(QWidget*)>;
    using FileChooser = std::function<QString(QWidget*, const QString& directory)>;
    static PrinterChooser setPrinterChooser(PrinterChooser chooser);
    static FileChooser setFileChooser(FileChooser chooser);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildTopRow(class QVBoxLayout& layout);
    void buildPanels(class QVBoxLayout& layout);
    void buildButtons(class QVBoxLayout& layout);
    void buildMenus();
    void bindNavigator(widgets::DataSource& source);
    void buildDunningMenu();
    void buildPaymentListMenu();
    void runPrint(const OpenItemPrint& print, const QString& printName, const QString& previewName,
                  bool preview);
    void updateButtons();
    void pickPaymentDate();
    void buildCancelPanel(class QVBoxLayout& layout);
    void run(const std::function<void()>& command);
    QPushButton* addButton(const QString& name, const QString& caption,
                           const std::function<void()>& command);
    QGroupBox* addPrintGroup(const QString& title, const QString& printName,
                             const QString& previewName, const QString& previewCaption,
                             const std::function<void(bool preview)>& print);

    OpenItemWindowDecl m_decl;
    table::Table& m_items;
    std::unique_ptr<table::Table> m_payments;
    std::unique_ptr<widgets::DataSource> m_itemSource;
    std::unique_ptr<widgets::DataSource> m_paymentSource;
    widgets::DataGrid* m_grid = nullptr;
    widgets::DataGrid* m_paymentGrid = nullptr;
    widgets::DbNavigator* m_navigator = nullptr;
    GridSearch* m_gridSearch = nullptr;
    QSplitter* m_splitter = nullptr;
    QComboBox* m_filter = nullptr;
    QLabel* m_filterLabel = nullptr;
    QLineEdit* m_search = nullptr;
    QCheckBox* m_settled = nullptr;
    QWidget* m_listPanel = nullptr;
    QPlainTextEdit* m_listText = nullptr;
    QMenu* m_itemMenu = nullptr;
    QMenu* m_paymentMenu = nullptr;
    QGroupBox* m_statementGroup = nullptr;
    QWidget* m_cancelPanel = nullptr;
    QLabel* m_cancelText = nullptr;
    QProgressBar* m_cancelBar = nullptr;
    bool m_cancel = false;
    QList<QLabel*> m_labels;
    QList<QPushButton*> m_buttons;
    QString m_sortField;
    QString m_filterCaption;
    QString m_searchText;
    int m_mode = 0;
    QVariantList m_saldoKey;
    bool m_saldoShown = false;
    bool m_shown = false;
    bool m_mayEdit = true;
    bool m_mayExport = true;
};

// The declaration of the outgoing invoices' open items.
OpenItemWindowDecl OpostenDeclaration();

// Opens a declared open-items window below the main window, or shows the
// declaration's empty message. The print source is 1 while it is open and 0
// again afterwards, the filter back at mode 0, on every way out.
void ShowOpenItemWindow(const OpenItemWindowDecl& decl);

// "Datenbanken › Offene Ausgangsrechnungen": opens TF_Oposten below the main
// window, or says there are no open items. The print source is 1 while it is
// open and 0 again afterwards, on every way out.
void ShowOpostenForm();
