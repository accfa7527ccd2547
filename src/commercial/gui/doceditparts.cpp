#include "commercial/gui/doceditparts.h"

#include "commercial/documents/documentediting.h"
#include "commercial/documents/documentservices.h"
#include "commercial/documents/documentsupport.h"
#include "commercial/documents/linerules.h"
#include "commercial/gui/documentpickers.h"
#include "commercial/gui/tf_docedit.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/data/printforms.h"
#include "core/messages/messages.h"
#include "masterdata/dialogs/pickers.h"
#include "platform/table/table.h"

using namespace Qt::StringLiterals;
using table::Table;
using widgets::FieldKind;

int EditorLeft(const TF_DocEdit& form, int dx) {
    return form.frameGeometry().left() + dx;
}

int EditorTop(const TF_DocEdit& form, int dy) {
    return form.frameGeometry().top() + dy;
}

int ChooseOtherObjekt(TF_DocEdit& form) {
    const int current = FieldInt(form.head(), QStringLiteral("R_ObjektNr"));
    const int nr =
        SelectObjekt(current, 340, EditorLeft(form, 40), EditorTop(form, 140), form.sortField());
    return nr == current ? 0 : nr;
}

int LineInt(TF_DocEdit& form, const QString& field) {
    return form.hasLines() ? FieldInt(form.lines(), field) : 0;
}

int LinePosTyp(TF_DocEdit& form) {
    return form.hasLines() ? FieldInt(form.lines(), u"S_PosTyp"_s, 4) : 4;
}

TDocField DocFieldOf(const QString& caption, const QString& name, int width, DocPick pick,
                     bool address) {
    TDocField f;
    f.decl.caption = caption;
    f.decl.field = name;
    f.decl.width = width;
    f.pick = std::move(pick);
    f.addressMenu = address;
    return f;
}

TDocField SameLine(TDocField f) {
    f.decl.sameLine = true;
    return f;
}

TDocField ReadOnlyField(TDocField f) {
    f.decl.readOnly = true;
    return f;
}

TDocField Hinted(TDocField f, const QString& hint) {
    f.decl.hint = hint;
    return f;
}

QList<TDocField> Grouped(const QString& group, QList<TDocField> fields) {
    for (TDocField& f : fields)
        f.decl.group = group;
    return fields;
}

TDocField PrintFormNameField(DocPick pick) {
    TDocField printName = SameLine(DocFieldOf({}, u"PrintFormName"_s, 0, std::move(pick)));
    printName.decl.kind = FieldKind::Display;
    printName.decl.display = [](Table& head) {
        return GetPrintFormComment(FieldInt(head, u"R_PrintFormNo"_s));
    };
    return printName;
}

TDocField KostartNameField() {
    TDocField kostartName = SameLine(DocFieldOf({}, u"KostartName"_s));
    kostartName.decl.kind = FieldKind::Display;
    kostartName.decl.display = [](Table& lines) {
        const int nr = FieldInt(lines, u"S_ErloesKonto"_s);
        return nr == 0 ? QString() : GetKostartText(nr, {});
    };
    return kostartName;
}

QList<TDocField> ObjectAddressGroup(DocPick pickObjekt) {
    return Grouped(u"Objekt / Rechnungsanschrift"_s,
                   {Hinted(DocFieldOf(u"&Objekt"_s, u"R_ObjektNr"_s, 6, std::move(pickObjekt)),
                           u"Auswahl: Doppelclick"_s),
                    SameLine(DocFieldOf({}, u"R_OMatch"_s)),
                    DocFieldOf(u"Name &1"_s, u"R_OName1"_s, 0, {}, true),
                    DocFieldOf(u"Name &2"_s, u"R_OName2"_s, 0, {}, true),
                    DocFieldOf(u"Name &3"_s, u"R_OName3"_s, 0, {}, true),
                    DocFieldOf(u"&Straße"_s, u"R_OStrasse"_s, 0, {}, true),
                    DocFieldOf(u"&Plz/Ort"_s, u"R_OPlz"_s, 5, {}, true),
                    SameLine(DocFieldOf({}, u"R_OOrt"_s, 0, {}, true)),
                    DocFieldOf(u"Langbez."_s, u"R_Memo"_s, 0, {}, true)});
}

QList<TDocField> DocumentSumsFooter() {
    return Grouped(u"Netto/Mwst"_s,
                   {ReadOnlyField(DocFieldOf(u"ohne"_s, u"R_Netto0"_s, 9)),
                    SameLine(ReadOnlyField(DocFieldOf({}, u"R_Mwst0"_s, 8))),
                    ReadOnlyField(DocFieldOf(u"voll"_s, u"R_Netto1"_s, 9)),
                    SameLine(ReadOnlyField(DocFieldOf({}, u"R_Mwst1"_s, 8))),
                    ReadOnlyField(DocFieldOf(u"halb"_s, u"R_Netto2"_s, 9)),
                    SameLine(ReadOnlyField(DocFieldOf({}, u"R_Mwst2"_s, 8))),
                    ReadOnlyField(DocFieldOf(u"Netto"_s, u"R_Netto"_s, 9)),
                    SameLine(ReadOnlyField(DocFieldOf(u"Brutto"_s, u"R_Brutto"_s, 9)))});
}

