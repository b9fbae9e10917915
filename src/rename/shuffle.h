#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

#include "core/filelist.h"
#include "core/ownfiles.h"
#include "core/toolhost.h"
#include "randomint.h"
#include "shufflerecord.h"

namespace kadrano {

inline constexpr const char* kShuffleScript = kShuffleScriptName;
inline constexpr const char* kRestoreScript = kRestoreScriptName;
// Both scripts stay in the folder when the person does not run them; a button of the area
// runs each again.
inline constexpr KeptScript kShuffleKept{kShuffleScript, "Command9"};
inline constexpr KeptScript kRestoreKept{kRestoreScript, "Command10"};

// What the area "Dateinamen mischen" holds when Start or Wiederherstellen is clicked.
struct ShuffleOptions {
    QString separator = QStringLiteral("#");  // text of TrennzeichenTxt
    bool pauseAtEnd = false;                  // runShuffle and runRestore take the window's
};

struct RenamePlan {
    QStringList lines;  // the whole script
    int renames = 0;    // ren lines written
    int unsafe = 0;     // files left out: their names cannot stand in a script
    std::vector<std::pair<int, QString>> given;  // file index and new name of each ren line
};

// Shuffle: every file gets a random four-digit number and the separator in front of its
// name ("0434#File.jpg"). Numbers may repeat; the old name keeps the new names apart.
RenamePlan planShuffle(const FileList& files, const ShuffleOptions& options, RandomSource& random);

struct RestorePlan : RenamePlan {
    // Every name has the separator's first character at position 5, and no name that
    // looks shuffled is left alone.
    bool wellFormed = true;
    // Names with the separator in place that keep their beginning: no shuffle gave them.
    int leftAlone = 0;
};

// Whether a restore takes the first 4 + separator-length characters off a name. The name
// must have the separator from position 5 on and keep something after it. Then a folder
// record decides; without one, the beginning must be four digits that cannot be part of
// a date: not a year from 1800 to 2199 ("2019-07-21 Strand.jpg", "1999 Silvester.jpg"),
// not a day and month before a year ("0721-2019.jpg"), not a number that goes on without
// a separator, and not a number whose separator holds the extension's point ("0001.jpg").
bool restoresName(const QString& name, const QString& separator, ShuffleRecordSays record);

// Restore: every name restoresName accepts loses its prefix; other names are left alone.
// beforeFile(i) runs before each file (the window shows its progress there).
RestorePlan planRestore(const FileList& files, const ShuffleOptions& options,
                        const ShuffleRecords& records,
                        const std::function<void(int)>& beforeFile = {});

// The two buttons of the shuffle area, run on the window.
void runShuffle(ToolHost& host, const ShuffleOptions& options,
                RandomSource& random = sharedRandom());
void runRestore(ToolHost& host, const ShuffleOptions& options);

}  // namespace kadrano
