#pragma once

#include <QWidget>
#include <memory>

class DetailFocus;
class QMenu;
class TF_ListForm;

namespace widgets {
class DataGrid;
class DataSource;
} // namespace widgets

// The page "T&ätigkeit" of the object form: the object's activity rows in
// the grid "GridOTaetig", an editor per column, the check when a column is
// left, the context menu (moves, adding, the offer take-over) and drops of
// activities dragged from the activity form.
class ObjektTaetigPage : public QWidget {
    Q_OBJECT
public:
    explicit ObjektTaetigPage(TF_ListForm& form);
    ~ObjektTaetigPage() override;

    widgets::DataGrid& grid() const { return *m_grid; }
    widgets::DataSource& source() const { return *m_source; }
    DetailFocus& focus() const { return *m_focus; }
    QMenu& menu() const { return *m_menu; }

    // The editor of the grid's selected column (double-click, Alt+K, Alt+W).
    void SelectTaetigkeit();
    // Makes the column of the field object ("TabObjTaetigTS_Taetigkeit") the selected one.
    void FocusTaetigColumn(const QString& fieldObject);
    void addRow();
    void move(bool up);
    void takeOverOffer();
    // "Termin-Vorschau": the preview of the current activity over every tour.
    void showTermPreview();
    // An activity dropped from the activity form.
    void drop(int taetigNr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void columnLeft(int previousColumn, int currentColumn);
    void buildMenu();

    TF_ListForm& m_form;
    std::unique_ptr<widgets::DataSource> m_source;
    widgets::DataGrid* m_grid = nullptr;
    DetailFocus* m_focus = nullptr;
    QMenu* m_menu = nullptr;
    bool m_checking = false;
};
