#include "datasafety/interchange/exportrun.h"

#include "core/files/filehelpers.h"
#include "core/importdefinitions.h"
#include "core/messages/messages.h"
#include "datasafety/interchange/exportformat.h"
#include "datasafety/interchange/textfilewriter.h"
#include "platform/table/table.h"

using namespace Qt::StringLiterals;

const QString ExportRun::kFinished = u"beendet"_s;
const QString ExportRun::kCancelled = u"abgebrochen"_s;
const QString ExportRun::kFailed = u"fehlgeschlagen"_s;

ExportRun::ExportRun(table::Table& table, QString definitionPath, QString outputPath,
                     QString filter, ExportObserver observer)
    : m_table(table), m_definitionPath(std::move(definitionPath)),
      m_outputPath(std::move(outputPath)), m_filter(std::move(filter)),
      m_observer(std::move(observer)), m_status(kFinished) {}

void ExportRun::setStep(const QString& text) {
    if (m_observer.setStepLabel)
        m_observer.setStepLabel(text);
}

void ExportRun::run() {
    try {
        table::Table cursor(m_table.sharedDatabase(), m_table.tableName());
        if (m_table.isOpen())
            cursor.setIndexName(m_table.indexName());
        if (!m_filter.trimmed().isEmpty()) {
            cursor.setFilter(m_filter);
            cursor.setFiltered(true);
        }
        cursor.open();
        setStep(u"Erzeuge Feldliste"_s);
        QStringList lines;
        if (!ReadTextDataFile(m_definitionPath, lines)) {
            ShowError(MissingExportDefinitionMessage(m_definitionPath));
            m_status = kFailed;
        } else if (m_cancelled) {
            m_status = kCancelled;
        } else {
            const ExportDefinitionText def = ParseExportDefinition(lines);
            if (!def.outputFile.isEmpty())
                m_outputPath = def.outputFile;
            if (m_observer.setTopLabel)
                m_observer.setTopLabel(u"Export in Datei "_s + m_outputPath);
            m_count = writeRecords(cursor, def);
            ShowInfo(u"Es wurden %1 Datensätze übergeben."_s.arg(m_count));
            if (m_observer.setRecordLabel)
                m_observer.setRecordLabel(QString());
            if (m_count == 0 && m_status == kFinished)
                m_status = kFailed;
        }
    } catch (const Abort&) {
        m_status = kFailed;
    } catch (const DbError& error) {
        m_status = kFailed;
        ShowError(error.message());
    }
    setStep(u"Datenexport "_s + m_status);
}

int ExportRun::writeRecords(table::Table& cursor, const ExportDefinitionText& def) {
    TextFileWriter file(m_outputPath);
    if (!file.open()) {
        ShowError(u"Kann Datei "_s + m_outputPath + u" nicht erzeugen!"_s);
        return 0;
    }
    ExportLineBuilder builder(def, cursor);
    if (def.writeHeader && !file.writeLine(builder.header())) {
        ShowError(u"Kann nicht in Datei "_s + m_outputPath + u" schreiben!"_s);
        return 0;
    }
    if (m_observer.setRecordLabel)
        m_observer.setRecordLabel(u"Exportiere..."_s);
    int count = 0;
    for (cursor.first(); !cursor.eof(); cursor.next()) {
        if (!file.writeLine(builder.line())) {
            ShowError(u"Kann nicht in Datei "_s + m_outputPath + u" schreiben!"_s);
            return 0;
        }
        ++count;
        if (m_observer.poll)
            m_observer.poll();
        if (m_cancelled) {
            m_status = kCancelled;
            return count;
        }
    }
    // Nothing written keeps the previous file: an empty export is a failed one.
    if (count == 0)
        return 0;
    if (!file.commit()) {
        ShowError(u"Kann nicht in Datei "_s + m_outputPath + u" schreiben!"_s);
        return 0;
    }
    return count;
}
