#pragma once

#include <QString>

// Which database the document and control-report prints read: "LumoDB"
// normally, "AblageDB" while an archive view is open.
extern QString ReportDatabaseName;

// Which table pair the invoice print reads: 0 invoices, 1 open items,
// 2 invoice templates, 3 the "Srgkopf.db"/"Srgsatz.db" pair. The incoming-invoice
// print reads the incoming invoices for 0 and the open ones for any other value.
extern int RgPrintSource;

enum RgPrintSourceValue {
    RgSourceInvoices = 0,
    RgSourceOpenItems = 1,
    RgSourceTemplates = 2,
    RgSourceSrg = 3
};

// The two settings are changed only through these scopes: each sets its value
// for its lifetime and puts back the value it found on every way out, so an
// error in an archive view or a template list never leaves later prints
// reading the archive or the templates, and a nested scope hands its
// caller's value back rather than the default.
class ReportDatabaseScope {
public:
    explicit ReportDatabaseScope(const QString& alias);
    ~ReportDatabaseScope();
    ReportDatabaseScope(const ReportDatabaseScope&) = delete;
    ReportDatabaseScope& operator=(const ReportDatabaseScope&) = delete;

private:
    QString m_previous;
};

class RgPrintSourceScope {
public:
    explicit RgPrintSourceScope(int source);
    ~RgPrintSourceScope();
    RgPrintSourceScope(const RgPrintSourceScope&) = delete;
    RgPrintSourceScope& operator=(const RgPrintSourceScope&) = delete;

private:
    int m_previous;
};
