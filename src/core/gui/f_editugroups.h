#pragma once

#include "core/rights/rightsediting.h"

#include <QDialog>

class QPushButton;
class QTableWidget;
class RightsStore;

// "Gruppenrechte-Verwaltung": the 24 rights groups. The store must hold the
// rights lock while it is open.
class TF_EditUGroups : public QDialog {
    Q_OBJECT
public:
    explicit TF_EditUGroups(RightsStore& store, QWidget* parent = nullptr);

    const GroupRightsEditing& editing() const { return m_editing; }

    QTableWidget* GridGroups;
    QTableWidget* GridRights;
    QPushButton* btnNewGroup;
    QPushButton* btnSave;
    QPushButton* btnDelete;
    QPushButton* btnInfo;

    void GridGroupsClick(int row);
    void GridRightsClick(int row, int column);
    void btnNewGroupClick();
    void btnSaveClick();
    void btnDeleteClick();

protected:
    void done(int result) override;

private:
    void fillSlots();
    void selectSlot(int slot);
    void showEdited();

    RightsStore& m_store;
    GroupRightsEditing m_editing;
};

void ShowEditUGroupsForm(QWidget* parent = nullptr);
// "Gruppenrechte bearbeiten": only for a master, under the rights lock.
void EditGroupRightsClick(QWidget* parent = nullptr);
