#pragma once

#include <QString>
#include <string_view>

namespace kadrano {

// A file pattern with "*" and "?", compared as the Windows file search does: without
// regard to case, "*.*" matching every name (also one without a point) and "name.*"
// matching "name" itself.
class WildcardPattern {
public:
    explicit WildcardPattern(const QString& pattern);

    bool matches(const QString& name) const;

    // Matches a name in the file system's encoding (UTF-8). Fast path for the usual
    // ASCII patterns; "?" stands for one character, not one byte.
    bool matchesUtf8(std::string_view name) const;

    const QString& text() const { return pattern_; }

private:
    QString pattern_;
    QString folded_;          // case-folded pattern for the general path
    std::string asciiLower_;  // the pattern in lower case when it is pure ASCII
    bool ascii_ = false;
    bool matchAll_ = false;       // "*", "*.*"
    bool dotStarSuffix_ = false;  // ends in ".*": the part before also matches alone
};

}  // namespace kadrano
