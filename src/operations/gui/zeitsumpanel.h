#pragma once

#include <QGroupBox>
#include <array>
#include <optional>

class QLabel;
class QLineEdit;
struct ZeitsumValues;

// A right-aligned read-only number field of `chars` digits that takes no focus.
QLineEdit* ReadOnlyNumberEdit(QWidget* parent, int chars);

// The hours ("Stundenzahl") and wage costs ("Lohn-Selbstkosten") of one
// employee-month or one view's selection, under the short texts of the time
// types 1 to 8 and "Gesamt". Read-only.
class ZeitsumPanel : public QGroupBox {
public:
    explicit ZeitsumPanel(QWidget* parent = nullptr);

    // Captions from ZA_Kurztext of the client's time types; a type without
    // row stays without caption.
    void setCaptionsFromZeitart();
    // nullopt leaves every field empty.
    void showSums(const std::optional<ZeitsumValues>& sums);

    // Column 1..8 a type, 9 "Gesamt".
    QString caption(int column) const;
    QString hoursText(int column) const;
    QString costsText(int column) const;

private:
    std::array<QLabel*, 9> m_captions{};
    std::array<QLineEdit*, 9> m_hours{};
    std::array<QLineEdit*, 9> m_costs{};
};
