#pragma once

// The position numbers of the lines of a generated invoice, in the order they
// are written: the template's lines keep their order and, where they can,
// their own numbers; the lines taken from delivery notes follow as appended
// lines would.
class TGeneratedPosNrs {
public:
    // firstPosNr: the company's first number of automatic invoices.
    explicit TGeneratedPosNrs(int firstPosNr) : m_first(firstPosNr) {}

    // A template line keeps its number (normalised) when it lies above the
    // line before; one without number (0), or not above, takes the number an
    // appended line gets. -1 when no number is left.
    int TemplateLine(int templatePosNr);
    // The number an appended line gets; the first line of an invoice without
    // template lines takes the first number (1 when below 1). -1 when no
    // number is left.
    int DeliveryLine();

private:
    int appended() const;
    int take(int posNr);

    int m_first;
    int m_last = 0; // 0: no line yet
};
