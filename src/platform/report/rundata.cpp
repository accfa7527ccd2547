#include "platform/report/rundata.h"

#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

namespace report {

using table::FieldType;

namespace {

FieldType fieldTypeOfWord(const QString& word) {
    static const QHash<QString, FieldType> types = {
        {QStringLiteral("String"), FieldType::String},
        {QStringLiteral("Smallint"), FieldType::Smallint},
        {QStringLiteral("Integer"), FieldType::Integer},
        {QStringLiteral("Float"), FieldType::Float},
        {QStringLiteral("Currency"), FieldType::Currency},
        {QStringLiteral("Boolean"), FieldType::Boolean},
        {QStringLiteral("Date"), FieldType::Date},
        {QStringLiteral("Time"), FieldType::Time},
        {QStringLiteral("DateTime"), FieldType::DateTime},
        {QStringLiteral("Memo"), FieldType::Memo},
    };
    return types.value(word, FieldType::String);
}

QString cacheKey(const QVariantList& values) {
    QString key;
    for (const QVariant& v : values) {
        key += v.isNull() ? QStringLiteral("\x01") : v.toString();
        key += u'\x1f';
    }
    return key;
}

} // namespace

struct RunData::Source {
    DatasetDef def;
    std::unique_ptr<table::Table> cursor;
    bool blank = false;
    struct Lookup {
        LookupDef def;
        std::unique_ptr<table::Table> cursor;
        std::vector<int> keyFields; // field index, or -1 - earlier lookup index
        FieldType type = FieldType::String;
        QHash<QString, QVariant> cache;
    };
    std::vector<Lookup> lookups;

