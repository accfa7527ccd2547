#pragma once

class QHBoxLayout;
class QPushButton;
class QWidget;

// The right-aligned "OK" (default) and "Abbrechen" buttons at the foot of a
// small dialog, named btnOK and btnCancel.
QHBoxLayout* MakeOkCancelRow(QWidget* owner, QPushButton*& ok, QPushButton*& cancel);
