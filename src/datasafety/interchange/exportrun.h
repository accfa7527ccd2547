#pragma once

#include <QString>
#include <functional>

namespace table {
class Table;
}

// What the export window shows of a run and how it lets the user cancel.
struct ExportObserver {
    std::function<void(const QString&)> setTopLabel;    // "Export in Datei ..."
    std::function<void(const QString&)> setStepLabel;   // the step, at the end the status
    std::function<void(const QString&)> setRecordLabel; // "Exportiere..."
    // Called after every record; lets the window handle the cancel button
    // (which calls ExportRun::cancel) and repaint.
    std::function<void()> poll;
};

// One definition-driven export of a table's records into a text file
// (Windows-1252, CR LF). The records are read through a cursor of the run's
// own in the order of the given table's current index, within the filter (an
// expression of the table layer), so the given table object and the forms on
// it stay where they are. The file is written beside the output under a
// temporary name and takes the output's name only when the run succeeds: a
// cancel, a failure or no record leaves the previous file as it was.
class ExportRun {
public:
    static const QString kFinished;  // "beendet"
    static const QString kCancelled; // "abgebrochen"
    static const QString kFailed;    // "fehlgeschlagen"

    ExportRun(table::Table& table, QString definitionPath, QString outputPath, QString filter,
              ExportObserver observer = {});

    void run();
    void cancel() { m_cancelled = true; }

    const QString& status() const { return m_status; }
    bool succeeded() const { return m_status == kFinished; }
    int count() const { return m_count; }
    // The file written ("SFILE" may name another than the caller's).
    const QString& outputPath() const { return m_outputPath; }

private:
    int writeRecords(table::Table& cursor, const struct ExportDefinitionText& def);
    void setStep(const QString& text);

    table::Table& m_table;
    QString m_definitionPath;
    QString m_outputPath;
    QString m_filter;
    ExportObserver m_observer;
    QString m_status;
    bool m_cancelled = false;
    int m_count = 0;
};
