#include "platform/report/expression.h"

#include "platform/errors.h"
#include "platform/report/displaymask.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <cmath>

namespace report {

enum class NodeKind { Literal, Field, PageNumber, PageCount, Unary, Binary, Function, Aggregate };

struct ExprNode {
    NodeKind kind = NodeKind::Literal;
    QVariant literal;
    QString name;    // function or operator; field name
    QString dataset; // field's dataset
    int fieldId = -1;
    std::vector<std::unique_ptr<ExprNode>> args;
    // Aggregate state.
    double sum = 0;
    qint64 count = 0;
    QVariant extreme;
};

namespace {

enum class T { Ident, Number, String, Symbol, End };
struct Token {
    T type = T::End;
    QString text;
    int pos = 0;
};

class Parser {
public:
    explicit Parser(const QString& text) : m_text(text) { tokenize(); }

    std::unique_ptr<ExprNode> parseAll(std::vector<ExprNode*>& aggregates, bool& pageCount) {
        m_aggregates = &aggregates;
        m_pageCount = &pageCount;
        auto node = orExpr();
        if (peek().type != T::End)
            fail(peek().pos, QStringLiteral("unerwartetes \"%1\"").arg(peek().text));
        return node;
    }

private:
    [[noreturn]] void fail(int pos, const QString& what) const {
        throw DbError(QStringLiteral("Fehler im Ausdruck \"%1\" bei Position %2: %3")
                          .arg(m_text)
                          .arg(pos + 1)
                          .arg(what));
    }

    void tokenize() {
        const int n = m_text.size();
        int i = 0;
        while (i < n) {
            const QChar c = m_text[i];
            if (c.isSpace()) {
                ++i;
            } else if (c.isLetter() || c == u'_') {
                int k = i;
                while (k < n && (m_text[k].isLetterOrNumber() || m_text[k] == u'_'))
                    ++k;
                m_tokens.append({T::Ident, m_text.mid(i, k - i), i});
                i = k;
            } else if (c.isDigit()) {
                int k = i;
                while (k < n && (m_text[k].isDigit() || m_text[k] == u'.'))
                    ++k;
                m_tokens.append({T::Number, m_text.mid(i, k - i), i});
                i = k;
            } else if (c == u'\'' || c == u'"') {
                QString s;
                int k = i + 1;
                for (;;) {
                    if (k >= n)
                        fail(i, QStringLiteral("Text ohne schließendes Anführungszeichen"));
                    if (m_text[k] == c) {
                        if (k + 1 < n && m_text[k + 1] == c) {
                            s.append(c);
                            k += 2;
                            continue;
                        }
                        break;
                    }
                    s.append(m_text[k++]);
                }
                m_tokens.append({T::String, s, i});
                i = k + 1;
            } else {
                const QString two = m_text.mid(i, 2);
                if (two == u"<>" || two == u"<=" || two == u">=") {
                    m_tokens.append({T::Symbol, two, i});
                    i += 2;
                } else if (QStringLiteral("+-*/()=<>,.").contains(c)) {
                    m_tokens.append({T::Symbol, QString(c), i});
                    ++i;
                } else {
                    fail(i, QStringLiteral("unerwartetes Zeichen \"%1\"").arg(c));
                }
            }
        }
        m_tokens.append({T::End, QStringLiteral("Ende"), int(n)});
    }

    const Token& peek() const { return m_tokens[m_pos]; }
    Token take() { return m_tokens[m_pos++]; }
    bool isSymbol(const char* s) const {
        return peek().type == T::Symbol && peek().text == QLatin1String(s);
    }
    bool isWord(const char* w) const {
        return peek().type == T::Ident &&
               peek().text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
    }
    void expect(const char* s) {
        if (!isSymbol(s))
            fail(peek().pos, QStringLiteral("\"%1\" erwartet").arg(QLatin1String(s)));
        ++m_pos;
    }

    static std::unique_ptr<ExprNode> make(NodeKind kind, const QString& name = {}) {
        auto n = std::make_unique<ExprNode>();
        n->kind = kind;
        n->name = name;
        return n;
    }
    static std::unique_ptr<ExprNode> binary(const QString& op, std::unique_ptr<ExprNode> l,
                                            std::unique_ptr<ExprNode> r) {
        auto n = make(NodeKind::Binary, op);
        n->args.push_back(std::move(l));
        n->args.push_back(std::move(r));
        return n;
    }

