#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// The first start of a new installation: the first master user with a name
// and password of the user's choice. OK creates "Rights.dat"; the dialog
// stays open while an entry is refused.
class TF_Ersteinrichtung : public QDialog {
    Q_OBJECT
public:
    explicit TF_Ersteinrichtung(QWidget* parent = nullptr);

    QLineEdit* edUserName;
    QLineEdit* edPassword;
    QLineEdit* edRepeat;
    QPushButton* btnOK;
    QPushButton* btnCancel;

private:
    void btnOKClick();
};

// The switch that creates the first master without a window; the password
// comes from the environment variable below, never from the command line.
inline constexpr char FirstMasterSwitch[] = "--first-master";
inline constexpr char FirstMasterPasswordVariable[] = "DOMVERA_MASTER_PASSWORD";

// Runs before the directory set is built. With "--first-master NAME" the
// master is created without a window and the program ends (result 0 or 1;
// reasons go to standard error). Otherwise, in a new installation, the dialog
// runs; cancelling it ends the program (result 1). Result -1: go on.
int RunFirstStart(const QStringList& parameters);
