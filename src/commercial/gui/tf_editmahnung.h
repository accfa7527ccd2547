#pragma once

#include <QDialog>
#include <memory>

class QPushButton;
class QVBoxLayout;
class TDunningPrintTable;

namespace table {
class Table;
}
namespace widgets {
class DataSource;
class DbRichEdit;
} // namespace widgets

// "Mahnung erstellen": the dunning letter of the current open item at one
// level, prepared in its print table, shown read-only; a click on it edits it
// in the memo editor. "&Druck" and "&Vorschau" print it (form type 50000);
// only "S&chließen" closes with OK, which first keeps the letter as it stands
// in its letter file, so that the letter of this level is reprinted as sent.
class TF_EditMahnung : public QDialog {
    Q_OBJECT
public:
    TF_EditMahnung(table::Table& item, const QString& templateFile, int level,
                   QWidget* parent = nullptr);
    ~TF_EditMahnung() override;

    // The letter's print table; empty when it could not be made.
    QString printTableName() const;
    const QString& letterFile() const { return m_letterFile; }
    widgets::DbRichEdit* letter() const { return m_letter; }
    QPushButton* printButton() const { return m_print; }
    QPushButton* previewButton() const { return m_preview; }
    QPushButton* closeButton() const { return m_close; }

    void printLetter(bool preview);
    // Opens the memo editor on the letter with this window hidden.
    void editLetter();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void prepare();
    void closeWithOk();
    void openRow();
    void closeRow();

    table::Table& m_item;
    QString m_templateFile;
    QString m_letterFile;
    int m_level;
    std::unique_ptr<TDunningPrintTable> m_printTable;
    std::unique_ptr<table::Table> m_row;
    std::unique_ptr<widgets::DataSource> m_source;
    widgets::DbRichEdit* m_letter = nullptr;
    QVBoxLayout* m_letterHolder = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_preview = nullptr;
    QPushButton* m_close = nullptr;
    bool m_prepared = false;
};

// Shows the letter editor over the given bounds for the current item and
// level; the print table is dropped and the window freed on every path.
// Returns the editor's result (QDialog::Accepted after "S&chließen").
int ShowEditMahnungForm(table::Table& item, const QString& templateFile, int level,
                        const QRect& bounds);