    std::unique_ptr<ExprNode> orExpr() {
        auto left = andExpr();
        while (isWord("OR")) {
            ++m_pos;
            left = binary(QStringLiteral("OR"), std::move(left), andExpr());
        }
        return left;
    }
    std::unique_ptr<ExprNode> andExpr() {
        auto left = notExpr();
        while (isWord("AND")) {
            ++m_pos;
            left = binary(QStringLiteral("AND"), std::move(left), notExpr());
        }
        return left;
    }
    std::unique_ptr<ExprNode> notExpr() {
        if (isWord("NOT")) {
            ++m_pos;
            auto n = make(NodeKind::Unary, QStringLiteral("NOT"));
            n->args.push_back(notExpr());
            return n;
        }
        return comparison();
    }
    std::unique_ptr<ExprNode> comparison() {
        auto left = additive();
        for (const char* op : {"=", "<>", "<=", ">=", "<", ">"}) {
            if (isSymbol(op)) {
                ++m_pos;
                return binary(QLatin1String(op), std::move(left), additive());
            }
        }
        return left;
    }
    std::unique_ptr<ExprNode> additive() {
        auto left = term();
        while (isSymbol("+") || isSymbol("-")) {
            const QString op = take().text;
            left = binary(op, std::move(left), term());
        }
        return left;
    }
    std::unique_ptr<ExprNode> term() {
        auto left = unary();
        while (isSymbol("*") || isSymbol("/")) {
            const QString op = take().text;
            left = binary(op, std::move(left), unary());
        }
        return left;
    }
    std::unique_ptr<ExprNode> unary() {
        if (isSymbol("-")) {
            ++m_pos;
            auto n = make(NodeKind::Unary, QStringLiteral("-"));
            n->args.push_back(unary());
            return n;
        }
        if (isSymbol("+")) {
            ++m_pos;
            return unary();
        }
        return primary();
    }

    std::unique_ptr<ExprNode> primary() {
        const Token t = take();
        switch (t.type) {
        case T::Number: {
            bool ok = false;
            const double v = t.text.toDouble(&ok);
            if (!ok)
                fail(t.pos, QStringLiteral("ungültige Zahl \"%1\"").arg(t.text));
            auto n = make(NodeKind::Literal);
            n->literal = v;
            return n;
        }
        case T::String: {
            auto n = make(NodeKind::Literal);
            n->literal = t.text;
            return n;
        }
        case T::Symbol:
            if (t.text == u"(") {
                auto n = orExpr();
                expect(")");
                return n;
            }
            fail(t.pos, QStringLiteral("unerwartetes \"%1\"").arg(t.text));
        case T::End:
            fail(t.pos, QStringLiteral("unerwartetes Ende"));
        case T::Ident:
            return identifier(t);
        }
        fail(t.pos, QStringLiteral("unerwartetes \"%1\"").arg(t.text));
    }

    std::unique_ptr<ExprNode> identifier(const Token& t) {
        const QString upper = t.text.toUpper();
        if (isSymbol("("))
            return function(t, upper);
        if (upper == u"TRUE" || upper == u"FALSE") {
            auto n = make(NodeKind::Literal);
            n->literal = upper == u"TRUE";
            return n;
        }
        if (upper == u"PAGENUMBER")
            return make(NodeKind::PageNumber);
        if (upper == u"PAGECOUNT") {
            *m_pageCount = true;
            return make(NodeKind::PageCount);
        }
        if (upper == u"COUNT") {
            auto n = make(NodeKind::Aggregate, upper);
            m_aggregates->push_back(n.get());
            return n;
        }
        if (upper == u"DATE" || upper == u"TIME")
            return make(NodeKind::Function, upper);
        auto n = make(NodeKind::Field, t.text);
        if (isSymbol(".")) {
            ++m_pos;
            if (peek().type != T::Ident)
                fail(peek().pos, QStringLiteral("Feldname erwartet"));
            n->dataset = t.text;
            n->name = take().text;
        }
        return n;
    }

