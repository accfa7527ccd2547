#pragma once

#include <QDialog>
#include <memory>

class QPlainTextEdit;
class QPushButton;
class TRgvConversion;
namespace table {
class Table;
}

// "Dauerrechnungen konvertieren": converts the client's old billing
// definitions into invoice templates, or passes over them for good.
class TF_CnvRgv : public QDialog {
    Q_OBJECT
public:
    explicit TF_CnvRgv(int mandant, QWidget* parent = nullptr);
    ~TF_CnvRgv() override;

    QPlainTextEdit* Memo1;
    QPushButton* BitBtn1; // "&Konvertieren"
    QPushButton* BitBtn3; // "&Übergehen"
    QPushButton* BitBtn2; // closes the form

    table::Table& TabRgvKopf();
    table::Table& TabRgvSatz();

    void BitBtn1Click();
    void BitBtn3Click();

    // Escape and the title bar's close wait for a running conversion.
    void reject() override;

protected:
    // Directly below the main window, at its left edge, 200 pixels narrower.
    void showEvent(QShowEvent* event) override;

private:
    int m_mandant;
    bool m_busy = false;
    std::unique_ptr<TRgvConversion> m_conversion;
};

// Opens the conversion for the client; a client without any master data has
// nothing to convert and is only marked as converted.
void RunCnvRgv(int mandant);
