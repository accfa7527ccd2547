#include "datasafety/gui/tf_export.h"

#include "core/data/dbhelpers.h"
#include "core/data/timerworkpause.h"
#include "core/files/filedialogfilter.h"
#include "core/files/filehelpers.h"
#include "core/files/programdirs.h"
#include "core/gui/formstorage.h"
#include "core/gui/placement.h"
#include "core/gui/radiogroup.h"
#include "core/messages/manuals.h"
#include "core/messages/messages.h"
#include "core/settings/formplacement.h"
#include "datasafety/gui/interchangewindows.h"
#include "datasafety/gui/runwindow.h"
#include "datasafety/interchange/tableexport.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbnavigator.h"

#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <numeric>

using namespace Qt::StringLiterals;

namespace {

const QString kWorking = u"LumoDB"_s;
const QString kArchive = u"AblageDB"_s;
const QString kHeads = u"ExpKopf.DB"_s;
const QString kLines = u"ExpSatz.DB"_s;
const QString kNoDefinition =
    u"Legen Sie zuerst mit \"+\" im oberen Fenster eine Exportdefinition an!"_s;

// Runs a click's work; its errors are shown, never lost in the event loop.
template <typename Work> void guarded(Work work) {
    try {
        work();
    } catch (const Abort&) {
    } catch (const DbError& error) {
        ShowError(error.message());
    }
}

QTableWidget* makeList(const QStringList& titles, QWidget* parent) {
    auto* list = new QTableWidget(0, int(titles.size()), parent);
    list->setHorizontalHeaderLabels(titles);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->verticalHeader()->setVisible(false);
    list->verticalHeader()->setDefaultSectionSize(20);
    list->horizontalHeader()->setStretchLastSection(true);
    return list;
}

void setRow(QTableWidget* list, int row, const QStringList& cells) {
    for (int c = 0; c < cells.size(); ++c)
        list->setItem(row, c, new QTableWidgetItem(cells.at(c)));
}

// The shown name of a stored table: file name and upper-cased extension.
QStringList tableRow(const QString& stored) {
    const qsizetype dot = stored.lastIndexOf(u'.');
    const QString file = dot < 0 ? stored : stored.left(dot);
    const QString extension = dot < 0 ? u"DB"_s : stored.mid(dot + 1).toUpper();
    return {file + u'.' + extension, file, extension};
}

} // namespace

void SplitterPanel::setPanelHeight(int height) {
    auto* splitter = qobject_cast<QSplitter*>(parentWidget());
    if (!splitter || height <= 0)
        return;
    QList<int> sizes = splitter->sizes();
    const int index = splitter->indexOf(this);
    if (index < 0 || index >= sizes.size() || sizes.size() < 2)
        return;
    const int total = std::accumulate(sizes.cbegin(), sizes.cend(), 0);
    // The last part takes up the difference.
    const int last = int(sizes.size()) - 1;
    sizes[last] += sizes[index] - height;
    sizes[index] = height;
    if (sizes[last] < 80 && total > 0)
        return;
    splitter->setSizes(sizes);
}

