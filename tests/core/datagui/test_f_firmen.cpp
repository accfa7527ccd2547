#include "core/data/clientdbfixture.h"
#include "core/data/printforms.h"
#include "core/datagui/f_firmen.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "platform/widgets/fieldform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace {

class FirmenFormTest : public datatest::ClientDbFixture {
protected:
    void SetUp() override {
        ClientDbFixture::SetUp();
        firmen = open(QStringLiteral("Firmen.DB"));
        banken = open(QStringLiteral("Banken.DB"));
        zahlarten = open(QStringLiteral("Zahlart.DB"));
        firmen->first();
        ASSERT_FALSE(firmen->eof());
        form = std::make_unique<TF_Firmen>(*firmen, *banken, *zahlarten);
        form->FormShow();
    }
    void TearDown() override {
        form.reset();
        ClientDbFixture::TearDown();
    }

    QVariant stored(const QString& field) {
        auto t = open(QStringLiteral("Firmen.DB"));
        t->first();
        return t->value(field);
    }

    QLineEdit* line(const char* field) {
        return form->fields().editorAs<QLineEdit>(QString::fromLatin1(field));
    }

    void type(const char* field, const QString& text) {
        QLineEdit* e = line(field);
        ASSERT_NE(e, nullptr) << field;
        e->setText(text);
        e->setModified(true);
        Q_EMIT e->editingFinished();
    }

    std::unique_ptr<table::Table> firmen, banken, zahlarten;
    std::unique_ptr<TF_Firmen> form;
};

TEST_F(FirmenFormTest, EveryFieldOfThePagesIsEditedAndStored) {
    QList<std::pair<QString, QVariant>> expected;
    int n = 0;
    for (const auto& def : firmen->definition().fields) {
        QWidget* editor = form->fields().editor(def.name);
        if (!editor)
            continue;
        ++n;
        if (auto* box = qobject_cast<QCheckBox*>(editor)) {
            const bool want = !box->isChecked();
            box->click();
            expected.append({def.name, want});
        } else if (auto* e = qobject_cast<QLineEdit*>(editor); e && !e->isReadOnly()) {
            QString text;
            QVariant want;
            switch (def.type) {
            case table::FieldType::String:
                text = QStringLiteral("X%1").arg(n).left(def.size);
                want = text;
                break;
            case table::FieldType::Currency:
            case table::FieldType::Float:
                text = QStringLiteral("%1,5").arg(n);
                want = n + 0.5;
                break;
            default:
                text = QString::number(n);
                want = n;
            }
            e->setText(text);
            e->setModified(true);
            Q_EMIT e->editingFinished();
            expected.append({def.name, want});
        }
    }
    EXPECT_GT(expected.size(), 60);
    form->post();
    for (const auto& [field, want] : expected) {
        SCOPED_TRACE(field.toStdString());
        const QVariant got = stored(field);
        if (want.typeId() == QMetaType::Double)
            EXPECT_DOUBLE_EQ(got.toDouble(), want.toDouble());
        else if (want.typeId() == QMetaType::Bool)
            EXPECT_EQ(got.toBool(), want.toBool());
        else
            EXPECT_EQ(got.toString(), want.toString());
    }
}

TEST_F(FirmenFormTest, LeavingACostFieldPostsTheSumsAndTheSumsAreReadOnly) {
    type("F_Miete", QStringLiteral("12000"));
    EXPECT_DOUBLE_EQ(stored(QStringLiteral("F_Gemeinkosten")).toDouble(), 12000);
    type("F_JahresLohn", QStringLiteral("1000"));
    type("F_ZVK", QStringLiteral("20"));
    EXPECT_DOUBLE_EQ(stored(QStringLiteral("F_GesamtKosten")).toDouble(), 13020);
    for (const char* sum : {"F_Lohnkosten", "F_LNebenkosten", "F_Gemeinkosten", "F_GesamtKosten"}) {
        EXPECT_TRUE(line(sum)->isReadOnly()) << sum;
        EXPECT_EQ(line(sum)->focusPolicy(), Qt::NoFocus) << sum;
    }
    EXPECT_EQ(line("F_Gemeinkosten")->text().remove(QLatin1Char('.')).left(5),
              QStringLiteral("12000"));
}

