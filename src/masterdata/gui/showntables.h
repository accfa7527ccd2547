#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QWidget;

// The shared tables a long-lived form shows beside its own: opened when the
// form is shown (those already open stay as they are) and, when it is
// hidden, `leaving` runs first (detail grids let go of the navigator), then
// what is being edited is posted and the tables are closed in reverse order.
class ShownTables : public QObject {
public:
    ShownTables(QWidget& form, QStringList tables, std::function<void()> leaving = {});

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_form;
    QStringList m_tables;
    std::function<void()> m_leaving;
};

// Makes the data module's request to focus a field object ("TabTourObj" +
// field) reach the form that shows it: for field objects beginning with
// `prefix`, `focus` gets the field name; others go on to whoever answered
// before. Installed once per prefix and set of hooks (a test or a client
// switch may put back an older set).
void InstallFieldFocus(const QString& prefix, std::function<void(const QString& field)> focus);
