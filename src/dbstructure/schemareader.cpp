#include "dbstructure/schemareader.h"

#include "platform/errors.h"

#include <QDate>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QSet>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace dbstructure {
namespace {

using table::FieldDef;
using table::FieldType;

struct TypeWord {
    const char* word;
    FieldType type;
    int maxSize; // 0: the type takes no size
};

// The sizes are the limits of the table format the definitions come from.
constexpr TypeWord kTypeWords[] = {
    {"String", FieldType::String, 255},   {"Smallint", FieldType::Smallint, 0},
    {"Integer", FieldType::Integer, 0},   {"AutoInc", FieldType::AutoInc, 0},
    {"Float", FieldType::Float, 0},       {"Currency", FieldType::Currency, 0},
    {"Boolean", FieldType::Boolean, 0},   {"Date", FieldType::Date, 0},
    {"Time", FieldType::Time, 0},         {"DateTime", FieldType::DateTime, 0},
    {"Memo", FieldType::Memo, 240},       {"FmtMemo", FieldType::FmtMemo, 240},
    {"Graphic", FieldType::Graphic, 240},
};

const TypeWord* findTypeWord(const QString& word) {
    for (const TypeWord& t : kTypeWords) {
        if (word == QLatin1String(t.word))
            return &t;
    }
    return nullptr;
}

QString describe(const QJsonValue& v) {
    if (v.isString())
        return QStringLiteral("\"%1\"").arg(v.toString());
    if (v.isArray() || v.isObject())
        return QStringLiteral("(kein einfacher Wert)");
    return QString::fromUtf8(
        QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact).chopped(1).mid(1));
}

// Raises the definition error for one table (or the file when `tableName` is
// empty).
[[noreturn]] void fail(const QString& fileName, const QString& tableName, const QString& what) {
    if (tableName.isEmpty())
        throw DbError(
            QStringLiteral("Fehler in der Tabellendefinition \"%1\": %2").arg(fileName, what));
    throw DbError(QStringLiteral("Fehler in der Tabellendefinition \"%1\", Tabelle %2: %3")
                      .arg(fileName, tableName, what));
}

QJsonDocument parseDocument(const QByteArray& json, const QString& fileName) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        fail(fileName, {},
             QStringLiteral("kein gültiges JSON (%1 an Stelle %2)")
                 .arg(error.errorString())
                 .arg(error.offset));
    if (!doc.isObject())
        fail(fileName, {}, QStringLiteral("die Datei muss ein JSON-Objekt enthalten"));
    return doc;
}

std::optional<qint64> integralValue(const QJsonValue& v, qint64 min, qint64 max) {
    if (!v.isDouble())
        return std::nullopt;
    const double d = v.toDouble();
    if (!std::isfinite(d) || std::trunc(d) != d || d < double(min) || d > double(max))
        return std::nullopt;
    return qint64(d);
}

bool validText(const QString& text, FieldType type) {
    switch (type) {
    case FieldType::Date:
        return QDate::fromString(text, QStringLiteral("dd.MM.yyyy")).isValid();
    case FieldType::Time:
        return QTime::fromString(text, QStringLiteral("hh:mm:ss")).isValid() ||
               QTime::fromString(text, QStringLiteral("hh:mm")).isValid();
    case FieldType::DateTime:
        return QDateTime::fromString(text, QStringLiteral("dd.MM.yyyy hh:mm:ss")).isValid() ||
               QDateTime::fromString(text, QStringLiteral("dd.MM.yyyy hh:mm")).isValid();
    default:
        return false;
    }
}

// An empty text is a value: it must not reach the table as a null QString,
// which would be stored as null.
QVariant textValue(const QJsonValue& v) {
    QString text = v.toString();
    if (text.isNull())
        text = QLatin1String("");
    return QVariant(text);
}

