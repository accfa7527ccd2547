#include "commercial/accounts/dunning.h"

#include "commercial/documents/textplaceholders.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/data/temptablename.h"
#include "core/files/programdirs.h"
#include "core/messages/messages.h"
#include "core/messages/syslog.h"
#include "core/values/datetimevalue.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

using table::FieldType;
using table::Table;

namespace {

const QString kDb = QStringLiteral("LumoDB");
const QString kLevel = QStringLiteral("O_Mahnungen");

table::TableDef printTableDef(const QString& name) {
    const auto text = [](const char* n, int size) {
        return table::FieldDef{QString::fromLatin1(n), FieldType::String, size};
    };
    const auto typed = [](const char* n, FieldType type) {
        return table::FieldDef{QString::fromLatin1(n), type, 0};
    };
    return {name,
            {typed("R_ID", FieldType::Integer),
             text("R_Nr", 20),
             typed("R_KundenNr", FieldType::Integer),
             text("R_KMatch", 40),
             text("R_Kname1", 40),
             text("R_Kname2", 40),
             text("R_Kname3", 40),
             text("R_KPlz", 6),
             text("R_KOrt", 30),
             text("R_KStrasse", 40),
             typed("R_ObjektNr", FieldType::Integer),
             text("R_OMatch", 40),
             text("R_OName1", 40),
             text("R_OName2", 40),
             text("R_OName3", 40),
             text("R_OPlz", 6),
             text("R_OOrt", 30),
             text("R_OStrasse", 40),
             text("R_OFax", 20),
             typed("R_DatumDruck", FieldType::Date),
             typed("R_Netto", FieldType::Currency),
             typed("R_Brutto", FieldType::Currency),
             typed("R_Mwst", FieldType::Currency),
             typed("R_Mwst1", FieldType::Currency),
             typed("R_Mwst2", FieldType::Currency),
             text("R_ZahlBed", 160),
             typed("R_ZahlBedSkonto", FieldType::Float),
             typed("R_ZahlBedSkonto2", FieldType::Float),
             typed("R_ZahlBedTage", FieldType::Smallint),
             typed("R_ZahlBedTage2", FieldType::Smallint),
             typed("R_ZahlBedNettoTage", FieldType::Smallint),
             typed("R_FaelligDatum", FieldType::Date),
             typed("O_ZahlSumme", FieldType::Currency),
             typed("O_OffenSumme", FieldType::Currency),
             typed("O_Mahnungen", FieldType::Smallint),
             text("R_KAnrede", 40),
             text("R_Betreuer", 40),
             table::FieldDef{QStringLiteral("R_Text"), FieldType::FmtMemo, 240}},
            {}};
}

// Makes the table under the first free name; a name another workstation
// takes between the choice and the creation is passed over.
QString createUnderFreeName(table::Database& db) {
    for (int attempt = 0;; ++attempt) {
        const QString name = GetTempTableName(QStringLiteral(".db")) + QStringLiteral(".db");
        try {
            db.createTable(printTableDef(name));
            return name;
        } catch (const DbError&) {
            if (attempt >= 100 || !db.exists(name))
                throw;
        }
    }
}

QString objectFax(int objektNr) {
    auto objekte = OpenTempTable(kDb, QStringLiteral("Objekte.DB"));
    return objekte->locate({QStringLiteral("O_Nr")}, {objektNr})
               ? FieldText(*objekte, QStringLiteral("O_Fax"))
               : QString();
}

void setText(Table& row, const QString& field, const QString& value) {
    table::Field& f = row.field(field);
    f.setValue(value.left(f.size()));
}

void writeLevel(Table& item, int level) {
    CancelEditOnError(item, [&] {
        item.edit();
        item.field(kLevel).setValue(level);
        item.post();
    });
}

TDateTime dateOr(Table& row, const QString& field, TDateTime fallback) {
    const table::Field& f = row.field(field);
    return f.isNull() ? fallback : DateTimeOfDate(f.asDate());
}

TDunningValues dunningValues(Table& row) {
    TDunningValues v;
    v.InvoiceNr = FieldText(row, QStringLiteral("R_Nr"));
    v.PaymentTerms = FieldText(row, QStringLiteral("R_ZahlBed"));
    v.Days1 = FieldInt(row, QStringLiteral("R_ZahlBedTage"));
    v.Days2 = FieldInt(row, QStringLiteral("R_ZahlBedTage2"));
    v.NetDays = FieldInt(row, QStringLiteral("R_ZahlBedNettoTage"));
    v.Percent1 = FieldFloat(row, QStringLiteral("R_ZahlBedSkonto"));
    v.Percent2 = FieldFloat(row, QStringLiteral("R_ZahlBedSkonto2"));
    v.Open = FieldFloat(row, QStringLiteral("O_OffenSumme"));
    v.Paid = FieldFloat(row, QStringLiteral("O_ZahlSumme"));
    v.Gross = FieldFloat(row, QStringLiteral("R_Brutto"));
    v.DueDate = dateOr(row, QStringLiteral("R_FaelligDatum"), EmptyDate);
    v.DocDate = dateOr(row, QStringLiteral("R_DatumDruck"), DateTimeOfDate(QDate::currentDate()));
    return v;
}

} // namespace

