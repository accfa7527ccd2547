#pragma once

class QWidget;

// The main window that forms and pop-ups are placed against. The main window
// registers itself once it exists.
void SetMainForm(QWidget* mainForm);
QWidget* MainForm();

// Puts Form directly below the main window: its left edge at the main
// window's left + DX, its top at the main window's bottom + DY, its width the
// main window's width + DW. Does nothing while no main window is registered.
void PlaceBelowMainForm(QWidget* form, int dx, int dy, int dw);

// Screen coordinates of the control's top-left inner corner, where pickers
// and calendars open just below an edit field (0 for no control).
int GetEditScreenX(const QWidget* control);
int GetEditScreenY(const QWidget* control);

// Moves the window to left/top, shifted as far as needed for the whole window
// to stay on the screen; centres it when left or top is negative.
void MoveOnScreen(QWidget& window, int left, int top);
