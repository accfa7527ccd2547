#pragma once

// What every print and preview button does: obtain a print form of its form
// type, decide whether it may print, and call the report's entry with the
// layout path. The variants differ only in where the form id comes from and
// how it is tested. A cancelled choice prints nothing; a type of which the
// client has no user print form at all is no cancel: it prints with the
// type's shipped layout, and nothing is written into the client.

#include <QString>
#include <functional>

enum class PrintVariant {
    A,  // chosen (ChoosePrintForm); prints when of the type
    A2, // chosen near a control (ChoosePrintFormForField without a field); as A
    C,  // chosen; prints when the form exists
    D,  // the document's stored form when of the type, else chosen into its field; as A
    D2, // the document's stored form when of the type, else the type's first user form
    E,  // print runs: the stored form when it exists, else the type's first user form;
       // previews: chosen, then as print runs
    F, // chosen beforehand in an options window; prints when of the type
    G, // chosen; prints when an id was chosen at all
};

struct PrintButton {
    PrintVariant variant = PrintVariant::A;
    int formType = 0;
    // D, D2: the head's stored form id; E print runs: the object's; F: the
    // id of the options window.
    int storedId = 0;
    bool printRun = false; // E: a print run (stored id), else a preview (choice)
};

// The choices a button may show; the window supplies them.
struct PrintFormChoosers {
    // ChoosePrintForm(type, 0, window left + 100, window top + 140)
    std::function<int(int formType)> choose;
    // ChoosePrintFormForField(control or none, field or none, type, store)
    std::function<int(int formType)> chooseForField;
};

struct PrintLayout {
    enum class Kind {
        None,    // nothing prints
        Form,    // the layout file of a print form
        Shipped, // the type's shipped layout, read-only
    };
    Kind kind = Kind::None;
    int formId = 0;

    bool prints() const { return kind != Kind::None; }
    // LayoutFilePath of the form; empty for the shipped layout.
    QString layoutPath() const;

    static PrintLayout none() { return {}; }
    static PrintLayout form(int id) { return {Kind::Form, id}; }
    static PrintLayout shipped() { return {Kind::Shipped, 0}; }
};

// Steps 1 and 2 of the protocol.
PrintLayout ResolvePrintLayout(const PrintButton& button, const PrintFormChoosers& choosers);

// A document of a run over marked documents (variant D): its own stored form
// when of the type, else the layout settled once for the run.
PrintLayout DocumentPrintLayout(int storedId, int formType, const PrintLayout& runLayout);

// Steps 1 to 4: the entry is called with the layout path when something prints.
void RunPrintButton(const PrintButton& button, const PrintFormChoosers& choosers,
                    const std::function<void(const QString& layoutPath)>& entry);
