#pragma once

#include "core/rights/rightsediting.h"

#include <QDialog>

class QPushButton;
class QTableWidget;
class RightsStore;

// "Benutzerverwaltung": users and submasters, their passwords, rights and
// group memberships. The store must hold the rights lock while it is open.
class TF_EditURights : public QDialog {
    Q_OBJECT
public:
    TF_EditURights(RightsStore& store, const TUserRec& editorUser, QWidget* parent = nullptr);

    const UserRightsEditing& editing() const { return m_editing; }

    QTableWidget* GridUsers;
    QTableWidget* GridRights;
    QTableWidget* GridGroups;
    QPushButton* btnNewUser;
    QPushButton* btnNewSubmaster;
    QPushButton* btnPassword;
    QPushButton* btnSave;
    QPushButton* btnDelete;
    QPushButton* btnInfo;

    void GridUsersClick(int row);
    void GridRightsClick(int row, int column);
    void GridGroupsClick(int row, int column);
    void btnNewUserClick(TUserKind kind);
    void btnPasswordClick();
    void btnSaveClick();
    void btnDeleteClick();

protected:
    void done(int result) override;

private:
    void fillUsers();
    void fillGroupNames();
    void showEdited();
    void selectUserRow(int row);

    RightsStore& m_store;
    UserRightsEditing m_editing;
};

// Opens the user editor for the logged-in user, modally.
void ShowEditURightsForm(QWidget* parent = nullptr);
// "Benutzerrechte bearbeiten": refused for a plain user, otherwise the editor
// under the rights lock.
void EditUserRightsClick(QWidget* parent = nullptr);
