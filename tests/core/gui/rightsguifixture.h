#pragma once

#include "core/framefixture.h"
#include "core/messages/manuals.h"
#include "core/rights/rights.h"
#include "core/rights/rightsstore.h"
#include "core/rightsfixture.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <functional>
#include <memory>

namespace rightsguitest {

using namespace rightstest;

// Runs the steps, one per modal window, each as soon as a new modal window
// is shown; a step not reached by the end of the scope is reported.
class ModalSteps {
public:
    using Step = std::function<void(QWidget*)>;
    explicit ModalSteps(QList<Step> steps) : m_steps(std::move(steps)) {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }
    ~ModalSteps() { EXPECT_EQ(m_done, m_total) << "modal windows driven"; }

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || m_steps.isEmpty() ||
            modal->property("drivenByTest").toBool())
            return;
        modal->setProperty("drivenByTest", true);
        Step step = m_steps.takeFirst();
        ++m_done;
        step(modal);
    }

    QList<Step> m_steps;
    qsizetype m_total = m_steps.size();
    qsizetype m_done = 0;
    QTimer m_timer;
};

inline void Type(QWidget* dialog, const char* field, const QString& text) {
    auto* edit = dialog->findChild<QLineEdit*>(QString::fromLatin1(field));
    ASSERT_NE(edit, nullptr) << field;
    edit->setText(text);
}

inline void Click(QWidget* dialog, const char* button) {
    auto* b = dialog->findChild<QPushButton*>(QString::fromLatin1(button));
    ASSERT_NE(b, nullptr) << button;
    b->click();
}

// A program directory with a rights file: master "Chef", submaster "Buero",
// users "Kasse" and "Lager", group "Büro" in slot 1.
class RightsGui : public frametest::ProgramDirFixture {
protected:
    void SetUp() override {
        ProgramDirFixture::SetUp();
        CurrentUser = TUserRec();
        TUserRec chef = User(QStringLiteral("Chef"), QStringLiteral("Geheim1"), ukMaster);
        for (int nr = 1; nr <= 64; ++nr)
            chef.rights.set(nr, rbAllRights);
        TUserRec buero = chef;
        buero.name = QStringLiteral("Buero");
        buero.password = QStringLiteral("buero12");
        buero.kind = ukSubmaster;
        buero.rights.set(24, rbAllRights & ~rbDelete);
        const TUserRec kasse =
            With(User(QStringLiteral("Kasse"), QStringLiteral("kasse12"), ukUser), 24, rbView);
        const TUserRec lager = User(QStringLiteral("Lager"), QStringLiteral("lager12"), ukUser);
        const TUserRec office = With(Group(QStringLiteral("Büro"), 1), 24, rbAllRights);
        writeBytes(ProgramDir + QStringLiteral("Rights.dat"),
                   EncodeRightsFile(Records({office}, {chef, buero, kasse, lager})));
        ASSERT_TRUE(LoadRights());
    }
    void TearDown() override {
        ProgramRights().unlock();
        CurrentUser = TUserRec();
        ProgramDirFixture::TearDown();
    }
    // "?Info?" opens the rights page of the manual; while the file is missing
    // the message names it.
    void expectRightsManual(QPushButton* info) {
        ASSERT_TRUE(info->isEnabled());
        const QString page = ProgramDir + QStringLiteral("Handbuch/Html/benutzerrechte.html");
        presenter.boxes.clear();
        info->click();
        EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Error),
                  QStringList{QStringLiteral("Die Handbuchdatei\r") +
                              QDir::toNativeSeparators(page) +
                              QStringLiteral("\rist nicht vorhanden.")});
        writeBytes(page, "<html></html>");
        QStringList opened;
        const DocumentOpener previous =
            SetDocumentOpener([&opened](const QString& path, DocumentVerb) {
                opened << path;
                return true;
            });
        presenter.boxes.clear();
        info->click();
        SetDocumentOpener(previous);
        EXPECT_EQ(opened, QStringList{page});
        EXPECT_TRUE(presenter.boxes.isEmpty());
    }
    // No column title is cut off.
    static void expectTitlesFit(std::initializer_list<QTableWidget*> grids) {
        for (QTableWidget* grid : grids)
            for (int c = 0; c < grid->columnCount(); ++c)
                EXPECT_GE(grid->columnWidth(c), grid->horizontalHeader()->sectionSizeHint(c))
                    << grid->objectName().toStdString() << " column " << c;
    }
    TUserRec saved(const QString& name) {
        RightsStore reader(ProgramDir);
        reader.load();
        TUserRec rec;
        reader.list().getUserRecByName(name, rec);
        return rec;
    }
};

} // namespace rightsguitest
