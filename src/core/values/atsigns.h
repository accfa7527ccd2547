#pragma once

#include <QString>
#include <optional>

// The "@" markers of position texts: "@ 3 Stunden à @ 25,50" prices a
// position inside its long text. Printed texts show two blanks instead.

// Text with every "@" replaced by two blanks.
QString ReplaceAtSigns(const QString& text);

// The sum of quantity × price over the markers of a plain text: the number
// after each odd "@" is a quantity, after each even one its price; a pair may
// span lines. A number is blanks, signs, digits and "," (the decimal comma)
// up to the first other character, so "." ends it; an unreadable one counts 0.
// Every partial sum is rounded to cents. None without a complete pair.
std::optional<double> AtSignTotal(const QString& plainText);
