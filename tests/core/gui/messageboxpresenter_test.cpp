#include "core/gui/messageboxpresenter.h"
#include "core/messages/messages.h"
#include "modaldriver.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// What the test saw of the box while it was open.
struct SeenBox {
    QString title;
    QString text;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QPoint pos;
    QPoint center;
    QString defaultButton;
};

enum class Close { Ok, Yes, No, Cancel, Escape, CloseButton };

class MessageBoxes : public ::testing::Test {
protected:
    void SetUp() override { m_previous = SetMessagePresenter(&m_presenter); }
    void TearDown() override { SetMessagePresenter(m_previous); }

    // Closes the next box the given way after noting what it shows.
    void answer(Close how) {
        WhenModalShown([this, how](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr);
            m_seen.title = box->windowTitle();
            m_seen.text = box->text();
            m_seen.icon = box->icon();
            m_seen.pos = box->pos();
            m_seen.center = box->frameGeometry().center();
            m_seen.defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
            m_seen.buttons.clear();
            for (QAbstractButton* b : box->buttons())
                m_seen.buttons.append(b->text());
            m_seen.buttons.sort();
            switch (how) {
            case Close::Ok:
                clickButton(box, QStringLiteral("OK"));
                break;
            case Close::Yes:
                clickButton(box, QStringLiteral("&Ja"));
                break;
            case Close::No:
                clickButton(box, QStringLiteral("&Nein"));
                break;
            case Close::Cancel:
                clickButton(box, QStringLiteral("Abbrechen"));
                break;
            case Close::Escape:
                QTest::keyClick(box, Qt::Key_Escape);
                break;
            case Close::CloseButton:
                box->close();
                break;
            }
        });
    }

    static void clickButton(QMessageBox* box, const QString& text) {
        for (QAbstractButton* b : box->buttons()) {
            if (b->text() == text) {
                b->click();
                return;
            }
        }
        ADD_FAILURE() << "no button " << text.toStdString();
        box->close();
    }

    int m_beeps = 0;
    MessageBoxPresenter m_presenter{[this] { ++m_beeps; }};
    MessagePresenter* m_previous = nullptr;
    SeenBox m_seen;
};

TEST_F(MessageBoxes, QuestionIsYesOnlyForJa) {
    struct Case {
        Close how;
        bool expected;
    };
    const Case cases[] = {{Close::Yes, true},
                          {Close::No, false},
                          {Close::Escape, false},
                          {Close::CloseButton, false}};
    for (const auto& c : cases) {
        answer(c.how);
        EXPECT_EQ(AskYesNo(QStringLiteral("Weiter?")), c.expected) << int(c.how);
        EXPECT_EQ(m_seen.title, QStringLiteral("Bestätigung"));
        EXPECT_EQ(m_seen.buttons, (QStringList{QStringLiteral("&Ja"), QStringLiteral("&Nein")}));
        EXPECT_EQ(m_seen.icon, QMessageBox::Question);
        answer(c.how);
        EXPECT_EQ(AskYesNoAt(QStringLiteral("Weiter?"), 50, 60), c.expected) << int(c.how);
    }
    EXPECT_EQ(m_beeps, 8);
}