TF_Export::TF_Export(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowMaximizeButtonHint) {
    setObjectName(u"TF_Export"_s);
    setWindowTitle(u"Datenbanken exportieren"_s);
    resize(1100, 600);

    const auto db = table::aliases::database(kWorking);
    m_heads = std::make_unique<table::Table>(db, kHeads);
    m_heads->addCalculatedField(u"EK_KopfText"_s, table::FieldType::String, 4);
    m_heads->onCalcFields += [](table::Table& t) {
        t.field(u"EK_KopfText"_s)
            .setValue(t.field(u"EK_Headline"_s).asBooleanOr(false) ? u"ja"_s : u"nein"_s);
    };
    m_heads->setIndexName(u"I_Bezeich"_s);
    m_heads->onNewRecord += [this](table::Table& t) { newDefinition(t); };
    m_heads->beforeDelete += [this](table::Table& t) { deleteLines(t); };
    m_heads->afterScroll += [this](table::Table&) { showDefinitionTable(); };
    m_lines = std::make_unique<table::Table>(db, kLines);
    m_lines->setIndexName(u"I_Ref"_s);
    m_lines->setMaster(m_heads.get(), {u"EK_ID"_s}, {u"ES_Ref"_s});
    m_lines->onNewRecord += [](table::Table& t) {
        t.field(u"ES_ID"_s).setValue(GetNextId(kWorking, kLines, u"ES_ID"_s));
    };

    m_headSource = new widgets::DataSource(*m_heads, this);
    m_lineSource = new widgets::DataSource(*m_lines, this);

    // The tables and their fields.
    Panel1 = new SplitterPanel(this);
    Panel1->setObjectName(u"Panel1"_s);
    RadioGroup1 = new RadioGroup(u"Datenbank-Auswahl"_s, Panel1);
    RadioGroup1->setObjectName(u"RadioGroup1"_s);
    RadioGroup1->addItem(u"Bewegungsdaten"_s);
    RadioGroup1->addItem(u"Ablagedaten"_s);
    DBGrid1 = makeList({u"Tabellen-Name"_s, u"FILENAME"_s, u"EXTENSION"_s}, Panel1);
    DBGrid1->setObjectName(u"DBGrid1"_s);
    DBGrid1->setColumnWidth(0, 150);
    DBGrid2 = makeList({u"Name"_s, u"Länge"_s, u"Typ"_s}, Panel1);
    DBGrid2->setObjectName(u"DBGrid2"_s);
    DBGrid2->setColumnWidth(0, 170);
    DBGrid2->setColumnWidth(1, 50);
    DBGrid2->setToolTip(u"Doppelklick: Feld in die aktuelle Definition aufnehmen"_s);
    auto* tablesTitle = new QLabel(u"Tabellen"_s, Panel1);
    auto* fieldsTitle = new QLabel(u"Felder (Doppelklick fügt das Feld hinzu)"_s, Panel1);
    auto* tablesBox = new QVBoxLayout;
    tablesBox->addWidget(tablesTitle);
    tablesBox->addWidget(DBGrid1, 1);
    auto* fieldsBox = new QVBoxLayout;
    fieldsBox->addWidget(fieldsTitle);
    fieldsBox->addWidget(DBGrid2, 1);
    auto* panel1Layout = new QHBoxLayout(Panel1);
    panel1Layout->setContentsMargins(0, 0, 0, 0);
    panel1Layout->addWidget(RadioGroup1, 0, Qt::AlignTop);
    panel1Layout->addLayout(tablesBox, 2);
    panel1Layout->addLayout(fieldsBox, 3);

    // The definitions.
    Panel6 = new SplitterPanel(this);
    Panel6->setObjectName(u"Panel6"_s);
    DBNavigator1 = new widgets::DbNavigator(*m_headSource, Panel6);
    DBNavigator1->setObjectName(u"DBNavigator1"_s);
    DBGrid3 = new widgets::DataGrid(*m_headSource, Panel6);
    DBGrid3->setObjectName(u"DBGrid3"_s);
    DBGrid3->setColumns({{u"EK_Bezeich"_s, u"Bezeichnung"_s, 30},
                         {u"EK_Separ"_s, u"Sep"_s, 4},
                         {u"EK_Delim"_s, u"Del"_s, 4},
                         {u"EK_ExpName"_s, u"Ausgabename"_s, 34},
                         {u"EK_KopfText"_s, u"Kopfzeile"_s, 8, true},
                         {u"EK_SourceFilter"_s, u"Filter-Anweisung"_s, 24},
                         {u"EK_Tablename"_s, u"Tabelle"_s, 14, true}});
    DBGrid3->setToolTip(u"Doppelklick auf \"Ausgabename\" wählt die Datei, auf \"Kopfzeile\" "
                        u"schaltet die Kopfzeile um"_s);
    auto* definitionsTitle = new QLabel(u"Exportdefinitionen (\"+\" legt eine neue für die "
                                        u"oben gewählte Tabelle an)"_s,
                                        Panel6);
    auto* panel6Layout = new QVBoxLayout(Panel6);
    panel6Layout->setContentsMargins(0, 0, 0, 0);
    auto* navigatorRow = new QHBoxLayout;
    navigatorRow->addWidget(DBNavigator1);
    navigatorRow->addWidget(definitionsTitle, 1);
    panel6Layout->addLayout(navigatorRow);
    panel6Layout->addWidget(DBGrid3, 1);

    // The lines of the current definition and the written file.
    auto* lower = new QWidget(this);
    DBNavigator2 = new widgets::DbNavigator(*m_lineSource, lower);
    DBNavigator2->setObjectName(u"DBNavigator2"_s);
    // Lines come from the field list; the navigator moves, deletes and posts.
    DBNavigator2->setButtonVisible(widgets::DbNavigator::Insert, false);
    DBGrid4 = new widgets::DataGrid(*m_lineSource, lower);
    DBGrid4->setObjectName(u"DBGrid4"_s);
    DBGrid4->setColumns({{u"ES_Sort"_s, u"Nr"_s, 4, true},
                         {u"ES_FieldName"_s, u"Feld"_s, 20, true},
                         {u"ES_Command"_s, u"Befehl"_s, 14},
                         {u"ES_Format"_s, u"Formatierung"_s, 14}});
    btnUp = new QPushButton(u"Nach oben"_s, lower);
    btnUp->setObjectName(u"btnUp"_s);
    btnDn = new QPushButton(u"Nach unten"_s, lower);
    btnDn->setObjectName(u"btnDn"_s);
    Memo1 = new QPlainTextEdit(lower);
    Memo1->setObjectName(u"Memo1"_s);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* linesBox = new QVBoxLayout;
    auto* linesRow = new QHBoxLayout;
    linesRow->addWidget(DBNavigator2);
    linesRow->addWidget(btnUp);
    linesRow->addWidget(btnDn);
    linesRow->addStretch(1);
    linesBox->addLayout(linesRow);
    linesBox->addWidget(DBGrid4, 1);
    auto* memoBox = new QVBoxLayout;
    memoBox->addWidget(new QLabel(u"Exportierte Datei"_s, lower));
    memoBox->addWidget(Memo1, 1);
    auto* lowerLayout = new QHBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addLayout(linesBox, 1);
    lowerLayout->addLayout(memoBox, 1);

    m_splitter = new QSplitter(Qt::Vertical, this);
    m_splitter->setObjectName(u"Splitter1"_s);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->addWidget(Panel1);
    m_splitter->addWidget(Panel6);
    m_splitter->addWidget(lower);
    m_splitter->setSizes({190, 160, 240});

    Button1 = new QPushButton(u"Ausführen"_s, this);
    Button1->setObjectName(u"Button1"_s);
    sbtnInfo = new QPushButton(u"&?Info?"_s, this);
    sbtnInfo->setObjectName(u"sbtnInfo"_s);
    btnClose = new QPushButton(u"Schließen"_s, this);
    btnClose->setObjectName(u"btnClose"_s);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(sbtnInfo);
    buttons->addStretch(1);
    buttons->addWidget(btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_splitter, 1);
    layout->addLayout(buttons);

    auto* storage = new FormStorage(this, kPlacementFile03, u"ExpFree"_s, 0);
    storage->setStoredProperties(
        {u"DBGrid3.Columns"_s, u"DBGrid4.Columns"_s, u"Panel1.Height"_s, u"Panel6.Height"_s});

    for (QRadioButton* button : RadioGroup1->findChildren<QRadioButton*>())
        connect(button, &QRadioButton::toggled, this, [this](bool on) {
            if (on && !m_listing)
                guarded([this] {
                    m_database.clear(); // a click reads the list again
                    selectDatabase(RadioGroup1->itemIndex());
                });
        });
    // A click or a move with the keys lists the table's fields.
    connect(DBGrid1, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (m_listing || row < 0 || !DBGrid1->item(row, 0))
            return;
        guarded([this, row] { listTable(DBGrid1->item(row, 0)->text()); });
    });
    connect(DBGrid2, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        guarded([this, row] { addField(DBGrid2->item(row, 0)->text()); });
    });
    connect(DBGrid3, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { guarded([&] { headCellDoubleClicked(index); }); });
    connect(DBGrid4, &QAbstractItemView::clicked, this,
            [this](const QModelIndex&) { selectLineField(); });
    connect(btnUp, &QPushButton::clicked, this, [this] { guarded([this] { moveLine(true); }); });
    connect(btnDn, &QPushButton::clicked, this, [this] { guarded([this] { moveLine(false); }); });
    connect(Button1, &QPushButton::clicked, this, [this] { guarded([this] { execute(); }); });
    connect(sbtnInfo, &QPushButton::clicked, this, [this] {
        guarded([] { ShowHandbuchPage(u"freier_export.html"_s); });
        sbtnInfo->setDown(false);
    });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);

    selectDatabase(0);
    m_heads->open();
    m_lines->open();
    m_heads->first();
}

