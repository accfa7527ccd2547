#include "platform/widgets/fieldform.h"

#include "platform/errors.h"
#include "platform/table/field.h"
#include "platform/table/table.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbcheckbox.h"
#include "platform/widgets/dbcombobox.h"
#include "platform/widgets/dbdateedit.h"
#include "platform/widgets/dbedit.h"
#include "platform/widgets/dbimage.h"
#include "platform/widgets/dblookupcombobox.h"
#include "platform/widgets/dbmemo.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/dbspinedit.h"
#include "platform/widgets/rowreader.h"
#include "platform/widgets/userprompts.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

namespace widgets {

FieldForm::FieldForm(DataSource& source, const QList<FieldDecl>& fields, QWidget* parent)
    : QWidget(parent) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    const bool paged = std::any_of(fields.begin(), fields.end(),
                                   [](const FieldDecl& d) { return !d.page.isEmpty(); });
    if (paged) {
        m_pages = new QTabWidget(this);
        outer->addWidget(m_pages);
    }
    // Per page its layout, and the section (box or plain) that lines go to.
    struct Page {
        QVBoxLayout* layout = nullptr;
        QFormLayout* form = nullptr;
        QString group;
    };
    QHash<QString, Page> pageStates;
    auto newForm = [] {
        auto* form = new QFormLayout;
        form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
        form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        form->setRowWrapPolicy(QFormLayout::DontWrapRows);
        return form;
    };
    QHBoxLayout* line = nullptr; // the line that the next sameLine field joins
    // Texts side by side (two memos) each have their caption above them.
    bool textsSideBySide = false;
    auto isText = [](const FieldDecl& d) {
        return d.kind == FieldKind::Memo || d.kind == FieldKind::RichText;
    };
    auto captionAbove = [](QLabel* label, QWidget* editor) {
        auto* column = new QVBoxLayout;
        if (label)
            column->addWidget(label);
        column->addWidget(editor, 1);
        return column;
    };
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const FieldDecl& decl = fields[i];
        const bool joins = decl.sameLine && line;
        Page& state = pageStates[decl.page];
        if (!state.layout) {
            if (paged) {
                // A long page scrolls instead of making the window taller
                // than a small screen.
                auto* scroll = new QScrollArea(m_pages);
                scroll->setWidgetResizable(true);
                scroll->setFrameShape(QFrame::NoFrame);
                auto* host = new QWidget(scroll);
                scroll->setWidget(host);
                m_pages->addTab(scroll,
                                decl.page.isEmpty() ? QStringLiteral("Allgemein") : decl.page);
                m_pageWidgets.insert(decl.page, host);
                state.layout = new QVBoxLayout(host);
                state.layout->addStretch();
            } else {
                state.layout = new QVBoxLayout;
                outer->addLayout(state.layout);
            }
        }
        if (!joins && (!state.form || state.group != decl.group)) {
            state.group = decl.group;
            state.form = newForm();
            // Before the page's closing stretch (paged) or at the end.
            const int at = paged ? state.layout->count() - 1 : state.layout->count();
            if (decl.group.isEmpty()) {
                state.layout->insertLayout(at, state.form);
            } else {
                QWidget* host = paged ? m_pageWidgets.value(decl.page) : this;
                auto* box = new QGroupBox(decl.group, host);
                box->setLayout(state.form);
                state.layout->insertWidget(at, box);
                if (!m_groups.contains(decl.group))
                    m_groups.insert(decl.group, box);
            }
        }
        QFormLayout* form = state.form;
        const QString key = decl.field.toLower();
        if (m_editors.contains(key))
            throw DbError(
                QStringLiteral("Das Feld %1 ist im Formular doppelt angegeben.").arg(decl.field));
        QWidget* editor = createEditor(source, decl);
        m_editors.insert(key, editor);
        if (decl.pick) {
            m_picks.insert(editor, decl.pick);
            editor->installEventFilter(this);
        }
        if (!decl.hint.isEmpty())
            editor->setToolTip(decl.hint);
        if (!decl.menu.isEmpty())
            addMenu(*editor, decl);
        if (decl.readOnly && decl.kind != FieldKind::Display) {
            auto* edit = qobject_cast<DbEdit*>(editor);
            if (!edit)
                throw DbError(
                    QStringLiteral("Das Feld %1 kann nur als Eingabezeile schreibgeschützt sein.")
                        .arg(decl.field));
            edit->setAlwaysReadOnly(true);
            edit->setFocusPolicy(Qt::NoFocus);
        }
        if (decl.kind == FieldKind::CheckBox && !joins) {
            form->addRow(QString(), editor);
            line = nullptr;
            continue;
        }
        QLabel* label = nullptr;
        // A check box beside another field carries its caption itself.
        if ((!decl.caption.isEmpty() || !joins) && decl.kind != FieldKind::CheckBox) {
            label = new QLabel(decl.caption, editor->parentWidget());
            label->setBuddy(editor);
            m_labels.insert(key, label);
        }
        if (decl.width > 0) {
            const int chars =
                decl.width + (decl.kind == FieldKind::Date || decl.kind == FieldKind::Spin ? 4 : 2);
            editor->setFixedWidth(
                editor->fontMetrics().horizontalAdvance(QLatin1Char('0')) * chars + 12);
        }
        const int stretch = decl.width > 0 ? 0 : 1;
        if (joins && textsSideBySide) {
            line->insertLayout(line->count() - 1, captionAbove(label, editor), 1);
            continue;
        }
        if (joins) {
            // Before the line's closing stretch.
            if (label)
                line->insertWidget(line->count() - 1, label);
            line->insertWidget(line->count() - 1, editor, stretch);
            continue;
        }
        textsSideBySide = isText(decl) && i + 1 < fields.size() && fields[i + 1].sameLine &&
                          isText(fields[i + 1]);
        if (textsSideBySide) {
            line = new QHBoxLayout;
            line->addLayout(captionAbove(label, editor), 1);
            line->addStretch(0);
            form->addRow(line);
            continue;
        }
        if (i + 1 < fields.size() && fields[i + 1].sameLine) {
            line = new QHBoxLayout;
            line->addWidget(editor, stretch);
            // A line of fixed widths stays left instead of spreading out.
            line->addStretch(0);
            form->addRow(label, line);
        } else {
            line = nullptr;
            form->addRow(label, editor);
        }
    }
    if (!paged)
        outer->addStretch();
}

