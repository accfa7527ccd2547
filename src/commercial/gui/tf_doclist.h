#pragma once

#include "commercial/gui/doclistdecl.h"

#include <QDialog>
#include <array>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;
class TDocListHead;
namespace table {
class Table;
}
namespace widgets {
class DataGrid;
class DataSource;
class DbEdit;
} // namespace widgets

// The window of a document list, built from its declaration (doclistdecl.h).
class TF_DocList : public QDialog {
    Q_OBJECT
public:
    TF_DocList(TDocListDecl decl, QWidget* parent = nullptr);
    ~TF_DocList() override;

    const TDocListDecl& decl() const { return m_decl; }
    TDocListHead& head() const { return *m_head; }
    widgets::DataGrid& headGrid() const;
    widgets::DataGrid& lineGrid() const { return *m_lineGrid; }
    table::Table& headTable() const;
    table::Table& lineTable() const;
    QTabWidget& pages() const { return *m_pages; }
    // The buttons by their object names ("btnWaehlen", "btnDrucken",
    // "btnLoeschen", "btnAblage", "btnListe", "btnEditor", "btnNeu", "btnInfo").
    QPushButton* button(const QString& objectName) const;
    QMenu& headMenu() const { return *m_headMenu; }

    void Waehlen();
    void Drucken();
    void Loeschen();
    void Ablage();
    void Liste();
    void Editor();
    void Neuanlage();
    void Vorschau();
    // The current head printed, or previewed, with its stored form of the
    // list's type or one chosen into R_PrintFormNo.
    void printCurrent(bool preview);
    void ChooseKopfFussText();
    void PickZusatzAdresse();
    void ClearZusatzAdresse();
    // Shows the heads again after a command, on the same document when it is there.
    void refreshHeads();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildLinePage();
    QWidget* buildTextsPage();
    QWidget* buildAddressPage(int index);
    void buildButtons();
    void applyRights();
    void showAddress(int index);
    bool beginMarked();
    bool beginMarked(int& count);
    bool askMarked(const QString& verb);
    void editWith(const QString& nr);

    TDocListDecl m_decl;
    TDocListHead* m_head = nullptr;
    widgets::DataSource* m_headSource = nullptr;
    widgets::DataSource* m_lineSource = nullptr;
    widgets::DataGrid* m_lineGrid = nullptr;
    QTabWidget* m_pages = nullptr;
    QMenu* m_headMenu = nullptr;
    QAction* m_actVorschau = nullptr;
    QList<QAction*> m_markActions;
    QMenu* m_addressMenu = nullptr;
    QList<QPushButton*> m_buttons;
    QList<QPushButton*> m_rightButtons;
    QList<TDocListRight> m_buttonRights;
    std::array<QLabel*, 3> m_addressText{};
    std::array<widgets::DbEdit*, 3> m_addressNr{};
    QList<QWidget*> m_kopfFussTargets;
};
