// What users type into fields: dates in the short forms the placeholder
// suggests, numbers kept free of letters while typed, and refusals that name
// the field by the caption the user sees.
#include "platform/table/tableerror.h"
#include "platform/table/values.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbdateedit.h"
#include "platform/widgets/dbedit.h"
#include "platform/widgets/fieldform.h"
#include "platform/widgets/typedinput.h"
#include "widgetfixture.h"

#include <QLabel>
#include <QTest>
#include <QVBoxLayout>

using widgets::DataGrid;
using widgets::FieldDecl;
using widgets::FieldKind;

namespace {

void typeAndLeave(QLineEdit& edit, const QString& text) {
    edit.setText(text);
    edit.setModified(true);
    Q_EMIT edit.editingFinished();
}

} // namespace

TEST(TypedDate, ShortFormsAndRefusals) {
    const struct {
        const char* typed;
        QDate date; // invalid: refused
    } cases[] = {
        {"01.03.2024", QDate(2024, 3, 1)},
        {"1.3.2024", QDate(2024, 3, 1)},
        {"1.3.24", QDate(2024, 3, 1)},
        {"010324", QDate(2024, 3, 1)},
        {"01032024", QDate(2024, 3, 1)},
        {" 29.02.2024 ", QDate(2024, 2, 29)},
        {"311299", QDate(1999, 12, 31)},
        {"1.1.49", QDate(2049, 1, 1)},
        {"1.1.50", QDate(1950, 1, 1)},
        {"31.02.2024", {}},
        {"290223", {}},
        {"0103202", {}},
        {"1.3.", {}},
        {"zwei", {}},
        {"01.13.2024", {}},
        {"1..2024", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const std::optional<QDate> parsed = widgets::ParseTypedDate(QString::fromUtf8(c.typed));
        if (c.date.isValid()) {
            ASSERT_TRUE(parsed.has_value());
            EXPECT_EQ(*parsed, c.date);
        } else {
            EXPECT_FALSE(parsed.has_value());
        }
    }
}

TEST(NumberValidator, RefusesLettersAsTheyAreTyped) {
    const struct {
        const char* text;
        bool whole;     // accepted in a whole-number field
        bool fractions; // accepted in a field with decimals
    } cases[] = {
        {"12", true, true},        {"-12", true, true},   {"", true, true},
        {"1.234,56", false, true}, {"12,5", false, true}, {"zwei", false, false},
        {"1e5", false, false},     {"12a", false, false}, {"1-2", false, false},
        {" 7 ", true, true},       {"€", false, false},
    };
    widgets::NumberValidator whole(widgets::NumberInput::Whole);
    widgets::NumberValidator fractions(widgets::NumberInput::Fractions);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        QString text = QString::fromUtf8(c.text);
        int at = int(text.size());
        EXPECT_EQ(whole.validate(text, at) == QValidator::Acceptable, c.whole);
        EXPECT_EQ(fractions.validate(text, at) == QValidator::Acceptable, c.fractions);
    }
}

TEST_F(WidgetTest, NumberFieldsKeepLettersOutWhileTyping) {
    widgets::DataSource ds(*kunden);
    widgets::DbEdit anzahl(ds, "Anzahl");
    widgets::DbEdit umsatz(ds, "Umsatz");
    widgets::DbEdit name(ds, "Name");
    anzahl.clear();
    QTest::keyClicks(&anzahl, QStringLiteral("zwei"));
    EXPECT_TRUE(anzahl.text().isEmpty()) << "letters never reach a number field";
    QTest::keyClicks(&anzahl, QStringLiteral("2x5"));
    EXPECT_EQ(anzahl.text(), QStringLiteral("25"));
    umsatz.clear();
    QTest::keyClicks(&umsatz, QStringLiteral("12,5 Euro"));
    EXPECT_EQ(umsatz.text(), QStringLiteral("12,5 "));
    name.clear();
    QTest::keyClicks(&name, QStringLiteral("zwei"));
    EXPECT_EQ(name.text(), QStringLiteral("zwei"));

    DataGrid grid(ds);
    const int column = grid.gridModel().columnOf(QStringLiteral("Anzahl"));
    const QModelIndex cell = grid.gridModel().index(0, column);
    grid.setCurrentIndex(cell);
    grid.edit(cell);
    auto* editor = qobject_cast<QLineEdit*>(grid.indexWidget(cell));
    ASSERT_NE(editor, nullptr);
    editor->clear();
    QTest::keyClicks(editor, QStringLiteral("zwei3"));
    EXPECT_EQ(editor->text(), QStringLiteral("3")) << "the grid's cell editor refuses them too";
}