// Converts a JSON value into the form the field stores; nullopt when the
// value does not fit the field.
std::optional<QVariant> fieldValue(const QJsonValue& v, const FieldDef& field) {
    if (v.isNull())
        return QVariant();
    switch (field.type) {
    case FieldType::String:
        if (!v.isString() || v.toString().size() > field.size)
            return std::nullopt;
        return textValue(v);
    case FieldType::Memo:
    case FieldType::FmtMemo:
        if (!v.isString())
            return std::nullopt;
        return textValue(v);
    case FieldType::Smallint:
        if (auto i = integralValue(v, std::numeric_limits<qint16>::min(),
                                   std::numeric_limits<qint16>::max()))
            return QVariant(int(*i));
        return std::nullopt;
    case FieldType::Integer:
    case FieldType::AutoInc:
        if (auto i = integralValue(v, std::numeric_limits<qint32>::min(),
                                   std::numeric_limits<qint32>::max()))
            return QVariant(int(*i));
        return std::nullopt;
    case FieldType::Float:
    case FieldType::Currency:
        if (!v.isDouble() || !std::isfinite(v.toDouble()))
            return std::nullopt;
        return QVariant(v.toDouble());
    case FieldType::Boolean:
        if (!v.isBool())
            return std::nullopt;
        return QVariant(v.toBool());
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime:
        if (!v.isString() || !validText(v.toString(), field.type))
            return std::nullopt;
        return textValue(v);
    case FieldType::Graphic:
        return std::nullopt;
    }
    return std::nullopt;
}

