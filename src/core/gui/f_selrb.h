#pragma once

#include <QDialog>

class RadioGroup;
class QPushButton;

// The option dialog: the user picks one of a short list of choices.
class TF_SelRB : public QDialog {
    Q_OBJECT
public:
    explicit TF_SelRB(QWidget* parent = nullptr);

    RadioGroup* rg1;
    QPushButton* btnOK;
    QPushButton* btnCancel;
};

// The dialog while SelectRadioItem shows it, otherwise nullptr.
extern TF_SelRB* F_SelRB;

// Shows the option dialog with its top-left corner at (left, top), the items
// of `items` (each ended by "|"), item `itemIndex` selected and `caption`
// over the choices. Returns the index of the selected item after "OK", -1
// after any other way of closing or when nothing is selected.
int SelectRadioItem(int left, int top, int itemIndex, const QString& caption, const QString& items);

// Replaces the dialog's choices by the parts of `items` that are ended by
// "|"; text after the last "|" is not a choice.
void FillRadioItems(TF_SelRB* dialog, const QString& items);
