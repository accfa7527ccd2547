#include "commercial/fakturafixture.h"
#include "commercial/gui/commercialmodules.h"
#include "commercial/gui/f_cnvrgv.h"
#include "core/gui/mainform.h"
#include "core/moduleentries.h"
#include "core/rights/rights.h"
#include "core/settings/programsettings.h"
#include "core/settings/settingsfiles.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using fakturatest::s;

// Runs action on each modal window shown while the watch lives.
class ModalWatch {
public:
    explicit ModalWatch(std::function<void(QWidget*)> action) : m_action(std::move(action)) {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible() || modal == m_last)
                return;
            m_last = modal;
            m_action(modal);
        });
        m_timer.start();
    }

private:
    QTimer m_timer;
    std::function<void(QWidget*)> m_action;
    QWidget* m_last = nullptr;
};

// The forms the test saw, with what it did in them.
struct Seen {
    QString caption;
    QString memoBefore;
    QString memoAfter;
    bool defaultButton = false;
    QRect geometry;
};

class CnvRgvForm : public fakturatest::Faktura {
protected:
    void SetUp() override {
        Faktura::SetUp();
        m_savedMandant = MandantNr;
        MandantNr = 1;
        m_savedUser = CurrentUser;
        CurrentUser = TUserRec();
        RegisterCommercialModules(dispatcher);
        main = std::make_unique<TF_LumoMain>(dispatcher);
        main->setGeometry(100, 50, 900, 80);
        main->show();
        addRow(s("ORgDef.db"), {{s("T_ID"), 1},
                                {s("T_ObjektNr"), 10},
                                {s("T_Nr"), 1},
                                {s("T_Netto"), 25.0},
                                {s("T_MwstKz"), 1}});
    }
    void TearDown() override {
        main.reset();
        CurrentUser = m_savedUser;
        MandantNr = m_savedMandant;
        Faktura::TearDown();
    }

    // Runs the menu entry; in a form that shows up, clicks the button with
    // the caption and closes the form afterwards unless the click did.
    void runEntry(const QString& click) {
        ModalWatch watch([this, click](QWidget* modal) {
            auto* form = qobject_cast<TF_CnvRgv*>(modal);
            ASSERT_NE(form, nullptr);
            Seen seen{form->windowTitle(),
                      form->Memo1->toPlainText(),
                      {},
                      form->BitBtn1->isDefault(),
                      form->frameGeometry()};
            for (QPushButton* b : form->findChildren<QPushButton*>())
                if (b->text() == click)
                    b->click();
            seen.memoAfter = form->Memo1->toPlainText();
            forms << seen;
            if (form->isVisible())
                form->BitBtn2->click();
        });
        menuEntry()->trigger();
    }
    QAction* menuEntry() {
        return main->menuItem(s("Sonstiges"), s("Rechnungsvorlagen konvertieren"));
    }
    int templates() { return open(s("Rgvkopf.db"))->recordCount(); }

    ModuleDispatcher dispatcher;
    std::unique_ptr<TF_LumoMain> main;
    QList<Seen> forms;

private:
    int m_savedMandant = 0;
    TUserRec m_savedUser;
};

TEST_F(CnvRgvForm, KonvertierenFromTheMenuEntry) {
    ASSERT_TRUE(menuEntry()->isEnabled());
    runEntry(s("&Konvertieren"));
    ASSERT_EQ(forms.size(), 1);
    const Seen& f = forms[0];
    EXPECT_EQ(f.caption, s("Dauerrechnungen konvertieren"));
    EXPECT_EQ(f.memoBefore,
              s("Mit diesem Programmteil konvertieren Sie Ihre Dauerrechnungs-Definitionen in das\n"
                "von Domvera Version 2.20 verwendete Format übersetzen lassen."));
    const QString rule(53, u'-');
    EXPECT_EQ(f.memoAfter,
              QStringList({s("Konvertiere Rechnungsvorlagen"), s("Daten in ") + DataDir, rule,
                           s("Objekt:       10 Rg-Formular 1"),
                           s("Konvertierung der Dauerrechnungen beendet"), rule})
                  .join(u'\n'));
    EXPECT_TRUE(f.defaultButton);
    // Below the main window, at its left edge, 200 pixels narrower.
    EXPECT_EQ(f.geometry.left(), main->frameGeometry().left());
    EXPECT_GE(f.geometry.top(), main->frameGeometry().bottom());
    EXPECT_EQ(f.geometry.width() + 200, main->frameGeometry().width());
    EXPECT_TRUE(presenter.texts(MessagePresenter::Kind::Question).isEmpty());
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Info),
              QStringList{s("Konvertierung der Dauerrechnungen beendet")});
    EXPECT_EQ(templates(), 1);
    EXPECT_TRUE(IsRgvConverted(1));
}