qsizetype fieldIndex(const QList<FieldDef>& fields, const QString& name) {
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

class TableReader {
public:
    TableReader(const QString& fileName, const QJsonObject& object)
        : m_file(fileName), m_object(object) {}

    TableSchema read() {
        const QJsonValue name = m_object.value(QLatin1String("name"));
        if (!name.isString() || name.toString().trimmed().isEmpty())
            fail(m_file, {}, QStringLiteral("Tabelle ohne Namen"));
        m_schema.def.name = name.toString();
        checkKeys();
        readFields();
        readIndexes();
        readDefaults();
        readFillIns();
        return m_schema;
    }

private:
    [[noreturn]] void error(const QString& what) const { fail(m_file, m_schema.def.name, what); }

    QJsonArray array(const char* key, bool required) const {
        const QJsonValue v = m_object.value(QLatin1String(key));
        if (v.isUndefined() && !required)
            return {};
        if (!v.isArray())
            error(QStringLiteral("\"%1\" muss eine Liste sein").arg(QLatin1String(key)));
        return v.toArray();
    }

    void checkKeys() const {
        static const QStringList known = {"name", "fields", "indexes", "defaults", "fillin"};
        for (const QString& key : m_object.keys()) {
            if (!known.contains(key))
                error(QStringLiteral("unbekannter Eintrag \"%1\"").arg(key));
        }
    }

    void readFields() {
        const QJsonArray fields = array("fields", true);
        if (fields.isEmpty())
            error(QStringLiteral("keine Felder"));
        for (qsizetype i = 0; i < fields.size(); ++i) {
            const QJsonArray f = fields[i].toArray();
            const QString where = QStringLiteral("Feld %1").arg(i + 1);
            if (!fields[i].isArray() || f.size() < 2 || f.size() > 3 || !f[0].isString() ||
                !f[1].isString())
                error(where + QStringLiteral(": erwartet [Name, Typ, Größe]"));
            FieldDef def;
            def.name = f[0].toString();
            if (def.name.trimmed().isEmpty())
                error(where + QStringLiteral(": Feld ohne Namen"));
            if (fieldIndex(m_schema.def.fields, def.name) >= 0)
                error(QStringLiteral("Feld %1 ist doppelt definiert").arg(def.name));
            const TypeWord* type = findTypeWord(f[1].toString());
            if (!type)
                error(QStringLiteral("unbekannter Feldtyp \"%1\" bei Feld %2")
                          .arg(f[1].toString(), def.name));
            def.type = type->type;
            if (type->maxSize == 0) {
                if (f.size() == 3)
                    error(QStringLiteral("Feld %1 vom Typ %2 hat keine Größe")
                              .arg(def.name, f[1].toString()));
            } else {
                if (f.size() < 3)
                    error(QStringLiteral("Größe fehlt bei Feld %1").arg(def.name));
                const auto size = integralValue(f[2], 1, type->maxSize);
                if (!size)
                    error(QStringLiteral("ungültige Größe %1 bei Feld %2 (1 bis %3)")
                              .arg(describe(f[2]), def.name)
                              .arg(type->maxSize));
                def.size = int(*size);
            }
            m_schema.def.fields.append(def);
        }
    }

    void readIndexes() {
        const QJsonArray indexes = array("indexes", false);
        QSet<QString> names;
        for (qsizetype i = 0; i < indexes.size(); ++i) {
            const QJsonArray x = indexes[i].toArray();
            if (!indexes[i].isArray() || x.size() < 2 || x.size() > 3 || !x[0].isString() ||
                !x[1].isString() || (x.size() == 3 && !x[2].isString()))
                error(QStringLiteral("Index %1: erwartet [Name, \"Feld1;Feld2\", Optionen]")
                          .arg(i + 1));
            table::IndexDef def;
            def.name = x[0].toString();
            if (def.name.trimmed().isEmpty())
                error(QStringLiteral("Index %1 ohne Namen").arg(i + 1));
            if (names.contains(def.name.toLower()))
                error(QStringLiteral("Index %1 ist doppelt definiert").arg(def.name));
            names.insert(def.name.toLower());
            def.fields = x[1].toString().split(QLatin1Char(';'));
            if (def.fields.size() > 4)
                error(QStringLiteral("Index %1 hat mehr als vier Felder").arg(def.name));
            for (QString& field : def.fields) {
                field = field.trimmed();
                if (fieldIndex(m_schema.def.fields, field) < 0)
                    error(QStringLiteral("Index %1 nennt das unbekannte Feld \"%2\"")
                              .arg(def.name, field));
            }
            if (x.size() == 3) {
                for (const QString& option : x[2].toString().split(QLatin1Char(','))) {
                    const QString o = option.trimmed();
                    if (o == QLatin1String("unique"))
                        def.unique = true;
                    else if (o == QLatin1String("descending"))
                        def.descending = true;
                    else
                        error(QStringLiteral("unbekannte Option \"%1\" bei Index %2")
                                  .arg(o, def.name));
                }
            }
            m_schema.def.indexes.append(def);
        }
    }

    void readDefaults() {
        const QJsonArray rows = array("defaults", false);
        const QList<FieldDef>& fields = m_schema.def.fields;
        for (qsizetype r = 0; r < rows.size(); ++r) {
            if (!rows[r].isArray())
                error(QStringLiteral("Standardzeile %1 ist keine Liste").arg(r + 1));
            const QJsonArray row = rows[r].toArray();
            if (row.size() > fields.size())
                error(QStringLiteral("Standardzeile %1 hat %2 Werte, die Tabelle nur %3 Felder")
                          .arg(r + 1)
                          .arg(row.size())
                          .arg(fields.size()));
            QVariantList values;
            for (qsizetype c = 0; c < row.size(); ++c) {
                const auto value = fieldValue(row[c], fields[c]);
                if (!value)
                    error(QStringLiteral("Standardzeile %1: Wert %2 passt nicht in Feld %3")
                              .arg(r + 1)
                              .arg(describe(row[c]), fields[c].name));
                values.append(*value);
            }
            m_schema.defaultRows.append(values);
        }
    }

    void readFillIns() {
        const QJsonValue v = m_object.value(QLatin1String("fillin"));
        if (v.isUndefined())
            return;
        if (!v.isObject())
            error(QStringLiteral("\"fillin\" muss ein Objekt sein"));
        const QJsonObject fillIns = v.toObject();
        const QList<FieldDef>& fields = m_schema.def.fields;
        for (auto it = fillIns.begin(); it != fillIns.end(); ++it) {
            const qsizetype index = fieldIndex(fields, it.key());
            if (index < 0)
                error(
                    QStringLiteral("Ergänzungswert für das unbekannte Feld \"%1\"").arg(it.key()));
            const int number = int(index) + 1;
            for (const auto& [known, value] : m_schema.fillIns) {
                if (known == number)
                    error(QStringLiteral("Ergänzungswert für Feld %1 ist doppelt angegeben")
                              .arg(fields[index].name));
            }
            const auto value = fieldValue(it.value(), fields[index]);
            if (!value || value->isNull())
                error(QStringLiteral("Ergänzungswert %1 passt nicht in Feld %2")
                          .arg(describe(it.value()), fields[index].name));
            m_schema.fillIns.append({number, *value});
        }
        std::sort(m_schema.fillIns.begin(), m_schema.fillIns.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
    }

    QString m_file;
    QJsonObject m_object;
    TableSchema m_schema;
};

ForceRule forceRule(const QString& word, bool* ok) {
    *ok = true;
    if (word == QLatin1String("<240"))
        return ForceRule::BelowCurrentVersion;
    if (word == QLatin1String("always"))
        return ForceRule::Always;
    *ok = false;
    return ForceRule::BelowCurrentVersion;
}

RowsRule rowsRule(const QString& word, bool* ok) {
    static const std::pair<const char*, RowsRule> words[] = {
        {"copy", RowsRule::Copy},
        {"copy+fillin", RowsRule::CopyWithFillIn},
        {"defaults", RowsRule::Defaults},
        {"copy-else-defaults", RowsRule::CopyElseDefaults},
        {"defaults-then-user-forms", RowsRule::DefaultsThenUserForms},
    };
    for (const auto& [w, rule] : words) {
        if (word == QLatin1String(w)) {
            *ok = true;
            return rule;
        }
    }
    *ok = false;
    return RowsRule::Copy;
}

QList<CreationStep> readSteps(const QJsonObject& root, const char* key, const QString& fileName) {
    const QString list = QLatin1String(key);
    const QJsonValue v = root.value(list);
    if (!v.isArray())
        fail(fileName, {}, QStringLiteral("\"%1\" muss eine Liste sein").arg(list));
    QList<CreationStep> steps;
    QSet<QString> seen;
    const QJsonArray entries = v.toArray();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QJsonObject e = entries[i].toObject();
        const QString where = QStringLiteral("\"%1\", Eintrag %2").arg(list).arg(i + 1);
        if (!entries[i].isObject() || !e.value(QLatin1String("table")).isString() ||
            !e.value(QLatin1String("force")).isString() ||
            !e.value(QLatin1String("rows")).isString())
            fail(fileName, {}, where + QStringLiteral(": erwartet table, force und rows"));
        CreationStep step;
        step.table = e.value(QLatin1String("table")).toString();
        bool ok = false;
        step.force = forceRule(e.value(QLatin1String("force")).toString(), &ok);
        if (!ok)
            fail(fileName, step.table,
                 QStringLiteral("unbekannte Force-Regel \"%1\" in %2")
                     .arg(e.value(QLatin1String("force")).toString(), where));
        step.rows = rowsRule(e.value(QLatin1String("rows")).toString(), &ok);
        if (!ok)
            fail(fileName, step.table,
                 QStringLiteral("unbekannte Zeilen-Regel \"%1\" in %2")
                     .arg(e.value(QLatin1String("rows")).toString(), where));
        const QString key = TableLookupKey(step.table);
        if (seen.contains(key))
            fail(fileName, step.table, QStringLiteral("doppelt in \"%1\"").arg(list));
        seen.insert(key);
        steps.append(step);
    }
    return steps;
}

} // namespace

QList<TableSchema> ReadTableSchemas(const QByteArray& json, const QString& fileName) {
    const QJsonObject root = parseDocument(json, fileName).object();
    const QJsonValue tables = root.value(QLatin1String("tables"));
    if (!tables.isArray())
        fail(fileName, {}, QStringLiteral("\"tables\" muss eine Liste sein"));
    QList<TableSchema> result;
    for (const QJsonValue& t : tables.toArray()) {
        if (!t.isObject())
            fail(fileName, {}, QStringLiteral("jede Tabelle muss ein JSON-Objekt sein"));
        result.append(TableReader(fileName, t.toObject()).read());
    }
    return result;
}

CreationOrder ReadCreationOrder(const QByteArray& json, const QString& fileName) {
    const QJsonObject root = parseDocument(json, fileName).object();
    CreationOrder order;
    order.client = readSteps(root, "client", fileName);
    order.archive = readSteps(root, "archive", fileName);
    return order;
}

} // namespace dbstructure
