#include "core/gui/f_editugroups.h"

#include "core/gui/placement.h"
#include "core/gui/rightsgrid.h"
#include "core/messages/manuals.h"
#include "core/messages/messagecatalog.h"
#include "core/messages/messages.h"
#include "core/rights/credentials.h"
#include "core/rights/rights.h"
#include "core/rights/rightsstore.h"
#include "core/rights/rightstexts.h"

#include <QHBoxLayout>
#include <QInputDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

// Asks until the user cancels or gives a name that can be a new group.
bool askNewGroupName(QWidget* parent, const GroupRightsEditing& editing, QString& name) {
    for (;;) {
        QInputDialog dialog(parent);
        dialog.setObjectName(u"GroupNameDialog"_s);
        dialog.setWindowTitle(u"Gruppenbezeichnung eingeben"_s);
        dialog.setLabelText(u"Neue Gruppe:"_s);
        dialog.setTextValue(name);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        name = TrimmedInput(dialog.textValue());
        if (const QString problem = GroupNameProblem(name); !problem.isEmpty()) {
            ShowError(problem);
            continue;
        }
        if (!editing.groupNameUsed(name))
            return true;
    }
}

} // namespace

TF_EditUGroups::TF_EditUGroups(RightsStore& store, QWidget* parent)
    : QDialog(parent), m_store(store), m_editing(store) {
    setObjectName(u"F_EditUGroups"_s);
    setWindowTitle(u"Gruppenrechte-Verwaltung"_s);
    resize(680, 560);

    GridGroups =
        CreateMarkGrid(this, u"GridGroups"_s, GroupSlotCount, {u"Gruppenbezeichnung"_s}, 120, 120);
    GridGroups->setSelectionBehavior(QAbstractItemView::SelectRows);
    GridRights = CreateRightsGrid(this);

    btnNewGroup = makeButton(this, u"btnNewGroup"_s, u"Neue Gruppe"_s);
    btnSave = makeButton(this, u"btnSave"_s, u"Speichern"_s);
    btnDelete = makeButton(this, u"btnDelete"_s, u"Löschen"_s);
    btnInfo = makeButton(this, u"btnInfo"_s, u"?Info?"_s);

    auto* grids = new QHBoxLayout;
    grids->addWidget(GridGroups, 2);
    grids->addWidget(GridRights, 7);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {btnNewGroup, btnSave, btnDelete, btnInfo})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grids);
    layout->addLayout(buttons);

    connect(GridGroups, &QTableWidget::cellClicked, this,
            [this](int row, int) { GridGroupsClick(row); });
    connect(GridRights, &QTableWidget::cellClicked, this, &TF_EditUGroups::GridRightsClick);
    connect(btnNewGroup, &QPushButton::clicked, this, &TF_EditUGroups::btnNewGroupClick);
    connect(btnSave, &QPushButton::clicked, this, &TF_EditUGroups::btnSaveClick);
    connect(btnDelete, &QPushButton::clicked, this, &TF_EditUGroups::btnDeleteClick);
    connect(btnInfo, &QPushButton::clicked, this,
            [] { ShowHandbuchPage(u"benutzerrechte.html"_s); });

    fillSlots();
    selectSlot(1);
}

void TF_EditUGroups::fillSlots() {
    const QStringList names = m_editing.slotNames();
    for (int row = 0; row < names.size(); ++row)
        SetCellText(GridGroups, row, 0, names.at(row));
}

void TF_EditUGroups::selectSlot(int slot) {
    m_editing.select(slot);
    GridGroups->setCurrentCell(slot - 1, 0);
    showEdited();
}

void TF_EditUGroups::showEdited() {
    for (int nr = 1; nr <= RightsByteCount; ++nr)
        for (int column = 1; column <= RightsColumnCount; ++column)
            SetMark(GridRights, nr - 1, column, m_editing.isRightSet(nr, column));
    btnSave->setEnabled(m_editing.modified());
    btnDelete->setEnabled(m_editing.hasEdited());
}

void TF_EditUGroups::GridGroupsClick(int row) {
    if (row < 0 || row >= GroupSlotCount)
        return;
    m_editing.offerSave();
    selectSlot(row + 1);
}

void TF_EditUGroups::GridRightsClick(int row, int column) {
    if (column < 1 || column > RightsColumnCount || row < 0 || row >= RightsByteCount)
        return;
    m_editing.clickRight(row + 1, column);
    showEdited();
}

void TF_EditUGroups::btnNewGroupClick() {
    if (!m_store.list().hasFreeGroupSlot()) {
        ShowError(LoadMessage(MsgNoFreeGroupSlot));
        return;
    }
    m_editing.offerSave();
    QString name;
    if (!askNewGroupName(this, m_editing, name)) {
        showEdited();
        return;
    }
    m_editing.addGroup(name);
    fillSlots();
    if (m_editing.hasEdited())
        GridGroups->setCurrentCell(m_editing.editedSlot() - 1, 0);
    showEdited();
}

void TF_EditUGroups::btnSaveClick() {
    m_editing.save();
    showEdited();
}

void TF_EditUGroups::btnDeleteClick() {
    if (m_editing.deleteEdited()) {
        fillSlots();
        selectSlot(1);
        return;
    }
    showEdited();
}

void TF_EditUGroups::done(int result) {
    // Every way of closing (close button, Escape) ends here.
    m_editing.offerSave();
    QDialog::done(result);
}

void ShowEditUGroupsForm(QWidget* parent) {
    TF_EditUGroups form(ProgramRights(), parent ? parent : MainForm());
    if (QWidget* main = MainForm())
        PlaceBelowMainForm(&form, 0, 0, 680 - main->frameGeometry().width());
    form.exec();
}

void EditGroupRightsClick(QWidget* parent) {
    if (!IsMasterUser()) {
        ShowError(LoadMessage(MsgNoGroupAdminRight));
        return;
    }
    if (!LockRights())
        return;
    struct Unlock {
        ~Unlock() { UnlockRights(); }
    } unlock;
    ShowEditUGroupsForm(parent);
}
