#pragma once

// Expressions of TQRExpr controls and group bands:
//   'Seite ' + STR(PAGENUMBER) + ' von ' + STR(PAGECOUNT)
//   IF(R_Satzart = 0, R_Brutto, -R_Brutto)
//   SUM(TabList.R_Netto)        accumulated on each print of the expression's master band
// Numbers, 'text' (or "text"; '' doubles a quote), TRUE, FALSE, fields as
// Field or Dataset.Field, + - * /, = <> < > <= >=, AND OR NOT, parentheses.
// Functions: IF, STR, UPPER, LOWER, COPY(text, start, count), INT, FRAC,
// SQRT, DIV, FORMATNUMERIC(mask, number), DATE, TIME, PAGENUMBER, PAGECOUNT
// and the aggregates SUM, COUNT, MIN, MAX, AVERAGE. '+' joins texts when
// either side is text. A null field counts as 0 or empty; a division by zero
// gives 0, so no value stops a print.

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

namespace report {

struct ExprNode;

class ExprEnvironment {
public:
    virtual ~ExprEnvironment() = default;
    virtual QVariant fieldValue(int fieldId) const = 0;
    virtual int pageNumber() const = 0;
    virtual int pageCount() const = 0;
};

// Turns a field reference (dataset empty when not written) into an id for
// ExprEnvironment::fieldValue; raises DbError for an unknown field.
using FieldResolver = std::function<int(const QString& dataset, const QString& field)>;

class Expression {
public:
    Expression();
    ~Expression();
    Expression(Expression&&) noexcept;
    Expression& operator=(Expression&&) noexcept;

    // Raises DbError naming the position of a syntax error.
    static Expression parse(const QString& text);

    bool isEmpty() const { return !m_root; }
    bool usesPageCount() const { return m_pageCount; }
    bool hasAggregates() const { return !m_aggregates.empty(); }

    void bind(const FieldResolver& resolver);
    QVariant evaluate(const ExprEnvironment& env) const;
    void updateAggregates(const ExprEnvironment& env);
    void resetAggregates();

private:
    std::unique_ptr<ExprNode> m_root;
    std::vector<ExprNode*> m_aggregates;
    bool m_pageCount = false;
};

// The text a value shows when joined to text or passed through STR.
QString valueText(const QVariant& value);

} // namespace report