TEST_F(WidgetTest, DateFieldsTakeTheShortFormsAndRefuseImpossibleDays) {
    widgets::DataSource ds(*kunden);
    widgets::DbDateEdit seit(ds, "Seit");
    const struct {
        const char* typed;
        QDate stored;
    } cases[] = {{"010324", QDate(2024, 3, 1)},
                 {"1.3.24", QDate(2024, 3, 1)},
                 {"15071999", QDate(1999, 7, 15)},
                 {"01.03.2024", QDate(2024, 3, 1)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        kunden->edit();
        (*kunden)["Seit"] = QDate(2000, 1, 1);
        kunden->post();
        typeAndLeave(seit, QString::fromUtf8(c.typed));
        EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
        EXPECT_EQ((*kunden)["Seit"].asDate(), c.stored);
        kunden->post();
        EXPECT_EQ(seit.text(), c.stored.toString(QStringLiteral("dd.MM.yyyy")));
    }
    const QDate before = (*kunden)["Seit"].asDate();
    typeAndLeave(seit, QStringLiteral("31.02.2024"));
    EXPECT_EQ(errors, QStringList{QStringLiteral("\"31.02.2024\" ist kein gültiges Datum!")});
    EXPECT_EQ(kunden->state(), table::TableState::Browse);
    EXPECT_EQ((*kunden)["Seit"].asDate(), before);
}

// A form's editors are known to the user by their captions; the table layer
// keeps the field's own name for callers without a form.
TEST_F(WidgetTest, RefusalsOfTypedValuesNameTheCaption) {
    widgets::DataSource ds(*kunden);
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    auto* fields = new widgets::FieldForm(ds,
                                          {{QStringLiteral("&Druckpause:"), "Anzahl"},
                                           {QStringLiteral("Jahres&umsatz"), "Umsatz"},
                                           {QStringLiteral("Na&me"), "Name"}},
                                          &form);
    layout->addWidget(fields);
    auto edit = [&](const char* field) {
        return fields->editorAs<QLineEdit>(QString::fromUtf8(field));
    };
    const struct {
        const char* field;
        const char* typed;
        const char* message;
    } cases[] = {
        {"Anzahl", "zwei", "'zwei' ist kein gültiger Wert für das Feld Druckpause."},
        {"Anzahl", "40000",
         "Der Wert 40000 liegt außerhalb des Bereichs von Druckpause (-32768 bis 32767)."},
        {"Umsatz", "1,2,3", "'1,2,3' ist kein gültiger Wert für das Feld Jahresumsatz."},
        {"Name", "Ein viel zu langer Name",
         "Der Text ist zu lang für das Feld Name (höchstens 20 Zeichen)."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        errors.clear();
        QLineEdit* editor = edit(c.field);
        ASSERT_NE(editor, nullptr);
        editor->setMaxLength(32767);
        typeAndLeave(*editor, QString::fromUtf8(c.typed));
        EXPECT_EQ(errors, QStringList{QString::fromUtf8(c.message)});
    }
    // Without a form the table names its field.
    table::Field& anzahl = (*kunden)["Anzahl"];
    try {
        table::toStored(anzahl.def(), QStringLiteral("zwei"));
        FAIL() << "refused";
    } catch (const table::TableError& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("'zwei' ist kein gültiger Wert für das Feld Anzahl."));
        EXPECT_EQ(e.fieldName(), QStringLiteral("Anzahl"));
    }
}

TEST_F(WidgetTest, GridRefusalsNameTheColumnTitle) {
    widgets::DataSource ds(*kunden);
    DataGrid grid(ds);
    grid.setColumns({{QStringLiteral("Anzahl"), QStringLiteral("Stück"), 8}});
    EXPECT_FALSE(grid.gridModel().setData(grid.gridModel().index(0, 0), QStringLiteral("zwei")));
    EXPECT_EQ(errors,
              QStringList{QStringLiteral("'zwei' ist kein gültiger Wert für das Feld Stück.")});
    EXPECT_EQ(kunden->state(), table::TableState::Browse);
}
