#include "datasafety/gui/interchangewindows.h"

#include "core/data/datamodule.h"
#include "core/data/timerworkpause.h"
#include "core/files/programdirs.h"
#include "datasafety/gui/runwindow.h"
#include "datasafety/gui/tf_editexport.h"
#include "datasafety/gui/tf_export.h"
#include "datasafety/interchange/exportrun.h"
#include "datasafety/interchange/importrun.h"
#include "datasafety/interchangeservices.h"
#include "platform/table/table.h"
#include "platform/widgets/datasource.h"

#include <QLabel>
#include <QProgressBar>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// The data module's import mode, on exactly while the import window is open.
class ImportMode {
public:
    ImportMode() {
        if (HasDataModule1())
            DataModule1().SetImportRunning(true);
    }
    ~ImportMode() {
        if (HasDataModule1())
            DataModule1().SetImportRunning(false);
    }
    ImportMode(const ImportMode&) = delete;
    ImportMode& operator=(const ImportMode&) = delete;
};

void centreOnScreen(QWidget& window) {
    window.adjustSize();
    MoveOnScreen(window, -1, -1);
}

} // namespace

void RunImport(table::Table& target, const QString& caption, const QString& definitionFile,
               const QString& dataFile, const QString& keyField) {
    TimerWorkPause pause;
    ImportMode importMode;
    TF_RunWindow* window = nullptr;
    std::optional<widgets::TableControlsDisabled> frozen;
    ImportObserver observer;
    observer.setTopLabel = [&window](const QString& text) { window->Label3->setText(text); };
    observer.setStepLabel = [&window](const QString& text) {
        window->Label1->setText(text);
        window->Label1->repaint();
    };
    observer.setRecordLabel = [&window](const QString& text) { window->Label2->setText(text); };
    observer.setProgressMaximum = [&window](int maximum) {
        window->ProgressBar1->setRange(0, std::max(1, maximum));
    };
    observer.setProgress = [&window](int value) { window->ProgressBar1->setValue(value); };
    observer.poll = [&window] { window->poll(); };
    observer.freezeTarget = [&frozen, &target] { frozen.emplace(target); };
    observer.thawTarget = [&frozen] { frozen.reset(); };
    ImportRun run(target, ImExDir + definitionFile, ImExDir + dataFile, keyField, observer);
    TF_RunWindow dialog(
        caption, [&run] { run.run(); }, [&run] { run.cancel(); });
    dialog.setObjectName(u"TF_ExecImport"_s);
    window = &dialog;
    centreOnScreen(dialog);
    dialog.exec();
}

bool RunExport(table::Table& table, const QString& caption, const QString& definitionFile,
               const QString& outputFile, const QString& filter, int left, int top) {
    TimerWorkPause pause;
    TF_RunWindow* window = nullptr;
    ExportObserver observer;
    observer.setTopLabel = [&window](const QString& text) {
        window->Label3->setText(text);
        window->Label3->repaint();
    };
    observer.setStepLabel = [&window](const QString& text) {
        window->Label1->setText(text);
        window->Label1->repaint();
    };
    observer.setRecordLabel = [&window](const QString& text) { window->Label2->setText(text); };
    observer.poll = [&window] { window->poll(); };
    ExportRun run(table, ImExDir + definitionFile, ImExDir + outputFile, filter, observer);
    TF_RunWindow dialog(
        caption.isEmpty() ? u"Datenexport"_s : caption, [&run] { run.run(); },
        [&run] { run.cancel(); });
    dialog.setObjectName(u"TF_ExecExport"_s);
    window = &dialog;
    dialog.adjustSize();
    if (left != 0 && top != 0)
        MoveOnScreen(dialog, left, top);
    else
        centreOnScreen(dialog);
    dialog.exec();
    return run.succeeded();
}

void InstallInterchangeServices() {
    InterchangeServices& services = InterchangeServicesRegistry();
    services.runImport = [](const QString& table, const QString& caption,
                            const QString& definitionFile, const QString& dataFile,
                            const QString& keyField) {
        RunImport(DataModule1().table(table), caption, definitionFile, dataFile, keyField);
    };
    services.runExport = [](const QString& table, const QString& caption,
                            const QString& definitionFile, const QString& outputFile,
                            const QString& filter, int left, int top) {
        return RunExport(DataModule1().table(table), caption, definitionFile, outputFile, filter,
                         left, top);
    };
    services.editDefinitionFile = [](const QString& fileName, int left, int top) {
        return OpenDefinitionEditor(fileName, left, top);
    };
    services.showExportForm = [] { OpenExportForm(); };
    services.tableFilter = [](const QString& name) {
        const table::Table& t = DataModule1().table(name);
        return t.isFiltered() ? t.filter() : QString();
    };
}
