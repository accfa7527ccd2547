#pragma once

#include <QDate>
#include <QDialog>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "RA-Liste erstellen für den Zeitraum": the period of the booking-journal
// list (two typed dates; a double-click opens the calendar), the span of
// document dates the journal holds for information, and "Druckumfang
// wählen": "Ausgangsrechnungen" (0), "Gutschriften" (1),
// "Eingangsrechnungen" (2) or "Alle Satzarten" (3). OK closes only with two
// dates in order.
class TF_RaPeriod : public QDialog {
    Q_OBJECT
public:
    explicit TF_RaPeriod(QWidget* parent = nullptr);

    void setPeriod(const QDate& from, const QDate& to);
    void setJournalSpan(const QDate& first, const QDate& last);
    void setKind(int kind);
    QDate fromDate() const { return m_from; }
    QDate toDate() const { return m_to; }
    int kind() const;

    QLineEdit* editVon() const { return m_editVon; }
    QLineEdit* editBis() const { return m_editBis; }
    QRadioButton* kindButton(int kind) const { return m_kinds.at(size_t(kind)); }
    QLabel* spanLabel() const { return m_span; }
    QPushButton* okButton() const { return m_ok; }

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_editVon = nullptr;
    QLineEdit* m_editBis = nullptr;
    QLabel* m_span = nullptr;
    std::array<QRadioButton*, 4> m_kinds{};
    QPushButton* m_ok = nullptr;
    QDate m_from, m_to;
};

// The period and scope of the booking-journal list, the current month and
// kind preset. An empty journal is refused with "Keine Datensätze
// vorhanden!". True with the choice on OK; false and unchanged otherwise.
bool AskRaListePeriod(QDate& from, QDate& to, int& kind);
