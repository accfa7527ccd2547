#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>

namespace table {
class Table;
}

// What the import window shows of a run and how it lets the user cancel.
struct ImportObserver {
    std::function<void(const QString&)> setTopLabel;    // "Import aus Datei ..."
    std::function<void(const QString&)> setStepLabel;   // the step, at the end the status
    std::function<void(const QString&)> setRecordLabel; // "Satz ... von ..."
    std::function<void(int maximum)> setProgressMaximum;
    std::function<void(int value)> setProgress;
    // Called after every line and record; lets the window handle the cancel
    // button (which calls ImportRun::cancel) and repaint.
    std::function<void()> poll;
    // Around the merge: the target's bound controls stop and resume repainting.
    std::function<void()> freezeTarget;
    std::function<void()> thawTarget;
};

// One definition-driven import into a table object (normally one of the data
// module's shared master tables, whose record rules then apply): the data
// file is read into the work table "Temp.DB", a temporary table of the
// target's connection with the target's fields, and then merged into the
// target by the key field. A record whose key exists is updated, any other
// appended; only non-empty values are written and the id is never written.
//
// Everything is all-or-nothing: the merge runs in one transaction with a
// savepoint per record; records that fail are noted and the pass rolled back,
// and the user decides whether to stop (the target stays as it was) or to
// merge again without them. Messages go through the program's message boxes,
// never while a transaction is open.
class ImportRun {
public:
    static const QString kFinished;  // "ist beendet"
    static const QString kFailed;    // "ist fehlgeschlagen"
    static const QString kCancelled; // "wurde abgebrochen"
    static const QString kWorkTable; // "Temp.DB"

    ImportRun(table::Table& target, QString definitionPath, QString dataPath, QString keyField,
              ImportObserver observer = {});
    ~ImportRun();
    ImportRun(const ImportRun&) = delete;
    ImportRun& operator=(const ImportRun&) = delete;

    void run();
    // Asked by the cancel button; the run stops after the current line or
    // record and leaves the target as it was.
    void cancel() { m_cancelled = true; }
    bool cancelRequested() const { return m_cancelled; }

    const QString& status() const { return m_status; }
    // The records taken over by the committed merge.
    int merged() const { return m_merged; }
    // The data file actually read ("SFILE" may name another one).
    const QString& dataPath() const { return m_dataPath; }

private:
    struct Mapping;
    struct Failure {
        int line = 0;
        QString key;
        QString error;
    };
    enum class PassEnd { Committed, RolledBack, Cancelled };

    bool createWorkTable();
    bool readDefinition();
    bool readHeader(const QStringList& lines);
    bool readData(const QStringList& lines);
    bool merge();
    PassEnd mergePass(const QSet<int>& skipped, QList<Failure>& failures, int total);
    void setStep(const QString& text);
    void poll();

    table::Table& m_target;
    QString m_definitionPath;
    QString m_dataPath;
    QString m_keyField;
    ImportObserver m_observer;
    std::unique_ptr<Mapping> m_mapping;
    QString m_status;
    bool m_cancelled = false;
    int m_merged = 0;
};