bool MayWriteDunning(Table& item) {
    if (GetFieldBoolOrDefault(item.findField(QStringLiteral("O_Erledigt")), false)) {
        ShowError(QStringLiteral("Die Rechnung ist bereits erledigt!"));
        return false;
    }
    const int kunde = FieldInt(item, QStringLiteral("R_KundenNr"));
    if (kunde != 0 && GetKundeMahnsperre(kunde)) {
        ShowError(QStringLiteral("Für den Kunden ist eine Mahnsperre eingerichtet!\rUm eine "
                                 "Mahnung schreiben zu können, müssen Sie die\rMahnsperre in der "
                                 "Kundenverwaltung deaktivieren."));
        return false;
    }
    return AskYesNo(QStringLiteral("Möchten Sie wirklich eine Mahnung schreiben?"));
}

int NextDunningLevel(Table& item) {
    return FieldInt(item, kLevel) + 1;
}

QString DunningTemplateFile(int level) {
    return WordDir + QStringLiteral("Mahnung%1.rtf").arg(std::clamp(level, 1, 3));
}

QString DunningLetterFile(const QString& nr, int level) {
    QString name = nr;
    name.remove(QLatin1Char('*'));
    for (QChar& c : name)
        if (c.unicode() < 32 || QStringLiteral("\\/:?\"<>|").contains(c))
            c = QLatin1Char('_');
    const QString levelText =
        level >= 10 ? QStringLiteral("_%1").arg(level) : QString::number(level);
    return WordDir + QStringLiteral("Mng") + name + levelText + QStringLiteral(".rtf");
}

void SetDunningLevel(Table& item, int level) {
    writeLevel(item, level);
}

bool ChangeDunningLevel(Table& item, int delta) {
    if (!AskYesNo(QStringLiteral("Möchten Sie wirklich den Mahnstatus verändern?")))
        return false;
    writeLevel(item, std::max(0, FieldInt(item, kLevel) + delta));
    return true;
}

TDunningPrintTable::TDunningPrintTable() = default;

TDunningPrintTable::~TDunningPrintTable() {
    if (m_name.isEmpty())
        return;
    try {
        drop();
    } catch (const DbError& e) {
        // A table left behind only takes a name; the next letter chooses another.
        WriteLog(QStringLiteral("Drucktabelle %1 nicht gelöscht: %2").arg(m_name, e.message()));
    }
}

bool TDunningPrintTable::create(Table& item) {
    const auto db = table::aliases::database(kDb);
    try {
        m_name = createUnderFreeName(*db);
        Table row(db, m_name);
        row.open();
        row.append();
        CancelEditOnError(row, [&] {
            row.field(QStringLiteral("R_ID")).setValue(1);
            for (int i = 1; i < row.fieldCount(); ++i) {
                table::Field& to = row.field(i);
                const table::Field* from = item.findField(to.name());
                if (!from || from->isNull())
                    continue;
                if (to.type() == FieldType::String)
                    setText(row, to.name(), from->asString());
                else
                    to.setValue(from->value());
            }
            setText(row, QStringLiteral("R_KAnrede"),
                    GetKundeBriefAnrede(FieldInt(item, QStringLiteral("R_KundenNr"))));
            setText(row, QStringLiteral("R_OFax"),
                    objectFax(FieldInt(item, QStringLiteral("R_ObjektNr"))));
            row.field(QStringLiteral("R_Text")).setValue(QString());
            row.post();
        });
        return true;
    } catch (const DbError& e) {
        ShowError(QStringLiteral("Temporäre Datei kann nicht erzeugt werden\r") + e.message());
    }
    return false;
}

bool TDunningPrintTable::loadLetter(const QString& letterFile, const QString& templateFile) {
    const QString path = QFileInfo::exists(letterFile) ? letterFile : templateFile;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowError(QStringLiteral("Datei %1 kann nicht geöffnet werden.\r%2")
                      .arg(QDir::toNativeSeparators(path), file.errorString()));
        return false;
    }
    const QByteArray letter = file.readAll();
    Table row(table::aliases::database(kDb), m_name);
    row.open();
    row.first();
    CancelEditOnError(row, [&] {
        row.edit();
        row.field(QStringLiteral("R_Text"))
            .setValue(QString::fromLatin1(ExpandDunningRichText(letter, dunningValues(row))));
        row.post();
    });
    return true;
}

bool TDunningPrintTable::saveLetter(const QString& letterFile) {
    if (m_name.isEmpty())
        return false;
    Table row(table::aliases::database(kDb), m_name);
    row.open();
    row.first();
    const QByteArray letter = row.field(QStringLiteral("R_Text")).asString().toLatin1();
    QSaveFile file(letterFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(letter) != letter.size() || !file.commit()) {
        ShowError(QStringLiteral("Die Mahnung kann nicht in der Datei %1 gespeichert werden.\r%2")
                      .arg(QDir::toNativeSeparators(letterFile), file.errorString()));
        return false;
    }
    return true;
}

void TDunningPrintTable::drop() {
    if (m_name.isEmpty())
        return;
    const QString name = m_name;
    m_name.clear();
    table::aliases::database(kDb)->dropTable(name);
}
