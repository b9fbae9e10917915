#include "wildcard.h"

namespace kadrano {

namespace {

inline char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}

// Length of the UTF-8 sequence that starts with byte b (1 for stray bytes).
inline size_t utf8Length(unsigned char b) {
    if (b < 0xC0)
        return 1;
    if (b < 0xE0)
        return 2;
    if (b < 0xF0)
        return 3;
    return 4;
}

// Glob match on bytes: pattern p (ASCII, lower case) against name n (UTF-8).
// Iterative with single backtrack point, linear in practice.
bool globAscii(std::string_view p, std::string_view n) {
    size_t pi = 0, ni = 0;
    size_t starP = std::string_view::npos, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && p[pi] == '*') {
            starP = pi++;
            starN = ni;
            continue;
        }
        if (pi < p.size()) {
            if (p[pi] == '?') {
                ++pi;
                ni += utf8Length(static_cast<unsigned char>(n[ni]));
                continue;
            }
            if (p[pi] == asciiLower(n[ni])) {
                ++pi;
                ++ni;
                continue;
            }
        }
        if (starP == std::string_view::npos)
            return false;
        pi = starP + 1;
        // One byte at a time: the pattern's characters are ASCII and never match inside a
        // multi-byte character, and a stray lead byte (a name that is not valid UTF-8)
        // must not carry the star past the rest of the name.
        ++starN;
        ni = starN;
    }
    while (pi < p.size() && p[pi] == '*')
        ++pi;
    return pi == p.size();
}

bool globFolded(const QString& p, const QString& n) {
    qsizetype pi = 0, ni = 0;
    qsizetype starP = -1, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && p[pi] == u'*') {
            starP = pi++;
            starN = ni;
            continue;
        }
        if (pi < p.size() && (p[pi] == u'?' || p[pi] == n[ni])) {
            ++pi;
            ++ni;
            continue;
        }
        if (starP < 0)
            return false;
        pi = starP + 1;
        ni = ++starN;
    }
    while (pi < p.size() && p[pi] == u'*')
        ++pi;
    return pi == p.size();
}

}  // namespace

WildcardPattern::WildcardPattern(const QString& pattern)
    : pattern_(pattern), folded_(pattern.toCaseFolded()) {
    ascii_ = true;
    for (QChar c : pattern)
        if (c.unicode() >= 0x80)
            ascii_ = false;
    if (ascii_)
        asciiLower_ = pattern.toLower().toStdString();
    matchAll_ = pattern == QLatin1String("*") || pattern == QLatin1String("*.*");
    dotStarSuffix_ = pattern.size() > 2 && pattern.endsWith(QLatin1String(".*"));
}

bool WildcardPattern::matches(const QString& name) const {
    if (matchAll_)
        return true;
    if (ascii_) {
        const QByteArray utf8 = name.toUtf8();
        return matchesUtf8(std::string_view(utf8.constData(), size_t(utf8.size())));
    }
    const QString n = name.toCaseFolded();
    if (globFolded(folded_, n))
        return true;
    return dotStarSuffix_ && globFolded(folded_.chopped(2), n);
}

bool WildcardPattern::matchesUtf8(std::string_view name) const {
    if (matchAll_)
        return true;
    if (!ascii_)
        return matches(QString::fromUtf8(name.data(), qsizetype(name.size())));
    if (globAscii(asciiLower_, name))
        return true;
    return dotStarSuffix_ &&
           globAscii(std::string_view(asciiLower_).substr(0, asciiLower_.size() - 2), name);
}

}  // namespace kadrano