TF_Export::~TF_Export() {
    // The widgets go before the sources they show, the sources before their tables.
    delete DBGrid3;
    delete DBGrid4;
    delete DBNavigator1;
    delete DBNavigator2;
    delete m_headSource;
    delete m_lineSource;
    m_lines.reset();
    m_heads.reset();
}

void TF_Export::selectDatabase(int index) {
    m_listing = true;
    RadioGroup1->setItemIndex(index == 1 ? 1 : 0);
    m_listing = false;
    const QString database = index == 1 ? kArchive : kWorking;
    // Moving between definitions of one database keeps its list.
    if (database == m_database && DBGrid1->rowCount() > 0)
        return;
    m_database = database;
    listTables();
}

void TF_Export::listTables() {
    const auto db = table::aliases::database(m_database);
    const QStringList names = db->tableNames();
    m_listing = true;
    DBGrid1->setRowCount(int(names.size()));
    for (int row = 0; row < names.size(); ++row)
        setRow(DBGrid1, row, tableRow(db->tableDef(names.at(row)).name));
    DBGrid1->setCurrentCell(-1, -1);
    m_listing = false;
    DBGrid2->setRowCount(0);
    m_table.clear();
}

void TF_Export::listTable(const QString& tableName) {
    const auto db = table::aliases::database(m_database);
    const table::TableDef def = db->tableDef(tableName);
    m_table = def.name;
    DBGrid2->setRowCount(int(def.fields.size()));
    for (int row = 0; row < def.fields.size(); ++row) {
        const table::FieldDef& f = def.fields.at(row);
        setRow(DBGrid2, row,
               {f.name, f.size > 0 ? QString::number(f.size) : QString(), ExportTypeName(f.type)});
    }
    const QString shown = tableRow(m_table).first();
    for (int row = 0; row < DBGrid1->rowCount(); ++row)
        if (DBGrid1->item(row, 0)->text().compare(shown, Qt::CaseInsensitive) == 0) {
            m_listing = true;
            DBGrid1->setCurrentCell(row, 0);
            m_listing = false;
            DBGrid1->scrollToItem(DBGrid1->item(row, 0));
            break;
        }
}

