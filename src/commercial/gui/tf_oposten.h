#pragma once

#include "platform/widgets/datagridmodel.h"

#include <QDialog>
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

// What makes one open-items window: the outgoing invoices declare it here,
// the open incoming invoices may declare it over their own tables.
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
    QList<widgets::GridColumn> columns;
    QList<widgets::GridColumn> paymentColumns;
    QStringList filters; // the filter list, mode = index
    QString settledCaption;
    QStringList saldoCaptions; // the three balances: object, customer, total
    // The modes the statement group is shown in, and the mode of "Auslagern".
    QList<int> statementModes;
    int archiveMode = 2;
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
    void showBalances(double objekt, double kunde, double gesamt);
    void updateButtons();
    void pickPaymentDate();
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
    QLineEdit* m_search = nullptr;
    QCheckBox* m_settled = nullptr;
    QWidget* m_listPanel = nullptr;
    QPlainTextEdit* m_listText = nullptr;
    QMenu* m_itemMenu = nullptr;
    QMenu* m_paymentMenu = nullptr;
    QGroupBox* m_statementGroup = nullptr;
    QList<QLabel*> m_labels;
    QList<QPushButton*> m_buttons;
    QString m_sortField;
    QString m_filterCaption;
    QString m_searchText;
    int m_mode = 0;
    int m_saldoObjekt = -1;
    int m_saldoKunde = -1;
    bool m_saldoShown = false;
    bool m_shown = false;
    bool m_mayEdit = true;
    bool m_mayExport = true;
};

// The declaration of the outgoing invoices' open items.
OpenItemWindowDecl OpostenDeclaration();

// "Datenbanken › Offene Ausgangsrechnungen": opens TF_Oposten below the main
// window, or says there are no open items. The print source is 1 while it is
// open and 0 again afterwards, on every way out.
void ShowOpostenForm();
