#pragma once
#include <QApplication>

// The program's application object. An error that no module handled reaches
// the event loop here: its German text is shown in a box and the program goes
// on; the silent abort ends only the current operation.
class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the error that is being handled (call inside a catch block): DbError
// with its text, any other exception with its message.
void ShowUnhandledError();
