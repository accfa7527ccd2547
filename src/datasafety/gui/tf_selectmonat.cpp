#include "datasafety/gui/tf_selectmonat.h"

#include "core/gui/placement.h"
#include "core/values/calendar.h"
#include "masterdata/dialogs/choicecontrols.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TF_SelectMonat::TF_SelectMonat(QWidget* parent) : QDialog(parent) {
    setObjectName(u"TF_SelectMonat"_s);
    setWindowTitle(u"Monat bestimmen"_s);
    auto* layout = new QVBoxLayout(this);

    Label1 = new QLabel(u"Daten an Fibu übergeben für: "_s, this);
    Label1->setObjectName(u"Label1"_s);
    layout->addWidget(Label1);

    auto* fields = new QGridLayout;
    CbMonth = new QComboBox(this);
    CbMonth->setObjectName(u"CbMonth"_s);
    for (int m = 1; m <= 12; ++m)
        CbMonth->addItem(GetMonthName(m));
    CbYear = new QComboBox(this);
    CbYear->setObjectName(u"CbYear"_s);
    auto* monthLabel = new QLabel(u"&Monat"_s, this);
    monthLabel->setBuddy(CbMonth);
    auto* yearLabel = new QLabel(u"&Jahr"_s, this);
    yearLabel->setBuddy(CbYear);
    fields->addWidget(monthLabel, 0, 0);
    fields->addWidget(yearLabel, 0, 1);
    fields->addWidget(CbMonth, 1, 0);
    fields->addWidget(CbYear, 1, 1);
    fields->setColumnStretch(0, 3);
    fields->setColumnStretch(1, 2);
    layout->addLayout(fields);
    layout->addSpacing(8);

    layout->addLayout(MakeChoiceButtons(this, BitBtn1, BitBtn3));
    BitBtn1->setObjectName(u"BitBtn1"_s);
    BitBtn3->setObjectName(u"BitBtn3"_s);

    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn3, &QPushButton::clicked, this, &QDialog::reject);
    setMinimumWidth(300);
}

void TF_SelectMonat::start(int month, int year, int minYear, int maxYear, const QString& caption) {
    CbYear->clear();
    int preselected = -1;
    for (int y = minYear; y <= maxYear; ++y) {
        if (y == year)
            preselected = CbYear->count();
        CbYear->addItem(QString::number(y));
    }
    if (preselected < 0)
        preselected = std::min(2, CbYear->count() - 1);
    CbYear->setCurrentIndex(preselected);
    CbMonth->setCurrentIndex(month >= 1 && month <= 12 ? month - 1 : 0);
    Label1->setText(caption);
    BitBtn1->setEnabled(CbYear->count() > 0);
}

bool TF_SelectMonat::chosen(int& month, int& year) const {
    bool isNumber = false;
    const int y = CbYear->currentText().toInt(&isNumber);
    if (!isNumber || CbMonth->currentIndex() < 0)
        return false;
    month = CbMonth->currentIndex() + 1;
    year = y;
    return true;
}

bool SelectMonth(int& month, int& year, int minYear, int maxYear, const QString& caption) {
    TF_SelectMonat form(MainForm());
    form.start(month, year, minYear, maxYear, caption);
    if (form.exec() != QDialog::Accepted)
        return false;
    return form.chosen(month, year);
}
