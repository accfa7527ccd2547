#pragma once

#include "operations/timeimportfiles.h"

#include <QElapsedTimer>
#include <QString>
#include <memory>

class QProgressDialog;
class QWidget;

// The progress window of an import's writing: the count in its label, a bar
// and "Abbrechen", which stops the import and leaves the data as it was.
// It shows once the writing takes a moment and is gone before the closing
// box.
class ImportProgressWindow {
public:
    // countText holds %1 (done) and %2 (of), e.g. "Datensatz %1 von %2".
    ImportProgressWindow(QWidget* parent, QString countText);
    ~ImportProgressWindow();
    ImportProgressWindow(const ImportProgressWindow&) = delete;
    ImportProgressWindow& operator=(const ImportProgressWindow&) = delete;

    TimeImportProgress progress();
    QProgressDialog* dialog() const { return m_dialog.get(); }

private:
    void start(int total);
    bool step(int done);
    void finish();

    QWidget* m_parent;
    QString m_countText;
    std::unique_ptr<QProgressDialog> m_dialog;
    QElapsedTimer m_sinceUpdate;
    int m_total = 0;
};
