#pragma once

#include <QDialog>

class QBoxLayout;
class QPushButton;

// The small modal dialogs of the layout designer: moved to where the designer
// says, shown modally, true for "OK". Each puts the focus where its user
// starts when it is shown.
class DesignerDialog : public QDialog {
    Q_OBJECT
public:
    explicit DesignerDialog(const QString& caption, QWidget* parent = nullptr);

    bool ExecuteAt(int x, int y);

    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

protected:
    // The dialog's own fields go above the buttons.
    QBoxLayout* content() const { return m_content; }
    void setStartFocus(QWidget* widget) { m_startFocus = widget; }
    void showEvent(QShowEvent* event) override;

private:
    QBoxLayout* m_content;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QWidget* m_startFocus = nullptr;
};
