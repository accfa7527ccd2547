#include "masterdata/documenttargets.h"

#include "core/data/dbhelpers.h"
#include "core/messages/manuals.h"
#include "core/messages/messagecatalog.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

using namespace Qt::StringLiterals;

namespace {

bool endsWithSeparator(const QString& folder) {
    return folder.endsWith(u'\\') || folder.endsWith(u'/');
}

// The local path of a target without a URL scheme or with "file:".
QString localPathOf(const QString& target) {
    QString path = target;
    if (path.startsWith(u"file:"_s, Qt::CaseInsensitive)) {
        path = path.mid(5);
        if (path.startsWith(u"//"_s))
            path = path.mid(2);
    }
    path.replace(u'\\', u'/');
    return path;
}

} // namespace

QString BuildDocTarget(const QString& prefix, const QString& path, const QString& fileName,
                       const QString& suffix) {
    return prefix + path + fileName + suffix;
}

QString BuildDocTarget(table::Table& docs) {
    return BuildDocTarget(FieldText(docs, u"OD_Prefix"_s), FieldText(docs, u"OD_Path"_s),
                          FieldText(docs, u"OD_Filename"_s), FieldText(docs, u"OD_Suffix"_s));
}

QString DocMaskToFilter(const QString& mask) {
    QString filter;
    for (const QString& ext : mask.split(u',', Qt::SkipEmptyParts))
        filter += u"(*.%1)|*.%1|"_s.arg(ext.trimmed());
    return filter;
}

QString WithoutFinalSeparator(const QString& folder) {
    return endsWithSeparator(folder) ? folder.chopped(1) : folder;
}

QString WithFinalSeparator(const QString& folder) {
    return folder.isEmpty() || endsWithSeparator(folder) ? folder : folder + u'/';
}

int OpenDocTarget(const QString& target, bool explore) {
    const DocumentVerb verb = explore ? DocumentVerb::Explore : DocumentVerb::Open;
    const bool url = IsUrlTarget(target) && !target.startsWith(u"file:"_s, Qt::CaseInsensitive);
    if (url)
        return OpenDocument(target, verb) ? DocOpened : DocOpenRefused;
    const QString path = localPathOf(target);
    const QFileInfo info(path);
    if (!info.exists())
        return QFileInfo(info.absolutePath()).isDir() ? DocFileMissing : DocFolderMissing;
    return OpenDocument(QDir::cleanPath(info.absoluteFilePath()), verb) ? DocOpened
                                                                        : DocOpenRefused;
}

QString DocOpenErrorText(int result, const QString& target) {
    // "%1" stands for the target.
    static const QHash<int, QString> texts = {
        {0, u"Nicht genug RAM-Speicher oder Resourcen"_s},
        {8, u"Nicht genug RAM-Speicher oder Resourcen"_s},
        {2, u"Datei %1\rist nicht vorhanden!"_s},
        {3, u"Der Pfad %1\rist nicht vorhanden!"_s},
        {5, u"Zugriff wurde verweigert"_s},
        {11, u"Fehler in Exedatei"_s},
        {26, u"Es ist eine Zugriffs-Kollision aufgetreten (Share-Violation)."_s},
        {27, u"Die Dateiverknüpfung ist ungültig."_s},
        {28, u"Die Zeitvorgabe für den dynamischen Datenaustausch wurde überschritten!"_s},
        {29, u"Der dynamische Datenaustausch ist fehlgeschlagen!"_s},
        {30, u"Der dynamische Datenaustausch ist überlastet!"_s},
        {31, u"Zu der Datei besteht keine gültige Programmverknüpfung!"_s},
        {32, u"Die erforderliche Programmbibliothek (DLL) wurde nicht gefunden!"_s},
    };
    const auto text = texts.constFind(result);
    if (text == texts.cend())
        return u"Unbekannte Fehlerursache [%1]"_s.arg(result);
    return text->contains(u"%1"_s) ? text->arg(target) : *text;
}

QString DocAddressHint(int type) {
    // Reserved example names, which reach no one.
    switch (type) {
    case DocMail:
        return LoadMessage(65180) + u"\rBeispiel: info@example.com"_s;
    case DocWeb:
        return LoadMessage(65181) + u"\rBeispiel: www.example.com"_s;
    case DocFtp:
        return LoadMessage(65182) + u"\rBeispiel: 192.0.2.1"_s;
    default:
        return {};
    }
}
