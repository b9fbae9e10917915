#pragma once

#include <QString>
#include <optional>

#include "core/language.h"

namespace kadrano {

// What a "?" button shows: the text (line breaks are single "\r") and the box title.
struct InfoText {
    QString text;
    QString title;
};

// The information of the "?" button with this objectName, for a window with this caption
// and a program file of this name (without extension). No value for a button that has no
// text (the date area's "?" shows nothing) or that is not an info button.
std::optional<InfoText> InfoTextFor(const QString& button, Language language,
                                    const QString& windowCaption, const QString& programName);

// The names of all info buttons of the window.
inline constexpr const char* kInfoButtons[] = {"Command11", "Command14", "Command3",  "Command12",
                                               "Command6",  "Command15", "Command13", "Command5",
                                               "Command21", "Command25", "Command7"};

}  // namespace kadrano
