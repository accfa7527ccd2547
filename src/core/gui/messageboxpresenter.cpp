#include "core/gui/messageboxpresenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

// Texts separate their lines with "\r"; the box wants "\n".
QString withLineBreaks(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}

} // namespace

MessageBoxPresenter::MessageBoxPresenter(Beep beep) : m_beep(std::move(beep)) {
    if (!m_beep)
        m_beep = [] { QApplication::beep(); };
}

bool MessageBoxPresenter::show(Kind kind, const QString& text, int x, int y) {
    QMessageBox box;
    box.setTextFormat(Qt::PlainText);
    box.setText(withLineBreaks(text));
    QPushButton* yes = nullptr;
    switch (kind) {
    case Kind::Error:
        box.setWindowTitle(QStringLiteral("Fehler"));
        box.setIcon(QMessageBox::Critical);
        break;
    case Kind::Info:
    case Kind::InfoQuiet:
        box.setWindowTitle(QStringLiteral("Information"));
        box.setIcon(QMessageBox::Information);
        break;
    case Kind::Question:
        box.setWindowTitle(QStringLiteral("Bestätigung"));
        box.setIcon(QMessageBox::Question);
        break;
    case Kind::Warning:
        box.setWindowTitle(QStringLiteral("Warnung"));
        box.setIcon(QMessageBox::Warning);
        break;
    }
    if (kind == Kind::Question) {
        yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
        box.setDefaultButton(AsksToDelete(text) ? no : yes);
        // Escape and the window's close button answer "Nein".
        box.setEscapeButton(no);
    } else if (kind == Kind::Warning) {
        yes = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        QPushButton* cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(cancel);
    } else {
        QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.setDefaultButton(ok);
        box.setEscapeButton(ok);
    }
    if (x >= 0 && y >= 0)
        box.move(x, y);
    if (kind != Kind::InfoQuiet)
        m_beep();
    box.exec();
    return yes != nullptr && box.clickedButton() == yes;
}

void InstallMessageBoxes() {
    static MessageBoxPresenter presenter;
    SetMessagePresenter(&presenter);
}
