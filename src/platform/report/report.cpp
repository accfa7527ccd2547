#include "platform/report/report.h"

#include "platform/errors.h"
#include "platform/report/reportreader.h"

namespace report {

Report::Report(std::shared_ptr<const ReportDefinition> definition)
    : m_original(std::move(definition)), m_def(*m_original) {}

std::unique_ptr<Report> Report::create(const QString& className) {
    return std::make_unique<Report>(reportDefinition(className));
}

Component* Report::find(const QString& name) {
    for (Component& c : m_def.components) {
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

const Component* Report::find(const QString& name) const {
    return const_cast<Report*>(this)->find(name);
}

Component& Report::component(const QString& name) {
    if (Component* c = find(name))
        return *c;
    throw DbError(
        QStringLiteral("Der Bericht %1 hat kein Element \"%2\".").arg(m_def.className, name));
}

DatasetDef& Report::datasetDef(const QString& name) {
    for (DatasetDef& d : m_def.datasets) {
        if (d.name.compare(name, Qt::CaseInsensitive) == 0)
            return d;
    }
    throw DbError(
        QStringLiteral("Der Bericht %1 hat keine Datenmenge \"%2\".").arg(m_def.className, name));
}

} // namespace report
