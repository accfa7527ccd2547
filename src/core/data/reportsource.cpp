#include "core/data/reportsource.h"

QString ReportDatabaseName = QStringLiteral("LumoDB");
int RgPrintSource = RgSourceInvoices;

ReportDatabaseScope::ReportDatabaseScope(const QString& alias) {
    ReportDatabaseName = alias;
}

ReportDatabaseScope::~ReportDatabaseScope() {
    ReportDatabaseName = QStringLiteral("LumoDB");
}

RgPrintSourceScope::RgPrintSourceScope(int source) {
    RgPrintSource = source;
}

RgPrintSourceScope::~RgPrintSourceScope() {
    RgPrintSource = RgSourceInvoices;
}
