#include "core/gui/f_editurights.h"

#include "core/gui/loginform.h"
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
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
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

} // namespace

TF_EditURights::TF_EditURights(RightsStore& store, const TUserRec& editorUser, QWidget* parent)
    : QDialog(parent), m_store(store), m_editing(store, editorUser) {
    setObjectName(u"F_EditURights"_s);
    setWindowTitle(u"Benutzerverwaltung"_s);
    resize(960, 560);

    GridUsers = CreateMarkGrid(this, u"GridUsers"_s, 0,
                               {u"Benutzername"_s, u"Passwort"_s, u"Ebene"_s}, 80, 80);
    GridUsers->setSelectionBehavior(QAbstractItemView::SelectRows);
    GridUsers->setItemDelegate(new QStyledItemDelegate(GridUsers)); // plain texts, no marks
    GridRights = CreateRightsGrid(this);
    GridGroups = CreateMarkGrid(this, u"GridGroups"_s, GroupSlotCount,
                                {u"Gruppenbezeichnung"_s, u"Mitglied"_s}, 120, 80);

    btnNewUser = makeButton(this, u"btnNewUser"_s, u"Neuer Benutzer"_s);
    btnNewSubmaster = makeButton(this, u"btnNewSubmaster"_s, u"Neuer Submaster"_s);
    btnPassword = makeButton(this, u"btnPassword"_s, u"Passwort ändern"_s);
    btnSave = makeButton(this, u"btnSave"_s, u"Speichern"_s);
    btnDelete = makeButton(this, u"btnDelete"_s, u"Löschen"_s);
    btnInfo = makeButton(this, u"btnInfo"_s, u"?Info?"_s);
    btnNewSubmaster->setVisible(m_editing.canCreateSubmaster());

    auto* grids = new QHBoxLayout;
    grids->addWidget(GridUsers, 24);
    grids->addWidget(GridRights, 62);
    grids->addWidget(GridGroups, 22);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {btnNewUser, btnNewSubmaster, btnPassword, btnSave, btnDelete, btnInfo})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grids);
    layout->addLayout(buttons);

    connect(GridUsers, &QTableWidget::cellClicked, this,
            [this](int row, int) { GridUsersClick(row); });
    connect(GridRights, &QTableWidget::cellClicked, this, &TF_EditURights::GridRightsClick);
    connect(GridGroups, &QTableWidget::cellClicked, this, &TF_EditURights::GridGroupsClick);
    connect(btnNewUser, &QPushButton::clicked, this, [this] { btnNewUserClick(ukUser); });
    connect(btnNewSubmaster, &QPushButton::clicked, this, [this] { btnNewUserClick(ukSubmaster); });
    connect(btnPassword, &QPushButton::clicked, this, &TF_EditURights::btnPasswordClick);
    connect(btnSave, &QPushButton::clicked, this, &TF_EditURights::btnSaveClick);
    connect(btnDelete, &QPushButton::clicked, this, &TF_EditURights::btnDeleteClick);
    connect(btnInfo, &QPushButton::clicked, this,
            [] { ShowHandbuchPage(u"benutzerrechte.html"_s); });

    fillGroupNames();
    fillUsers();
    selectUserRow(0);
}

void TF_EditURights::fillGroupNames() {
    TUserRec group;
    for (int slot = 1; slot <= GroupSlotCount; ++slot) {
        m_store.list().getGroupRecByIndex(slot, group);
        SetCellText(GridGroups, slot - 1, 0, group.name);
    }
}

void TF_EditURights::fillUsers() {
    const QList<TUserRec> users = m_editing.listedUsers();
    GridUsers->setRowCount(int(users.size()));
    for (int row = 0; row < users.size(); ++row) {
        const TUserRec& user = users.at(row);
        SetCellText(GridUsers, row, 0, user.name);
        SetCellText(GridUsers, row, 1, user.password);
        SetCellText(GridUsers, row, 2, QString(QChar(user.kind)).rightJustified(4));
    }
}

void TF_EditURights::selectUserRow(int row) {
    m_editing.clear();
    if (row >= 0 && row < GridUsers->rowCount()) {
        m_editing.select(GridUsers->item(row, 0)->text());
        GridUsers->setCurrentCell(row, 0);
    }
    showEdited();
}