void TF_Export::showDefinitionTable() {
    if (!m_heads->isOpen() || m_heads->state() == table::TableState::Insert)
        return;
    const QString tableName = m_heads->field(u"EK_Tablename"_s).asString();
    if (tableName.isEmpty())
        return;
    const QString database = m_heads->field(u"EK_Databasename"_s).asString();
    const int index =
        database.compare(kWorking, Qt::CaseInsensitive) == 0 || database.isEmpty() ? 0 : 1;
    guarded([&] {
        selectDatabase(index);
        if (table::aliases::database(m_database)->exists(tableName))
            listTable(tableName);
    });
}

void TF_Export::newDefinition(table::Table& heads) {
    // The table list is read again; the listed fields stay.
    const QString listed = m_table;
    listTables();
    if (!listed.isEmpty())
        listTable(listed);
    // Before any table was listed a new definition refers to the company table.
    const QString tableName = m_table.isEmpty() ? u"Firmen.DB"_s : m_table;
    heads.field(u"EK_ID"_s).setValue(GetNextId(kWorking, kHeads, u"EK_ID"_s));
    heads.field(u"EK_Separ"_s).setValue(u";"_s);
    heads.field(u"EK_Delim"_s).setValue(u"\""_s);
    heads.field(u"EK_Tablename"_s).setValue(tableName);
    heads.field(u"EK_Databasename"_s).setValue(m_table.isEmpty() ? kWorking : m_database);
    heads.field(u"EK_Bezeich"_s)
        .setValue(NewExportDescription(m_table.isEmpty() ? kWorking : m_database, tableName));
    heads.field(u"EK_ExpName"_s).setValue(NewExportFileName(ImExDir, tableName));
    heads.field(u"EK_Headline"_s).setValue(false);
}

