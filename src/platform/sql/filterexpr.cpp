#include "platform/sql/filterexpr.h"

#include "platform/errors.h"
#include "platform/sql/sqltoken.h"
#include "platform/sql/storagevalue.h"

namespace sqltext {

using detail::Dialect;
using detail::Token;
using detail::TokenType;
using table::FieldType;

namespace {

// Deep enough for any hand-written filter, shallow enough for the stack.
constexpr int kMaxDepth = 64;

enum class NodeKind { And, Or, Not, Compare };
enum class CompareOp { Eq, Ne, Lt, Le, Gt, Ge };

QString opText(CompareOp op) {
    switch (op) {
    case CompareOp::Eq:
        return QStringLiteral("=");
    case CompareOp::Ne:
        return QStringLiteral("<>");
    case CompareOp::Lt:
        return QStringLiteral("<");
    case CompareOp::Le:
        return QStringLiteral("<=");
    case CompareOp::Gt:
        return QStringLiteral(">");
    case CompareOp::Ge:
        return QStringLiteral(">=");
    }
    return {};
}

CompareOp mirrored(CompareOp op) {
    switch (op) {
    case CompareOp::Lt:
        return CompareOp::Gt;
    case CompareOp::Le:
        return CompareOp::Ge;
    case CompareOp::Gt:
        return CompareOp::Lt;
    case CompareOp::Ge:
        return CompareOp::Le;
    default:
        return op;
    }
}

struct Operand {
    int position = 0;
    bool isField = false;
    QString name; // field name as written
    Literal literal;
};

QString quoted(const QString& text) {
    QString out = text;
    out.replace(u'\'', QStringLiteral("''"));
    return u'\'' + out + u'\'';
}

QString operandText(const Operand& o) {
    if (o.isField)
        return o.name;
    switch (o.literal.kind) {
    case LiteralKind::String:
        return quoted(o.literal.text);
    case LiteralKind::Boolean:
        return o.literal.text.toLower();
    case LiteralKind::Null:
        return QStringLiteral("NULL");
    case LiteralKind::Number:
    case LiteralKind::Date:
        break;
    }
    return o.literal.text;
}

} // namespace

struct FilterNode {
    NodeKind kind = NodeKind::Compare;
    QList<std::shared_ptr<const FilterNode>> children;
    Operand lhs;
    Operand rhs;
    CompareOp op = CompareOp::Eq;
};

namespace {

enum class Special { None, IsNull, EmptyOrNull, Prefix };
enum class Tri { False, True, Unknown };

} // namespace

struct BoundNode {
    NodeKind kind = NodeKind::Compare;
    QList<std::shared_ptr<const BoundNode>> children;
    // Comparisons always have the field on the left.
    QString field;
    FieldType fieldType = FieldType::String;
    bool rhsIsField = false;
    QString rhsField;
    FieldType rhsType = FieldType::String;
    QVariant value; // storage value of the literal
    CompareOp op = CompareOp::Eq;
    Special special = Special::None;
    int prefixLength = 0; // in code points, for Special::Prefix
    bool collate = false; // text comparison under the "DE" collation
};

namespace {

bool isKeyword(const Token& t, const char* word) {
    return t.type == TokenType::Identifier && !t.quoted &&
           t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

class Parser {
public:
    explicit Parser(const QString& text) : m_tokens(detail::tokenize(text, Dialect::Filter)) {}

    std::shared_ptr<const FilterNode> parseAll() {
        if (peek().type == TokenType::End)
            return nullptr;
        auto root = parseOr(0);
        if (peek().type != TokenType::End) {
            if (peek().type == TokenType::Symbol && peek().text == u")")
                fail(QStringLiteral("Überzählige ')'."));
            fail(QStringLiteral("AND oder OR erwartet."));
        }
        return root;
    }

private:
    const Token& peek() const { return m_tokens[m_pos]; }
    const Token& next() { return m_tokens[m_pos++]; }
    [[noreturn]] void fail(const QString& what) const {
        detail::raiseAt(Dialect::Filter, peek().position, what);
    }
    bool isSymbol(const char* s) const {
        return peek().type == TokenType::Symbol && peek().text == QLatin1String(s);
    }

    std::shared_ptr<const FilterNode> join(NodeKind kind, std::shared_ptr<const FilterNode> first,
                                           const char* word, int depth) {
        if (!isKeyword(peek(), word))
            return first;
        auto node = std::make_shared<FilterNode>();
        node->kind = kind;
        auto add = [&](const std::shared_ptr<const FilterNode>& child) {
            if (child->kind == kind)
                node->children.append(child->children);
            else
                node->children.append(child);
        };
        add(first);
        while (isKeyword(peek(), word)) {
            ++m_pos;
            add(kind == NodeKind::Or ? parseAnd(depth) : parseNot(depth));
        }
        return node;
    }

    std::shared_ptr<const FilterNode> parseOr(int depth) {
        return join(NodeKind::Or, parseAnd(depth), "OR", depth);
    }
    std::shared_ptr<const FilterNode> parseAnd(int depth) {
        return join(NodeKind::And, parseNot(depth), "AND", depth);
    }

    std::shared_ptr<const FilterNode> parseNot(int depth) {
        if (depth >= kMaxDepth)
            fail(QStringLiteral("Der Ausdruck ist zu tief verschachtelt."));
        if (isKeyword(peek(), "NOT")) {
            ++m_pos;
            auto node = std::make_shared<FilterNode>();
            node->kind = NodeKind::Not;
            node->children.append(parseNot(depth + 1));
            return node;
        }
        if (isSymbol("(")) {
            ++m_pos;
            auto inner = parseOr(depth + 1);
            if (!isSymbol(")"))
                fail(QStringLiteral("')' erwartet."));
            ++m_pos;
            return inner;
        }
        return parseComparison();
    }

    Operand parseOperand() {
        const Token& t = peek();
        Operand o;
        o.position = t.position;
        switch (t.type) {
        case TokenType::Identifier:
            if (isKeyword(t, "AND") || isKeyword(t, "OR") || isKeyword(t, "NOT"))
                fail(QStringLiteral("Feldname oder Wert erwartet."));
            if (isKeyword(t, "TRUE") || isKeyword(t, "FALSE")) {
                o.literal = {LiteralKind::Boolean, t.text};
            } else if (isKeyword(t, "NULL")) {
                o.literal = {LiteralKind::Null, t.text};
            } else {
                o.isField = true;
                o.name = t.text;
            }
            break;
        case TokenType::String:
            o.literal = {LiteralKind::String, t.text};
            break;
        case TokenType::Number:
            o.literal = {LiteralKind::Number, t.text};
            break;
        case TokenType::Date:
            o.literal = {LiteralKind::Date, t.text};
            break;
        case TokenType::Symbol:
            if (t.text == u"-" && m_tokens[m_pos + 1].type == TokenType::Number) {
                ++m_pos;
                o.literal = {LiteralKind::Number, u'-' + peek().text};
                break;
            }
            fail(QStringLiteral("Feldname oder Wert erwartet."));
        case TokenType::End:
            fail(QStringLiteral("Unerwartetes Ende des Ausdrucks."));
        }
        ++m_pos;
        return o;
    }

    std::shared_ptr<const FilterNode> parseComparison() {
        auto node = std::make_shared<FilterNode>();
        node->kind = NodeKind::Compare;
        const int lhsPosition = peek().position;
        node->lhs = parseOperand();
        static const struct {
            const char* text;
            CompareOp op;
        } ops[] = {{"=", CompareOp::Eq}, {"<>", CompareOp::Ne}, {"!=", CompareOp::Ne},
                   {"<", CompareOp::Lt}, {"<=", CompareOp::Le}, {">", CompareOp::Gt},
                   {">=", CompareOp::Ge}};
        bool found = false;
        for (const auto& candidate : ops) {
            if (isSymbol(candidate.text)) {
                node->op = candidate.op;
                found = true;
            }
        }
        if (!found)
            fail(QStringLiteral("Vergleichsoperator erwartet."));
        ++m_pos;
        node->rhs = parseOperand();
        if (!node->lhs.isField && !node->rhs.isField)
            detail::raiseAt(Dialect::Filter, lhsPosition,
                            QStringLiteral("Ein Vergleich braucht einen Feldnamen."));
        return node;
    }

    QList<Token> m_tokens;
    int m_pos = 0;
};

QString nodeText(const FilterNode& node) {
    switch (node.kind) {
    case NodeKind::Compare:
        return operandText(node.lhs) + opText(node.op) + operandText(node.rhs);
    case NodeKind::Not: {
        const FilterNode& child = *node.children.first();
        const bool wrap = child.kind == NodeKind::And || child.kind == NodeKind::Or;
        return QStringLiteral("NOT ") + (wrap ? u'(' + nodeText(child) + u')' : nodeText(child));
    }
    case NodeKind::And:
    case NodeKind::Or: {
        QStringList parts;
        for (const auto& child : node.children) {
            const bool wrap = node.kind == NodeKind::And && child->kind == NodeKind::Or;
            parts << (wrap ? u'(' + nodeText(*child) + u')' : nodeText(*child));
        }
        return parts.join(node.kind == NodeKind::And ? QStringLiteral(" AND ")
                                                     : QStringLiteral(" OR "));
    }
    }
    return {};
}

enum class TypeClass { Text, Number, Date, Time, DateTime, None };

TypeClass typeClass(FieldType type) {
    switch (type) {
    case FieldType::String:
    case FieldType::Memo:
        return TypeClass::Text;
    case FieldType::Smallint:
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::Boolean:
        return TypeClass::Number;
    case FieldType::Date:
        return TypeClass::Date;
    case FieldType::Time:
        return TypeClass::Time;
    case FieldType::DateTime:
        return TypeClass::DateTime;
    case FieldType::FmtMemo:
    case FieldType::Graphic:
        break;
    }
    return TypeClass::None;
}

table::FieldDef resolveField(const FieldLookup& lookup, const QString& name) {
    const auto def = lookup ? lookup(name) : std::nullopt;
    if (!def)
        throw DbError(QStringLiteral("Unbekanntes Feld \"%1\".").arg(name));
    if (typeClass(def->type) == TypeClass::None)
        throw DbError(QStringLiteral("Das Feld %1 kann nicht gefiltert werden.").arg(def->name));
    return *def;
}

std::shared_ptr<const BoundNode> bindComparison(const FilterNode& node, const FieldLookup& lookup,
                                                bool caseInsensitive);

std::shared_ptr<const BoundNode> bindNode(const FilterNode& node, const FieldLookup& lookup,
                                          bool caseInsensitive) {
    if (node.kind == NodeKind::Compare) {
        try {
            return bindComparison(node, lookup, caseInsensitive);
        } catch (const DbError& error) {
            detail::raiseAt(Dialect::Filter, node.lhs.position, error.message());
        }
    }
    auto bound = std::make_shared<BoundNode>();
    bound->kind = node.kind;
    for (const auto& child : node.children)
        bound->children.append(bindNode(*child, lookup, caseInsensitive));
    return bound;
}

std::shared_ptr<const BoundNode> bindComparison(const FilterNode& node, const FieldLookup& lookup,
                                                bool caseInsensitive) {
    auto bound = std::make_shared<BoundNode>();
    bound->kind = NodeKind::Compare;
    Operand lhs = node.lhs;
    Operand rhs = node.rhs;
    CompareOp op = node.op;
    if (!lhs.isField) {
        std::swap(lhs, rhs);
        op = mirrored(op);
    }
    const table::FieldDef field = resolveField(lookup, lhs.name);
    bound->field = field.name;
    bound->fieldType = field.type;
    bound->op = op;
    const bool text = isTextType(field.type);
    bound->collate = text && caseInsensitive;
    if (rhs.isField) {
        const table::FieldDef other = resolveField(lookup, rhs.name);
        if (typeClass(other.type) != typeClass(field.type))
            throw DbError(QStringLiteral("Die Felder %1 und %2 können nicht verglichen werden.")
                              .arg(field.name, other.name));
        bound->rhsIsField = true;
        bound->rhsField = other.name;
        bound->rhsType = other.type;
        return bound;
    }
    const bool equality = op == CompareOp::Eq || op == CompareOp::Ne;
    if (rhs.literal.kind == LiteralKind::Null) {
        if (!equality)
            throw DbError(QStringLiteral("NULL kann nur mit = oder <> verglichen werden (Feld %1).")
                              .arg(field.name));
        bound->special = Special::IsNull;
        return bound;
    }
    if (rhs.literal.kind == LiteralKind::String && equality && rhs.literal.text.isEmpty()) {
        bound->special = Special::EmptyOrNull;
        return bound;
    }
    if (text && equality && rhs.literal.kind == LiteralKind::String &&
        rhs.literal.text.endsWith(u'*')) {
        const QString prefix = rhs.literal.text.chopped(1);
        bound->special = Special::Prefix;
        bound->prefixLength = int(prefix.toUcs4().size());
        bound->value = prefix;
        return bound;
    }
    bound->value = literalToStorage(rhs.literal, field.type, field.name);
    return bound;
}

QString sqlName(const QString& name) {
    QString out = name;
    out.replace(u'"', QStringLiteral("\"\""));
    return u'"' + out + u'"';
}

void appendSql(const BoundNode& node, SqlText& out, const SeekCollated& seekCollated) {
    switch (node.kind) {
    case NodeKind::And:
    case NodeKind::Or: {
        bool first = true;
        for (const auto& child : node.children) {
            if (!first)
                out.sql +=
                    node.kind == NodeKind::And ? QStringLiteral(" AND ") : QStringLiteral(" OR ");
            first = false;
            const bool wrap = child->kind != NodeKind::Compare;
            if (wrap)
                out.sql += u'(';
            appendSql(*child, out, seekCollated);
            if (wrap)
                out.sql += u')';
        }
        return;
    }
    case NodeKind::Not:
        out.sql += QStringLiteral("NOT (");
        appendSql(*node.children.first(), out, seekCollated);
        out.sql += u')';
        return;
    case NodeKind::Compare:
        break;
    }
    const QString field = sqlName(node.field);
    const bool eq = node.op == CompareOp::Eq;
    const QString collate = node.collate ? QStringLiteral(" COLLATE DE") : QString();
    switch (node.special) {
    case Special::IsNull:
        out.sql += field + (eq ? QStringLiteral(" IS NULL") : QStringLiteral(" IS NOT NULL"));
        return;
    case Special::EmptyOrNull:
        if (isTextType(node.fieldType))
            out.sql += eq ? QStringLiteral("(%1 IS NULL OR %1 = '')").arg(field)
                          : QStringLiteral("(%1 IS NOT NULL AND %1 <> '')").arg(field);
        else
            out.sql += field + (eq ? QStringLiteral(" IS NULL") : QStringLiteral(" IS NOT NULL"));
        return;
    case Special::Prefix:
        out.sql += QStringLiteral("substr(%1, 1, %2) %3 ?%4")
                       .arg(field)
                       .arg(node.prefixLength)
                       .arg(opText(node.op), collate);
        out.params.append(node.value);
        return;
    case Special::None:
        break;
    }
    if (node.rhsIsField) {
        out.sql += field + u' ' + opText(node.op) + u' ' + sqlName(node.rhsField) + collate;
        return;
    }
    const bool seek = !node.collate && seekCollated && seekCollated(node.field);
    out.sql += field + (seek ? QStringLiteral(" COLLATE DE ") : QStringLiteral(" ")) +
               opText(node.op) + QStringLiteral(" ?") + collate;
    out.params.append(node.value);
}

Tri fromBool(bool b) {
    return b ? Tri::True : Tri::False;
}

bool holds(CompareOp op, int c) {
    switch (op) {
    case CompareOp::Eq:
        return c == 0;
    case CompareOp::Ne:
        return c != 0;
    case CompareOp::Lt:
        return c < 0;
    case CompareOp::Le:
        return c <= 0;
    case CompareOp::Gt:
        return c > 0;
    case CompareOp::Ge:
        return c >= 0;
    }
    return false;
}

Tri evaluateNode(const BoundNode& node, const FieldValue& valueOf, const StorageComparer& binary,
                 const StorageComparer& collated) {
    switch (node.kind) {
    case NodeKind::And:
    case NodeKind::Or: {
        const Tri decisive = node.kind == NodeKind::And ? Tri::False : Tri::True;
        bool unknown = false;
        for (const auto& child : node.children) {
            const Tri r = evaluateNode(*child, valueOf, binary, collated);
            if (r == decisive)
                return decisive;
            unknown = unknown || r == Tri::Unknown;
        }
        return unknown ? Tri::Unknown : (decisive == Tri::False ? Tri::True : Tri::False);
    }
    case NodeKind::Not: {
        const Tri r = evaluateNode(*node.children.first(), valueOf, binary, collated);
        return r == Tri::Unknown ? r : fromBool(r == Tri::False);
    }
    case NodeKind::Compare:
        break;
    }
    const QVariant value = valueToStorage(valueOf(node.field), node.fieldType);
    const bool isNull = value.isNull();
    const bool eq = node.op == CompareOp::Eq;
    const StorageComparer& comparer = node.collate ? collated : binary;
    switch (node.special) {
    case Special::IsNull:
        return fromBool(isNull == eq);
    case Special::EmptyOrNull: {
        const bool empty = isNull || (isTextType(node.fieldType) && value.toString().isEmpty());
        return fromBool(empty == eq);
    }
    case Special::Prefix: {
        if (isNull)
            return Tri::Unknown;
        const QList<uint> codePoints = value.toString().toUcs4();
        const QString head =
            QString::fromUcs4(reinterpret_cast<const char32_t*>(codePoints.constData()),
                              qMin(codePoints.size(), qsizetype(node.prefixLength)));
        return fromBool(holds(node.op, comparer.compare(head, node.value)));
    }
    case Special::None:
        break;
    }
    QVariant other = node.value;
    if (node.rhsIsField)
        other = valueToStorage(valueOf(node.rhsField), node.rhsType);
    if (isNull || other.isNull())
        return Tri::Unknown;
    return fromBool(holds(node.op, comparer.compare(value, other)));
}

} // namespace

FieldLookup fieldsOf(const table::TableDef& def) {
    return [fields = def.fields](const QString& name) -> std::optional<table::FieldDef> {
        for (const auto& field : fields) {
            if (field.name.compare(name, Qt::CaseInsensitive) == 0)
                return field;
        }
        return std::nullopt;
    };
}

BoundFilter::BoundFilter() = default;

SqlText BoundFilter::sql(const SeekCollated& seekCollated) const {
    SqlText out;
    if (m_root)
        appendSql(*m_root, out, seekCollated);
    return out;
}

bool BoundFilter::matches(const FieldValue& valueOf) const {
    if (!m_root)
        return true;
    return evaluateNode(*m_root, valueOf, *m_binary, *m_collated) == Tri::True;
}

FilterExpr::FilterExpr() = default;

FilterExpr FilterExpr::parse(const QString& text) {
    FilterExpr expr;
    expr.m_root = Parser(text).parseAll();
    return expr;
}

QString FilterExpr::text() const {
    return m_root ? nodeText(*m_root) : QString();
}

BoundFilter FilterExpr::bind(const FieldLookup& lookup, Qt::CaseSensitivity cs) const {
    BoundFilter bound;
    bound.m_caseInsensitive = cs == Qt::CaseInsensitive;
    if (m_root) {
        bound.m_root = bindNode(*m_root, lookup, bound.m_caseInsensitive);
        bound.m_binary = std::make_shared<const StorageComparer>(false);
        bound.m_collated = bound.m_caseInsensitive ? std::make_shared<const StorageComparer>(true)
                                                   : bound.m_binary;
    }
    return bound;
}

} // namespace sqltext
