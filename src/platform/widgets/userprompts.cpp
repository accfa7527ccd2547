#include "platform/widgets/userprompts.h"

#include "platform/errors.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace widgets {

namespace {

ErrorPresenter& errorPresenter() {
    static ErrorPresenter presenter;
    return presenter;
}

QuestionPresenter& questionPresenter() {
    static QuestionPresenter presenter;
    return presenter;
}

} // namespace

void setErrorPresenter(ErrorPresenter presenter) {
    errorPresenter() = std::move(presenter);
}

void setQuestionPresenter(QuestionPresenter presenter) {
    questionPresenter() = std::move(presenter);
}

void showError(QWidget* parent, const QString& message) {
    if (errorPresenter()) {
        errorPresenter()(parent, message);
        return;
    }
    QApplication::beep();
    QMessageBox::critical(parent, QStringLiteral("Fehler"), message);
}

bool askYesNo(QWidget* parent, const QString& question) {
    if (questionPresenter())
        return questionPresenter()(parent, question);
    QApplication::beep();
    QMessageBox box(QMessageBox::Question, QStringLiteral("Bestätigung"), question,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Nein"));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool guarded(QWidget* parent, const std::function<void()>& action) {
    try {
        action();
        return true;
    } catch (const Abort&) {
        return false;
    } catch (const DbError& e) {
        showError(parent, e.message());
    } catch (const std::exception& e) {
        showError(parent, QString::fromUtf8(e.what()));
    }
    return false;
}

} // namespace widgets