    std::unique_ptr<ExprNode> function(const Token& t, const QString& upper) {
        struct Arity {
            const char* name;
            int min, max;
            bool aggregate;
        };
        static const Arity kFunctions[] = {
            {"IF", 3, 3, false},         {"STR", 1, 1, false},
            {"UPPER", 1, 1, false},      {"LOWER", 1, 1, false},
            {"COPY", 3, 3, false},       {"INT", 1, 1, false},
            {"FRAC", 1, 1, false},       {"SQRT", 1, 1, false},
            {"DIV", 2, 2, false},        {"FORMATNUMERIC", 2, 2, false},
            {"DATE", 0, 0, false},       {"TIME", 0, 0, false},
            {"PAGENUMBER", 0, 0, false}, {"PAGECOUNT", 0, 0, false},
            {"SUM", 1, 1, true},         {"COUNT", 0, 0, true},
            {"MIN", 1, 1, true},         {"MAX", 1, 1, true},
            {"AVERAGE", 1, 1, true},
        };
        const Arity* found = nullptr;
        for (const Arity& a : kFunctions) {
            if (upper == QLatin1String(a.name))
                found = &a;
        }
        if (!found)
            fail(t.pos, QStringLiteral("unbekannte Funktion \"%1\"").arg(t.text));
        expect("(");
        std::vector<std::unique_ptr<ExprNode>> args;
        if (!isSymbol(")")) {
            args.push_back(orExpr());
            while (isSymbol(",")) {
                ++m_pos;
                args.push_back(orExpr());
            }
        }
        expect(")");
        if (int(args.size()) < found->min || int(args.size()) > found->max)
            fail(t.pos, QStringLiteral("falsche Anzahl von Argumenten für %1").arg(upper));
        if (upper == u"PAGENUMBER")
            return make(NodeKind::PageNumber);
        if (upper == u"PAGECOUNT") {
            *m_pageCount = true;
            return make(NodeKind::PageCount);
        }
        auto n = make(found->aggregate ? NodeKind::Aggregate : NodeKind::Function, upper);
        n->args = std::move(args);
        if (found->aggregate)
            m_aggregates->push_back(n.get());
        return n;
    }

