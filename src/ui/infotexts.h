#pragma once

#include <QString>

#include "core/language.h"

namespace kadrano {

// What a "?" button shows: the text (line breaks are single "\r") and the box title.
struct InfoText {
    QString text;
    QString title;
};

// The general information of the top strip's "?" button (and F1), for a window with this
// caption and a program file of this name (without extension). The tool areas explain
// themselves (see AreaInfo).
InfoText generalInfo(Language language, const QString& windowCaption, const QString& programName);

}  // namespace kadrano
