#pragma once

#include <QDialog>
#include <functional>
#include <memory>

class QPushButton;

namespace table {
class Table;
}
namespace widgets {
class DataGrid;
class DataSource;
class DbEdit;
} // namespace widgets

// "Druckformulare verwalten": the catalogue of form types on the left, the
// user print forms of the selected type on the right; new, copied, imported,
// designed, aligned to the invoice head, deleted and backed up here.
class TF_QformEdit : public QDialog {
    Q_OBJECT
public:
    // The directory of an import; empty when cancelled. Tests install their own.
    using DirectoryChooser = std::function<QString()>;
    // Opens the designer for a form: type, title, layout path, left, top.
    using Designer = std::function<void(int, const QString&, const QString&, int, int)>;

    TF_QformEdit(table::Table& system, table::Table& user, QWidget* parent = nullptr);
    ~TF_QformEdit() override;

    void NeuClick();
    void KopierenClick();
    void ImportierenClick();
    void BearbeitenClick();
    void KopfKopieClick();
    void LoeschenClick();
    void UebernehmenClick();
    void AbbrechenClick();
    void SichernClick();
    void InfoClick();

    void setDirectoryChooser(DirectoryChooser chooser) { m_chooser = std::move(chooser); }
    void setDesigner(Designer designer) { m_designer = std::move(designer); }

    widgets::DataGrid* systemGrid() const { return m_systemGrid; }
    widgets::DataGrid* userGrid() const { return m_userGrid; }
    widgets::DbEdit* fileNameField() const { return m_fileName; }
    QPushButton* button(const QString& caption) const;

    void done(int result) override;

private:
    void buildButtons();
    void updateButtons();
    void run(const std::function<void()>& action);

    table::Table& m_system;
    table::Table& m_user;
    std::unique_ptr<widgets::DataSource> m_systemSource;
    std::unique_ptr<widgets::DataSource> m_userSource;
    widgets::DataGrid* m_systemGrid = nullptr;
    widgets::DataGrid* m_userGrid = nullptr;
    widgets::DbEdit* m_fileName = nullptr;
    QList<QPushButton*> m_buttons;
    DirectoryChooser m_chooser;
    Designer m_designer;
};

// Opens the manager modally at (left, top) on its own two cursors.
void ShowQformEditForm(int left, int top);
