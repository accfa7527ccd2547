#pragma once

#include <QByteArray>
#include <QDate>
#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QTextEdit;
struct TTemplateValues;

// What the period print of the daily lists prints for each list, and with
// which print forms.
struct DailyListPrintOptions {
    int taglistFormId = 0;  // form type 25000
    int worklistFormId = 0; // form type 35000
    bool printTaglists = true;
    bool printWorkReports = true;
    bool printExtraForms = true;
};

// "Druckoptionen wählen": the three boxes come back as last left
// ("DomveraPlan03.ini", section "SelPrintOpt"); "Formular" chooses the print
// form of its kind (0 when the choice is cancelled).
class TF_SelPrintOptions : public QDialog {
    Q_OBJECT
public:
    TF_SelPrintOptions(const DailyListPrintOptions& start, const QDate& from, const QDate& to,
                       QWidget* parent = nullptr);

    const DailyListPrintOptions& options() const { return m_options; }
    QCheckBox& taglistBox() const { return *m_taglists; }
    QCheckBox& workReportBox() const { return *m_workReports; }
    QCheckBox& extraFormBox() const { return *m_extraForms; }
    void chooseForm(bool taglist); // "Formular"

private:
    void showComments();
    DailyListPrintOptions m_options;
    QCheckBox* m_taglists = nullptr;
    QCheckBox* m_workReports = nullptr;
    QCheckBox* m_extraForms = nullptr;
    QLineEdit* m_taglistForm = nullptr;
    QLineEdit* m_worklistForm = nullptr;
};

// The dialog modal; on "&OK" the options are written back and true is
// returned, otherwise options stay as they were.
bool SelectDailyListPrintOptions(DailyListPrintOptions& options, const QDate& from,
                                 const QDate& to);

// "Listenansicht": a rich text with its placeholders filled, shown with
// "&Schließen" or printed at once.
class TF_ViewRtf : public QDialog {
    Q_OBJECT
public:
    explicit TF_ViewRtf(QWidget* parent = nullptr);
    QTextEdit& editor() const { return *m_editor; }
    // Loads the text (RTF or plain) and fills its placeholders.
    void load(const QByteArray& text, const TTemplateValues& values);
    // On the printer as it is set up, with no dialog and no job title.
    void printOn(QPrinter& printer) const;

private:
    QTextEdit* m_editor = nullptr;
};

// The list view of a form file (fileName) or of the given text (fileName
// empty). showIt: shown modally; otherwise printed on the current printer
// without a dialog. A file that cannot be read raises a DbError.
void ShowListView(const QString& caption, const QByteArray& source, const QString& fileName,
                  bool showIt, const TTemplateValues& values);

// Where the list view prints when it does not show; tests replace it.
// Empty: the current printer.
using ListViewPrinter = std::function<void(TF_ViewRtf& view)>;
ListViewPrinter SetListViewPrinter(ListViewPrinter printer);
