#include "dbstructure/upgrade.h"

#include "core/files/filehelpers.h"
#include "core/files/programdirs.h"
#include "core/messages/messagelist.h"
#include "core/messages/messages.h"
#include "core/messages/syslog.h"
#include "core/settings/programsettings.h"
#include "core/startup.h"
#include "dbstructure/fillin.h"
#include "dbstructure/tablecreator.h"
#include "dbstructure/tableschemas.h"
#include "platform/errors.h"
#include "platform/table/copyrows.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/table/tableerror.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <memory>

using namespace Qt::StringLiterals;

namespace dbstructure {
namespace {

QSize g_screenSize(1024, 768);

const QString kReportForms = u"QrFrmDef.DB"_s;

QString withoutTrailingSeparator(QString dir) {
    while (dir.size() > 1 && (dir.endsWith(u'/') || dir.endsWith(u'\\')))
        dir.chop(1);
    return dir;
}

[[noreturn]] void cannotCreate(const QString& dir) {
    throw DbError(u"Verzeichnis "_s + dir + u"\r"_s + u"kann nicht erstellt werden"_s);
}

// A work directory starts empty: a table left by an earlier, failed run would
// otherwise be taken as already upgraded.
void prepareEmptyDirectory(const QString& dir) {
    if (QFileInfo::exists(dir) && !DeleteDirectoryTree(dir))
        throw DbError(u"Verzeichnis "_s + dir + u"\r"_s + u"kann nicht geleert werden"_s);
    if (!EnsureDirectory(dir))
        cannotCreate(dir);
}

// The "_Sav" copy that rows are read from: the source directory as it is.
void copySourceTree(const QString& sourceDir, const QString& savDir) {
    if (!QFileInfo(sourceDir).isDir())
        return; // a new client: nothing to carry over
    if (!CopyDirectoryTree(sourceDir, savDir))
        throw DbError(u"Verzeichnis "_s + sourceDir + u"\r"_s + u"kann nicht kopiert werden"_s);
}

std::shared_ptr<table::Database> openWorkDatabase(const QString& dir) {
    table::Database::Options options;
    options.syncToDisk = false; // scratch until the caller moves it into place
    return table::Database::open(dir, options);
}

bool sameDirectory(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

// A client without its own print-form table takes the template client's, so
// that a new client starts with the template's own forms as well.
void addTemplateReportForms(table::Database& sav, const QString& sourceDataDir) {
    if (sav.exists(kReportForms))
        return;
    const QString templateDir = GetMandantDataDir(0);
    if (templateDir.isEmpty() || sameDirectory(templateDir, sourceDataDir) ||
        !QFileInfo::exists(table::Database::fileIn(templateDir)))
        return;
    table::Database::Options options;
    options.create = false;
    auto templateDb = table::Database::open(templateDir, options);
    if (templateDb->exists(kReportForms))
        templateDb->copyTable(kReportForms, sav);
}

class MessageListScope {
public:
    MessageListScope() {
        MessageListEnabled = true;
        const QSize screen = g_screenSize;
        OpenMessageList(u"Automatisches Update auf Datenbank-Version "_s +
                            QString::number(CurrentDbVersion / 100.0, 'f', 2),
                        u"Anpassung der Datenbanken:"_s, (screen.width() - 400) / 2,
                        (screen.height() + 200) / 2);
        SetMessageListWidth(400);
        SetMessageListHeight(200);
    }
    ~MessageListScope() {
        CloseMessageList();
        MessageListEnabled = false;
    }
    MessageListScope(const MessageListScope&) = delete;
    MessageListScope& operator=(const MessageListScope&) = delete;
};

// One database (client or archive) of the upgrade: creators in creation
// order, then the rows.
void buildDatabase(table::Database& source, table::Database& dest, Database which,
                   QList<CopyProblem>& problems) {
    const TableSchemas& schemas = TableSchemas::builtIn();
    const bool belowCurrent = DbVersion < CurrentDbVersion;
    QSet<QString> defined;
    for (const CreationStep& step : schemas.creationOrder(which)) {
        defined.insert(TableLookupKey(step.table));
        const bool force = belowCurrent || step.force == ForceRule::Always;
        if (!CreateTable(dest, step.table, force, schemas))
            continue;
        const TableSchema& schema = schemas.get(step.table);
        switch (step.rows) {
        case RowsRule::Copy:
            CopyTableData(source, dest, schema.def.name, nullptr, problems);
            break;
        case RowsRule::CopyWithFillIn:
            CopyTableData(source, dest, schema.def.name, &schema, problems);
            break;
        case RowsRule::CopyElseDefaults:
            if (CopyTableData(source, dest, schema.def.name, nullptr, problems) == 0)
                FillDefaults(dest, schema.def.name, schemas);
            break;
        case RowsRule::Defaults:
            FillDefaults(dest, schema.def.name, schemas);
            break;
        case RowsRule::DefaultsThenUserForms:
            FillDefaults(dest, schema.def.name, schemas);
            MergeUserReportForms(source, dest, schema.def.name);
            break;
        }
    }
    // The whole database file replaces the old one: tables that the current
    // structure does not define (the postal codes, among others) come along
    // unchanged.
    for (const QString& name : source.tableNames()) {
        if (defined.contains(TableLookupKey(name)) || dest.exists(name))
            continue;
        try {
            source.copyTable(name, dest);
        } catch (const DbError& e) {
            problems.append({name, QString(), e.message()});
        }
    }
}

QString problemReport(const QList<CopyProblem>& problems) {
    QStringList lines;
    for (const CopyProblem& p : problems) {
        const QString line = p.field.isEmpty()
                                 ? QString(u"Fehler in Datenbank "_s + p.table)
                                 : QString(u"Feld-Fehler "_s + p.table + u'[' + p.field + u']');
        if (!lines.contains(line))
            lines.append(line);
    }
    return u"Die Datenbanken konnten nicht vollständig übernommen werden:\r"_s + lines.join(u'\r') +
           u"\rDie bisherigen Datenbanken bleiben unverändert."_s;
}

QHash<QString, QString> applicableRenames(const table::TableDef& from, const table::TableDef& to) {
    QStringList sourceFields;
    for (const auto& f : from.fields)
        sourceFields.append(f.name);
    QHash<QString, QString> renames; // old name -> new name, as the row copy takes them
    for (const auto& f : to.fields) {
        const QString feeding = FindRenamedSourceField(f.name, sourceFields);
        if (!feeding.isEmpty() && feeding.compare(f.name, Qt::CaseInsensitive) != 0)
            renames.insert(feeding, f.name);
    }
    return renames;
}

} // namespace

const QList<std::pair<QString, QString>>& FieldRenameMap() {
    static const QList<std::pair<QString, QString>> map = {
        {u"O_DatumNextRechnung2"_s, u"O_SchneeEisVon"_s},
        {u"O_DatumNextRechnung3"_s, u"O_SchneeEisBis"_s},
        {u"O_DatumLetzteRech2"_s, u"O_DatumRg1"_s},
        {u"O_DatumLetzteRech3"_s, u"O_DatumRg2"_s},
        {u"O_Zahlintervall2"_s, u"O_MuellRest2"_s},
        {u"O_Zahlintervall3"_s, u"O_MuellRest3"_s},
        {u"O_RgZahlbed1"_s, u"O_MuellBio1"_s},
        {u"O_RgZahlbed2"_s, u"O_MuellBio2"_s},
        {u"O_RgZahlbed3"_s, u"O_MuellBio3"_s},
        {u"T_ObjName"_s, u"T_ObjektName"_s},
    };
    return map;
}

QString FindRenamedSourceField(const QString& destFieldName, const QStringList& sourceFields) {
    auto find = [&](const QString& name) -> QString {
        for (const QString& f : sourceFields)
            if (f.compare(name, Qt::CaseInsensitive) == 0)
                return f;
        return {};
    };
    if (QString same = find(destFieldName); !same.isEmpty())
        return same;
    for (const auto& [newName, oldName] : FieldRenameMap())
        if (newName.compare(destFieldName, Qt::CaseInsensitive) == 0)
            return find(oldName); // the first matching pair decides
    return {};
}

int CopyTableData(table::Database& source, table::Database& dest, const QString& tableName,
                  const TableSchema* fillIns, QList<CopyProblem>& problems) {
    if (!source.exists(tableName))
        return 0;
    try {
        const table::TableDef from = source.tableDef(tableName);
        const table::TableDef to = dest.tableDef(tableName);
        table::CopyOptions options;
        options.renames = applicableRenames(from, to);
        CopyFillIn fillIn = fillIns ? FillInFields(*fillIns, options.renames) : CopyFillIn();
        QSet<QString> autoIncrement;
        for (const auto& f : to.fields)
            if (f.type == table::FieldType::AutoInc)
                autoIncrement.insert(f.name.toLower());
        if (fillIn || !autoIncrement.isEmpty()) {
            options.fillIn = [fillIn, autoIncrement](const QString& field,
                                                     const table::SourceRow& row,
                                                     const QVariant& found) -> QVariant {
                if (autoIncrement.contains(field.toLower()))
                    return {}; // the engine numbers it
                return fillIn ? fillIn(field, row, found) : found;
            };
        }
        const QString name = to.name;
        options.onError = [&problems, name](const QString& field, const QVariant&,
                                            const QString& message) {
            problems.append({name, field, message});
        };
        options.progress = [](int rows) {
            SetMessageListStatus(QStringLiteral("%1").arg(rows, 8));
        };
        const qsizetype before = problems.size();
        const int rows = table::copyRows(source, tableName, dest, tableName, options).rows;
        if (problems.size() > before)
            WriteLog(u"DBMM: Fehler Copydata, "_s + tableName);
        return rows;
    } catch (const DbError& e) {
        // The copy of this table ran in one transaction: none of its rows stay.
        problems.append({tableName, QString(), e.message()});
        WriteLog(u"DBMM: Fehler Copydata, "_s + tableName);
        return 0;
    }
}

int MergeUserReportForms(table::Database& source, table::Database& dest, const QString& tableName) {
    if (!source.exists(tableName))
        return 0;
    auto borrow = [](table::Database& db) {
        return std::shared_ptr<table::Database>(std::shared_ptr<void>(), &db);
    };
    table::Table from(borrow(source), tableName);
    table::Table to(borrow(dest), tableName);
    from.open();
    to.open();
    int added = 0;
    table::Transaction tx(dest);
    // An older table may lack a field: it reads as null.
    auto read = [&from](const QString& field) {
        table::Field* f = from.findField(field);
        return f ? f->value() : QVariant();
    };
    for (from.first(); !from.eof(); from.next()) {
        if (read(u"Q_Protect"_s).toBool())
            continue; // the system forms of the old version: the current ones are there
        const QVariant id = read(u"QF_ID"_s);
        if (!id.isValid() || to.locate({u"QF_ID"_s}, {id}))
            continue;
        to.append();
        to[u"QF_ID"_s] = id;
        to[u"Q_FormType"_s] = QVariant(id.toInt() / 100 * 100);
        to[u"Q_SelectGroup"_s] = QVariant(0);
        to[u"Q_Filename"_s] = read(u"Q_Filename"_s);
        to[u"Q_Protect"_s] = false;
        to[u"Q_Comment"_s] = read(u"Q_Comment"_s);
        to.post();
        ++added;
    }
    tx.commit();
    return added;
}

int AddInvoiceListsForm(table::Database& db) {
    table::Table forms(std::shared_ptr<table::Database>(std::shared_ptr<void>(), &db),
                       kReportForms);
    forms.open();
    int added = 0;
    if (!forms.locate({u"QF_ID"_s}, {81000})) {
        forms.append();
        forms[u"QF_ID"_s] = 81000;
        forms[u"Q_FormType"_s] = 81000;
        forms[u"Q_SelectGroup"_s] = QVariant(0);
        forms[u"Q_Protect"_s] = true;
        forms[u"Q_Filename"_s] = QString();
        forms[u"Q_Comment"_s] = u"Faktura-Listen"_s;
        forms.post();
        added = 1;
    }
    forms.close();
    return added;
}

int AddInvoiceListsForm() {
    return AddInvoiceListsForm(*table::aliases::database(u"LumoDB"_s));
}

QString AddedPrintFormsText(int added) {
    if (added == 0)
        return u"0 Druckformulare eingebunden: alle Druckformulare sind bereits vorhanden."_s;
    return added == 1 ? u"1 Druckformular eingebunden."_s
                      : u"%1 Druckformulare eingebunden."_s.arg(added);
}

bool UpdateDatabaseStructure(const QString& sourceDataDir, const QString& newDataDirGiven,
                             const QString& sourceArchiveDir, const QString& newArchiveDirGiven) {
    const QString newDataDir = withoutTrailingSeparator(newDataDirGiven);
    const QString newArchiveDir = withoutTrailingSeparator(newArchiveDirGiven);
    const QString dataSav = newDataDir + u"_Sav"_s;
    const QString archiveSav = newArchiveDir + u"_Sav"_s;

    prepareEmptyDirectory(newDataDir);
    prepareEmptyDirectory(dataSav);
    copySourceTree(sourceDataDir, dataSav);
    prepareEmptyDirectory(newArchiveDir);
    prepareEmptyDirectory(archiveSav);
    copySourceTree(sourceArchiveDir, archiveSav);

    QList<CopyProblem> problems;
    bool result = true;
    {
        MessageListScope messageList;
        std::shared_ptr<table::Database> dest, source;
        try {
            dest = openWorkDatabase(newDataDir);
            source = openWorkDatabase(dataSav);
        } catch (const DbError&) {
            ShowError(u"Datenbank-Alias kann nicht erstellt werden!"_s);
            return false;
        }
        addTemplateReportForms(*source, sourceDataDir);
        buildDatabase(*source, *dest, Database::Client, problems);

        // The archive: both connections re-pointed, each tried even when the
        // other failed.
        dest.reset();
        source.reset();
        try {
            dest = openWorkDatabase(newArchiveDir);
        } catch (const DbError&) {
            ShowError(u"Datenbank-Alias kann nicht erstellt werden!"_s);
            result = false;
        }
        try {
            source = openWorkDatabase(archiveSav);
        } catch (const DbError&) {
            ShowError(u"Datenbank-Alias kann nicht erstellt werden!"_s);
            result = false;
        }
        if (result)
            buildDatabase(*source, *dest, Database::Archive, problems);
    }

    DeleteDirectoryTree(dataSav);
    DeleteDirectoryTree(archiveSav);
    MarkTempDirsForDeletion();
    if (!problems.isEmpty()) {
        ShowError(problemReport(problems));
        return false;
    }
    return result;
}

void SetUpgradeScreenSize(const QSize& size) {
    g_screenSize = size;
}

bool HasCurrentStructure(const QString& dataDir, const QString& archiveDir) {
    const TableSchemas& schemas = TableSchemas::builtIn();
    auto holdsCurrentTables = [&](const QString& dir, Database which) {
        if (!QFileInfo::exists(table::Database::fileIn(dir)))
            return false;
        table::Database::Options options;
        options.create = false;
        auto db = table::Database::open(dir, options);
        for (const CreationStep& step : schemas.creationOrder(which)) {
            const table::TableDef& wanted = schemas.get(step.table).def;
            if (!db->exists(wanted.name))
                return false;
            const table::TableDef stored = db->tableDef(wanted.name);
            if (stored.fields.size() != wanted.fields.size())
                return false;
            for (qsizetype i = 0; i < wanted.fields.size(); ++i) {
                if (stored.fields[i].name.compare(wanted.fields[i].name, Qt::CaseInsensitive) !=
                        0 ||
                    stored.fields[i].type != wanted.fields[i].type)
                    return false;
            }
        }
        return true;
    };
    try {
        return holdsCurrentTables(dataDir, Database::Client) &&
               holdsCurrentTables(archiveDir, Database::Archive);
    } catch (const DbError&) {
        return false;
    }
}

void InstallDatabaseUpgrader() {
    SetDatabaseUpgrader(&UpdateDatabaseStructure);
    SetCurrentStructureCheck(&HasCurrentStructure);
}

} // namespace dbstructure
