#pragma once

// Tokenizer shared by the filter parser and the SQL translator. Internal to the
// platform_sql library; positions are 0-based offsets into the input.

#include <QList>
#include <QString>

namespace sqltext::detail {

enum class TokenType {
    Identifier, // letters, digits, '_' (SQL: also "quoted" names)
    String,     // '...' (filters also accept "...")
    Number,     // 12, 12.5
    Date,       // unquoted dd.mm.yyyy, filters only
    Symbol,     // = <> != < <= > >= ( ) , . * + - / || ;
    End,
};

struct Token {
    TokenType type = TokenType::End;
    QString text; // identifier or symbol as written, string content unescaped
    int position = 0;
    bool quoted = false; // identifier written in double quotes / string in double quotes
};

enum class Dialect { Filter, Sql };

// Throws DbError with the dialect's prefix ("Fehler im Filterausdruck bei Position n: ...").
[[noreturn]] void raiseAt(Dialect dialect, int position, const QString& what);

// Splits text into tokens; the list always ends with an End token.
QList<Token> tokenize(const QString& text, Dialect dialect);

} // namespace sqltext::detail
