#pragma once

class QHBoxLayout;
class QPushButton;
class QWidget;

namespace widgets {
class DataSource;
class DbNavigator;
} // namespace widgets

// The controls shared by the choice dialogs.

// "&OK" (the default button) at the left and "&Abbrechen" at the right.
QHBoxLayout* MakeChoiceButtons(QWidget* owner, QPushButton*& ok, QPushButton*& cancel);
// A navigator with only the moves: first, prior, next, last.
widgets::DbNavigator* MakeMoveNavigator(widgets::DataSource& source, QWidget* parent);
