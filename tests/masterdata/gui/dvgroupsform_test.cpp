#include "core/data/dbhelpers.h"
#include "core/files/programdirs.h"
#include "masterdata/gui/docforms.h"
#include "masterdata/gui/dvgroupsform.h"
#include "platform/table/table.h"
#include "platform/widgets/fieldform.h"
#include "tableformfixture.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The groups a new client starts with, the folder dialog scripted.
class DvGroupsForm : public formtest::TableFormTest {
protected:
    void SetUp() override {
        TableFormTest::SetUp();
        ASSERT_TRUE(files.isValid());
        root = QDir(files.path()).canonicalPath();
        QDir(root).mkpath(u"prog"_s);
        QDir(root).mkpath(u"vorlagen"_s);
        m_programDir = ProgramDir;
        SetProgramDir(root + u"/prog"_s);
        m_dialogs = SetDocFileDialogs({{}, [this](QWidget*, const QString& dir) {
                                           asked << dir;
                                           return chosenFolder;
                                       }});
    }
    void TearDown() override {
        SetDocFileDialogs(m_dialogs);
        ProgramDir = m_programDir;
        TableFormTest::TearDown();
    }
    // Opens the form, runs work on the group with key id and closes it.
    void onGroup(int id, const std::function<void(TF_TableForm&)>& work) {
        ASSERT_TRUE(whenFormShown(
            [&](TF_TableForm& form) {
                EXPECT_FALSE(dm->IsTimerWorkEnabled());
                EXPECT_TRUE(form.table().locate({u"DG_ID"_s}, {id}));
                work(form);
                form.close();
            },
            [] { ShowDvGroupsForm(); }));
        EXPECT_TRUE(dm->IsTimerWorkEnabled());
        EXPECT_FALSE(dm->TabDvGroups().isOpen());
    }
    QVariantList stored(int id) {
        auto t = open(u"DVgroups.DB"_s);
        if (!t->locate({u"DG_ID"_s}, {id}))
            return {};
        QVariantList values;
        for (const char* f : {"DG_Type", "DG_Name", "DG_Mask", "DG_Prefix", "DG_Suffix"})
            values << t->field(QString::fromLatin1(f)).value();
        values << FieldText(*t, u"DG_Defpath"_s);
        return values;
    }

    QTemporaryDir files;
    QString root;
    QStringList asked;
    QString chosenFolder;

private:
    QString m_programDir;
    DocFileDialogs m_dialogs;
};

TEST_F(DvGroupsForm, CopyDiffersOnlyInItsKey) {
    {
        auto t = open(u"DVgroups.DB"_s);
        ASSERT_TRUE(t->locate({u"DG_ID"_s}, {2}));
        t->edit();
        t->field(u"DG_Defpath"_s) = root + u"/vorlagen/"_s;
        t->post();
    }
    const int next = [&] {
        auto t = open(u"DVgroups.DB"_s);
        return GetNextId(*t, u"DG_ID"_s);
    }();
    onGroup(2, [](TF_TableForm& form) {
        ASSERT_NE(form.contextMenu(), nullptr);
        const QList<QAction*> items = form.contextMenu()->actions();
        ASSERT_EQ(items.size(), 2);
        EXPECT_EQ(items[1]->text(), u"Abbrechen"_s);
        EXPECT_EQ(items[0]->text(), u"Gruppe kopieren"_s);
        items[0]->trigger();
        EXPECT_FALSE(form.table().isEditing());
    });
    EXPECT_FALSE(stored(next).isEmpty());
    EXPECT_EQ(stored(next), stored(2));
    EXPECT_EQ(stored(2).last().toString(), root + u"/vorlagen/"_s);
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(DvGroupsForm, PathChoiceStartsInTheStoredFolderOrElseTheProgramDirectory) {
    const struct {
        QString stored;
        QString chosen;
        QString start;
        QString result;
    } cases[] = {
        {root + u"/vorlagen/"_s, root + u"/prog"_s, root + u"/vorlagen"_s, root + u"/prog/"_s},
        {root + u"/weg/"_s, root + u"/vorlagen"_s, root + u"/prog"_s, root + u"/vorlagen/"_s},
        {QString(), root + u"/vorlagen/"_s, root + u"/prog"_s, root + u"/vorlagen/"_s},
        {root + u"/weg/"_s, QString(), root + u"/prog"_s, root + u"/weg/"_s}, // cancelled
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.toStdString() + " -> " + c.chosen.toStdString());
        asked.clear();
        chosenFolder = c.chosen;
        onGroup(3, [&](TF_TableForm& form) {
            if (form.table().isEditing())
                form.table().cancel();
            form.table().edit();
            form.table()[u"DG_Defpath"_s] = c.stored;
            form.table().post();
            // As the user reaches it: a double-click on the field.
            auto* edit = form.fields()->editorAs<QLineEdit>(u"DG_Defpath"_s);
            ASSERT_NE(edit, nullptr);
            QTest::mouseDClick(edit, Qt::LeftButton);
            EXPECT_EQ(form.table().isEditing(), !c.chosen.isEmpty());
        });
        EXPECT_EQ(asked, QStringList{c.start});
        EXPECT_EQ(stored(3).last().toString(), c.result);
    }
}

} // namespace
