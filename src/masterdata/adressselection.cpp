#include "masterdata/adressselection.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/files/filehelpers.h"
#include "core/values/numberparsing.h"
#include "platform/errors.h"
#include "platform/table/table.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int LineLength = 80;

std::unique_ptr<table::Table> privateAdressTable() {
    const table::Table& shared = DataModule1().TabAdress();
    auto t =
        std::make_unique<table::Table>(table::aliases::database(u"LumoDB"_s), shared.tableName());
    t->open();
    return t;
}

} // namespace

QStringList SelectionLines(const QList<int>& numbers) {
    QStringList lines;
    QString line;
    for (int nr : numbers) {
        line += QString::number(nr) + u';';
        if (line.size() > LineLength) {
            lines << line;
            line.clear();
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

int CutSelNumber(QString& line) {
    const int end = line.indexOf(u';');
    if (end < 0) {
        line.clear();
        return 0;
    }
    const int nr = StrToIntZero(line.left(end));
    line.remove(0, end + 1);
    return nr;
}

QList<int> SelectionNumbers(const QStringList& lines) {
    QList<int> numbers;
    for (QString line : lines)
        while (line.contains(u';'))
            numbers << CutSelNumber(line);
    return numbers;
}

void MarkAllAdressen(table::Table& adress, bool mark) {
    const table::Bookmark place = adress.bookmark();
    struct Restore {
        table::Table& t;
        table::Bookmark place;
        ~Restore() {
            if (t.isEditing())
                t.cancel();
            if (t.bookmarkValid(place))
                t.gotoBookmark(place);
        }
    } restore{adress, place};
    table::Transaction tx(*adress.database());
    for (adress.first(); !adress.eof(); adress.next()) {
        if (FieldEquals(adress.field(u"A_Selected"_s), mark))
            continue;
        adress.edit();
        adress.field(u"A_Selected"_s) = mark;
        adress.post();
    }
    tx.commit();
}

int CountMarkedAdressen() {
    return CountRecordsWithValue(u"LumoDB"_s, DataModule1().TabAdress().tableName(),
                                 u"A_Selected"_s, true);
}

int SaveAdressSelection(const QString& fileName) {
    auto t = privateAdressTable();
    QList<int> numbers;
    for (t->first(); !t->eof(); t->next())
        if (t->field(u"A_Selected"_s).asBooleanOr(false))
            numbers << t->field(u"A_Nr"_s).asInteger();
    if (numbers.isEmpty())
        throw DbError(u"Es sind keine Sätze markiert!"_s);
    if (!WriteTextDataFile(fileName, SelectionLines(numbers)))
        throw DbError(u"Die Auswahldatei \"%1\" kann nicht geschrieben werden."_s.arg(fileName));
    return int(numbers.size());
}

int LoadAdressSelection(const QString& fileName) {
    QStringList lines;
    if (!ReadTextDataFile(fileName, lines))
        throw DbError(u"Die Auswahldatei \"%1\" kann nicht gelesen werden."_s.arg(fileName));
    const QList<int> numbers = SelectionNumbers(lines);
    auto t = privateAdressTable();
    table::Transaction tx(*t->database());
    for (t->first(); !t->eof(); t->next())
        if (!FieldEquals(t->field(u"A_Selected"_s), false)) {
            t->edit();
            t->field(u"A_Selected"_s) = false;
            t->post();
        }
    int marked = 0;
    for (int nr : numbers)
        if (t->locate({u"A_Nr"_s}, {nr}) && !t->field(u"A_Selected"_s).asBooleanOr(false)) {
            t->edit();
            t->field(u"A_Selected"_s) = true;
            t->post();
            ++marked;
        }
    tx.commit();
    return marked;
}
