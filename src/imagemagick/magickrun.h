#pragma once

#include <QString>
#include <vector>

#include "core/toolhost.h"

namespace kadrano {

// One file an ImageMagick line writes: the picture it reads and the file it writes (the
// same path when the picture is rewritten in place).
struct MagickRewrite {
    QString input;
    QString output;
    bool inPlace() const { return input == output; }
};

class MtimeKeeper;

// What a run that did not go through did to the pictures, for the report after it: which
// were written and which are as they were (by their names), in German and English. Empty
// after a clean run or one that did not start.
struct MagickRunDetail {
    QString de;
    QString en;
};
MagickRunDetail DescribeMagickRun(const MtimeKeeper& keeper, int runResult);

// The confirm and run steps of the ImageMagick tools. Asks with the question (no title,
// the same text in both languages) unless questions are off; No opens the script in the
// editor and returns false. Yes runs the script with the start time and waits; every file
// it rewrote gets its modification time back (a converted file takes its original's), then
// the script's deletion is offered, after a stop or a failure with the pictures done and
// left. Returns true when the script ran.
bool RunMagickScript(ToolHost& host, const QString& scriptPath, const QString& question,
                     const std::vector<MagickRewrite>& rewrites);

}  // namespace kadrano
