#pragma once

class QObject;
class QWidget;

// Lets a form see every key before its focused control does (KeyPreview):
// the filter is installed on the form and on every control it holds now.
// Call again after adding controls.
void InstallKeyPreview(QWidget& form, QObject& filter);
