#include "manual/manualsource.h"
#include "manual/manualwriter.h"

#include <QGuiApplication>
#include <cstdio>

// domvera-manual SOURCE_DIR OUT_DIR VERSION: builds the manual the program
// installs (pages, index, PDFs, help folder) from its Markdown sources.
int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: domvera-manual SOURCE_DIR OUT_DIR VERSION\n");
        return 2;
    }
    try {
        WriteManual(ReadManualSource(args[1]), args[2], args[3]);
    } catch (const ManualError& error) {
        std::fprintf(stderr, "domvera-manual: %s\n", qPrintable(error.message));
        return 1;
    }
    return 0;
}
