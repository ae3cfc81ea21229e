#pragma once

#include <QString>

// Completes a web address the user typed (vendor and manufacturer links, websites
// of web groups, the browser's address field).
class URLChecker
{
public:
    // "apple" -> "http://apple.com", "shop.example.org//a/b" ->
    // "http://shop.example.org/a/b", "https:/x.com/" -> "https://x.com".
    // The text is split at "/" into its non-empty pieces; without a scheme
    // "http://" goes in front; a host without a dot gets ".com"; the other pieces
    // follow, one "/" before each. The scheme "http:" or "https:" is recognised in
    // any case and written in lower case; a scheme but no host gives the empty
    // text, as does a text without pieces. Addresses of other schemes
    // ("ftp://...", "mailto:...", "about:...") are already complete and come back
    // as typed. Blanks around the text are ignored.
    static QString validateURLString(const QString &text);
};
