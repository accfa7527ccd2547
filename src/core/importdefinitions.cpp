#include "core/importdefinitions.h"

#include "core/files/filehelpers.h"

using namespace Qt::StringLiterals;

const QList<ImportDefinition>& ImportDefinitions() {
    // The article import keeps the backup comment of the customer import.
    static const QList<ImportDefinition> definitions = {
        {u"Kundenimport aus ASCII-Datei"_s, u"Kundenimport-Datei einstellen"_s,
         u"Kundenimport-Definitionen bearbeiten"_s,
         u"Autosicherung vor Import der Kundendaten am "_s, u"TabKunden"_s,
         u"Datenimport : Kundendaten"_s, u"Kunden.imp"_s, u"Kunden.asc"_s, u"K_Nr"_s},
        {u"Objektimport aus ASCII-Datei"_s, u"Objektimport-Datei einstellen"_s,
         u"Objektimport-Definitionen bearbeiten"_s,
         u"Autosicherung vor Import der Objektdaten am "_s, u"TabObjekt"_s,
         u"Datenimport : Objektdaten"_s, u"ObjImp.imp"_s, u"Objekt.asc"_s, u"O_Nr"_s},
        {u"Leistungsimport aus Ascii-Datei"_s, u"Leistungsimport-Datei einstellen"_s,
         u"Leistungsimport-Definitionen bearbeiten"_s,
         u"Autosicherung vor Import der Leistungsdaten am "_s, u"TabTaetig"_s,
         u"Datenimport : Leistungsdaten"_s, u"TaetImp.imp"_s, u"Taetig.asc"_s, u"T_Nr"_s},
        {u"Personaldatenimport aus Ascii-Datei"_s, u"Personaldatenimport-Datei einstellen"_s,
         u"Personaldatenimport-Definitionen bearbeiten"_s,
         u"Autosicherung vor Import der Personaldaten am "_s, u"TabPersonal"_s,
         u"Datenimport : Personaldaten"_s, u"Personal.imp"_s, u"Personal.asc"_s, u"P_Nr"_s},
        {u"Adressenimport aus ASCII-Datei"_s, u"Adressenimport-Datei einstellen"_s,
         u"Adressenimport-Definitionen bearbeiten"_s,
         u"Autosicherung vor Import der Adressdaten am "_s, u"TabAdress"_s,
         u"Datenimport : Adressdaten"_s, u"Adress.imp"_s, u"Adress.asc"_s, u"A_Nr"_s},
        {u"Artikeldatenimport aus ASCII-Datei"_s, u"Artikelimport-Datei einstellen"_s,
         u"Artikelimport-Definitionen bearbeiten"_s,
         u"Autosicherung vor Import der Kundendaten am "_s, u"TabArtikel"_s,
         u"Datenimport : Artikeldaten"_s, u"Artikel.imp"_s, u"Artikel.asc"_s, u"A_ArtNo"_s},
    };
    return definitions;
}

QString ImportBackupQuestion() {
    return u"Sie sollten vor dem Datenimport eine Datensicherung vornehmen!\r"
           u"Möchten Sie jetzt die Daten sichern?"_s;
}

QString ExportBackupQuestion() {
    return u"Sie sollten vor dem Datenexport eine Datensicherung vornehmen!\r"
           u"Möchten Sie jetzt die Daten sichern?"_s;
}

SfileSetting ReadSfileSetting(const QString& definitionFile) {
    SfileSetting setting;
    if (!ReadTextDataFile(definitionFile, setting.lines))
        setting.lines.clear();
    if (setting.lines.isEmpty())
        return setting;
    setting.state = SfileSetting::NoSfileLine;
    for (qsizetype i = 0; i < setting.lines.size(); ++i) {
        if (setting.lines.at(i).left(5) == u"SFILE"_s) {
            setting.state = SfileSetting::Found;
            setting.line = i;
            setting.current = setting.lines.at(i).mid(6);
            break;
        }
    }
    return setting;
}

bool WriteSfileSetting(const QString& definitionFile, SfileSetting setting, const QString& value) {
    if (setting.state != SfileSetting::Found || setting.line < 0 ||
        setting.line >= setting.lines.size())
        return false;
    setting.lines[setting.line] = u"SFILE="_s + value;
    return WriteTextDataFile(definitionFile, setting.lines);
}

QString MissingImportDefinitionMessage(const QString& fullName) {
    return u"Datei %1\rist nicht vorhanden!\rDer Datenimport muss neu konfiguriert werden."_s.arg(
        fullName);
}

QString MissingExportDefinitionMessage(const QString& fullName) {
    return u"Datei %1\rist nicht vorhanden!\rDer Datenexport muss neu konfiguriert werden."_s.arg(
        fullName);
}
