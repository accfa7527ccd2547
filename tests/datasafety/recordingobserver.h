#pragma once

#include "datasafety/backupobserver.h"

#include <QList>
#include <QStringList>

namespace backuptest {

// Keeps what the archive engine reports, as the dialog's grid would show it.
class RecordingObserver : public BackupObserver {
public:
    void setView(BackupView v) override { view = v; }
    void setCaption(const QString& text) override { caption = text; }
    void showComment(const QString& text) override { comment = text; }
    int addRow(const QStringList& cells) override {
        rows.append(cells);
        return int(rows.size()) - 1;
    }
    void setCell(int row, int column, const QString& text) override {
        QStringList& cells = rows[row];
        while (cells.size() <= column)
            cells.append(QString());
        cells[column] = text;
    }
    void startProgress(qint64 minimum, qint64 maximum) override {
        progressMin = minimum;
        progressMax = maximum;
        progress = minimum;
    }
    void stepProgress(qint64 position) override {
        if (position < progress)
            progressWentBack = true;
        progress = position;
    }

    BackupView view = BackupView::List;
    QString caption;
    QString comment;
    QList<QStringList> rows;
    qint64 progressMin = -1;
    qint64 progressMax = -1;
    qint64 progress = -1;
    bool progressWentBack = false;
};

} // namespace backuptest
