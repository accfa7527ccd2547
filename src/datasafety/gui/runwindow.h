#pragma once

#include "core/gui/placement.h"

#include <QDialog>
#include <QElapsedTimer>
#include <functional>

class QLabel;
class QWidget;
class QProgressBar;
class QPushButton;

// The small modal window of a data run (import or export): three labels, a
// progress bar, "A&bbruch" while the run works and a close button at its
// end. The run starts once the window is shown; the window stays open with
// the outcome until the user closes it.
class TF_RunWindow : public QDialog {
    Q_OBJECT
public:
    TF_RunWindow(const QString& caption, std::function<void()> work, std::function<void()> cancel,
                 QWidget* parent = nullptr);

    QLabel* Label3;
    QLabel* Label1;
    QLabel* Label2;
    QProgressBar* ProgressBar1;
    QPushButton* btnCancel;
    QPushButton* btnClose;

    // Lets the window repaint and hear "A&bbruch"; at most every few
    // milliseconds, so that a long run is not slowed by it.
    void poll();
    bool finished() const { return m_finished; }

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override; // Escape and the window's close box only once the run is over

private:
    void start();

    std::function<void()> m_work;
    QElapsedTimer m_sincePoll;
    bool m_started = false;
    bool m_finished = false;
};
