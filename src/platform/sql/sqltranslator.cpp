#include "platform/sql/sqltranslator.h"

#include "platform/errors.h"
#include "platform/sql/sqltoken.h"
#include "platform/sql/storagevalue.h"

#include <memory>

namespace sqltext {

using detail::Dialect;
using detail::Token;
using detail::TokenType;
using table::FieldType;

namespace {

constexpr int kMaxDepth = 64;
// Chains such as "a AND b AND c ..." grow the tree without nesting; the emitter
// recurses along them, so their length is bounded as well.
constexpr int kMaxTreeHeight = 1000;

struct Expr;
using ExprPtr = std::shared_ptr<const Expr>;

struct Expr {
    enum class Kind { Column, Star, Literal, Unary, Binary, Func, Between, In, IsNull };
    Kind kind = Kind::Literal;
    int position = 0;
    QString qualifier; // Column, Star
    QString name;      // Column name, function name
    Literal literal;
    QString op; // Unary: "-", "+", "NOT"; Binary: "=", "AND", "+", "||" ...
    QList<ExprPtr> args;
    bool negated = false;  // NOT BETWEEN, NOT IN, IS NOT NULL
    bool distinct = false; // COUNT(DISTINCT x)
    int height = 1;
};

struct TableRef {
    QString alias; // as written; empty when none
    table::TableDef def;
    QString physical;
    QString joinKind; // "" for the first table, "INNER JOIN", "LEFT JOIN", ","
    ExprPtr on;
};

struct SelectItem {
    ExprPtr expr;
    QString alias;
};

struct OrderItem {
    ExprPtr expr;
    QString direction;
};

const QStringList& reservedWords() {
    static const QStringList words = {
        QStringLiteral("SELECT"),   QStringLiteral("FROM"),   QStringLiteral("WHERE"),
        QStringLiteral("AND"),      QStringLiteral("OR"),     QStringLiteral("NOT"),
        QStringLiteral("INNER"),    QStringLiteral("LEFT"),   QStringLiteral("RIGHT"),
        QStringLiteral("FULL"),     QStringLiteral("OUTER"),  QStringLiteral("JOIN"),
        QStringLiteral("ON"),       QStringLiteral("ORDER"),  QStringLiteral("GROUP"),
        QStringLiteral("BY"),       QStringLiteral("HAVING"), QStringLiteral("AS"),
        QStringLiteral("SET"),      QStringLiteral("VALUES"), QStringLiteral("INTO"),
        QStringLiteral("INSERT"),   QStringLiteral("UPDATE"), QStringLiteral("DELETE"),
        QStringLiteral("NULL"),     QStringLiteral("TRUE"),   QStringLiteral("FALSE"),
        QStringLiteral("IS"),       QStringLiteral("IN"),     QStringLiteral("BETWEEN"),
        QStringLiteral("LIKE"),     QStringLiteral("ASC"),    QStringLiteral("DESC"),
        QStringLiteral("DISTINCT"), QStringLiteral("UNION"),  QStringLiteral("ALL"),
    };
    return words;
}

QString sqlName(const QString& name) {
    QString out = name;
    out.replace(u'"', QStringLiteral("\"\""));
    return u'"' + out + u'"';
}

class Translator {
public:
    Translator(const QString& text, const TableLookup& lookup)
        : m_tokens(detail::tokenize(text, Dialect::Sql)), m_lookup(lookup) {}