void TF_EditURights::showEdited() {
    for (int nr = 1; nr <= RightsByteCount; ++nr)
        for (int column = 1; column <= RightsColumnCount; ++column)
            SetMark(GridRights, nr - 1, column, m_editing.isRightSet(nr, column));
    for (int slot = 1; slot <= GroupSlotCount; ++slot)
        SetMark(GridGroups, slot - 1, 1, m_editing.isMember(slot));
    btnSave->setEnabled(m_editing.modified());
    btnPassword->setEnabled(m_editing.hasEdited());
    btnDelete->setEnabled(m_editing.hasEdited());
}

void TF_EditURights::GridUsersClick(int row) {
    m_editing.offerSave();
    selectUserRow(row);
}

void TF_EditURights::GridRightsClick(int row, int column) {
    if (column < 1 || column > RightsColumnCount || row < 0 || row >= RightsByteCount)
        return;
    m_editing.clickRight(row + 1, column);
    showEdited();
}

void TF_EditURights::GridGroupsClick(int row, int column) {
    if (column != 1 || row < 0 || row >= GroupSlotCount)
        return;
    if (m_editing.clickGroup(row + 1))
        showEdited();
}

void TF_EditURights::btnNewUserClick(TUserKind kind) {
    m_editing.offerSave();
    const QString previous = m_editing.hasEdited() ? m_editing.edited().name : QString();
    QString name;
    QString password;
    bool accepted = false;
    {
        TLoginForm form(this);
        form.setObjectName(u"NewUserDialog"_s);
        form.setWindowTitle(kind == ukSubmaster ? btnNewSubmaster->text() : btnNewUser->text());
        form.lblHint->clear();
        form.OkHandler = [&] {
            const QRect frame = form.frameGeometry();
            const auto refuse = [&](const QString& problem) {
                ShowErrorAt(problem, frame.left() + 32, frame.bottom() + 1 + 8);
            };
            name = TrimmedInput(form.edUserName->text());
            password = TrimmedInput(form.edPassword->text());
            if (const QString problem = UserNameProblem(name, m_store.list()); !problem.isEmpty())
                refuse(problem);
            else if (const QString problem = PasswordProblem(password); !problem.isEmpty())
                refuse(problem);
            else
                accepted = true;
            form.accept();
        };
        form.exec();
    }
    if (accepted && m_editing.addUser(name, password, kind)) {
        fillUsers();
        const auto rows = GridUsers->findItems(name, Qt::MatchFixedString);
        selectUserRow(rows.isEmpty() ? 0 : rows.first()->row());
        return;
    }
    if (!previous.isEmpty())
        m_editing.select(previous);
    showEdited();
}

void TF_EditURights::btnPasswordClick() {
    if (!m_editing.hasEdited())
        return;
    ShowPasswordChangeDialog(this, m_editing.edited().name, [this](const QString& password) {
        return m_editing.setPassword(password);
    });
    const int row = GridUsers->currentRow();
    fillUsers();
    GridUsers->setCurrentCell(row, 0);
}

void TF_EditURights::btnSaveClick() {
    m_editing.save();
    showEdited();
}

void TF_EditURights::btnDeleteClick() {
    if (!m_editing.hasEdited())
        return;
    if (m_editing.deleteEdited()) {
        GridUsers->setRowCount(0);
        fillUsers();
        selectUserRow(0);
        return;
    }
    showEdited();
}

void TF_EditURights::done(int result) {
    // Every way of closing (close button, Escape) ends here.
    m_editing.offerSave();
    QDialog::done(result);
}

void ShowEditURightsForm(QWidget* parent) {
    TF_EditURights form(ProgramRights(), CurrentUser, parent ? parent : MainForm());
    if (QWidget* main = MainForm())
        PlaceBelowMainForm(&form, 0, 0, 960 - main->frameGeometry().width());
    form.exec();
}

void EditUserRightsClick(QWidget* parent) {
    if (IsPlainUser()) {
        ShowError(LoadMessage(MsgNoUserAdminRight));
        return;
    }
    if (!LockRights())
        return;
    struct Unlock {
        ~Unlock() { UnlockRights(); }
    } unlock;
    ShowEditURightsForm(parent);
}
