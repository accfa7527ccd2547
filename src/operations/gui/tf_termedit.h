#pragma once

#include "masterdata/gui/tf_tableform.h"

#include <QDate>

class GridSearch;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace table {
class Table;
}

// "Erfassung Terminaufträge" (TF_TermEdit): the appointments (TermObj.DB) in
// one editable grid over the data module's appointment table, with the
// staff member, the delivery note's amount and the work instruction below
// it, a floating options panel for the daily-list tour and the reminder, the
// filters, the appointment lists and work sheets, the delivery note of an
// appointment, the deletion of done appointments and the series. Right 20.
// While the form exists it fills new appointments and follows the current
// one (the appointment rules' hooks).
class TF_TermEdit : public TF_TableForm {
    Q_OBJECT
public:
    explicit TF_TermEdit(QWidget* parent = nullptr);
    ~TF_TermEdit() override;

    // The open form; nullptr when none.
    static TF_TermEdit* current();

    // The defaults of the next new appointment.
    QDate rememberedDate() const { return m_remembered; }
    int currentObjekt() const { return m_currentObjekt; }

    // The hooks of the appointment rules.
    void InitNewTermin(table::Table& t);
    void RememberLastTermin(table::Table& t);
    void SetObjekt(int objektNr);

    QComboBox& filterBox() const { return *m_filter; }
    QCheckBox& onlyOpenBox() const { return *m_onlyOpen; }
    QLineEdit& searchLine() const { return *m_search; }
    QPushButton& printListButton() const { return *m_print; }
    QPushButton& previewListButton() const { return *m_preview; }
    QPushButton& printSheetsButton() const { return *m_sheetPrint; }
    QPushButton& previewSheetsButton() const { return *m_sheetPreview; }
    QPushButton& deliveryNoteButton() const { return *m_deliveryNote; }
    QPushButton& deleteDoneButton() const { return *m_deleteDone; }
    QPushButton& optionsButton() const { return *m_options; }
    QFrame& optionsPanel() const { return *m_optionsPanel; }

    // The actions of the controls, callable as the controls call them.
    void filterChosen();                // cbFilter, "Nur offene"
    void printList(bool preview);       // "Druck", "Vorsc&hau"
    void printWorkSheets(bool preview); // "Drucken", "Vorschau" of "Arbeitssch."
    void editDeliveryNote();            // "&Liefersch."
    void deleteDone();                  // "Erl. lösch."
    void toggleOptions();               // "Optionen"
    void setDone(bool done);            // "Erledigt setzen", "Offen setzen"
    void toggleDone();                  // double-click on "Erled."
    void seriesOfCurrent();             // "Mehrfachtermin"
    void addEntry();                    // "Eintrag hinzufügen"
    void chooseDate();                  // double-click on "Termin"
    void chooseObjekt();                // double-click on "Obj.-Nr."
    void choosePersonal();              // double-click on "Mitarbeiter"
    void chooseTour();                  // double-click on the tour field
    void alarmDateEntered();            // the reminder date field gets the focus

    // The sort field of the object picker (the hidden label "lbSortObj").
    QString objectSort() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildTopRow();
    void buildSplit();
    void buildButtons();
    void buildOptionsPanel();
    void applyRights();
    void guardDelete();
    bool doneKey(int key);
    void postPending();
    QDate rowDate();
    void refreshGrid();

    QComboBox* m_filter = nullptr;
    QCheckBox* m_onlyOpen = nullptr;
    QLineEdit* m_search = nullptr;
    GridSearch* m_gridSearch = nullptr;
    int m_sortColumn = -1;
    QPushButton* m_print = nullptr;
    QPushButton* m_preview = nullptr;
    QPushButton* m_sheetPrint = nullptr;
    QPushButton* m_sheetPreview = nullptr;
    QPushButton* m_deliveryNote = nullptr;
    QPushButton* m_deleteDone = nullptr;
    QPushButton* m_options = nullptr;
    QFrame* m_optionsPanel = nullptr;
    widgets::FieldForm* m_optionFields = nullptr;
    QLabel* m_sortObj = nullptr;
    QPoint m_dragOffset;
    bool m_dragging = false;
    bool m_optionsPlaced = false;
    bool m_shownOnce = false;

    QDate m_remembered;
    int m_currentObjekt = 0;
};

// The declaration the form is built from (grid, navigator, detail fields,
// popup, placement "DomveraPlan04.ini" section "TermEdit").
TableFormDecl TermEditDecl();

// "Termine" (menu and tool bar): the form over the appointment table, on
// the appointment with key termId when it is not 0. Pauses the timer work
// and gives it back as found; opens the appointments (read-only without the
// edit right, writable again afterwards) and the delivery-note heads, and
// closes what it opened.
void ShowTermEditForm(int termId);