TEST_F(FirmenFormTest, PrintFormChoiceStoresOnlyANewChoiceWithoutPosting) {
    addRow(QStringLiteral("QrFrmDef.DB"),
           {{QStringLiteral("QF_ID"), 10042},
            {QStringLiteral("Q_FormType"), 10000},
            {QStringLiteral("Q_Protect"), false},
            {QStringLiteral("Q_Comment"), QStringLiteral("Mein Formular")}});
    firmen->edit();
    (*firmen)[QStringLiteral("F_PrintFormNo")] = 10042;
    firmen->post();
    int answer = 0;
    QList<std::pair<int, int>> asked;
    form->setPrintFormChooser([&](int type, int current) {
        asked.append({type, current});
        return answer;
    });
    for (int a : {0, 10042}) { // cancelled, and the form already stored
        answer = a;
        form->btnSelectFormClick();
        EXPECT_EQ(firmen->state(), table::TableState::Browse);
    }
    EXPECT_EQ(asked, (QList<std::pair<int, int>>{{10000, 10042}, {10000, 10042}}));
    answer = 10001;
    form->btnSelectFormClick();
    EXPECT_EQ(firmen->state(), table::TableState::Edit);
    EXPECT_EQ(firmen->value(QStringLiteral("F_PrintFormNo")).toInt(), 10001);
    EXPECT_EQ(stored(QStringLiteral("F_PrintFormNo")).toInt(), 10042);
    EXPECT_EQ(form->printFormName()->text(), GetPrintFormComment(10001));
}

TEST_F(FirmenFormTest, LogoIsLoadedShownDescribedAndDeleted) {
    const QString file = path(QStringLiteral("logo.bmp"));
    QImage image(64, 32, QImage::Format_RGB32);
    image.fill(Qt::darkBlue);
    ASSERT_TRUE(image.save(file, "BMP"));
    const QString noPicture = path(QStringLiteral("kaputt.gif"));
    {
        QFile f(noPicture);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("GIF89a nichts");
    }
    QString chosen;
    form->setLogoFileChooser([&] { return chosen; });

    form->Info1Click();
    form->Load1Click(); // cancelled: nothing changes
    EXPECT_TRUE(stored(QStringLiteral("F_Logo")).isNull());
    chosen = file;
    form->Load1Click();
    EXPECT_EQ(stored(QStringLiteral("F_Logo")).toByteArray().left(2), QByteArray("BM"));
    EXPECT_FALSE(form->logo()->pixmap().isNull());
    form->Info1Click();

    // A file that cannot be shown is stored as it is; the picture stays empty.
    chosen = noPicture;
    form->Load1Click();
    EXPECT_EQ(stored(QStringLiteral("F_Logo")).toByteArray(), QByteArray("GIF89a nichts"));
    EXPECT_TRUE(form->logo()->pixmap().isNull());

    presenter.answers = {false, true};
    form->Clear1Click(); // "Nein"
    EXPECT_FALSE(stored(QStringLiteral("F_Logo")).isNull());
    form->Clear1Click(); // "Ja"
    EXPECT_TRUE(stored(QStringLiteral("F_Logo")).isNull());
    form->Info1Click();
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Info),
              (QStringList{QStringLiteral("Kein Bild geladen!"),
                           QStringLiteral("Breite : 64\rHöhe  : 32"),
                           QStringLiteral("Kein Bild geladen!")}));
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Question),
              (QStringList(2, QStringLiteral("Soll die Grafik wirklich gelöscht werden?"))));
}

TEST_F(FirmenFormTest, ChoosingABankByEitherListFillsTheOther) {
    firmen->edit();
    (*firmen)[QStringLiteral("F_Blz")] = QStringLiteral("10090000");
    form->bankBlzChosen();
    EXPECT_EQ(firmen->value(QStringLiteral("F_BankName")).toString(),
              QStringLiteral("Berliner Volksbank"));
    (*firmen)[QStringLiteral("F_BankName")] = QStringLiteral("Postbank Berlin");
    form->bankNameChosen();
    EXPECT_EQ(firmen->value(QStringLiteral("F_Blz")).toString(), QStringLiteral("10010010"));
}

