#include "printing/layoutsave.h"

#include "core/data/layoutfiles.h"
#include "core/messages/messages.h"
#include "printing/layoutfile.h"
#include "printing/printeroptions.h"

#include <QSaveFile>

using namespace Qt::StringLiterals;

QString LayoutNotCreatedText(const QString& layoutPath) {
    return u"Kann Datei\r"_s + layoutPath + u"\rnicht erstellen!"_s;
}

bool SaveFormLayoutFile(const QString& layoutPath, const report::Report& report,
                        const QString& title) {
    // A file of the form under another case is replaced, never doubled.
    const QString existing = ExistingLayoutFile(layoutPath);
    const QString path = existing.isEmpty() ? layoutPath : existing;
    const QByteArray bytes = WriteFormLayout(report, title, PrinterOptions());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        ShowError(LayoutNotCreatedText(path));
        return false;
    }
    return true;
}
