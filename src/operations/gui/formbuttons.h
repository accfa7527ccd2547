#pragma once

#include <QString>

class QPushButton;
class QWidget;

// A button of the operations windows: named for the placement and the tests,
// never the dialog's default button, with its hint as tool tip.
QPushButton* MakeFormButton(QWidget* parent, const QString& name, const QString& caption,
                            const QString& hint = {});
