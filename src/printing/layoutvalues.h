#pragma once

// The values of layout-file lines: how the designer writes them and how the
// application reads them back, with the lenient reading older files rely on.

#include "platform/report/reportdef.h"

#include <QColor>
#include <QSizeF>
#include <QString>

// Blanks and control characters around it removed, then a decimal number with
// optional sign, or "$" and up to eight hexadecimal digits (taken as 32 bits,
// so "$FF000005" is negative); anything else, and numbers beyond the integer
// range, read as 0.
int LayoutInteger(const QString& value);
// "TRUE" in any case, trimmed; anything else is false.
bool LayoutBool(const QString& value);
// taLeftJustify, taRightJustify in any case, trimmed; anything else centres.
report::Alignment LayoutAlignment(const QString& value);
// Each style is set when its name occurs anywhere in the text, in any case.
void ApplyLayoutFontStyle(const QString& value, report::FontSpec& font);
// psSolid .. psInsideFrame (0..6) in any case, trimmed; anything else solid.
int LayoutFrameStyle(const QString& value);

QString LayoutBoolText(bool value);
QString LayoutAlignmentText(report::Alignment alignment);
// "[Bold,Underline]"; "[]" without a style.
QString LayoutFontStyleText(const report::FontSpec& font);
// A style beyond the seven pen styles is written solid.
QString LayoutFrameStyleText(int style);

// Colours are Windows colour values: 0x00BBGGRR, negative ones the system
// colours (by their index in the low byte), which print in the standard
// Windows scheme so that a layout prints alike on every machine.
QColor ColorOfLayoutValue(int value);
int LayoutValueOfColor(const QColor& color);

// Millimetres in design pixels, rounded; the paper of the report in millimetres.
int DesignPixelsOfMm(double mm);
QSizeF PaperMm(const report::ReportDefinition& def);