void TF_Export::deleteLines(table::Table& heads) {
    const int id = heads.field(u"EK_ID"_s).asIntegerOr(0);
    // The lines go first; one that cannot be deleted does not keep the head.
    try {
        table::Table rows(heads.sharedDatabase(), kLines);
        rows.setIndexName(u"I_Ref"_s);
        rows.open();
        rows.setRange({id}, {id});
        rows.first();
        while (!rows.eof() && !rows.isEmpty()) {
            try {
                rows.deleteRecord();
            } catch (const DbError&) {
                rows.next();
            }
        }
    } catch (const DbError&) {
    }
    m_lines->refresh();
}

void TF_Export::postHead() {
    DBGrid3->commitEdit();
    if (m_heads->isEditing())
        m_heads->post();
}

void TF_Export::addField(const QString& fieldName) {
    postHead();
    if (m_heads->isEmpty()) {
        ShowError(kNoDefinition);
        return;
    }
    const QString definitionTable = m_heads->field(u"EK_Tablename"_s).asString();
    const QString definitionDatabase = m_heads->field(u"EK_Databasename"_s).asString();
    if ((m_database + u'|' + m_table).toUpper() !=
        (definitionDatabase + u'|' + definitionTable).toUpper()) {
        ShowError(u"Sie können Felder unterschiedlicher Tabellen\rnicht in dieselbe "
                  u"Exportdefinition aufnehmen!\r\rFür die aktuelle Definition sind Felder "
                  u"aus\rder Tabelle \"%1\" erforderlich.\r\rUm Felder der Tabelle \"%2\" zu "
                  u"exportieren\rmüssen Sie eine neue Exportdefinition anlegen!\rClicken Sie "
                  u"dazu auf \"+\" im oberen Fenster!"_s.arg(definitionTable, m_table));
        return;
    }
    const auto db = table::aliases::database(m_database);
    const table::TableDef def = db->tableDef(m_table);
    int type = 0;
    for (const table::FieldDef& f : def.fields)
        if (f.name == fieldName)
            type = ExportTypeNumber(f.type);
    const int id = m_heads->field(u"EK_ID"_s).asIntegerOr(0);
    int sort = 0;
    {
        table::Table rows(m_heads->sharedDatabase(), kLines);
        rows.setIndexName(u"I_Ref"_s);
        rows.open();
        rows.setRange({id}, {id});
        rows.last();
        if (!rows.isEmpty())
            sort = rows.field(u"ES_Sort"_s).asIntegerOr(0);
    }
    DBGrid4->commitEdit();
    if (m_lines->isEditing())
        m_lines->post();
    m_lines->append();
    try {
        m_lines->field(u"ES_FieldName"_s).setValue(fieldName);
        m_lines->field(u"ES_Type"_s).setValue(type);
        m_lines->field(u"ES_Sort"_s).setValue(sort + 1);
        m_lines->post();
    } catch (...) {
        m_lines->cancel();
        throw;
    }
}

