#include "masterdata/gui/docforms.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/files/filedialogfilter.h"
#include "core/files/programdirs.h"
#include "core/messages/messages.h"
#include "core/settings/formplacement.h"
#include "masterdata/dialogs/pickers.h"
#include "masterdata/dialogs/pickertable.h"
#include "masterdata/documentrows.h"
#include "masterdata/documenttargets.h"
#include "masterdata/gui/tableformactions.h"
#include "masterdata/gui/tf_tableform.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>

using namespace Qt::StringLiterals;
using widgets::FieldDecl;
using widgets::FieldKind;

namespace {

const QString kTargetLabel = u"lbTarget"_s;
const QString kNoTarget = u"....."_s;

DocFileDialogs& dialogs() {
    static DocFileDialogs installed;
    return installed;
}

QString chooseFile(QWidget* parent, const QString& directory, const QString& fileName,
                   const QString& filters) {
    if (dialogs().openFile)
        return dialogs().openFile(parent, directory, fileName, filters);
    return QFileDialog::getOpenFileName(parent, u"Dokument auswählen"_s,
                                        QDir(directory).filePath(fileName), filters);
}

int ownerNumber(const DocFamilyRow& row) {
    table::Table& owner = DataModule1().table(row.ownerTable);
    return owner.isOpen() ? FieldInt(owner, row.ownerNrField) : 0;
}

void transferKdDoc(TF_TableForm& form) {
    const int objektNr = SelectObjektOfKunde(0, FieldInt(DataModule1().TabKunden(), u"K_Nr"_s), 400,
                                             form.x(), form.y() + 64, QString());
    TransferKdDocToObjekt(form.table(), objektNr);
}

void transferObjDoc(TF_TableForm& form) {
    TransferObjDocToKunde(form.table(), FieldInt(DataModule1().TabObjekt(), u"O_Kunde"_s));
}

void chooseDocFolder(TF_TableForm& form) {
    table::Table& t = form.table();
    QString start = WithoutFinalSeparator(FieldText(t, u"OD_Filename"_s));
    if (!QFileInfo(start).isDir())
        start = ProgramDir;
    const QString folder = ChooseDocFolder(&form, start);
    if (folder.isEmpty())
        return;
    EnsureEditOrInsert(t);
    t[u"OD_Path"_s] = QString();
    t[u"OD_Filename"_s] = folder;
}

void chooseDocFile(TF_TableForm& form) {
    table::Table& t = form.table();
    const QString path = FieldText(t, u"OD_Path"_s);
    const QString name = FieldText(t, u"OD_Filename"_s);
    const QString chosen =
        chooseFile(&form, WithoutFinalSeparator(path), name.isEmpty() ? u"*.*"_s : name,
                   QtFilterString(DocMaskToFilter(FieldText(t, u"OD_Mask"_s))));
    if (chosen.isEmpty())
        return;
    const QFileInfo file(chosen);
    EnsureEditOrInsert(t);
    t[u"OD_Path"_s] = WithFinalSeparator(file.absolutePath());
    t[u"OD_Filename"_s] = file.fileName();
}

// The label of the last target; "....." while the list has the focus.
void addTargetLabel(TF_TableForm& form) {
    auto* label = new QLabel(kNoTarget, &form);
    label->setObjectName(kTargetLabel);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form.bottomRow().insertWidget(form.bottomRow().count() - 2, label, 1);
    QObject::connect(qApp, &QApplication::focusChanged, label,
                     [label, grid = &form.grid()](QWidget*, QWidget* now) {
                         if (now == grid)
                             label->setText(kNoTarget);
                     });
}

} // namespace

const QList<DocFamilyRow>& DocFamily() {
    static const QList<DocFamilyRow> rows = {
        {u"TF_KdDoku"_s, u"TabKdDV"_s, u"TabKunden"_s, u"K_Nr"_s, u"Kunde"_s, u"DocKdVerw"_s,
         u"Satz an Objekt übergeben"_s, &transferKdDoc},
        {u"TF_ObjDoku"_s, u"TabObjDV"_s, u"TabObjekt"_s, u"O_Nr"_s, u"Objekt"_s, u"DocObjVerw"_s,
         u"Satz an Kunden übergeben"_s, &transferObjDoc},
        {u"TF_PersDoku"_s, u"TabPersDV"_s, u"TabPersonal"_s, u"P_Nr"_s, u"Mitarbeiter"_s,
         u"DocPersVerw"_s, QString(), nullptr},
    };
    return rows;
}

const DocFamilyRow& DocFamilyMember(const QString& formClass) {
    for (const DocFamilyRow& row : DocFamily())
        if (row.formClass == formClass)
            return row;
    throw DbError(u"Unbekanntes Dokumentenformular: "_s + formClass);
}

void ChooseDocGroup(TF_TableForm& form) {
    table::Table& t = form.table();
    PickerCall call;
    call.start = FieldInt(t, u"OD_GrID"_s);
    call.gridHeight = 400;
    call.left = form.x() + 40;
    call.top = form.y() + 80;
    const PickerOutcome outcome = RunPicker(PickerRowNamed(u"SelectDvGroup"_s), call);
    if (!outcome.chosen)
        return;
    const int id = outcome.value.toInt();
    DvGroup group;
    GetDvGroup(id, group);
    ApplyDvGroup(t, id, group);
    form.source().notifyRecordChanged();
}