// Enter never deletes: a question that deletes defaults to "Nein".
TEST_F(MessageBoxes, DeleteQuestionsDefaultToNein) {
    const struct {
        const char* question;
        const char* defaultButton;
    } cases[] = {
        {"Möchten Sie den Datensatz löschen?", "&Nein"},
        {"Möchten Sie die Benutzergruppe Technik löschen?", "&Nein"},
        {"Vorhandene Adressen löschen?", "&Nein"},
        {"Soll die Grafik wirklich gelöscht werden?", "&Nein"},
        {"Gesamte Tabelle LÖSCHEN?", "&Nein"},
        {"Möchten Sie die Änderungen speichern?", "&Ja"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.question);
        answer(Close::Yes);
        EXPECT_TRUE(AskYesNo(QString::fromUtf8(c.question)));
        EXPECT_EQ(m_seen.defaultButton, QString::fromUtf8(c.defaultButton));
    }
    // Enter on the delete question answers "Nein".
    WhenModalShown([](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
    EXPECT_FALSE(AskYesNo(QStringLiteral("Möchten Sie den Datensatz löschen?")));
}

TEST_F(MessageBoxes, WarningIsTrueOnlyForOk) {
    struct Case {
        Close how;
        bool expected;
    };
    const Case cases[] = {{Close::Ok, true},
                          {Close::Cancel, false},
                          {Close::Escape, false},
                          {Close::CloseButton, false}};
    for (const auto& c : cases) {
        answer(c.how);
        EXPECT_EQ(AskWarningOkCancel(QStringLiteral("Trotzdem?")), c.expected) << int(c.how);
        EXPECT_EQ(m_seen.title, QStringLiteral("Warnung"));
        EXPECT_EQ(m_seen.buttons, (QStringList{QStringLiteral("Abbrechen"), QStringLiteral("OK")}));
        EXPECT_EQ(m_seen.icon, QMessageBox::Warning);
    }
    EXPECT_EQ(m_beeps, 4);
}

TEST_F(MessageBoxes, NoticesHaveTheirCaptionIconAndOneOkButton) {
    struct Case {
        std::function<void()> show;
        const char* title;
        QMessageBox::Icon icon;
        int beeps;
    };
    const QString msg = QStringLiteral("Hinweis");
    const Case cases[] = {
        {[&] { ShowError(msg); }, "Fehler", QMessageBox::Critical, 1},
        {[&] { ShowErrorAt(msg, 10, 20); }, "Fehler", QMessageBox::Critical, 1},
        {[&] { ShowInfo(msg); }, "Information", QMessageBox::Information, 1},
        {[&] { ShowInfoQuiet(msg); }, "Information", QMessageBox::Information, 0},
        {[&] { ShowNoSearchField(); }, "Information", QMessageBox::Information, 1},
    };
    for (const auto& c : cases) {
        m_beeps = 0;
        answer(Close::Ok);
        c.show();
        EXPECT_EQ(m_seen.title, QString::fromUtf8(c.title));
        EXPECT_EQ(m_seen.icon, c.icon) << c.title;
        EXPECT_EQ(m_seen.buttons, QStringList{QStringLiteral("OK")}) << c.title;
        EXPECT_EQ(m_beeps, c.beeps) << c.title;
    }
    EXPECT_EQ(m_seen.text, QStringLiteral("Dieses Feld ist kein Suchfeld!"));
}

TEST_F(MessageBoxes, NoticesCloseWithEscapeToo) {
    answer(Close::Escape);
    ShowInfo(QStringLiteral("x"));
    EXPECT_EQ(m_seen.title, QStringLiteral("Information"));
}

TEST_F(MessageBoxes, CarriageReturnsBreakLinesAndMarkupStaysText) {
    answer(Close::Ok);
    ShowInfo(QStringLiteral("Zeile 1\rZeile 2\r\n<b>3</b>"));
    EXPECT_EQ(m_seen.text, QStringLiteral("Zeile 1\nZeile 2\n<b>3</b>"));
}

TEST_F(MessageBoxes, PlacedAtTheGivenPositionOrCentred) {
    answer(Close::Yes);
    AskYesNoAt(QStringLiteral("Hier?"), 120, 80);
    EXPECT_EQ(m_seen.pos, QPoint(120, 80));
    answer(Close::Ok);
    ShowErrorAt(QStringLiteral("Hier!"), 30, 40);
    EXPECT_EQ(m_seen.pos, QPoint(30, 40));

    answer(Close::Ok);
    ShowError(QStringLiteral("Mitte"));
    const QPoint screenCenter = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((m_seen.center - screenCenter).manhattanLength(), 4)
        << m_seen.center.x() << "," << m_seen.center.y();
}

TEST(MessageBoxInstall, InstallsAPresenterThatShowsBoxes) {
    MessagePresenter* before = SetMessagePresenter(nullptr);
    InstallMessageBoxes();
    MessagePresenter* installed = SetMessagePresenter(before);
    EXPECT_NE(dynamic_cast<MessageBoxPresenter*>(installed), nullptr);
}

} // namespace