void TF_Export::moveLine(bool up) {
    DBGrid4->commitEdit();
    if (m_lines->isEditing())
        m_lines->post();
    MoveExportLine(*m_lines, up);
    m_lineSource->notifyViewChanged();
    DBGrid4->followCursor();
}

void TF_Export::selectLineField() {
    if (!m_lines->isOpen() || m_lines->isEmpty())
        return;
    const QString field = m_lines->field(u"ES_FieldName"_s).asString();
    for (int row = 0; row < DBGrid2->rowCount(); ++row)
        if (DBGrid2->item(row, 0)->text() == field) {
            DBGrid2->selectRow(row);
            DBGrid2->scrollToItem(DBGrid2->item(row, 0));
            return;
        }
}

void TF_Export::headCellDoubleClicked(const QModelIndex& index) {
    const QString field = DBGrid3->gridModel().fieldAt(index.column());
    if (field == u"EK_ExpName"_s)
        chooseOutputFile();
    else if (field == u"EK_KopfText"_s || field == u"EK_Headline"_s)
        toggleHeadline();
}

void TF_Export::chooseOutputFile() {
    if (m_heads->isEmpty())
        return;
    QFileDialog dialog(this, QString(), m_heads->field(u"EK_ExpName"_s).asString());
    dialog.setObjectName(u"SaveDialog1"_s);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(u"txt"_s);
    dialog.setNameFilters(QtNameFilters(u"Textdateien(.asc;.txt;.csv)|*.asc;*.txt;*.csv"_s));
    dialog.selectFile(m_heads->field(u"EK_ExpName"_s).asString());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    if (!m_heads->isEditing())
        m_heads->edit();
    m_heads->field(u"EK_ExpName"_s).setValue(dialog.selectedFiles().first());
    m_heads->post();
}

void TF_Export::toggleHeadline() {
    if (m_heads->isEmpty())
        return;
    if (!m_heads->isEditing())
        m_heads->edit();
    m_heads->field(u"EK_Headline"_s).setValue(!m_heads->field(u"EK_Headline"_s).asBooleanOr(false));
    m_heads->post();
}

void TF_Export::execute() {
    postHead();
    DBGrid4->commitEdit();
    if (m_lines->isEditing())
        m_lines->post();
    Memo1->clear();
    // Without a definition there is nothing to run; say how to make one.
    if (m_heads->isEmpty()) {
        ShowError(kNoDefinition);
        return;
    }
    const int id = m_heads->field(u"EK_ID"_s).asIntegerOr(0);
    bool written = false;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        struct Restore {
            ~Restore() { QApplication::restoreOverrideCursor(); }
        } restore;
        written = RunTableExport(kWorking, u"ExpKopf.db"_s, u"ExpSatz.db"_s, id);
    }
    // Only a file this run wrote is shown, never an older one of the same name.
    if (!written)
        return;
    QStringList text;
    const QString output = m_heads->field(u"EK_ExpName"_s).asString();
    if (!ReadTextDataFile(output, text))
        throw DbError(u"Die Datei %1 kann nicht gelesen werden."_s.arg(output));
    Memo1->setPlainText(text.join(u'\n'));
}

void OpenExportForm() {
    TimerWorkPause pause;
    TF_Export form;
    if (const QWidget* main = MainForm()) {
        const QRect frame = main->frameGeometry();
        MoveOnScreen(form, frame.left(), frame.top() + frame.height());
    } else {
        MoveOnScreen(form, -1, -1);
    }
    form.exec();
}
