#pragma once

#include <QDialog>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class TDataModule1;

namespace table {
class Table;
}
namespace widgets {
class DataSource;
class FieldForm;
class DbNavigator;
} // namespace widgets

// The company data form "Firmendaten": one record of "Firmen.DB" over four
// pages, with the bank lists that fill each other, the logo, the default
// invoice print form and the yearly cost sums.
class TF_Firmen : public QDialog {
    Q_OBJECT
public:
    // The print-form chooser: form type and current id in, the chosen id out
    // (0 when cancelled). Without one the choice button stays disabled.
    using PrintFormChooser = std::function<int(int formType, int currentId)>;
    // The picture file chosen for the logo; empty when cancelled.
    using LogoFileChooser = std::function<QString()>;
    // The company print of "Dru&cken" and "Vorsc&hau": the print-form choice
    // and the print, which the printing side supplies (the form cannot reach
    // it). Without one both buttons stay disabled.
    using Printer = std::function<void(QWidget* form, bool preview)>;

    TF_Firmen(table::Table& firmen, table::Table& banken, table::Table& zahlarten,
              QWidget* parent = nullptr);
    ~TF_Firmen() override;

    void setPrintFormChooser(PrintFormChooser chooser);
    void setLogoFileChooser(LogoFileChooser chooser) { m_logoChooser = std::move(chooser); }
    void setPrinter(Printer printer);

    widgets::FieldForm& fields() const { return *m_fields; }
    widgets::DataSource& source() const { return *m_source; }
    QLineEdit* printFormName() const { return m_printFormName; }
    QLabel* logo() const { return m_logo; }

    // The actions of the form's buttons and the logo's menu.
    void FormShow();
    void btnSelectFormClick();
    // Posts a pending edit first, so that the print shows what the form
    // shows; a refused post is shown and nothing prints.
    void btnPrintClick(bool preview);
    void Load1Click();
    void Clear1Click();
    void Info1Click();
    void post();
    // Posts a pending edit; a refusal is shown and returns false.
    bool postShowingError();
    void cancel();
    void bankNameChosen();
    void bankBlzChosen();

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildButtons();
    void buildLogoBox();
    void buildPrintFormLine();
    void connectCostFields();
    void showLogo();
    void showPrintFormName();

    table::Table& m_firmen;
    table::Table& m_banken;
    std::unique_ptr<widgets::DataSource> m_source;
    std::unique_ptr<widgets::DataSource> m_bankSource;
    std::unique_ptr<widgets::DataSource> m_zahlartSource;
    widgets::FieldForm* m_fields = nullptr;
    widgets::DbNavigator* m_navigator = nullptr;
    QLabel* m_logo = nullptr;
    QLineEdit* m_printFormName = nullptr;
    QPushButton* m_selectForm = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_preview = nullptr;
    Printer m_printer;
    PrintFormChooser m_chooser;
    LogoFileChooser m_logoChooser;
    QString m_titleName; // F_NameIntern as the title line shows it
};

// Opens the company data form below the main window (or centred without one)
// through the common module opener, on the first page.
void ShowFirmenForm(TDataModule1& dm, QWidget* mainWindow);
// The printer of the forms ShowFirmenForm opens; returns the previous one.
TF_Firmen::Printer SetFirmenPrinter(TF_Firmen::Printer printer);
