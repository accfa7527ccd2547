#pragma once

// One report object: a working copy of a definition that a layout and the
// caller change (captions, enabled, geometry, datasets, printer) before it is
// run, plus the hooks the caller installs by name. Each print makes it anew
// from the definition, so nothing accumulates from one print to the next.
//
//   auto rep = report::Report::create("TQRKundList01");
//   rep->component("L_Lager").caption = "[Lager3]";
//   rep->datasetDef("TabList").index = "K_IMatch";
//   rep->hooks().onPrint("AmountPrint", [](report::RunContext&, report::ControlPrint& p) {...});
//   const report::Document doc = report::paginate(*rep);   // data errors raise here
//   report::showPreview(doc, *rep, parent);                 // or printDocument / writePdf

#include "platform/report/reportdef.h"

#include <QHash>
#include <functional>
#include <memory>

namespace table {
class Table;
}

namespace report {

class RunContext;

// Where and how a print goes.
struct PrintSettings {
    int printerIndex = -1; // in the system's printer list; outside it: the current printer
    int bin = 0;           // paper bin 0..13, First to Last
    int copies = 1;
    bool showProgress = true; // the "Druckfortschritt" window
};

// A control about to print; an on-print hook may change the text, the font
// style and the colours, or keep the control from printing this time.
struct ControlPrint {
    const Component& control;
    QVariant value; // the field's or expression's value; invalid for labels
    QString text;
    FontSpec font;
    QColor color;
    bool transparent = true;
    bool print = true;
};

class Hooks {
public:
    using PassHook = std::function<void(RunContext&)>;
    using BeforeBandHook = std::function<bool(RunContext&, Component& band)>; // false: skip
    using AfterBandHook = std::function<void(RunContext&, Component& band)>;
    using PrintHook = std::function<void(RunContext&, ControlPrint&)>;
    using CalcHook = std::function<void(RunContext&, table::Table&)>;

    void onPass(const QString& name, PassHook hook) {
        m_pass.insert(name.toLower(), std::move(hook));
    }
    void beforeBand(const QString& name, BeforeBandHook hook) {
        m_before.insert(name.toLower(), std::move(hook));
    }
    void afterBand(const QString& name, AfterBandHook hook) {
        m_after.insert(name.toLower(), std::move(hook));
    }
    void onPrint(const QString& name, PrintHook hook) {
        m_print.insert(name.toLower(), std::move(hook));
    }
    void onCalcFields(const QString& name, CalcHook hook) {
        m_calc.insert(name.toLower(), std::move(hook));
    }

    const PassHook* pass(const QString& name) const { return find(m_pass, name); }
    const BeforeBandHook* before(const QString& name) const { return find(m_before, name); }
    const AfterBandHook* after(const QString& name) const { return find(m_after, name); }
    const PrintHook* print(const QString& name) const { return find(m_print, name); }
    const CalcHook* calc(const QString& name) const { return find(m_calc, name); }

private:
    template <typename H> static const H* find(const QHash<QString, H>& map, const QString& name) {
        if (name.isEmpty())
            return nullptr;
        auto it = map.constFind(name.toLower());
        return it == map.constEnd() ? nullptr : &*it;
    }
    QHash<QString, PassHook> m_pass;
    QHash<QString, BeforeBandHook> m_before;
    QHash<QString, AfterBandHook> m_after;
    QHash<QString, PrintHook> m_print;
    QHash<QString, CalcHook> m_calc;
};

class Report {
public:
    explicit Report(std::shared_ptr<const ReportDefinition> definition);
    // From the registered definitions (addReportDirectory); raises when unknown.
    static std::unique_ptr<Report> create(const QString& className);

    const ReportDefinition& original() const { return *m_original; }
    ReportDefinition& def() { return m_def; }
    const ReportDefinition& def() const { return m_def; }

    // Components and datasets by name, without regard to case.
    Component* find(const QString& name);
    const Component* find(const QString& name) const;
    Component& component(const QString& name); // raises DbError when missing
    DatasetDef& datasetDef(const QString& name);

    PrintSettings& printSettings() { return m_print; }
    const PrintSettings& printSettings() const { return m_print; }
    Hooks& hooks() { return m_hooks; }
    const Hooks& hooks() const { return m_hooks; }

private:
    std::shared_ptr<const ReportDefinition> m_original;
    ReportDefinition m_def;
    PrintSettings m_print;
    Hooks m_hooks;
};

} // namespace report
