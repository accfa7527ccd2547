#include "commercial/gui/documentpickers.h"

#include "commercial/documents/documentsupport.h"
#include "commercial/documents/headaddresses.h"
#include "core/data/dbhelpers.h"
#include "core/data/staffnames.h"
#include "core/data/timerworkpause.h"
#include "core/gui/placement.h"
#include "masterdata/adressrec.h"
#include "masterdata/dialogs/pickers.h"
#include "platform/table/table.h"

#include <QWidget>
#include <algorithm>

bool PickAdressIntoField(table::Field& field, bool postAfter, QString& sortField) {
    TimerWorkPause pause;
    table::Table& t = field.table();
    if (t.isEditing())
        t.post();
    const QWidget* main = MainForm();
    const int left = main ? main->frameGeometry().left() + 80 : 80;
    const int top = main ? main->frameGeometry().top() : 0;
    const int nr = SelectAdress(AdressNrOfID(field.asIntegerOr(0)), 360, left, top, sortField);
    if (nr == 0)
        return false;
    EnsureEditOrInsert(t);
    CancelEditOnError(t, [&] {
        field.setValue(AdressIDOfNr(nr));
        if (postAfter)
            t.post();
    });
    return true;
}

bool PickBetreuerIntoField(QWidget* control, table::Field& field) {
    TimerWorkPause pause;
    const int left = std::max(0, GetEditScreenX(control) - 400);
    const int top = control ? GetEditScreenY(control) + control->height() : 0;
    const int nr = SelectPersonal(0, 200, left, top, {});
    if (nr == 0)
        return false;
    table::Table& t = field.table();
    EnsureEditOrInsert(t);
    CancelEditOnError(t, [&] {
        field.setValue(PersonalMatchOfNr(nr));
        t.post();
    });
    return true;
}

QList<THeadAddressCommand> HeadAddressCommands(bool post) {
    auto zusatz = [post](QChar index) {
        return [post, index](table::Table& head) { CopyZusatzAdresseToKopf(head, index, post); };
    };
    return {
        {QStringLiteral("Objektadresse übernehmen"),
         [post](table::Table& head) { CopyObjektAdresseToKopf(head, post); }},
        {QStringLiteral("Objekt-Korrespondenzanschrift übernehmen"),
         [post](table::Table& head) { CopyObjektRgAdresseToKopf(head, post); }},
        {QStringLiteral("Kundenadresse übernehmen"),
         [post](table::Table& head) { CopyKundenAdresseToKopf(head, post); }},
        {QStringLiteral("Anschrift aus Adressdatenbank"),
         [post](table::Table& head) {
             const QWidget* main = MainForm();
             QString sort = QStringLiteral("A_Nr");
             const int nr = SelectAdress(0, 360, main ? main->frameGeometry().left() + 80 : 80,
                                         main ? main->frameGeometry().top() : 0, sort);
             if (nr != 0)
                 CopyAdressbuchAdresseToKopf(head, nr, post);
         }},
        {QStringLiteral("Zusatzadresse1 übernehmen"), zusatz(u'0')},
        {QStringLiteral("Zusatzadresse2 übernehmen"), zusatz(u'1')},
        {QStringLiteral("Zusatzadresse3 übernehmen"), zusatz(u'2')},
    };
}

bool PickZahlbedIntoHead(table::Table& head, int left, int top) {
    int id = FieldInt(head, QStringLiteral("R_ZahlBedID"));
    if (!SelectZahlBed(id, left, top))
        return false;
    if (!ApplyZahlbedToKopf(id, head))
        return false;
    head.post();
    return true;
}
