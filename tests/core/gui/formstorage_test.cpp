#include "core/gui/formstorage.h"
#include "core/messages/messages.h"
#include "core/settings/formplacement.h"
#include "core/settings/inifile.h"

#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class FormStorageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_hadValue = qEnvironmentVariableIsSet("DOMVERA_WINDIR");
        m_saved = qgetenv("DOMVERA_WINDIR");
        qputenv("DOMVERA_WINDIR", m_dir.path().toLocal8Bit());
    }
    void TearDown() override {
        if (m_hadValue)
            qputenv("DOMVERA_WINDIR", m_saved);
        else
            qunsetenv("DOMVERA_WINDIR");
    }

    // A small list form: a grid with three columns and a hidden sort label.
    struct ListForm {
        QWidget form;
        QTableWidget* grid;
        QLabel* sortLabel;
        FormStorage* storage;
        ListForm() {
            auto* layout = new QVBoxLayout(&form);
            grid = new QTableWidget(3, 3, &form);
            grid->setObjectName(QStringLiteral("GridKunden"));
            sortLabel = new QLabel(QStringLiteral("K_Nr"), &form);
            sortLabel->setObjectName(QStringLiteral("lbSort"));
            sortLabel->hide();
            layout->addWidget(grid);
            layout->addWidget(sortLabel);
            form.setGeometry(30, 40, 500, 300);
            storage = new FormStorage(&form, kPlacementFile03, QStringLiteral("Kunden"));
            storage->setStoredProperties(
                {QStringLiteral("GridKunden.Columns"), QStringLiteral("lbSort.Caption")});
        }
    };

    QTemporaryDir m_dir;
    QByteArray m_saved;
    bool m_hadValue = false;
};

TEST_F(FormStorageTest, PlacementAndPropertiesSurviveTheNextRun) {
    {
        ListForm first;
        first.form.show();
        first.form.move(60, 70);
        first.form.resize(640, 380);
        first.grid->horizontalHeader()->resizeSection(1, 177);
        first.grid->horizontalHeader()->moveSection(2, 0);
        first.sortLabel->setText(QStringLiteral("K_Match"));
        first.form.close();
    }
    ListForm second;
    EXPECT_EQ(second.sortLabel->text(), QStringLiteral("K_Nr"));
    second.form.show();
    EXPECT_EQ(second.form.pos(), QPoint(60, 70));
    EXPECT_EQ(second.form.size(), QSize(640, 380));
    EXPECT_EQ(second.grid->horizontalHeader()->sectionSize(1), 177);
    EXPECT_EQ(second.grid->horizontalHeader()->visualIndex(2), 0);
    EXPECT_EQ(second.sortLabel->text(), QStringLiteral("K_Match"));
}

TEST_F(FormStorageTest, AMissingFileLeavesTheDesign) {
    ListForm form;
    form.form.show();
    EXPECT_EQ(form.form.size(), QSize(500, 300));
    EXPECT_EQ(form.sortLabel->text(), QStringLiteral("K_Nr"));
}

TEST_F(FormStorageTest, PositionOnlyFormsDoNotStoreTheirState) {
    QWidget form;
    form.setGeometry(10, 10, 400, 300);
    new FormStorage(&form, kPlacementFile01, QStringLiteral("Adress"), StorePosition);
    form.show();
    form.hide();
    IniFile ini(FormPlacementFilePath(kPlacementFile01));
    ASSERT_TRUE(ini.load());
    EXPECT_TRUE(ini.valueExists(QStringLiteral("Adress"), QStringLiteral("Width")));
    EXPECT_FALSE(ini.valueExists(QStringLiteral("Adress"), QStringLiteral("WindowState")));
}

class RecordingPresenter : public MessagePresenter {
public:
    bool show(Kind kind, const QString& text, int, int) override {
        errors += kind == Kind::Error ? 1 : 0;
        lastText = text;
        return false;
    }
    int errors = 0;
    QString lastText;
};

TEST_F(FormStorageTest, AFileThatCannotBeWrittenIsReported) {
    // The Windows directory lies below a plain file: nothing can be written there.
    QFile blocker(m_dir.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("DOMVERA_WINDIR", (blocker.fileName() + QStringLiteral("/win")).toLocal8Bit());
    RecordingPresenter presenter;
    MessagePresenter* previous = SetMessagePresenter(&presenter);
    {
        ListForm form;
        form.form.show();
        form.form.hide();
    }
    SetMessagePresenter(previous);
    EXPECT_GE(presenter.errors, 1);
    EXPECT_TRUE(presenter.lastText.contains(QStringLiteral("DomveraPlan03.ini")));
}

} // namespace