void EditDocTarget(TF_TableForm& form) {
    const int type = FieldInt(form.table(), u"OD_Type"_s);
    if (type == DocMail || type == DocWeb || type == DocFtp)
        ShowInfo(DocAddressHint(type));
    else if (type == DocFolder || type == DocExplore)
        chooseDocFolder(form);
    else
        chooseDocFile(form);
    form.source().notifyRecordChanged();
}

void OpenDocumentOfRow(TF_TableForm& form) {
    table::Table& t = form.table();
    const QString target = BuildDocTarget(t);
    if (auto* label = form.findChild<QLabel*>(kTargetLabel))
        label->setText(target);
    if (target.isEmpty())
        return;
    const int result = OpenDocTarget(target, FieldInt(t, u"OD_Type"_s) == DocExplore);
    if (result <= 32)
        ShowError(DocOpenErrorText(result, target));
}

void CorrectDocFolder(TF_TableForm& form) {
    table::Table& t = form.table();
    QString oldFolder;
    if (!DocRowFolder(t, oldFolder))
        return;
    const int type = FieldInt(t, u"OD_Type"_s);
    const QString newFolder = ChooseDocFolder(&form, WithoutFinalSeparator(oldFolder));
    if (newFolder.isEmpty() || WithoutFinalSeparator(newFolder) == WithoutFinalSeparator(oldFolder))
        return;
    // Asked before anything is written, so that the rows change together.
    const bool all = AskYesNo(u"Alle Einträge mit gleichem Pfad korrigieren?"_s);
    {
        widgets::ControlsDisabled quiet(form.source());
        if (type == DocFile)
            CorrectDocPaths(t, oldFolder, newFolder, all);
        else
            CorrectDocFolders(t, oldFolder, newFolder, all);
    }
    form.source().notifyViewChanged();
}

TableFormDecl DocFormDecl(const DocFamilyRow& row) {
    TableFormDecl d;
    d.formClass = row.formClass;
    d.caption = u"Dokumenten-Verwaltung"_s;
    d.source = TableSource::Shared;
    d.table = row.table;
    d.gridName = u"DBGrid1"_s;
    d.columns = {{u"OD_Gruppe"_s, u"Gruppe"_s, 18},
                 {u"OD_Date"_s, u"Datum"_s, 10},
                 {u"OD_Kurztext"_s, u"Kurztext"_s, 30},
                 {u"OD_Filename"_s, u"Dateiname"_s, 30}};
    d.columnActions = {{u"OD_Gruppe"_s, &ChooseDocGroup},
                       CalendarColumn(u"OD_Date"_s, 122, 128, true, CalendarCancel::Nothing),
                       {u"OD_Kurztext"_s, &OpenDocumentOfRow},
                       {u"OD_Filename"_s, &EditDocTarget}};
    d.titleSort = TitleSort::ByField;
    d.initialSortField = u"OD_Gruppe"_s;
    d.fields = {
        {.caption = u"Maske"_s, .field = u"OD_Mask"_s, .width = 30},
        {.caption = u"Präfix"_s, .field = u"OD_Prefix"_s, .width = 20},
        {.caption = u"Suffix"_s, .field = u"OD_Suffix"_s, .width = 30},
        {.caption = u"Pfad"_s,
         .field = u"OD_Path"_s,
         .pick =
             [](QWidget& editor) {
                 if (auto* form = qobject_cast<TF_TableForm*>(editor.window()))
                     CorrectDocFolder(*form);
             }},
        {.caption = u"Kommentar"_s, .field = u"OD_Comment"_s, .kind = FieldKind::RichText},
    };
    d.openTables = {u"TabDvGroups"_s};
    if (row.transfer)
        d.contextMenu = {{row.transferCaption, row.transfer}};
    d.helpPage = u"fremddokumente.html"_s;
    d.minimumSize = {760, 560};
    d.placement = {kPlacementFile01, row.section, {u"DBGrid1.Columns"_s}};
    d.askSaveOnClose = true;
    d.setup = [row](TF_TableForm& form) {
        form.setWindowTitle(
            u"Dokumenten-Verwaltung  [%1 %2]"_s.arg(row.word).arg(ownerNumber(row)));
        addTargetLabel(form);
    };
    return d;
}

void ShowKdDokuForm() {
    OpenTableForm(DocFormDecl(DocFamilyMember(u"TF_KdDoku"_s)));
}

void ShowObjDokuForm() {
    OpenTableForm(DocFormDecl(DocFamilyMember(u"TF_ObjDoku"_s)));
}

void ShowPersDokuForm() {
    OpenTableForm(DocFormDecl(DocFamilyMember(u"TF_PersDoku"_s)));
}

QString ChooseDocFolder(QWidget* parent, const QString& directory) {
    if (dialogs().folder)
        return dialogs().folder(parent, directory);
    return QFileDialog::getExistingDirectory(parent, u"Verzeichnis auswählen"_s, directory);
}

DocFileDialogs SetDocFileDialogs(DocFileDialogs installed) {
    DocFileDialogs previous = std::move(dialogs());
    dialogs() = std::move(installed);
    return previous;
}
