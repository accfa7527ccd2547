#pragma once

// The print and preview buttons of the windows: a pair served by one handler,
// the preview button marked by its tag 1.

#include "printing/printprotocol.h"

class QAbstractButton;
class QObject;
class QWidget;

namespace table {
class Field;
}

void MarkPreviewButton(QAbstractButton* button);
bool IsPreviewButton(const QObject* button);

// The choices of a button of `window`: the print-form choice at the window's
// left + 100, top + 140, and the field choice below `control` (the middle of
// the main window without one) that stores into `field` and posts it.
PrintFormChoosers WindowPrintFormChoosers(QWidget* window, QWidget* control = nullptr,
                                          table::Field* field = nullptr);

// The protocol for a pressed button; the entry gets the preview switch of the
// button and the layout path. The button is released afterwards in any case.
void PrintButtonClicked(QAbstractButton* button, const PrintButton& spec,
                        const PrintFormChoosers& choosers,
                        const std::function<void(bool preview, const QString& layoutPath)>& entry);
