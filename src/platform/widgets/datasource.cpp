#include "platform/widgets/datasource.h"

#include "platform/table/table.h"
#include "platform/widgets/rowreader.h"
#include "platform/widgets/userprompts.h"

#include <QHash>

namespace widgets {

// The table's events cannot be detached, so each table gets one set of
// handlers, shared by all its data sources: forms that come and go leave no
// handlers behind. Only the handlers own the hub: it ends with the table's
// events, so a new table object at the same address gets a hub of its own.
struct DataSource::Hub {
    QList<DataSource*> sources;

    // A source may die while another one's widgets react.
    template <typename Action> void each(Action action) {
        const QList<DataSource*> current = sources;
        for (DataSource* s : current)
            if (sources.contains(s))
                action(*s);
    }
};

namespace {

QString viewSignature(table::Table& t) {
    return QStringList{t.indexName(), t.filter(),
                       t.isFiltered() ? QStringLiteral("1") : QStringLiteral("0")}
        .join(QChar(0));
}

} // namespace

std::shared_ptr<DataSource::Hub> DataSource::hubOf(table::Table& t) {
    static QHash<table::Table*, std::weak_ptr<Hub>> hubs;
    if (auto hub = hubs.value(&t).lock())
        return hub;
    for (auto it = hubs.begin(); it != hubs.end();)
        it = it->expired() ? hubs.erase(it) : std::next(it);
    auto hub = std::make_shared<Hub>();
    hubs.insert(&t, hub);
    using Member = void (DataSource::*)();
    auto on = [hub](Member member) {
        return [hub, member](table::Table&) {
            hub->each([member](DataSource& s) { s.deliver(member); });
        };
    };
    const Member whole = &DataSource::notifyViewChanged;
    const Member state = &DataSource::stateChanged;
    const Member scroll = &DataSource::scrolled;
    t.afterOpen += on(whole);
    t.afterPost += on(whole);
    t.afterDelete += on(whole);
    t.afterCancel += on(whole);
    t.afterEdit += on(state);
    t.afterInsert += on(state);
    t.afterScroll += on(scroll);
    t.afterClose += [hub](table::Table&) {
        hub->each([](DataSource& s) {
            s.m_rows->release();
            s.deliver(&DataSource::notifyViewChanged);
        });
    };
    return hub;
}

DataSource::DataSource(table::Table& table, QObject* parent)
    : QObject(parent), m_table(table), m_rows(std::make_unique<RowReader>(table)) {
    m_viewSignature = viewSignature(table);
    const auto hub = hubOf(table);
    hub->sources.append(this);
    m_hub = hub;
}

DataSource::~DataSource() {
    if (const auto hub = m_hub.lock())
        hub->sources.removeAll(this);
}

void DataSource::deliver(void (DataSource::*member)()) {
    if (m_disabled > 0) {
        m_missed = true;
        return;
    }
    (this->*member)();
}

void DataSource::disableControls() {
    ++m_disabled;
}

void DataSource::enableControls() {
    if (m_disabled == 0 || --m_disabled > 0 || !m_missed)
        return;
    m_missed = false;
    notifyViewChanged();
}

TableControlsDisabled::TableControlsDisabled(table::Table& table) {
    for (DataSource* source : DataSource::hubOf(table)->sources) {
        source->disableControls();
        m_sources.emplace_back(source);
    }
}

TableControlsDisabled::~TableControlsDisabled() {
    for (const QPointer<DataSource>& source : m_sources)
        if (source)
            source->enableControls();
}

void DataSource::scrolled() {
    // first() after a change of index, filter, range or master record is the
    // table's way of showing a new view; an ordinary move keeps the rows.
    const QString signature = viewSignature(m_table);
    if (signature != m_viewSignature ||
        (m_table.isOpen() && m_table.bof() && !m_table.isEditing())) {
        notifyViewChanged();
        return;
    }
    Q_EMIT recordChanged();
}

void DataSource::setRightsCheck(RightsCheck check) {
    m_rights = std::move(check);
    Q_EMIT stateChanged();
}

bool DataSource::mayEdit() const {
    return m_table.isOpen() && !m_table.isReadOnly() && (!m_rights || m_rights(EditAction::Edit));
}

bool DataSource::mayInsert() const {
    return m_table.isOpen() && !m_table.isReadOnly() && (!m_rights || m_rights(EditAction::Insert));
}

bool DataSource::mayDelete() const {
    return m_table.isOpen() && !m_table.isReadOnly() && (!m_rights || m_rights(EditAction::Delete));
}

namespace {

[[noreturn]] void refuse(const table::Table& t, const QString& what) {
    if (t.isReadOnly())
        throw DbError(QStringLiteral("Die Tabelle %1 ist schreibgeschützt.").arg(t.tableName()));
    throw DbError(QStringLiteral("Sie haben keine Berechtigung, %1.").arg(what));
}

} // namespace

void DataSource::startEdit() {
    if (m_table.isEditing())
        return;
    if (!m_table.isOpen())
        throw DbError(
            QStringLiteral("Die Tabelle %1 ist nicht geöffnet.").arg(m_table.tableName()));
    // An empty view has nothing to change: the table starts a new record.
    const bool inserting = m_table.isEmpty();
    if (inserting ? !mayInsert() : !mayEdit())
        refuse(m_table, inserting ? QStringLiteral("Datensätze anzulegen")
                                  : QStringLiteral("Datensätze zu ändern"));
    m_table.edit();
}

void DataSource::insert() {
    if (!mayInsert())
        refuse(m_table, QStringLiteral("Datensätze anzulegen"));
    m_table.insert();
}

void DataSource::deleteRecord() {
    if (!mayDelete())
        refuse(m_table, QStringLiteral("Datensätze zu löschen"));
    if (m_deleteGuard)
        m_deleteGuard();
    else if (!askYesNo(nullptr, QStringLiteral("Datensatz löschen?")))
        throw Abort{};
    m_table.deleteRecord();
}

void DataSource::refresh() {
    if (m_table.isOpen())
        m_table.refresh();
    notifyViewChanged();
}

void DataSource::notifyRecordChanged() {
    Q_EMIT recordChanged();
}

void DataSource::notifyViewChanged() {
    m_rows->invalidate();
    m_viewSignature = viewSignature(m_table);
    Q_EMIT viewChanged();
    Q_EMIT stateChanged();
    Q_EMIT recordChanged();
}

} // namespace widgets
