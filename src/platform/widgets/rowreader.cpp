#include "platform/widgets/rowreader.h"

#include "platform/table/table.h"

#include <QDebug>

namespace widgets {

RowReader::RowReader(table::Table& source) : m_source(source), m_blocks(64) {}

RowReader::~RowReader() = default;

void RowReader::setSetup(std::function<void(table::Table&)> setup) {
    m_setup = std::move(setup);
    m_reader.reset();
    m_valid = false;
}

void RowReader::invalidate() {
    m_valid = false;
}

void RowReader::release() {
    m_reader.reset();
    m_blocks.clear();
    m_count = 0;
    m_valid = false;
}

QString RowReader::signature() const {
    return QStringList{m_source.tableName(), m_source.indexName(), m_source.filter(),
                       m_source.isFiltered() ? QStringLiteral("1") : QStringLiteral("0"),
                       QString::number(quintptr(m_source.master()))}
        .join(QChar(0));
}

void RowReader::rebuild() {
    m_reader.reset();
    // The source keeps the database alive for as long as the reader exists (a
    // data source dies before its table), so the reader need not own it.
    std::shared_ptr<table::Database> db(std::shared_ptr<void>(), m_source.database());
    auto reader = std::make_unique<table::Table>(std::move(db), m_source.tableName());
    for (int i = 0; i < m_source.fieldCount(); ++i) {
        const table::Field& f = m_source.field(i);
        if (f.isCalculated())
            reader->addCalculatedField(f.name(), f.type(), f.size());
    }
    // Calculated fields and display texts come from the source's own handlers,
    // which work on the table they are given.
    reader->onCalcFields = m_source.onCalcFields;
    reader->setReadOnly(true);
    if (!m_source.indexName().isEmpty())
        reader->setIndexName(m_source.indexName());
    reader->setFilter(m_source.filter());
    reader->setFiltered(m_source.isFiltered());
    // A detail shows the rows of its master's current record.
    if (m_source.master())
        reader->setMaster(m_source.master(), m_source.masterFields(), m_source.detailFields());
    if (m_setup)
        m_setup(*reader);
    reader->open();
    for (int i = 0; i < m_source.fieldCount(); ++i)
        if (table::Field* f = reader->findField(m_source.field(i).name()))
            f->onGetText = m_source.field(i).onGetText;
    m_reader = std::move(reader);
    m_signature = signature();
}

void RowReader::ensure() {
    if (m_valid)
        return;
    m_blocks.clear();
    if (!m_source.isOpen()) {
        m_reader.reset();
        m_count = 0;
        m_valid = true;
        return;
    }
    if (!m_reader || !m_reader->isOpen() || m_signature != signature())
        rebuild();
    else
        m_reader->refresh();
    m_count = m_reader->recordCount();
    m_valid = true;
    // A view the reader could not copy (a range, a filter function or a master
    // link without a setup) shows other rows than the table: say so loudly.
    if (!m_source.isEditing() && m_count != m_source.recordCount())
        qWarning("RowReader: %s shows %d rows, its table %d; the view needs a setup function",
                 qPrintable(m_source.tableName()), m_count, m_source.recordCount());
}

int RowReader::rowCount() {
    ensure();
    return m_count;
}

const RowReader::Block& RowReader::block(int row) {
    ensure();
    if (row < 0 || row >= m_count)
        throw DbError(QStringLiteral("Zeile %1 liegt außerhalb der Tabelle %2.")
                          .arg(row + 1)
                          .arg(m_source.tableName()));
    const int first = row - row % kBlockRows;
    if (const Block* cached = m_blocks.object(first))
        return *cached;
    auto fresh = std::make_unique<Block>();
    const int last = std::min(first + kBlockRows, m_count);
    const int fields = m_reader->fieldCount();
    m_reader->setRecNo(first + 1);
    for (int r = first; r < last && !m_reader->eof(); ++r) {
        QVariantList values;
        QStringList texts;
        values.reserve(fields);
        texts.reserve(fields);
        for (int i = 0; i < fields; ++i) {
            const table::Field& f = m_reader->field(i);
            values.append(f.value());
            texts.append(f.text());
        }
        fresh->values.append(values);
        fresh->texts.append(texts);
        fresh->rowIds.append(m_reader->bookmark().rowId);
        m_reader->next();
    }
    Block* stored = fresh.release();
    m_blocks.insert(first, stored);
    return *stored;
}

int RowReader::fieldIndex(const QString& field) {
    ensure();
    const table::Field* f = m_reader ? m_reader->findField(field) : nullptr;
    if (!f)
        throw DbError(QStringLiteral("Feld %1 der Tabelle %2 nicht gefunden.")
                          .arg(field, m_source.tableName()));
    return f->index();
}

QVariant RowReader::value(int row, const QString& field) {
    const Block& b = block(row);
    const int offset = row % kBlockRows;
    return offset < b.values.size() ? b.values[offset].value(fieldIndex(field)) : QVariant();
}

QString RowReader::text(int row, const QString& field) {
    const Block& b = block(row);
    const int offset = row % kBlockRows;
    return offset < b.texts.size() ? b.texts[offset].value(fieldIndex(field)) : QString();
}

qint64 RowReader::rowId(int row) {
    const Block& b = block(row);
    const int offset = row % kBlockRows;
    return offset < b.rowIds.size() ? b.rowIds[offset] : 0;
}

} // namespace widgets
