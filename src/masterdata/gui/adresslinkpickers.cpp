#include "masterdata/gui/adresslinkpickers.h"

#include "core/gui/placement.h"
#include "masterdata/adresscopy.h"
#include "masterdata/dialogs/pickers.h"
#include "platform/table/table.h"

#include <QPoint>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace {

constexpr int kGridHeight = 400;

QPoint pickerPlace() {
    const QWidget* main = MainForm();
    return main ? QPoint(main->x() + 240, main->y() + 140) : QPoint(240, 140);
}

// Shows a picker on the current link and writes what it returns.
template <typename Picker> bool pickInto(table::Table& adress, const QString& field, Picker pick) {
    const QPoint at = pickerPlace();
    return SetAdressLink(adress, field, pick(adress.field(field).asIntegerOr(0), at.x(), at.y()));
}

QString& rememberedSort(const QString& linkField) {
    static QString kunde, objekt, lieferant, personal;
    if (linkField == "A_KundenNr"_L1)
        return kunde;
    if (linkField == "A_ObjektNr"_L1)
        return objekt;
    if (linkField == "A_LieferantNr"_L1)
        return lieferant;
    return personal;
}

} // namespace

bool PickAdressKunde(table::Table& adress, QString& sortField) {
    return pickInto(adress, u"A_KundenNr"_s, [&](int current, int x, int y) {
        return SelectKunde(current, kGridHeight, x, y, sortField);
    });
}

bool PickAdressObjekt(table::Table& adress, QString& sortField) {
    return pickInto(adress, u"A_ObjektNr"_s, [&](int current, int x, int y) {
        return SelectObjekt(current, kGridHeight, x, y, sortField);
    });
}

bool PickAdressLieferant(table::Table& adress, QString& sortField) {
    return pickInto(adress, u"A_LieferantNr"_s, [&](int current, int x, int y) {
        return SelectLieferant(current, kGridHeight, x, y, sortField);
    });
}

bool PickAdressPersonal(table::Table& adress, QString& sortField) {
    return pickInto(adress, u"A_PersonalNr"_s, [&](int current, int x, int y) {
        return SelectPersonal(current, kGridHeight, x, y, sortField);
    });
}

bool PickAdressNotdienst(table::Table& adress) {
    return pickInto(adress, u"A_NotdienstNr"_s,
                    [](int current, int x, int y) { return SelectNotdienst(current, x, y); });
}

bool PickAdressLink(table::Table& adress, const QString& linkField) {
    if (linkField == "A_NotdienstNr"_L1)
        return PickAdressNotdienst(adress);
    QString& sort = rememberedSort(linkField);
    if (linkField == "A_KundenNr"_L1)
        return PickAdressKunde(adress, sort);
    if (linkField == "A_ObjektNr"_L1)
        return PickAdressObjekt(adress, sort);
    if (linkField == "A_LieferantNr"_L1)
        return PickAdressLieferant(adress, sort);
    if (linkField == "A_PersonalNr"_L1)
        return PickAdressPersonal(adress, sort);
    return false;
}
