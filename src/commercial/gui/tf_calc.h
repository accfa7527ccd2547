#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

class QLineEdit;
class QPushButton;

namespace table {
class Table;
}
namespace widgets {
class DataGrid;
class DataSource;
class DbNavigator;
class DbRichEdit;
class FieldForm;
} // namespace widgets

// "Angebots-Kalkulationsblatt": the lines of the offer current in the data
// module priced from their cost and base data, with the offer's markup and
// instalments and its yearly and per-instalment values; prints the
// calculation sheet and the service list.
class TF_Calc : public QDialog {
    Q_OBJECT
public:
    TF_Calc(int angId, const QString& angNr, QWidget* parent = nullptr);
    ~TF_Calc() override;

    widgets::DataGrid& grid() const { return *m_grid; }
    widgets::DbNavigator& navigator() const { return *m_navigator; }
    // The groups "Einstellungen", "Jahreswerte" and "Intervallwerte".
    const QList<widgets::FieldForm*>& valueForms() const { return m_headForms; }
    QPushButton* button(const QString& caption) const;
    QLineEdit* numberField() const { return m_kalkulation; }
    QLineEdit* offerField() const { return m_angebot; }
    bool textEditing() const { return m_textEditing; }

    // Selects the grid column of a field or of a component name such as
    // "TabAngSatzS_Menge".
    void selectColumn(const QString& field);

    // The commands behind the buttons and keys.
    void pickArtikel();
    void pickTaetigkeit();
    void pickInterval();
    void pickUnit();
    void openLineText();
    void recalc();
    void print(bool preview);
    void postPending();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildTop(class QVBoxLayout& layout);
    void buildHead(QVBoxLayout& layout);
    void buildButtons(QVBoxLayout& layout);
    bool run(const std::function<void()>& command);
    bool runColumnAction(const QString& field);
    int lineKind() const;
    bool hasLines() const;

    int m_angId;
    QString m_angNr;
    table::Table& m_head;
    table::Table& m_lines;
    std::unique_ptr<widgets::DataSource> m_headSource;
    std::unique_ptr<widgets::DataSource> m_lineSource;
    QLineEdit* m_kalkulation = nullptr;
    QLineEdit* m_angebot = nullptr;
    widgets::DbNavigator* m_navigator = nullptr;
    widgets::DataGrid* m_grid = nullptr;
    QList<widgets::FieldForm*> m_headForms;
    widgets::DbRichEdit* m_lineText = nullptr;
    QList<QPushButton*> m_buttons;
    QString m_sortField;
    bool m_textEditing = false;
};

// Opens the sheet modally over the offer AngId (number AngNr) that is
// current in the data module, its prices recomputed first; afterwards, also
// after an error, pending changes of lines and head are posted.
int ShowCalcForm(int angId, const QString& angNr);
// Selects a column of the open sheet; nothing when it is closed.
void FocusCalcColumn(const QString& fieldComponentName);
// Whether the sheet is open.
bool CalcFormOpen();
