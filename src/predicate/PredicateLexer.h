#pragma once

#include <QList>
#include <QString>

// Splits the text form (or a format) into tokens.
class PredicateLexer
{
public:
    struct Token
    {
        enum class Kind { End, Identifier, String, Number, Placeholder, Symbol };
        Kind kind = Kind::End;
        QString text; // identifier, string contents, number digits, symbol, placeholder letter(s)
        bool escaped = false; // an identifier written with '#': never a keyword
        qsizetype position = 0;
    };

    // Returns false and sets `error` on a character or literal it cannot read.
    static bool tokenize(const QString &text, QList<Token> *tokens, QString *error);
};
