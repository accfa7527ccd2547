#include "platform/sql/sqltoken.h"

#include "platform/errors.h"

namespace sqltext::detail {

void raiseAt(Dialect dialect, int position, const QString& what) {
    const QString prefix = dialect == Dialect::Filter
                               ? QStringLiteral("Fehler im Filterausdruck bei Position %1: ")
                               : QStringLiteral("Fehler in der SQL-Anweisung bei Position %1: ");
    throw DbError(prefix.arg(position + 1) + what);
}

namespace {

bool isIdentStart(QChar c) {
    return c.isLetter() || c == u'_';
}
bool isIdentPart(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Length of an unquoted date "d.m.yyyy" / "dd.mm.yyyy" starting at i, or 0.
qsizetype dateLength(const QString& s, qsizetype i) {
    qsizetype j = i;
    auto digits = [&](int minCount, int maxCount) {
        int n = 0;
        while (j < s.size() && isDigit(s[j]) && n < maxCount) {
            ++j;
            ++n;
        }
        return n >= minCount;
    };
    if (!digits(1, 2) || j >= s.size() || s[j] != u'.')
        return 0;
    ++j;
    if (!digits(1, 2) || j >= s.size() || s[j] != u'.')
        return 0;
    ++j;
    if (!digits(4, 4))
        return 0;
    if (j < s.size() && (isIdentPart(s[j]) || s[j] == u'.'))
        return 0;
    return j - i;
}

} // namespace

QList<Token> tokenize(const QString& text, Dialect dialect) {
    QList<Token> tokens;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token token;
        token.position = int(i);
        if (c == u'\'' || c == u'"') {
            const bool doubleQuote = c == u'"';
            QString content;
            qsizetype j = i + 1;
            bool closed = false;
            while (j < n) {
                if (text[j] == c) {
                    if (j + 1 < n && text[j + 1] == c) {
                        content += c;
                        j += 2;
                        continue;
                    }
                    closed = true;
                    ++j;
                    break;
                }
                content += text[j];
                ++j;
            }
            if (!closed)
                raiseAt(dialect, int(i),
                        doubleQuote && dialect == Dialect::Sql
                            ? QStringLiteral("Name in Anführungszeichen nicht abgeschlossen.")
                            : QStringLiteral("Zeichenkette nicht abgeschlossen."));
            token.text = content;
            token.quoted = doubleQuote;
            token.type =
                doubleQuote && dialect == Dialect::Sql ? TokenType::Identifier : TokenType::String;
            if (token.type == TokenType::Identifier && content.trimmed().isEmpty())
                raiseAt(dialect, int(i), QStringLiteral("Leerer Name in Anführungszeichen."));
            i = j;
        } else if (isDigit(c)) {
            const qsizetype dl = dialect == Dialect::Filter ? dateLength(text, i) : 0;
            qsizetype j = i;
            if (dl > 0) {
                j = i + dl;
                token.type = TokenType::Date;
            } else {
                while (j < n && isDigit(text[j]))
                    ++j;
                if (j + 1 < n && text[j] == u'.' && isDigit(text[j + 1])) {
                    ++j;
                    while (j < n && isDigit(text[j]))
                        ++j;
                }
                if (j < n && isIdentPart(text[j]))
                    raiseAt(dialect, int(i), QStringLiteral("Ungültige Zahl."));
                token.type = TokenType::Number;
            }
            token.text = text.mid(i, j - i);
            i = j;
        } else if (isIdentStart(c)) {
            qsizetype j = i + 1;
            while (j < n && isIdentPart(text[j]))
                ++j;
            token.type = TokenType::Identifier;
            token.text = text.mid(i, j - i);
            i = j;
        } else {
            static const char* const twoChar[] = {"<=", ">=", "<>", "!=", "||"};
            token.type = TokenType::Symbol;
            for (const char* op : twoChar) {
                if (i + 1 < n && text[i] == QLatin1Char(op[0]) &&
                    text[i + 1] == QLatin1Char(op[1])) {
                    token.text = QString::fromLatin1(op, 2);
                    break;
                }
            }
            if (token.text.isEmpty()) {
                if (QStringLiteral("=<>(),.*+-/;").contains(c))
                    token.text = QString(c);
                else
                    raiseAt(dialect, int(i), QStringLiteral("Unerwartetes Zeichen '%1'.").arg(c));
            }
            i += token.text.size();
        }
        tokens.append(token);
    }
    Token end;
    end.position = int(n);
    tokens.append(end);
    return tokens;
}

} // namespace sqltext::detail
