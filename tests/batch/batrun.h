#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "support/testfiles.h"

namespace kadrano::test {

// What one run of kadrano-bat left behind on its streams.
struct BatResult {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the script through kadrano-bat with the arguments, feeding input to its stdin and
// then closing it (a "pause" without input goes on).
BatResult runBat(const QString& scriptPath, const QStringList& arguments = {},
                 const QByteArray& input = QByteArray());
// The same with kadrano-bat's own options in front of the script ("--jobs", "3").
BatResult runBatWith(const QStringList& options, const QString& scriptPath,
                     const QStringList& arguments = {}, const QByteArray& input = QByteArray());

// Writes the lines as the tools write scripts (UTF-8, CR LF) to "t.bat" in the folder and
// runs it.
BatResult runLines(TempFolder& folder, const QStringList& lines, const QStringList& arguments = {},
                   const QByteArray& input = QByteArray());

}  // namespace kadrano::test
