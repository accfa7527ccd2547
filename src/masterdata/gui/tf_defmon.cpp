#include "masterdata/gui/tf_defmon.h"

#include "masterdata/gui/patterngrid.h"

#include <QApplication>

TF_DefMon::TF_DefMon(QWidget* parent)
    : QDialog(parent), m_grid(new PatternGrid(1, 31, 0, 24, this)) {
    setObjectName(QStringLiteral("TF_DefMon"));
    setWindowTitle(QStringLiteral("Definition Berichtsintervalle < 1 Monat"));
    LayOutPatternEditor(*this, *m_grid);
    connect(m_grid, &PatternGrid::markCellChosen, this, [this](int, int day) { toggleDay(day); });
}

void TF_DefMon::load(const QString& pattern) {
    const MonthPatternMarks marks = ReadMonthPattern(pattern);
    for (int d = 1; d <= 31; ++d)
        m_grid->setMarked(1, d, marks[d - 1]);
}

QString TF_DefMon::pattern() const {
    MonthPatternMarks marks{};
    for (int d = 1; d <= 31; ++d)
        marks[d - 1] = m_grid->isMarked(1, d);
    return WriteMonthPattern(marks);
}

void TF_DefMon::toggleDay(int day) {
    m_grid->setMarked(1, day, !m_grid->isMarked(1, day));
}

bool EditMonthPattern(QString& pattern) {
    TF_DefMon editor(QApplication::activeWindow());
    editor.load(pattern);
    if (editor.exec() != QDialog::Accepted)
        return false;
    pattern = editor.pattern();
    return true;
}
