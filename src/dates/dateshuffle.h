#pragma once

#include <QString>

#include "core/progress.h"
#include "core/toolhost.h"
#include "rename/randomint.h"

namespace kadrano {

// The Start button of the date shuffle: every file gets the date of dateText ("DateFieldTxt")
// with a random time of day as all three time stamps, so that sorting by date mixes the
// pictures. Hour, minute and second are drawn in that order from the generator the name
// shuffle uses. A date that cannot be read stops the run before any file is touched.
void RunDateShuffle(ToolHost& host, const QString& dateText, RestZeit& restZeit,
                    RandomSource& random = SharedRandom());

}  // namespace kadrano