    int fieldIndex(const QString& name) const {
        for (int i = 0; i < cursor->fieldCount(); ++i) {
            if (cursor->field(i).name().compare(name, Qt::CaseInsensitive) == 0)
                return i;
        }
        for (size_t i = 0; i < lookups.size(); ++i) {
            if (lookups[i].def.name.compare(name, Qt::CaseInsensitive) == 0)
                return -1 - int(i);
        }
        return INT_MIN;
    }
};

RunData::RunData(const ReportDefinition& def, CalcHandler calc) : m_reportDataset(def.dataset) {
    // Masters open before their details.
    QList<DatasetDef> pending = def.datasets;
    while (!pending.isEmpty()) {
        bool progress = false;
        for (int i = 0; i < pending.size(); ++i) {
            const DatasetDef& d = pending[i];
            if (!d.master.isEmpty() && sourceIndex(d.master) < 0)
                continue;
            auto s = std::make_unique<Source>();
            s->def = d;
            s->cursor = std::make_unique<table::Table>(table::aliases::database(d.alias), d.table);
            s->cursor->setReadOnly(true);
            for (const CalcFieldDef& f : d.calculated)
                s->cursor->addCalculatedField(f.name, fieldTypeOfWord(f.type), f.size);
            if (!d.onCalcFields.isEmpty() && calc) {
                const QString hook = d.onCalcFields;
                s->cursor->onCalcFields += [calc, hook](table::Table& t) { calc(hook, t); };
            }
            if (!d.index.isEmpty())
                s->cursor->setIndexName(d.index);
            if (!d.filter.trimmed().isEmpty()) {
                s->cursor->setFilter(d.filter);
                s->cursor->setFiltered(d.filtered);
            }
            if (!d.master.isEmpty())
                s->cursor->setMaster(m_sources[size_t(sourceIndex(d.master))]->cursor.get(),
                                     d.masterFields, d.detailFields);
            s->cursor->open();
            if (d.hasRange)
                s->cursor->setRange({d.rangeFrom}, {d.rangeTo});
            for (const LookupDef& l : d.lookups) {
                Source::Lookup lookup;
                lookup.def = l;
                lookup.cursor = std::make_unique<table::Table>(
                    table::aliases::database(l.alias.isEmpty() ? d.alias : l.alias), l.table);
                lookup.cursor->setReadOnly(true);
                lookup.cursor->open();
                for (const QString& k : l.lookupKeys)
                    lookup.cursor->field(k); // the table layer names a missing field
                lookup.type = lookup.cursor->field(l.resultField).type();
                for (const QString& k : l.keyFields) {
                    const int index = s->fieldIndex(k);
                    if (index == INT_MIN)
                        throw DbError(QStringLiteral("Feld '%1' nicht gefunden.").arg(k));
                    lookup.keyFields.push_back(index);
                }
                s->lookups.push_back(std::move(lookup));
            }
            m_sources.push_back(std::move(s));
            pending.removeAt(i--);
            progress = true;
        }
        if (!progress)
            throw DbError(
                QStringLiteral("Die Datenmengen des Berichts sind ringförmig verknüpft."));
    }
    for (auto& s : m_sources)
        s->cursor->first();
}

RunData::~RunData() {
    // Details close before their masters.
    for (auto it = m_sources.rbegin(); it != m_sources.rend(); ++it) {
        for (auto& l : (*it)->lookups)
            l.cursor.reset();
        (*it)->cursor.reset();
    }
}

int RunData::sourceIndex(const QString& dataset) const {
    for (size_t i = 0; i < m_sources.size(); ++i) {
        if (m_sources[i]->def.name.compare(dataset, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

bool RunData::hasDataset(const QString& name) const {
    return sourceIndex(name) >= 0;
}

table::Table& RunData::cursor(const QString& dataset) {
    const int i = sourceIndex(dataset);
    if (i < 0)
        throw DbError(
            QStringLiteral("Die Datenmenge \"%1\" gibt es im Bericht nicht.").arg(dataset));
    return *m_sources[size_t(i)]->cursor;
}

int RunData::resolve(const QString& dataset, const QString& field) {
    const QString name = dataset.isEmpty() ? m_reportDataset : dataset;
    const QString key = name.toLower() + u'\n' + field.toLower();
    auto it = m_refIds.constFind(key);
    if (it != m_refIds.constEnd())
        return *it;
    const int source = sourceIndex(name);
    if (source < 0)
        throw DbError(QStringLiteral("Die Datenmenge \"%1\" gibt es im Bericht nicht.").arg(name));
    const int index = m_sources[size_t(source)]->fieldIndex(field);
    if (index == INT_MIN)
        throw DbError(QStringLiteral("Das Feld \"%1\" gibt es in der Datenmenge %2 nicht.")
                          .arg(field, m_sources[size_t(source)]->def.name));
    m_refs.push_back({source, index});
    m_refIds.insert(key, int(m_refs.size()) - 1);
    return int(m_refs.size()) - 1;
}

int RunData::resolveAny(const QString& dataset, const QString& field) {
    if (!dataset.isEmpty())
        return resolve(dataset, field);
    QStringList order;
    if (!m_reportDataset.isEmpty())
        order.append(m_reportDataset);
    for (const auto& s : m_sources)
        order.append(s->def.name);
    for (const QString& name : order) {
        if (m_sources[size_t(sourceIndex(name))]->fieldIndex(field) != INT_MIN)
            return resolve(name, field);
    }
    throw DbError(QStringLiteral("Das Feld \"%1\" gibt es im Bericht nicht.").arg(field));
}

QVariant RunData::rawValue(Source& s, int field) {
    if (field < 0)
        return lookupValue(s, -1 - field);
    return s.cursor->field(field).value();
}

QVariant RunData::lookupValue(Source& s, int index) {
    Source::Lookup& l = s.lookups[size_t(index)];
    QVariantList key;
    for (const int f : l.keyFields) {
        const QVariant v = rawValue(s, f);
        if (v.isNull())
            return {};
        key.append(v);
    }
    const QString k = cacheKey(key);
    auto it = l.cache.constFind(k);
    if (it != l.cache.constEnd())
        return *it;
    const QVariant v = l.cursor->lookup(l.def.lookupKeys, key, l.def.resultField);
    l.cache.insert(k, v);
    return v;
}

QVariant RunData::value(int id) {
    const Ref& r = m_refs[size_t(id)];
    Source& s = *m_sources[size_t(r.source)];
    if (s.blank || s.cursor->isEmpty())
        return {};
    return rawValue(s, r.field);
}

FieldType RunData::type(int id) const {
    const Ref& r = m_refs[size_t(id)];
    const Source& s = *m_sources[size_t(r.source)];
    if (r.field < 0)
        return s.lookups[size_t(-1 - r.field)].type;
    return s.cursor->field(r.field).type();
}

void RunData::setBlank(const QString& dataset, bool blank) {
    const int i = sourceIndex(dataset);
    if (i >= 0)
        m_sources[size_t(i)]->blank = blank;
}

} // namespace report