QWidget* FieldForm::createEditor(DataSource& source, const FieldDecl& decl) {
    switch (decl.kind) {
    case FieldKind::Edit:
        return new DbEdit(source, decl.field, this);
    case FieldKind::CheckBox:
        return new DbCheckBox(source, decl.field, decl.caption, this);
    case FieldKind::Combo: {
        auto* box = new DbComboBox(source, decl.field, this);
        box->setItems(decl.items, decl.values);
        return box;
    }
    case FieldKind::LookupCombo: {
        auto* box = new DbLookupComboBox(source, decl.field, this);
        if (!decl.lookup)
            throw DbError(
                QStringLiteral("Für das Feld %1 fehlt die Nachschlagetabelle.").arg(decl.field));
        box->setLookup(*decl.lookup, decl.lookupKey, decl.lookupText);
        if (!decl.lookupCopies.isEmpty())
            // After the box's own handler has stored the chosen key.
            connect(box, &QComboBox::activated, this,
                    [this, &source, decl](int row) { copyFromList(source, decl, row); });
        return box;
    }
    case FieldKind::Date:
        return new DbDateEdit(source, decl.field, this);
    case FieldKind::Spin:
        return new DbSpinEdit(source, decl.field, this);
    case FieldKind::Memo:
        return new DbMemo(source, decl.field, this);
    case FieldKind::RichText:
        return new DbRichEdit(source, decl.field, this);
    case FieldKind::Image:
        return new DbImage(source, decl.field, this);
    case FieldKind::Display: {
        auto* line = new QLineEdit(this);
        line->setReadOnly(true);
        line->setFocusPolicy(Qt::NoFocus);
        const auto show = [line, &source, display = decl.display] {
            QString text;
            if (display && source.table().isOpen())
                try {
                    text = display(source.table());
                } catch (const DbError&) {
                    // A name that cannot be looked up stays empty.
                }
            line->setText(text);
            line->setCursorPosition(0);
        };
        connect(&source, &DataSource::recordChanged, line, show);
        connect(&source, &DataSource::viewChanged, line, show);
        show();
        return line;
    }
    }
    return nullptr;
}

void FieldForm::copyFromList(DataSource& source, const FieldDecl& decl, int row) {
    guarded(this, [&] {
        table::Table& t = source.table();
        if (!t.isEditing())
            source.startEdit();
        for (const auto& [listField, field] : decl.lookupCopies)
            t.field(field).setValue(decl.lookup->rows().value(row, listField));
        source.notifyRecordChanged();
    });
}

bool FieldForm::eventFilter(QObject* watched, QEvent* event) {
    const auto pick = m_picks.constFind(watched);
    if (pick != m_picks.cend()) {
        bool open = event->type() == QEvent::MouseButtonDblClick;
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            open = key->key() == Qt::Key_W && key->modifiers() == Qt::AltModifier;
        }
        if (open) {
            auto* editor = static_cast<QWidget*>(watched);
            guarded(this, [&] { (*pick)(*editor); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FieldForm::addMenu(QWidget& editor, const FieldDecl& decl) {
    auto* menu = new QMenu(&editor);
    for (const FieldMenuItem& item : decl.menu) {
        QAction* action = menu->addAction(item.caption);
        if (!item.run)
            continue;
        if (!item.shortcut.isEmpty()) {
            action->setShortcut(item.shortcut);
            action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            editor.addAction(action);
        }
        connect(action, &QAction::triggered, this,
                [this, &editor, run = item.run] { guarded(this, [&] { run(editor); }); });
    }
    editor.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&editor, &QWidget::customContextMenuRequested, menu,
            [menu, &editor](const QPoint& at) { menu->exec(editor.mapToGlobal(at)); });
    m_menus.insert(decl.field.toLower(), menu);
}

void FieldForm::setMenusEnabled(bool enabled) {
    for (QMenu* menu : std::as_const(m_menus)) {
        auto* editor = qobject_cast<QWidget*>(menu->parent());
        editor->setContextMenuPolicy(enabled ? Qt::CustomContextMenu : Qt::NoContextMenu);
        for (QAction* action : menu->actions())
            action->setEnabled(enabled);
    }
}

void FieldForm::showPage(const QString& name) {
    QWidget* host = page(name);
    if (!m_pages || !host)
        return;
    for (int i = 0; i < m_pages->count(); ++i) {
        auto* scroll = qobject_cast<QScrollArea*>(m_pages->widget(i));
        if (scroll && scroll->widget() == host) {
            m_pages->setCurrentIndex(i);
            return;
        }
    }
}

} // namespace widgets