TEST_F(FirmenFormTest, EachCounterSitsBesideTheMaskOfItsDocumentKind) {
    // The masks of a new client begin with their kind's letters.
    const struct {
        const char* caption;
        const char* mask;
    } cases[] = {{"Nächste &Lieferscheinnummer", "LS"}, {"Nächste &Angebotsnummer", "AN"},
                 {"Nächste A&uftragsnummer", "AU"},     {"Nächste &Rechnungsnummer", "AR"},
                 {"Nächste Gut&schriftnummer", "GS"},   {"Nächste Eingangsrechnung", "ER"},
                 {"Nächste Bestellung", "BS"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        QString counter;
        for (const auto& def : firmen->definition().fields)
            if (QLabel* l = form->fields().label(def.name);
                l && l->text() == QString::fromUtf8(c.caption))
                counter = def.name;
        ASSERT_TRUE(counter.startsWith(QStringLiteral("F_NextNr")));
        const QString mask =
            QString(counter).replace(QStringLiteral("NextNr"), QStringLiteral("FormatNr"));
        EXPECT_TRUE(
            line(mask.toLatin1().constData())->text().startsWith(QString::fromLatin1(c.mask)));
    }
}

TEST_F(FirmenFormTest, ClosingPostsAnOpenEditAndAScreenshotIsTaken) {
    form->show();
    EXPECT_EQ(form->fields().pages()->tabText(form->fields().pages()->currentIndex()),
              QStringLiteral("&Grunddaten"));
    form->grab().save(QStringLiteral("/tmp/domvera_firmendaten.png"));
    form->fields().pages()->setCurrentIndex(2);
    form->grab().save(QStringLiteral("/tmp/domvera_firmendaten_diverses.png"));
    form->fields().pages()->setCurrentIndex(3);
    form->grab().save(QStringLiteral("/tmp/domvera_firmendaten_kosten.png"));
    firmen->edit();
    (*firmen)[QStringLiteral("F_Name1")] = QStringLiteral("Glanz & Co. GmbH");
    form->done(QDialog::Accepted);
    EXPECT_EQ(firmen->state(), table::TableState::Browse);
    EXPECT_EQ(stored(QStringLiteral("F_Name1")).toString(), QStringLiteral("Glanz & Co. GmbH"));
}

TEST_F(FirmenFormTest, PrintButtonsWaitForTheirPrinterAndPrintWhatTheFormShows) {
    auto* print = form->findChild<QPushButton*>(QStringLiteral("btnPrint"));
    auto* preview = form->findChild<QPushButton*>(QStringLiteral("btnPreview"));
    ASSERT_NE(print, nullptr);
    ASSERT_NE(preview, nullptr);
    EXPECT_FALSE(print->isEnabled());
    EXPECT_FALSE(preview->isEnabled());

    QList<std::pair<bool, QString>> printed;
    form->setPrinter([&](QWidget*, bool isPreview) {
        printed.append({isPreview, stored(QStringLiteral("F_Name1")).toString()});
    });
    ASSERT_TRUE(print->isEnabled());
    type("F_Name1", QStringLiteral("Blitzblank KG"));
    preview->click();
    print->click();
    EXPECT_EQ(printed, (QList<std::pair<bool, QString>>{{true, QStringLiteral("Blitzblank KG")},
                                                        {false, QStringLiteral("Blitzblank KG")}}));

    // A refused post is shown and nothing prints; the edit stays pending.
    firmen->beforePost += [](table::Table&) { throw DbError(QStringLiteral("Firma gesperrt")); };
    type("F_Name1", QStringLiteral("Anders GmbH"));
    print->click();
    EXPECT_EQ(printed.size(), 2);
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Error),
              QStringList{QStringLiteral("Firma gesperrt")});
    EXPECT_TRUE(firmen->isEditing());
    firmen->cancel();
}

} // namespace