    QString m_text;
    QList<Token> m_tokens;
    int m_pos = 0;
    std::vector<ExprNode*>* m_aggregates = nullptr;
    bool* m_pageCount = nullptr;
};

bool isText(const QVariant& v) {
    return v.typeId() == QMetaType::QString;
}

bool isDate(const QVariant& v) {
    return v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QDateTime;
}

double number(const QVariant& v) {
    if (!v.isValid() || v.isNull())
        return 0;
    if (isText(v)) {
        QString s = v.toString().trimmed();
        s.replace(u',', u'.');
        return s.toDouble();
    }
    if (isDate(v))
        return QDate(1899, 12, 30).daysTo(v.toDate());
    return v.toDouble();
}

bool truth(const QVariant& v) {
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    if (isText(v))
        return v.toString().compare(u"true", Qt::CaseInsensitive) == 0;
    return number(v) != 0;
}

int compare(const QVariant& a, const QVariant& b) {
    if (isText(a) || isText(b))
        return QString::compare(valueText(a), valueText(b));
    const double x = number(a), y = number(b);
    return x < y ? -1 : (x > y ? 1 : 0);
}

QVariant evalNode(const ExprNode& n, const ExprEnvironment& env);

QVariant binaryOp(const ExprNode& n, const ExprEnvironment& env) {
    const QString& op = n.name;
    if (op == u"AND")
        return truth(evalNode(*n.args[0], env)) && truth(evalNode(*n.args[1], env));
    if (op == u"OR")
        return truth(evalNode(*n.args[0], env)) || truth(evalNode(*n.args[1], env));
    const QVariant a = evalNode(*n.args[0], env);
    const QVariant b = evalNode(*n.args[1], env);
    if (op == u"+") {
        if (isText(a) || isText(b))
            return QString(valueText(a) + valueText(b));
        return number(a) + number(b);
    }
    if (op == u"-")
        return number(a) - number(b);
    if (op == u"*")
        return number(a) * number(b);
    if (op == u"/") {
        const double d = number(b);
        return d == 0 ? 0.0 : number(a) / d;
    }
    const int c = compare(a, b);
    if (op == u"=")
        return c == 0;
    if (op == u"<>")
        return c != 0;
    if (op == u"<")
        return c < 0;
    if (op == u">")
        return c > 0;
    if (op == u"<=")
        return c <= 0;
    return c >= 0;
}

QVariant function(const ExprNode& n, const ExprEnvironment& env) {
    const QString& f = n.name;
    auto arg = [&](int i) { return evalNode(*n.args[size_t(i)], env); };
    if (f == u"IF")
        return truth(arg(0)) ? arg(1) : arg(2);
    if (f == u"STR")
        return valueText(arg(0));
    if (f == u"UPPER")
        return valueText(arg(0)).toUpper();
    if (f == u"LOWER")
        return valueText(arg(0)).toLower();
    if (f == u"COPY") {
        const QString s = valueText(arg(0));
        const double start = std::max(1.0, number(arg(1)));
        const double count = std::max(0.0, number(arg(2)));
        if (start > s.size())
            return QString();
        return s.mid(int(start) - 1, int(std::min<double>(count, s.size())));
    }
    if (f == u"INT")
        return std::trunc(number(arg(0)));
    if (f == u"FRAC") {
        const double v = number(arg(0));
        return v - std::trunc(v);
    }
    if (f == u"SQRT") {
        const double v = number(arg(0));
        return v < 0 ? 0.0 : std::sqrt(v);
    }
    if (f == u"DIV") {
        const double d = std::trunc(number(arg(1)));
        return d == 0 ? 0.0 : std::trunc(std::trunc(number(arg(0))) / d);
    }
    if (f == u"FORMATNUMERIC")
        return formatFloat(number(arg(1)), valueText(arg(0)));
    if (f == u"DATE")
        return QDate::currentDate();
    if (f == u"TIME")
        return QTime::currentTime();
    return {};
}

QVariant aggregate(const ExprNode& n) {
    if (n.name == u"SUM")
        return n.sum;
    if (n.name == u"COUNT")
        return double(n.count);
    if (n.name == u"AVERAGE")
        return n.count ? n.sum / double(n.count) : 0.0;
    return n.extreme.isValid() ? n.extreme : QVariant(0.0);
}

QVariant evalNode(const ExprNode& n, const ExprEnvironment& env) {
    switch (n.kind) {
    case NodeKind::Literal:
        return n.literal;
    case NodeKind::Field:
        return env.fieldValue(n.fieldId);
    case NodeKind::PageNumber:
        return double(env.pageNumber());
    case NodeKind::PageCount:
        return double(env.pageCount());
    case NodeKind::Unary:
        if (n.name == u"NOT")
            return !truth(evalNode(*n.args[0], env));
        return -number(evalNode(*n.args[0], env));
    case NodeKind::Binary:
        return binaryOp(n, env);
    case NodeKind::Function:
        return function(n, env);
    case NodeKind::Aggregate:
        return aggregate(n);
    }
    return {};
}

void bindNode(ExprNode& n, const FieldResolver& resolver) {
    if (n.kind == NodeKind::Field)
        n.fieldId = resolver(n.dataset, n.name);
    for (auto& a : n.args)
        bindNode(*a, resolver);
}

} // namespace

Expression::Expression() = default;
Expression::~Expression() = default;
Expression::Expression(Expression&&) noexcept = default;
Expression& Expression::operator=(Expression&&) noexcept = default;

Expression Expression::parse(const QString& text) {
    Expression e;
    if (text.trimmed().isEmpty())
        return e;
    Parser parser(text);
    e.m_root = parser.parseAll(e.m_aggregates, e.m_pageCount);
    return e;
}

void Expression::bind(const FieldResolver& resolver) {
    if (m_root)
        bindNode(*m_root, resolver);
}

QVariant Expression::evaluate(const ExprEnvironment& env) const {
    return m_root ? evalNode(*m_root, env) : QVariant();
}

void Expression::updateAggregates(const ExprEnvironment& env) {
    for (ExprNode* a : m_aggregates) {
        ++a->count;
        if (a->args.empty())
            continue;
        const QVariant v = evalNode(*a->args[0], env);
        a->sum += number(v);
        if (a->name == u"MIN" || a->name == u"MAX") {
            const bool take =
                !a->extreme.isValid() ||
                (a->name == u"MIN" ? compare(v, a->extreme) < 0 : compare(v, a->extreme) > 0);
            if (take && v.isValid() && !v.isNull())
                a->extreme = v;
        }
    }
}

void Expression::resetAggregates() {
    for (ExprNode* a : m_aggregates) {
        a->sum = 0;
        a->count = 0;
        a->extreme = QVariant();
    }
}

QString valueText(const QVariant& value) {
    return displayText(value, typeOfValue(value), QString());
}

} // namespace report
