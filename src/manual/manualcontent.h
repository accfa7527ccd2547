#pragma once
#include <QString>

// The manual built from manual/de, compiled into the program: its
// "Handbuch" and "Help" folders below the returned resource directory.
QString ShippedManualDirectory();
