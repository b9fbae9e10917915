#pragma once

#include <QString>

namespace kadrano {

// The window's language. Every text with two wordings picks the English one exactly when
// the language is English.
enum class Language { German, English };

inline Language languageFromText(const QString& text) {
    return text == QLatin1String("EN") ? Language::English : Language::German;
}
inline QString languageText(Language l) {
    return l == Language::English ? QStringLiteral("EN") : QStringLiteral("DE");
}

// Picks one of two wordings.
inline const QString& pick(Language l, const QString& german, const QString& english) {
    return l == Language::English ? english : german;
}

}  // namespace kadrano
