#include "commercial/invoicing/invoiceprintrun.h"

#include "commercial/billing/invoicetemplates.h"
#include "commercial/companysettings.h"
#include "commercial/invoicing/invoicebooking.h"
#include "commercial/invoicing/invoicemarks.h"
#include "commercial/invoicing/invoicerunhooks.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/layoutfiles.h"
#include "core/data/printforms.h"
#include "core/messages/messages.h"
#include "platform/table/table.h"

using table::Table;

namespace {

constexpr int kInvoiceFormType = 10000;
constexpr int kInvoiceKind = 2;

bool cancelled(const TInvoiceRunHooks& hooks) {
    return hooks.cancelled && hooks.cancelled();
}

void show(const std::function<void(const QString&)>& target, const QString& text) {
    if (target)
        target(text);
}

void print(const TInvoiceRunHooks& hooks, Table& head, bool numberMask) {
    if (hooks.printInvoice)
        hooks.printInvoice(FieldInt(head, QStringLiteral("R_ID")), numberMask,
                           InvoiceLayoutFile(head));
}

void pause(const TInvoiceRunHooks& hooks, int seconds, bool cancellable) {
    if (seconds > 0 && hooks.pause)
        hooks.pause(seconds, cancellable);
}

void countCopy(Table& head) {
    CancelEditOnError(head, [&] {
        head.edit();
        head.field(QStringLiteral("R_Drucke"))
            .setValue(FieldInt(head, QStringLiteral("R_Drucke")) + 1);
        head.post();
    });
}

// Prints the copies of the current invoice; true when all were printed.
bool printCopies(const TInvoiceRunHooks& hooks, Table& head, int pauseSeconds) {
    const int copies = CopiesForInvoice(FieldInt(head, QStringLiteral("R_ObjektNr")),
                                        FieldText(head, QStringLiteral("R_ANr")));
    for (int copy = 1; copy <= copies; ++copy) {
        if (cancelled(hooks))
            return false;
        show(hooks.showCopy, QStringLiteral("Kopie %1 von %2 wird gedruckt").arg(copy).arg(copies));
        print(hooks, head, false);
        countCopy(head);
        if (cancelled(hooks))
            return copy == copies;
        pause(hooks, pauseSeconds, true);
    }
    return true;
}

QString printedText(int printed, int count) {
    return QStringLiteral("%1 von %2 Rechnungen gedruckt").arg(printed).arg(count);
}

void reportPrinted(int printed) {
    ShowInfo(QStringLiteral("Es wurden %1 Datensätze gedruckt.").arg(printed));
}

} // namespace

int InvoicePrintForm(Table& head) {
    const int form = FieldInt(head, QStringLiteral("R_PrintFormNo"));
    return SameFormType(form, kInvoiceFormType) ? form : DefaultPrintFormOfKind(kInvoiceKind);
}

QString InvoiceLayoutFile(Table& head) {
    const int form = InvoicePrintForm(head);
    return form == 0 ? QString() : LayoutFilePath(form);
}

void PrintMarkedInvoices(TDataModule1& dm, const TInvoiceRunHooks& hooks) {
    Table& head = dm.TabRechKopf();
    OpenForCall opened(head);
    const int count = CountMarkedInvoices();
    if (count == 0)
        return;
    show(hooks.showCounter, printedText(0, count));
    const int pauseSeconds = CompanyInt(dm, QStringLiteral("F_Printwait"));
    TInvoiceRunOrder order(head);
    int printed = 0;
    for (int id : MarkedInvoiceIds(head)) {
        if (!LocateInvoice(head, id))
            continue;
        if (printCopies(hooks, head, pauseSeconds)) {
            SetInvoiceMark(head, false);
            ++printed;
            show(hooks.showCounter, printedText(printed, count));
        }
        if (cancelled(hooks))
            break;
    }
    order.restore();
    RefreshUnlessEditing(head);
    opened.close();
    reportPrinted(printed);
}

void BookAndPrintMarkedInvoices(TDataModule1& dm, const TInvoiceRunHooks& hooks) {
    if (BookMarkedInvoices(dm, hooks))
        PrintMarkedInvoices(dm, hooks);
}

void TestPrintMarkedInvoices(TDataModule1& dm, const TInvoiceRunHooks& hooks) {
    if (!AskYesNo(QStringLiteral("Probeausdruck:\r\r") +
                  InvoicePrintQuestion(CountMarkedInvoices())))
        return;
    Table& head = dm.TabRechKopf();
    OpenForCall opened(head);
    const int pauseSeconds = CompanyInt(dm, QStringLiteral("F_Printwait"));
    int printed = 0;
    for (int id : MarkedInvoiceIds(head)) {
        if (!LocateInvoice(head, id))
            continue;
        print(hooks, head, true);
        SetInvoiceMark(head, false);
        ++printed;
        pause(hooks, pauseSeconds, false);
    }
    opened.close();
    reportPrinted(printed);
}
