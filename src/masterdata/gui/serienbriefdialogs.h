#pragma once

class QWidget;

// "Serienbrief" of the address book: the serial letter with its dialogs
// placed over the address form and the installed letter print.
void RunSerienbriefOver(QWidget& form);
