#include "masterdata/gui/detailgridpage.h"

#include "core/data/datamodule.h"
#include "core/data/tablelinks.h"
#include "masterdata/gui/listformdecl.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/rowreader.h"

#include <QVBoxLayout>

using namespace Qt::StringLiterals;

void FollowMasterRows(widgets::DataSource& source, table::Table& master,
                      const QStringList& masterFields, const QStringList& detailFields) {
    source.rows().setSetup([&master, masterFields, detailFields](table::Table& reader) {
        reader.setMaster(&master, masterFields, detailFields);
    });
}

void FollowSharedMasterRows(widgets::DataSource& source, const QString& detailObject) {
    SharedTableLink link;
    if (!FindSharedTableLink(detailObject, link))
        throw DbError(u"Die Tabelle %1 ist keiner anderen untergeordnet."_s.arg(detailObject));
    FollowMasterRows(source, DataModule1().table(link.master), link.masterFields,
                     link.detailFields);
}

DetailGridPage::DetailGridPage(const GridPageDecl& decl, table::Table& master, QWidget* parent)
    : QWidget(parent), m_title(decl.title), m_openWhileShown(decl.openWhileShown) {
    if (decl.source == TableSource::Own) {
        m_own = std::make_unique<table::Table>(table::aliases::database(u"LumoDB"_s), decl.table);
        m_own->setReadOnly(true);
        if (!decl.index.isEmpty())
            m_own->setIndexName(decl.index);
        m_own->setMaster(&master, decl.masterFields, decl.detailFields);
        m_table = m_own.get();
    } else {
        m_table = &DataModule1().table(decl.table);
    }
    m_source = std::make_unique<widgets::DataSource>(*m_table);
    if (m_own)
        FollowMasterRows(*m_source, master, decl.masterFields, decl.detailFields);
    else
        FollowSharedMasterRows(*m_source, decl.table);
    m_grid = new widgets::DataGrid(*m_source, this);
    m_grid->setObjectName(decl.gridName);
    QList<widgets::GridColumn> columns = decl.columns;
    for (widgets::GridColumn& c : columns)
        c.readOnly = true;
    m_grid->setColumns(columns);
    if (decl.rowBrush)
        m_grid->gridModel().setRowBrush(
            [this, brush = decl.rowBrush](int row) { return brush(m_source->rows(), row); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grid);
    if (m_own && !m_openWhileShown)
        m_own->open();
}

DetailGridPage::~DetailGridPage() {
    // The grid reads through the source, the source through the table.
    delete m_grid;
    m_source.reset();
}

void DetailGridPage::pageShown() {
    if (m_own && m_openWhileShown && !m_own->isOpen())
        m_own->open();
}

void DetailGridPage::pageHidden() {
    if (m_own && m_openWhileShown && m_own->isOpen())
        m_own->close();
}

QBrush SettledItemBrush(widgets::RowReader& rows, int row) {
    return rows.value(row, u"O_Erledigt"_s).toBool() ? QBrush(QColor(0x66, 0xEE, 0x66))
                                                     : QBrush(Qt::white);
}
