#pragma once

#include <QString>

#include "core/progress.h"
#include "core/toolhost.h"
#include "rename/randomint.h"

namespace kadrano {

// What the area "Datum mischen" holds when Start is clicked.
struct DateShuffleOptions {
    QString date = QStringLiteral("11.11.2019");  // text of DateFieldTxt (not stored)
};

// The Start button of the date shuffle: every file gets the options' date with a random
// time of day as all three time stamps, so that sorting by date mixes the
// pictures. Hour, minute and second are drawn in that order from the generator the name
// shuffle uses. A date that cannot be read stops the run before any file is touched.
void runDateShuffle(ToolHost& host, const DateShuffleOptions& options,
                    TimeLeft& timeLeft = sharedTimeLeft(), RandomSource& random = sharedRandom());

}  // namespace kadrano
