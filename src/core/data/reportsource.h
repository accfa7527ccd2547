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

// Sets ReportDatabaseName for its lifetime and puts "LumoDB" back on every
// way out, so an error in an archive view never leaves later prints reading
// the archive.
class ReportDatabaseScope {
public:
    explicit ReportDatabaseScope(const QString& alias);
    ~ReportDatabaseScope();
    ReportDatabaseScope(const ReportDatabaseScope&) = delete;
    ReportDatabaseScope& operator=(const ReportDatabaseScope&) = delete;
};

// Sets RgPrintSource for its lifetime and puts 0 back on every way out.
class RgPrintSourceScope {
public:
    explicit RgPrintSourceScope(int source);
    ~RgPrintSourceScope();
    RgPrintSourceScope(const RgPrintSourceScope&) = delete;
    RgPrintSourceScope& operator=(const RgPrintSourceScope&) = delete;
};