QList<TDocAction> HeadAddressActions() {
    QList<TDocAction> actions;
    for (const THeadAddressCommand& command : HeadAddressCommands(true))
        actions.append(
            {command.caption, [run = command.run](TF_DocEdit& form) { run(form.head()); }});
    return actions;
}

void PickZahlbed(TF_DocEdit& form, QWidget&) {
    PickZahlbedIntoHead(form.head(), EditorLeft(form, 200), EditorTop(form, 200));
}

void PickBetreuer(TF_DocEdit& form, QWidget& editor) {
    PickBetreuerIntoField(&editor, form.head().field(u"R_Betreuer"_s));
}

void PickKostart(TF_DocEdit& form) {
    const int nr = SelectKostart(LineInt(form, u"S_ErloesKonto"_s), 400, EditorLeft(form, 40),
                                 EditorTop(form, 80), form.sortField());
    SetLineErloesKonto(form.lines(), nr);
}

void PickLineVatRate(TF_DocEdit& form) {
    Table& lines = form.lines();
    int code = LineInt(form, u"S_MwstKz"_s);
    double rate = form.hasLines() ? FieldFloat(lines, u"S_Mwst"_s) : 0.0;
    QString shortText, longText;
    if (!PickVatRate(code, rate, shortText, longText, EditorLeft(form, 40), EditorTop(form, 140)))
        return;
    EnsureEditOrInsert(lines);
    lines[u"S_MwstKz"_s] = code;
}

void PickLineUnit(TF_DocEdit& form) {
    Table& lines = form.lines();
    const QString current = form.hasLines() ? FieldText(lines, u"S_MengBez"_s) : QString();
    const QString chosen =
        SelectMengBez(current, 240, EditorLeft(form, 200), EditorTop(form, 140), form.sortField());
    if (chosen == current)
        return;
    EnsureEditOrInsert(lines);
    CancelEditOnError(lines, [&] {
        lines[u"S_MengBez"_s] = chosen;
        lines.post();
    });
}

void PickLineArtikel(TF_DocEdit& form, bool ofObject) {
    const int start = LinePosTyp(form) == 0 ? LineInt(form, u"S_MatID"_s) : 0;
    const int objId =
        ofObject ? form.state().value(DocEditObjektId).toInt() : GetArtikelObjId(start);
    const int id = SelectArtikel(start, objId, 400, EditorLeft(form, 40), EditorTop(form, 80),
                                 form.sortField());
    if (id == 0 || id == start)
        return;
    if (!FillLineFromArtikel(form.lines(), id))
        ShowError(DbEntryNotFoundText);
}

void PickLineTaetigkeit(TF_DocEdit& form) {
    const int start = LinePosTyp(form) == 1 ? LineInt(form, u"S_MatID"_s) : 0;
    const QString search = form.hasLines() ? FieldText(form.lines(), u"S_Kurztext"_s) : QString();
    const int id = SelectTaetigByID(start, 400, EditorLeft(form, 40), EditorTop(form, 80), search,
                                    form.sortField());
    if (id == 0 || id == start)
        return;
    if (!FillLineFromTaetigkeit(form.lines(), id))
        ShowError(DbEntryNotFoundText);
}

void PickLineFremdleistung(TF_DocEdit& form) {
    const int start = LinePosTyp(form) == 2 ? LineInt(form, u"S_RefID"_s) : 0;
    const int id = SelectFremdleistung(start, form.state().value(DocEditObjektId).toInt(), 400,
                                       EditorLeft(form, 40), EditorTop(form, 80), form.sortField());
    if (id == 0 || id == start)
        return;
    if (!FillLineFromFremdleistung(form.lines(), id)) {
        ShowError(DbEntryNotFoundText);
        return;
    }
    RecalcDocumentSums(form.lines(), form.head());
}

void PickOfLineType(TF_DocEdit& form) {
    switch (LinePosTyp(form)) {
    case 1:
        PickLineTaetigkeit(form);
        break;
    case 2:
        PickLineFremdleistung(form);
        break;
    default:
        PickLineArtikel(form, false);
    }
}

void RememberSpecialPrice(TF_DocEdit& form) {
    if (!AskYesNo(u"Artikelpreis als Sonderpreis in Objekt-Artikeldatei eintragen?"_s))
        return;
    Table& lines = form.lines();
    if (lines.isEditing())
        lines.post();
    SetObjektArtikelPreis(FieldInt(lines, u"S_MatID"_s), FieldFloat(lines, u"S_EPreis"_s));
}
