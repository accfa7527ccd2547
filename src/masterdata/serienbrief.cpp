#include "masterdata/serienbrief.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "masterdata/adressselection.h"
#include "masterdata/markedadressen.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <QFileInfo>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

SerienbriefPrint& installedPrint() {
    static SerienbriefPrint print;
    return print;
}

} // namespace

SerienbriefPrint SetSerienbriefPrint(SerienbriefPrint print) {
    return std::exchange(installedPrint(), std::move(print));
}

bool IsSerienbriefPrintAvailable() {
    return bool(installedPrint());
}

const SerienbriefPrint& InstalledSerienbriefPrint() {
    return installedPrint();
}

QString SerienbriefDefaultSubject() {
    return u"Serienbrief verschickt"_s;
}

int RunSerienbrief(const SerienbriefDialogs& dialogs, const SerienbriefPrint& print) {
    if (!print)
        throw DbError(u"Der Serienbriefdruck ist noch nicht verfügbar."_s);
    TDataModule1& dm = DataModule1();
    table::Table& adress = dm.TabAdress();
    OpenForCall adressOpen(adress);
    // A pending change counts before the marks are counted.
    if (adress.isEditing())
        adress.post();
    if (CountMarkedAdressen() == 0)
        throw DbError(u"Es sind keine Sätze markiert!"_s);
    const QString letter = dialogs.editLetter();
    if (letter.isEmpty() || !QFileInfo(letter).isFile())
        return 0;
    const std::optional<QString> layout = dialogs.chooseLayout();
    if (!layout)
        return 0;

    AdressViewGuard guard(adress);
    FilterMarkedAdressen(adress);
    // The phone filter stays in force and may hide every marked address.
    if (adress.isEmpty())
        throw DbError(u"Keine der markierten Adressen passt zum Telefon-Filter."_s);
    print(true, letter, *layout);
    if (!dialogs.ask(u"Drucken?"_s))
        return 0;
    const bool note = dialogs.ask(u"Versand notieren?"_s);
    const QString subject = note ? dialogs.askSubject().trimmed() : QString();
    std::optional<OpenForCall> protoOpen;
    if (note)
        protoOpen.emplace(dm.TabProto());
    int printed = 0;
    for (; !adress.eof(); adress.next()) {
        const int id = FieldInt(adress, u"A_ID"_s);
        try {
            print(false, letter, *layout);
            ++printed;
            if (note)
                AppendAdrProto(dm.TabProto(), id, AdrProtoArt::Serienbrief, subject,
                               SerienbriefDefaultSubject());
        } catch (const DbError& error) {
            // The user must know which letters went out before the run stopped.
            throw DbError(
                u"Der Serienbrief wurde bei Adresse %1 abgebrochen; gedruckte Briefe: %2.\r%3"_s
                    .arg(FieldInt(adress, u"A_Nr"_s))
                    .arg(printed)
                    .arg(error.message()));
        }
    }
    return printed;
}
