#include "core/data/reportsource.h"

QString ReportDatabaseName = QStringLiteral("LumoDB");
int RgPrintSource = RgSourceInvoices;

ReportDatabaseScope::ReportDatabaseScope(const QString& alias) : m_previous(ReportDatabaseName) {
    ReportDatabaseName = alias;
}

ReportDatabaseScope::~ReportDatabaseScope() {
    ReportDatabaseName = m_previous;
}

RgPrintSourceScope::RgPrintSourceScope(int source) : m_previous(RgPrintSource) {
    RgPrintSource = source;
}

RgPrintSourceScope::~RgPrintSourceScope() {
    RgPrintSource = m_previous;
}
