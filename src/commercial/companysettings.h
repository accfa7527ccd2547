#pragma once

#include <QString>

class TDataModule1;

// Single settings of the company record (TabFirmen), read for one decision;
// an empty field or a missing record gives the default.
bool CompanyFlag(TDataModule1& dm, const QString& field, bool defaultValue = false);
int CompanyInt(TDataModule1& dm, const QString& field, int defaultValue = 0);

// The comment of an automatic backup: the text and today as dd.mm.yyyy.
QString AutoBackupComment(const QString& text);
