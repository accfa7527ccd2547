#include "platform/widgets/dbnavigator.h"

#include "platform/table/table.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/userprompts.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

namespace widgets {

namespace {

struct ButtonLook {
    QStyle::StandardPixmap icon;
    const char* symbol; // shown when the style has no icon
    const char* hint;
};

const ButtonLook kLooks[DbNavigator::ButtonCount] = {
    {QStyle::SP_MediaSkipBackward, "|<", "Erster Datensatz"},
    {QStyle::SP_MediaSeekBackward, "<", "Vorheriger Datensatz"},
    {QStyle::SP_MediaSeekForward, ">", "Nächster Datensatz"},
    {QStyle::SP_MediaSkipForward, ">|", "Letzter Datensatz"},
    {QStyle::SP_FileDialogNewFolder, "+", "Datensatz einfügen"},
    {QStyle::SP_TrashIcon, "-", "Datensatz löschen"},
    {QStyle::SP_FileDialogDetailedView, "^", "Datensatz bearbeiten"},
    {QStyle::SP_DialogApplyButton, "\u2713", "Änderungen speichern"},
    {QStyle::SP_DialogCancelButton, "x", "Bearbeitung abbrechen"},
    {QStyle::SP_BrowserReload, "\u21bb", "Daten aktualisieren"},
};

} // namespace

DbNavigator::DbNavigator(DataSource& source, QWidget* parent) : QWidget(parent), m_source(&source) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    for (int i = 0; i < ButtonCount; ++i) {
        auto* b = new QToolButton(this);
        const QIcon icon = style()->standardIcon(kLooks[i].icon);
        if (icon.isNull())
            b->setText(QString::fromUtf8(kLooks[i].symbol));
        else
            b->setIcon(icon);
        b->setToolTip(QString::fromUtf8(kLooks[i].hint));
        b->setAccessibleName(b->toolTip());
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, [this, i] { click(Button(i)); });
        layout->addWidget(b);
        m_buttons[i] = b;
    }
    layout->addStretch();
    setDataSource(source);
}

void DbNavigator::setDataSource(DataSource& source) {
    for (const QMetaObject::Connection& c : std::as_const(m_connections))
        disconnect(c);
    m_source = &source;
    m_connections = {
        connect(&source, &DataSource::recordChanged, this, &DbNavigator::updateButtons),
        connect(&source, &DataSource::stateChanged, this, &DbNavigator::updateButtons),
    };
    updateButtons();
}

void DbNavigator::setButtonVisible(Button which, bool visible) {
    m_buttons[which]->setVisible(visible);
}

void DbNavigator::click(Button which) {
    table::Table& t = m_source->table();
    guarded(this, [&] {
        switch (which) {
        case First:
            t.first();
            break;
        case Prior:
            t.prior();
            break;
        case Next:
            t.next();
            break;
        case Last:
            t.last();
            break;
        case Insert:
            m_source->insert();
            break;
        case Delete:
            m_source->deleteRecord();
            break;
        case Edit:
            m_source->startEdit();
            break;
        case Post:
            t.post();
            break;
        case Cancel:
            t.cancel();
            break;
        case Refresh:
            m_source->refresh();
            break;
        case ButtonCount:
            break;
        }
    });
    updateButtons();
}

void DbNavigator::updateButtons() {
    table::Table& t = m_source->table();
    const bool open = t.isOpen();
    const bool editing = open && t.isEditing();
    const bool browsing = open && !editing;
    // Moving on from a changed record posts it first, as the table does.
    const bool movable = open && t.state() != table::TableState::Insert;
    const int pos = movable ? t.recNo() : 0;
    const int count = movable ? t.recordCount() : 0;
    const bool hasRecord = browsing && pos > 0;
    m_buttons[First]->setEnabled(movable && pos > 1);
    m_buttons[Prior]->setEnabled(movable && pos > 1);
    m_buttons[Next]->setEnabled(movable && pos > 0 && pos < count);
    m_buttons[Last]->setEnabled(movable && pos > 0 && pos < count);
    m_buttons[Insert]->setEnabled(browsing && m_source->mayInsert());
    m_buttons[Delete]->setEnabled(hasRecord && m_source->mayDelete());
    m_buttons[Edit]->setEnabled(hasRecord && m_source->mayEdit());
    m_buttons[Post]->setEnabled(editing);
    m_buttons[Cancel]->setEnabled(editing);
    m_buttons[Refresh]->setEnabled(browsing);
}

} // namespace widgets
