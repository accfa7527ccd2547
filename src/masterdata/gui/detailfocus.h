#pragma once

#include "core/data/timerworkpause.h"

#include <QObject>

class TF_TableForm;
class QWidget;

namespace widgets {
class DataGrid;
class DataSource;
} // namespace widgets

// A detail table of a list form with its own grid and fields: while one of
// its controls has the focus, the form's navigator, "Überneh&men" and
// "&Abbrechen" work on it, its grid is drawn in the tooltip colour and the
// data module's timer work is held off; leaving gives all of it back.
class DetailFocus : public QObject {
    Q_OBJECT
public:
    DetailFocus(TF_TableForm& form, widgets::DataSource& source, widgets::DataGrid& grid);
    ~DetailFocus() override;
    void watch(QWidget& control);
    bool bound() const { return m_hold.holding(); }
    void enter();
    void leave();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TF_TableForm& m_form;
    widgets::DataSource& m_source;
    widgets::DataGrid& m_grid;
    TimerWorkHold m_hold;
};