TEST_F(CnvRgvForm, AConvertedClientIsAskedFirst) {
    ASSERT_TRUE(MarkRgvConverted(1));
    presenter.answers = {false};
    runEntry(s("&Konvertieren"));
    EXPECT_TRUE(forms.isEmpty());
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Question),
              QStringList{s("Die Rechnungsvorlagen wurden bereits konvertiert.\rTrotzdem "
                            "fortfahren?")});
    EXPECT_EQ(templates(), 0);

    presenter.answers = {true};
    runEntry(s("&Konvertieren"));
    EXPECT_EQ(forms.size(), 1);
    EXPECT_EQ(templates(), 1);
}

TEST_F(CnvRgvForm, UebergehenMarksTheClientAndCloses) {
    runEntry(s("&Übergehen"));
    ASSERT_EQ(forms.size(), 1);
    EXPECT_EQ(forms[0].memoAfter, forms[0].memoBefore);
    EXPECT_TRUE(IsRgvConverted(1));
    EXPECT_EQ(templates(), 0);
}

TEST_F(CnvRgvForm, AFailedRunShowsTheErrorAndKeepsTheForm) {
    // A template held by another workstation cannot be replaced.
    addRow(s("Rgvkopf.db"), {{s("R_ID"), 1}, {s("R_Nr"), s("RV10_01")}});
    datatest::HeldElsewhere held(s("Rgvkopf.db"), s("R_ID"), 1);
    ModalWatch watch([this](QWidget* modal) {
        auto* form = qobject_cast<TF_CnvRgv*>(modal);
        ASSERT_NE(form, nullptr);
        form->BitBtn1->click();
        EXPECT_TRUE(form->isVisible());
        EXPECT_TRUE(form->BitBtn1->isEnabled());
        EXPECT_FALSE(form->TabRgvKopf().isOpen());
        form->BitBtn2->click();
    });
    menuEntry()->trigger();
    ASSERT_EQ(presenter.texts(MessagePresenter::Kind::Error).size(), 1);
    EXPECT_TRUE(presenter.texts(MessagePresenter::Kind::Error)[0].startsWith(
        s("Die vorhandenen Rechnungsvorlagen konnten nicht gelöscht werden:")));
    EXPECT_FALSE(IsRgvConverted(1));
}

// The fixture without any master data.
class CnvRgvEmptyClient : public datatest::RecordRules {
protected:
    void SetUp() override {
        RecordRules::SetUp();
        m_savedProgramDir = ProgramDir;
        SetProgramDir(path(QStringLiteral("Data0000")));
    }
    void TearDown() override {
        ProgramDir = m_savedProgramDir;
        RecordRules::TearDown();
    }

private:
    QString m_savedProgramDir;
};

TEST_F(CnvRgvEmptyClient, OnlyMarksAClientWithoutMasterData) {
    bool shown = false;
    ModalWatch watch([&shown](QWidget* modal) {
        shown = true;
        modal->close();
    });
    RunCnvRgv(1);
    EXPECT_FALSE(shown);
    EXPECT_TRUE(IsRgvConverted(1));
    const QStringList infos = presenter.texts(MessagePresenter::Kind::Info);
    ASSERT_EQ(infos.size(), 1) << "the run says what it did";
    EXPECT_TRUE(infos[0].contains(QStringLiteral("gelten damit als konvertiert")))
        << infos[0].toStdString();
}

} // namespace
