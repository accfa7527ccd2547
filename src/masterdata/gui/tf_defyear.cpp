#include "masterdata/gui/tf_defyear.h"

#include "core/messages/messages.h"
#include "core/values/calendar.h"
#include "masterdata/gui/patterngrid.h"

#include <QApplication>

TF_DefYear::TF_DefYear(QWidget* parent)
    : QDialog(parent), m_grid(new PatternGrid(12, 31, 90, 24, this)) {
    setObjectName(QStringLiteral("TF_DefYear"));
    setWindowTitle(QStringLiteral("Definition Berichtsintervalle >= 1 Monat"));
    for (int m = 1; m <= 12; ++m)
        m_grid->setRowTitle(m, GetMonthName(m));
    LayOutPatternEditor(*this, *m_grid);
    connect(m_grid, &PatternGrid::markCellChosen, this,
            [this](int month, int day) { toggleDate(month, day); });
}

void TF_DefYear::showMarks() {
    for (int m = 1; m <= 12; ++m)
        for (int d = 1; d <= 31; ++d)
            m_grid->setMarked(m, d, m_marks[m - 1][d - 1]);
}

void TF_DefYear::load(const QString& pattern) {
    m_marks = ReadYearPattern(pattern);
    showMarks();
}

QString TF_DefYear::pattern() const {
    return WriteYearPattern(m_marks);
}

void TF_DefYear::toggleDate(int month, int day) {
    if (ToggleYearPatternDay(m_marks, month, day) == YearMarkChange::TooManyDates)
        ShowError(
            QStringLiteral("Sie können maximal %1 Termine festlegen!").arg(MaxYearPatternDates));
    showMarks();
}

bool EditYearPattern(QString& pattern) {
    TF_DefYear editor(QApplication::activeWindow());
    editor.load(pattern);
    if (editor.exec() != QDialog::Accepted)
        return false;
    pattern = editor.pattern();
    return true;
}
