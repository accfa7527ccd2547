#include "masterdata/gui/serienbriefdialogs.h"

#include "core/datagui/tf_selform.h"
#include "core/files/programdirs.h"
#include "core/messages/messages.h"
#include "masterdata/dialogs/tf_rtfdlg.h"
#include "masterdata/serienbrief.h"
#include "printing/gui/captiondialog.h"
#include "printing/printprotocol.h"

#include <QApplication>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace {

constexpr int kSerienbriefFormType = 80000;

// The program's one-line input; a cancel leaves the subject empty.
QString askSubject(const QRect& form) {
    QString subject;
    if (!InputText(subject, u"Betreff für Protokoll eingeben"_s, form.left() + 350,
                   form.top() + 400, 400, QApplication::activeWindow()))
        return QString();
    return subject;
}

} // namespace

void RunSerienbriefOver(QWidget& form) {
    const QRect bounds = form.frameGeometry();
    SerienbriefDialogs dialogs;
    dialogs.editLetter = [bounds] {
        return EditRtfFile(QString(), u"Brieftext bearbeiten"_s, TextbstDir, bounds.left(),
                           bounds.top() + 32, bounds.width(), bounds.height() - 32, bounds.left(),
                           bounds.top(), bounds.width(), bounds.height());
    };
    dialogs.chooseLayout = [bounds]() -> std::optional<QString> {
        PrintFormChoosers choosers;
        choosers.choose = [bounds](int type) {
            return ChoosePrintForm(type, 0, bounds.left() + 100, bounds.top() + 140);
        };
        const PrintLayout layout =
            ResolvePrintLayout({PrintVariant::G, kSerienbriefFormType}, choosers);
        if (!layout.prints())
            return std::nullopt;
        return layout.layoutPath();
    };
    dialogs.ask = [](const QString& question) { return AskYesNo(question); };
    dialogs.askSubject = [bounds] { return askSubject(bounds); };
    RunSerienbrief(dialogs, InstalledSerienbriefPrint());
}
