#include "masterdata/adressfilter.h"

#include "core/data/datamodule.h"
#include "core/files/filehelpers.h"
#include "core/files/programdirs.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

QString& phoneFilter() {
    static QString text;
    return text;
}

} // namespace

QString PhoneDigits(const QString& text) {
    QString digits;
    for (QChar c : text)
        if (c >= u'0' && c <= u'9')
            digits += c;
    return digits;
}

const QString& AdressPhoneFilter() {
    return phoneFilter();
}

void SetAdressPhoneFilter(const QString& text) {
    SetAdressPhoneFilter(DataModule1().TabAdress(), text);
}

void SetAdressPhoneFilter(table::Table& adress, const QString& text) {
    phoneFilter() = text;
    adress.setFilterFunction(AdressMatchesPhoneFilter);
    adress.setFiltered(!text.isEmpty());
}

bool AdressMatchesPhoneFilter(table::Table& adress) {
    const QString& wanted = phoneFilter();
    if (wanted.isEmpty())
        return true;
    const QString numbers = PhoneDigits(adress.field(u"A_Telefon"_s).asString()) + u'|' +
                            PhoneDigits(adress.field(u"A_Handy"_s).asString()) + u'|' +
                            PhoneDigits(adress.field(u"A_Fax"_s).asString());
    return numbers.contains(wanted);
}

void SetAdressFilterExpression(table::Table& adress, const QString& text) {
    adress.setFilter(text); // parses and checks the fields before it changes anything
    adress.setFiltered(!text.trimmed().isEmpty());
}

QStringList AddAdrSucheHistory(QStringList history, const QString& text) {
    if (text.isEmpty() || history.contains(text))
        return history;
    while (history.size() >= AdrSucheHistorySize)
        history.removeLast();
    history.prepend(text);
    return history;
}

QStringList ApplyAdressFilterExpression(table::Table& adress, const QString& text,
                                        const QStringList& history) {
    SetAdressFilterExpression(adress, text);
    const QStringList updated = AddAdrSucheHistory(history, text);
    if (updated != history)
        SaveAdrSucheHistory(updated);
    return updated;
}

QString AdrSucheFileName() {
    return QDir(SelectDir).filePath(u"AdrSuche.txt"_s);
}

QStringList LoadAdrSucheHistory() {
    QStringList lines;
    if (QFileInfo::exists(AdrSucheFileName()) && !ReadTextDataFile(AdrSucheFileName(), lines))
        throw DbError(u"Die Datei \"%1\" kann nicht gelesen werden."_s.arg(AdrSucheFileName()));
    lines.removeAll(QString());
    return lines;
}

void SaveAdrSucheHistory(const QStringList& history) {
    if (!WriteTextDataFile(AdrSucheFileName(), history))
        throw DbError(u"Die Datei \"%1\" kann nicht geschrieben werden."_s.arg(AdrSucheFileName()));
}