    SqlStatement run() {
        if (isWord("SELECT"))
            translateSelect();
        else if (isWord("UPDATE"))
            translateUpdate();
        else if (isWord("DELETE"))
            translateDelete();
        else if (isWord("INSERT"))
            translateInsert();
        else if (peek().type == TokenType::End)
            fail(QStringLiteral("Die Anweisung ist leer."));
        else
            fail(QStringLiteral("SELECT, UPDATE, DELETE oder INSERT erwartet."));
        if (isSymbol(";"))
            ++m_pos;
        if (peek().type != TokenType::End)
            fail(QStringLiteral("Unerwartetes '%1' nach dem Ende der Anweisung.")
                     .arg(tokenText(peek())));
        m_out.sql = m_sql;
        m_out.params = m_params;
        return m_out;
    }

private:
    // ---- tokens
    const Token& peek(int ahead = 0) const {
        return m_tokens[qMin<qsizetype>(m_pos + ahead, m_tokens.size() - 1)];
    }
    [[noreturn]] void fail(const QString& what) const { failAt(peek().position, what); }
    [[noreturn]] static void failAt(int position, const QString& what) {
        detail::raiseAt(Dialect::Sql, position, what);
    }
    static QString tokenText(const Token& t) {
        if (t.type == TokenType::String)
            return u'\'' + t.text + u'\'';
        if (t.type == TokenType::Identifier && t.quoted)
            return u'"' + t.text + u'"';
        return t.text;
    }
    bool isWord(const char* word, int ahead = 0) const {
        const Token& t = peek(ahead);
        return t.type == TokenType::Identifier && !t.quoted &&
               t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    bool isSymbol(const char* s, int ahead = 0) const {
        const Token& t = peek(ahead);
        return t.type == TokenType::Symbol && t.text == QLatin1String(s);
    }
    bool acceptWord(const char* word) {
        if (!isWord(word))
            return false;
        ++m_pos;
        return true;
    }
    bool acceptSymbol(const char* s) {
        if (!isSymbol(s))
            return false;
        ++m_pos;
        return true;
    }
    void expectWord(const char* word) {
        if (!acceptWord(word))
            fail(QStringLiteral("%1 erwartet.").arg(QLatin1String(word)));
    }
    void expectSymbol(const char* s) {
        if (!acceptSymbol(s))
            fail(QStringLiteral("'%1' erwartet.").arg(QLatin1String(s)));
    }
    bool isReserved(const Token& t) const {
        return t.type == TokenType::Identifier && !t.quoted &&
               reservedWords().contains(t.text, Qt::CaseInsensitive);
    }
    QString expectName(const QString& what) {
        const Token& t = peek();
        if (t.type != TokenType::Identifier || isReserved(t))
            fail(QStringLiteral("%1 erwartet.").arg(what));
        ++m_pos;
        return t.text;
    }

    // ---- tables
    TableRef parseTableRef(bool allowAlias) {
        const Token& t = peek();
        if (t.type != TokenType::Identifier || isReserved(t))
            fail(QStringLiteral("Tabellenname erwartet."));
        ++m_pos;
        QString name = t.text;
        if (!t.quoted && isSymbol(".") && isWord("DB", 1))
            m_pos += 2;
        const QString physical = physicalTableName(name);
        if (physical.isEmpty() || physical.contains(u'.') || physical.contains(u'\\') ||
            physical.contains(u'/') || physical.contains(u':'))
            failAt(t.position,
                   QStringLiteral("Der Tabellenname \"%1\" wird nicht unterstützt.").arg(name));
        const auto def = m_lookup ? m_lookup(physical) : std::nullopt;
        if (!def)
            failAt(t.position,
                   QStringLiteral("Die Tabelle \"%1\" ist nicht vorhanden.").arg(physical));
        TableRef ref;
        ref.def = *def;
        ref.physical = physicalTableName(def->name);
        if (allowAlias) {
            if (acceptWord("AS"))
                ref.alias = expectName(QStringLiteral("Alias"));
            else if (peek().type == TokenType::Identifier && !isReserved(peek()))
                ref.alias = expectName(QStringLiteral("Alias"));
        }
        for (const TableRef& other : m_tables) {
            if (other.alias.isEmpty() && ref.alias.isEmpty() &&
                other.physical.compare(ref.physical, Qt::CaseInsensitive) == 0)
                failAt(t.position,
                       QStringLiteral("Die Tabelle \"%1\" kommt zweimal ohne Alias vor.")
                           .arg(ref.physical));
            if (!ref.alias.isEmpty() && other.alias.compare(ref.alias, Qt::CaseInsensitive) == 0)
                failAt(t.position,
                       QStringLiteral("Der Alias \"%1\" kommt zweimal vor.").arg(ref.alias));
        }
        return ref;
    }

    QString tableSql(const TableRef& ref) const {
        return ref.alias.isEmpty()
                   ? sqlName(ref.physical)
                   : sqlName(ref.physical) + QStringLiteral(" AS ") + sqlName(ref.alias);
    }

    static std::optional<table::FieldDef> fieldOf(const table::TableDef& def, const QString& name) {
        for (const auto& field : def.fields) {
            if (field.name.compare(name, Qt::CaseInsensitive) == 0)
                return field;
        }
        return std::nullopt;
    }

    const TableRef& tableByQualifier(const QString& qualifier, int position) const {
        for (const TableRef& ref : m_tables) {
            const QString& label = ref.alias.isEmpty() ? ref.physical : ref.alias;
            if (label.compare(qualifier, Qt::CaseInsensitive) == 0)
                return ref;
        }
        failAt(position,
               QStringLiteral("Unbekannter Tabellenname oder Alias \"%1\".").arg(qualifier));
    }

    struct Resolved {
        table::FieldDef field;
        const TableRef* table = nullptr; // null for a select alias
    };

    Resolved resolveColumn(const Expr& e) const {
        if (!e.qualifier.isEmpty()) {
            const TableRef& ref = tableByQualifier(e.qualifier, e.position);
            const auto field = fieldOf(ref.def, e.name);
            if (!field)
                failAt(e.position,
                       QStringLiteral("Unbekanntes Feld \"%1.%2\".").arg(e.qualifier, e.name));
            return {*field, &ref};
        }
        Resolved found;
        for (const TableRef& ref : m_tables) {
            if (const auto field = fieldOf(ref.def, e.name)) {
                if (found.table)
                    failAt(e.position,
                           QStringLiteral("Der Feldname \"%1\" ist mehrdeutig.").arg(e.name));
                found = {*field, &ref};
            }
        }
        if (found.table)
            return found;
        if (m_allowSelectAliases) {
            for (const QString& alias : m_selectAliases) {
                if (alias.compare(e.name, Qt::CaseInsensitive) == 0)
                    return {table::FieldDef{alias, FieldType::String, 0}, nullptr};
            }
        }
        failAt(e.position, QStringLiteral("Unbekanntes Feld \"%1\".").arg(e.name));
    }

    // ---- expressions
    ExprPtr parseExpr(int depth) { return parseOr(depth); }

    ExprPtr binary(const QString& op, ExprPtr lhs, ExprPtr rhs, int position) {
        auto e = std::make_shared<Expr>();
        e->kind = Expr::Kind::Binary;
        e->op = op;
        e->position = position;
        e->height = qMax(lhs->height, rhs->height) + 1;
        if (e->height > kMaxTreeHeight)
            failAt(position, QStringLiteral("Der Ausdruck ist zu lang."));
        e->args = {std::move(lhs), std::move(rhs)};
        return e;
    }

    ExprPtr parseOr(int depth) {
        ExprPtr lhs = parseAnd(depth);
        while (isWord("OR")) {
            const int position = peek().position;
            ++m_pos;
            lhs = binary(QStringLiteral("OR"), lhs, parseAnd(depth), position);
        }
        return lhs;
    }

    ExprPtr parseAnd(int depth) {
        ExprPtr lhs = parseNot(depth);
        while (isWord("AND")) {
            const int position = peek().position;
            ++m_pos;
            lhs = binary(QStringLiteral("AND"), lhs, parseNot(depth), position);
        }
        return lhs;
    }

    void checkDepth(int depth) const {
        if (depth >= kMaxDepth)
            fail(QStringLiteral("Der Ausdruck ist zu tief verschachtelt."));
    }

    ExprPtr parseNot(int depth) {
        checkDepth(depth);
        if (isWord("NOT")) {
            auto e = std::make_shared<Expr>();
            e->kind = Expr::Kind::Unary;
            e->op = QStringLiteral("NOT");
            e->position = peek().position;
            ++m_pos;
            e->args = {parseNot(depth + 1)};
            return e;
        }
        return parseComparison(depth);
    }

    ExprPtr parseComparison(int depth) {
        ExprPtr lhs = parseAdditive(depth);
        const int position = peek().position;
        static const char* const ops[] = {"=", "<>", "!=", "<=", ">=", "<", ">"};
        for (const char* op : ops) {
            if (acceptSymbol(op))
                return binary(QString::fromLatin1(op) == u"!=" ? QStringLiteral("<>")
                                                               : QString::fromLatin1(op),
                              lhs, parseAdditive(depth), position);
        }
        if (isWord("IS")) {
            ++m_pos;
            auto e = std::make_shared<Expr>();
            e->kind = Expr::Kind::IsNull;
            e->position = position;
            e->negated = acceptWord("NOT");
            expectWord("NULL");
            e->args = {lhs};
            return e;
        }
        const bool negated =
            isWord("NOT") && (isWord("BETWEEN", 1) || isWord("IN", 1) || isWord("LIKE", 1));
        if (negated)
            ++m_pos;
        if (acceptWord("BETWEEN")) {
            auto e = std::make_shared<Expr>();
            e->kind = Expr::Kind::Between;
            e->position = position;
            e->negated = negated;
            ExprPtr low = parseAdditive(depth);
            expectWord("AND");
            e->args = {lhs, low, parseAdditive(depth)};
            return e;
        }
        if (acceptWord("IN")) {
            auto e = std::make_shared<Expr>();
            e->kind = Expr::Kind::In;
            e->position = position;
            e->negated = negated;
            expectSymbol("(");
            if (isWord("SELECT"))
                fail(QStringLiteral("Unterabfragen werden nicht unterstützt."));
            e->args = {lhs};
            do {
                e->args.append(parseAdditive(depth));
            } while (acceptSymbol(","));
            expectSymbol(")");
            return e;
        }
        if (isWord("LIKE"))
            fail(QStringLiteral("LIKE wird nicht unterstützt."));
        return lhs;
    }

    ExprPtr parseAdditive(int depth) {
        ExprPtr lhs = parseMultiplicative(depth);
        while (isSymbol("+") || isSymbol("-")) {
            const Token& t = peek();
            ++m_pos;
            lhs = binary(t.text, lhs, parseMultiplicative(depth), t.position);
        }
        return lhs;
    }

    ExprPtr parseMultiplicative(int depth) {
        ExprPtr lhs = parseConcat(depth);
        while (isSymbol("*") || isSymbol("/")) {
            const Token& t = peek();
            ++m_pos;
            lhs = binary(t.text, lhs, parseConcat(depth), t.position);
        }
        return lhs;
    }

    ExprPtr parseConcat(int depth) {
        ExprPtr lhs = parseUnary(depth);
        while (isSymbol("||")) {
            const Token& t = peek();
            ++m_pos;
            lhs = binary(t.text, lhs, parseUnary(depth), t.position);
        }
        return lhs;
    }

    ExprPtr parseUnary(int depth) {
        checkDepth(depth);
        if (isSymbol("-") || isSymbol("+")) {
            const Token& t = peek();
            ++m_pos;
            if (t.text == u"-" && peek().type == TokenType::Number) {
                auto e = std::make_shared<Expr>();
                e->kind = Expr::Kind::Literal;
                e->position = t.position;
                e->literal = {LiteralKind::Number, u'-' + peek().text};
                ++m_pos;
                return e;
            }
            auto e = std::make_shared<Expr>();
            e->kind = Expr::Kind::Unary;
            e->op = t.text;
            e->position = t.position;
            e->args = {parseUnary(depth + 1)};
            return e;
        }
        return parsePrimary(depth);
    }

    ExprPtr parsePrimary(int depth) {
        const Token& t = peek();
        auto e = std::make_shared<Expr>();
        e->position = t.position;
        switch (t.type) {
        case TokenType::String:
            e->kind = Expr::Kind::Literal;
            e->literal = {LiteralKind::String, t.text};
            ++m_pos;
            return e;
        case TokenType::Number:
            e->kind = Expr::Kind::Literal;
            e->literal = {LiteralKind::Number, t.text};
            ++m_pos;
            return e;
        case TokenType::Date:
        case TokenType::End:
            fail(QStringLiteral("Ausdruck erwartet."));
        case TokenType::Symbol:
            if (t.text == u"(") {
                ++m_pos;
                if (isWord("SELECT"))
                    fail(QStringLiteral("Unterabfragen werden nicht unterstützt."));
                ExprPtr inner = parseExpr(depth + 1);
                expectSymbol(")");
                return inner;
            }
            fail(QStringLiteral("Ausdruck erwartet."));
        case TokenType::Identifier:
            break;
        }
        if (isWord("NULL") || isWord("TRUE") || isWord("FALSE")) {
            e->kind = Expr::Kind::Literal;
            e->literal = {isWord("NULL") ? LiteralKind::Null : LiteralKind::Boolean,
                          t.text.toLower()};
            ++m_pos;
            return e;
        }
        if (isReserved(t))
            fail(QStringLiteral("Ausdruck erwartet."));
        ++m_pos;
        if (!t.quoted && isSymbol("(")) {
            ++m_pos;
            static const QStringList functions = {QStringLiteral("COUNT"), QStringLiteral("MIN"),
                                                  QStringLiteral("MAX"), QStringLiteral("SUM"),
                                                  QStringLiteral("AVG")};
            if (!functions.contains(t.text, Qt::CaseInsensitive))
                failAt(t.position,
                       QStringLiteral("Die Funktion %1 wird nicht unterstützt.").arg(t.text));
            e->kind = Expr::Kind::Func;
            e->name = t.text.toUpper();
            if (e->name == u"COUNT" && acceptSymbol("*")) {
                expectSymbol(")");
                return e;
            }
            e->distinct = acceptWord("DISTINCT");
            e->args = {parseExpr(depth + 1)};
            expectSymbol(")");
            return e;
        }
        if (acceptSymbol(".")) {
            if (acceptSymbol("*")) {
                e->kind = Expr::Kind::Star;
                e->qualifier = t.text;
                return e;
            }
            e->kind = Expr::Kind::Column;
            e->qualifier = t.text;
            e->name = expectName(QStringLiteral("Feldname"));
            return e;
        }
        e->kind = Expr::Kind::Column;
        e->name = t.text;
        return e;
    }

    // ---- emission
    std::optional<table::FieldDef> fieldOfExpr(const Expr& e) const {
        if (e.kind == Expr::Kind::Column) {
            const Resolved r = resolveColumn(e);
            if (r.table)
                return r.field;
            return std::nullopt;
        }
        if (e.kind == Expr::Kind::Func && (e.name == u"MIN" || e.name == u"MAX") &&
            !e.args.isEmpty())
            return fieldOfExpr(*e.args.first());
        return std::nullopt;
    }

    std::optional<FieldType> typeOfExpr(const Expr& e) const {
        if (e.kind == Expr::Kind::Func) {
            if (e.name == u"COUNT")
                return FieldType::Integer;
            if (e.name == u"AVG")
                return FieldType::Float;
            if (e.name == u"SUM") {
                const auto arg = typeOfExpr(*e.args.first());
                if (arg == FieldType::Currency)
                    return FieldType::Currency;
                if (arg == FieldType::Smallint || arg == FieldType::Integer ||
                    arg == FieldType::AutoInc)
                    return FieldType::Integer;
                return FieldType::Float;
            }
        }
        if (const auto field = fieldOfExpr(e))
            return field->type;
        return std::nullopt;
    }

    void emitLiteral(const Expr& e, const std::optional<table::FieldDef>& context) {
        if (e.literal.kind == LiteralKind::Null) {
            m_sql += QStringLiteral("NULL");
            return;
        }
        QVariant value;
        try {
            value = context ? literalToStorage(e.literal, context->type, context->name)
                            : literalToStorage(e.literal);
        } catch (const DbError& error) {
            failAt(e.position, error.message());
        }
        // A free number may be a column position (ORDER BY 1): it stays in the text.
        if (!context && e.literal.kind == LiteralKind::Number) {
            m_sql += e.literal.text;
            return;
        }
        m_sql += u'?';
        m_params.append(value);
    }

    // Binding strength as SQLite parses it; parentheses are written only where needed.
    static int precedence(const Expr& e) {
        switch (e.kind) {
        case Expr::Kind::Binary:
            if (e.op == u"OR")
                return 1;
            if (e.op == u"AND")
                return 2;
            if (e.op == u"+" || e.op == u"-")
                return 5;
            if (e.op == u"*" || e.op == u"/")
                return 6;
            if (e.op == u"||")
                return 7;
            return 4;
        case Expr::Kind::Between:
        case Expr::Kind::In:
        case Expr::Kind::IsNull:
            return 4;
        case Expr::Kind::Unary:
            return e.op == u"NOT" ? 3 : 8;
        default:
            return 9;
        }
    }

    static bool needsParentheses(const Expr& child, int parentPrecedence, const QString& parentOp,
                                 bool rightSide) {
        const int p = precedence(child);
        if (p != parentPrecedence)
            return p < parentPrecedence;
        if (!rightSide)
            return parentPrecedence == 4; // comparisons do not chain
        static const QStringList associative = {QStringLiteral("AND"), QStringLiteral("OR"),
                                                QStringLiteral("+"), QStringLiteral("*"),
                                                QStringLiteral("||")};
        return !(child.kind == Expr::Kind::Binary && child.op == parentOp &&
                 associative.contains(parentOp));
    }

    void emitOperand(const Expr& e, const std::optional<table::FieldDef>& context,
                     int parentPrecedence, const QString& parentOp = QString(),
                     bool rightSide = true) {
        const bool wrap = needsParentheses(e, parentPrecedence, parentOp, rightSide);
        if (wrap)
            m_sql += u'(';
        emitExpr(e, context);
        if (wrap)
            m_sql += u')';
    }

    static bool isComparison(const QString& op) {
        return op == u"=" || op == u"<>" || op == u"<" || op == u"<=" || op == u">" || op == u">=";
    }

    void emitExpr(const Expr& e, const std::optional<table::FieldDef>& context = std::nullopt) {
        switch (e.kind) {
        case Expr::Kind::Literal:
            emitLiteral(e, context);
            return;
        case Expr::Kind::Column: {
            const Resolved r = resolveColumn(e);
            if (!r.table) {
                m_sql += sqlName(r.field.name);
                return;
            }
            if (!e.qualifier.isEmpty())
                m_sql +=
                    sqlName(r.table->alias.isEmpty() ? r.table->physical : r.table->alias) + u'.';
            m_sql += sqlName(r.field.name);
            return;
        }
        case Expr::Kind::Star:
            failAt(e.position, QStringLiteral("'*' ist hier nicht erlaubt."));
        case Expr::Kind::Unary:
            // Always a blank after the operator: "--" would start a comment.
            m_sql += e.op + u' ';
            emitOperand(*e.args.first(), std::nullopt, precedence(e));
            return;
        case Expr::Kind::Func:
            m_hasAggregate = true;
            m_sql += e.name + u'(';
            if (e.args.isEmpty()) {
                m_sql += u'*';
            } else {
                if (e.distinct)
                    m_sql += QStringLiteral("DISTINCT ");
                emitExpr(*e.args.first());
            }
            m_sql += u')';
            return;
        case Expr::Kind::Binary: {
            const Expr& lhs = *e.args[0];
            const Expr& rhs = *e.args[1];
            std::optional<table::FieldDef> lhsContext;
            std::optional<table::FieldDef> rhsContext;
            if (isComparison(e.op)) {
                rhsContext = fieldOfExpr(lhs);
                lhsContext = fieldOfExpr(rhs);
            }
            emitOperand(lhs, lhsContext, precedence(e), e.op, false);
            m_sql += u' ' + e.op + u' ';
            emitOperand(rhs, rhsContext, precedence(e), e.op, true);
            return;
        }
        case Expr::Kind::Between: {
            const auto context = fieldOfExpr(*e.args[0]);
            emitOperand(*e.args[0], std::nullopt, 5);
            m_sql += e.negated ? QStringLiteral(" NOT BETWEEN ") : QStringLiteral(" BETWEEN ");
            emitOperand(*e.args[1], context, 5);
            m_sql += QStringLiteral(" AND ");
            emitOperand(*e.args[2], context, 5);
            return;
        }
        case Expr::Kind::In: {
            const auto context = fieldOfExpr(*e.args[0]);
            emitOperand(*e.args[0], std::nullopt, 5);
            m_sql += e.negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN (");
            for (qsizetype i = 1; i < e.args.size(); ++i) {
                if (i > 1)
                    m_sql += QStringLiteral(", ");
                emitExpr(*e.args[i], context);
            }
            m_sql += u')';
            return;
        }
        case Expr::Kind::IsNull:
            emitOperand(*e.args.first(), std::nullopt, 5);
            m_sql += e.negated ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL");
            return;
        }
    }

    // ---- statements
    void translateSelect() {
        ++m_pos;
        m_out.kind = SqlStatement::Kind::Select;
        const bool distinct = acceptWord("DISTINCT");
        acceptWord("ALL");
        QList<SelectItem> items;
        do {
            SelectItem item;
            if (isSymbol("*")) {
                auto star = std::make_shared<Expr>();
                star->kind = Expr::Kind::Star;
                star->position = peek().position;
                ++m_pos;
                item.expr = star;
            } else {
                item.expr = parseExpr(0);
                if (acceptWord("AS"))
                    item.alias = expectName(QStringLiteral("Spaltenname"));
                else if (peek().type == TokenType::Identifier && !isReserved(peek()))
                    item.alias = expectName(QStringLiteral("Spaltenname"));
                if (!item.alias.isEmpty())
                    m_selectAliases.append(item.alias);
            }
            items.append(item);
        } while (acceptSymbol(","));
        expectWord("FROM");
        m_tables.append(parseTableRef(true));
        for (;;) {
            QString kind;
            if (acceptSymbol(",")) {
                kind = QStringLiteral(",");
            } else if (isWord("INNER") || isWord("JOIN")) {
                acceptWord("INNER");
                expectWord("JOIN");
                kind = QStringLiteral("INNER JOIN");
            } else if (isWord("LEFT")) {
                ++m_pos;
                acceptWord("OUTER");
                expectWord("JOIN");
                kind = QStringLiteral("LEFT JOIN");
            } else if (isWord("RIGHT") || isWord("FULL")) {
                fail(QStringLiteral("Diese Verknüpfungsart wird nicht unterstützt."));
            } else {
                break;
            }
            TableRef ref = parseTableRef(true);
            ref.joinKind = kind;
            m_tables.append(ref);
            if (kind != u",") {
                expectWord("ON");
                m_joinConditions.append(parseExpr(0));
            } else {
                m_joinConditions.append(nullptr);
            }
        }
        ExprPtr where;
        if (acceptWord("WHERE"))
            where = parseExpr(0);
        QList<ExprPtr> groupBy;
        ExprPtr having;
        if (acceptWord("GROUP")) {
            expectWord("BY");
            do {
                groupBy.append(parseExpr(0));
            } while (acceptSymbol(","));
        }
        if (acceptWord("HAVING"))
            having = parseExpr(0);
        QList<OrderItem> orderBy;
        if (acceptWord("ORDER")) {
            expectWord("BY");
            do {
                OrderItem item;
                item.expr = parseExpr(0);
                if (acceptWord("ASC"))
                    item.direction = QStringLiteral(" ASC");
                else if (acceptWord("DESC"))
                    item.direction = QStringLiteral(" DESC");
                orderBy.append(item);
            } while (acceptSymbol(","));
        }
        if (isWord("UNION"))
            fail(QStringLiteral("UNION wird nicht unterstützt."));

        // Emission in output order, so that parameters follow their placeholders.
        m_sql = distinct ? QStringLiteral("SELECT DISTINCT ") : QStringLiteral("SELECT ");
        bool plainColumns = true;
        QStringList sourceFields; // the field behind each result column, empty for expressions
        bool first = true;
        auto separator = [&] {
            if (!first)
                m_sql += QStringLiteral(", ");
            first = false;
        };
        for (const SelectItem& item : items) {
            const Expr& e = *item.expr;
            if (e.kind == Expr::Kind::Star) {
                QList<const TableRef*> sources;
                if (e.qualifier.isEmpty()) {
                    for (const TableRef& ref : m_tables)
                        sources.append(&ref);
                } else {
                    sources.append(&tableByQualifier(e.qualifier, e.position));
                }
                for (const TableRef* ref : sources) {
                    for (const auto& field : ref->def.fields) {
                        separator();
                        if (m_tables.size() > 1)
                            m_sql +=
                                sqlName(ref->alias.isEmpty() ? ref->physical : ref->alias) + u'.';
                        m_sql += sqlName(field.name);
                        m_out.columns.append({field.name, field.type});
                        sourceFields.append(field.name);
                    }
                }
                continue;
            }
            separator();
            const qsizetype start = m_sql.size();
            emitExpr(e);
            ResultColumn column;
            column.type = typeOfExpr(e);
            if (!item.alias.isEmpty()) {
                column.name = item.alias;
                m_sql += QStringLiteral(" AS ") + sqlName(item.alias);
            } else if (e.kind == Expr::Kind::Column) {
                column.name = resolveColumn(e).field.name;
            } else {
                column.name = m_sql.mid(start);
            }
            if (e.kind != Expr::Kind::Column)
                plainColumns = false;
            sourceFields.append(e.kind == Expr::Kind::Column ? resolveColumn(e).field.name
                                                             : QString());
            m_out.columns.append(column);
        }
        const qsizetype selectListEnd = m_sql.size();
        m_sql += QStringLiteral(" FROM ");
        for (qsizetype i = 0; i < m_tables.size(); ++i) {
            const TableRef& ref = m_tables[i];
            if (i > 0)
                m_sql += ref.joinKind == u"," ? QStringLiteral(", ") : u' ' + ref.joinKind + u' ';
            m_sql += tableSql(ref);
            if (i > 0 && m_joinConditions[i - 1]) {
                m_sql += QStringLiteral(" ON ");
                emitExpr(*m_joinConditions[i - 1]);
            }
        }
        if (where) {
            m_sql += QStringLiteral(" WHERE ");
            emitExpr(*where);
        }
        m_allowSelectAliases = true;
        if (!groupBy.isEmpty()) {
            m_sql += QStringLiteral(" GROUP BY ");
            for (qsizetype i = 0; i < groupBy.size(); ++i) {
                if (i > 0)
                    m_sql += QStringLiteral(", ");
                emitExpr(*groupBy[i]);
            }
        }
        if (having) {
            m_sql += QStringLiteral(" HAVING ");
            emitExpr(*having);
        }
        if (!orderBy.isEmpty()) {
            m_sql += QStringLiteral(" ORDER BY ");
            for (qsizetype i = 0; i < orderBy.size(); ++i) {
                if (i > 0)
                    m_sql += QStringLiteral(", ");
                emitExpr(*orderBy[i].expr);
                m_sql += orderBy[i].direction;
            }
        }

        // A plain single-table select can be edited row by row through its key.
        const bool editable = m_tables.size() == 1 && !distinct && groupBy.isEmpty() && !having &&
                              plainColumns && !m_hasAggregate &&
                              !m_tables.first().def.fields.isEmpty();
        if (editable) {
            const TableRef& base = m_tables.first();
            m_out.editable = true;
            m_out.table = base.physical;
            m_out.primaryKey = base.def.fields.first().name;
            m_out.keyColumn = int(sourceFields.indexOf(m_out.primaryKey));
            if (m_out.keyColumn < 0) {
                m_sql.insert(selectListEnd, QStringLiteral(", ") + sqlName(m_out.primaryKey));
                m_out.columns.append({m_out.primaryKey, base.def.fields.first().type});
                m_out.keyColumn = int(m_out.columns.size() - 1);
                m_out.keyColumnAdded = true;
            }
        }
    }

    void translateUpdate() {
        ++m_pos;
        m_out.kind = SqlStatement::Kind::Update;
        m_tables.append(parseTableRef(false));
        const TableRef& target = m_tables.first();
        m_out.table = target.physical;
        expectWord("SET");
        m_sql = QStringLiteral("UPDATE ") + tableSql(target) + QStringLiteral(" SET ");
        QList<QPair<table::FieldDef, ExprPtr>> assignments;
        do {
            const int position = peek().position;
            auto column = std::make_shared<Expr>();
            column->kind = Expr::Kind::Column;
            column->position = position;
            column->name = expectName(QStringLiteral("Feldname"));
            if (acceptSymbol(".")) {
                column->qualifier = column->name;
                column->name = expectName(QStringLiteral("Feldname"));
            }
            const Resolved r = resolveColumn(*column);
            expectSymbol("=");
            assignments.append({r.field, parseExpr(0)});
        } while (acceptSymbol(","));
        ExprPtr where;
        if (acceptWord("WHERE"))
            where = parseExpr(0);
        for (qsizetype i = 0; i < assignments.size(); ++i) {
            if (i > 0)
                m_sql += QStringLiteral(", ");
            m_sql += sqlName(assignments[i].first.name) + QStringLiteral(" = ");
            emitExpr(*assignments[i].second, assignments[i].first);
        }
        if (where) {
            m_sql += QStringLiteral(" WHERE ");
            emitExpr(*where);
        }
        rejectAggregates();
    }

    void translateDelete() {
        ++m_pos;
        m_out.kind = SqlStatement::Kind::Delete;
        expectWord("FROM");
        m_tables.append(parseTableRef(false));
        m_out.table = m_tables.first().physical;
        m_sql = QStringLiteral("DELETE FROM ") + tableSql(m_tables.first());
        if (acceptWord("WHERE")) {
            ExprPtr where = parseExpr(0);
            m_sql += QStringLiteral(" WHERE ");
            emitExpr(*where);
        }
        rejectAggregates();
    }

    void translateInsert() {
        ++m_pos;
        m_out.kind = SqlStatement::Kind::Insert;
        expectWord("INTO");
        m_tables.append(parseTableRef(false));
        const TableRef& target = m_tables.first();
        m_out.table = target.physical;
        QList<table::FieldDef> fields;
        if (acceptSymbol("(")) {
            do {
                const int position = peek().position;
                const QString name = expectName(QStringLiteral("Feldname"));
                const auto field = fieldOf(target.def, name);
                if (!field)
                    failAt(position, QStringLiteral("Unbekanntes Feld \"%1\".").arg(name));
                for (const auto& other : fields) {
                    if (other.name == field->name)
                        failAt(
                            position,
                            QStringLiteral("Das Feld \"%1\" kommt zweimal vor.").arg(field->name));
                }
                fields.append(*field);
            } while (acceptSymbol(","));
            expectSymbol(")");
        } else {
            fields = target.def.fields;
        }
        if (isWord("SELECT"))
            fail(QStringLiteral("INSERT mit SELECT wird nicht unterstützt."));
        expectWord("VALUES");
        const int valuesPosition = peek().position;
        expectSymbol("(");
        QList<ExprPtr> values;
        do {
            values.append(parseExpr(0));
        } while (acceptSymbol(","));
        expectSymbol(")");
        if (values.size() != fields.size())
            failAt(
                valuesPosition,
                QStringLiteral("Die Anzahl der Werte (%1) passt nicht zur Anzahl der Felder (%2).")
                    .arg(values.size())
                    .arg(fields.size()));
        QStringList names;
        for (const auto& field : fields)
            names << sqlName(field.name);
        m_sql = QStringLiteral("INSERT INTO ") + tableSql(target) + QStringLiteral(" (") +
                names.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (");
        for (qsizetype i = 0; i < values.size(); ++i) {
            if (i > 0)
                m_sql += QStringLiteral(", ");
            emitExpr(*values[i], fields[i]);
        }
        m_sql += u')';
        rejectAggregates();
    }

    void rejectAggregates() const {
        if (m_hasAggregate)
            throw DbError(QStringLiteral("Fehler in der SQL-Anweisung: Zusammenfassungen (COUNT, "
                                         "SUM ...) sind nur in SELECT erlaubt."));
    }

    QList<Token> m_tokens;
    qsizetype m_pos = 0;
    const TableLookup& m_lookup;
    QList<TableRef> m_tables;
    QList<ExprPtr> m_joinConditions;
    QStringList m_selectAliases;
    bool m_allowSelectAliases = false;
    bool m_hasAggregate = false;
    QString m_sql;
    QVariantList m_params;
    SqlStatement m_out;
};

} // namespace

QString physicalTableName(const QString& name) {
    QString out = name.trimmed();
    if (out.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
        out.chop(3);
    return out;
}

SqlStatement translateSql(const QString& text, const TableLookup& lookup) {
    return Translator(text, lookup).run();
}

} // namespace sqltext
