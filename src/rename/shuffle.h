#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "core/filelist.h"
#include "core/toolhost.h"
#include "randomint.h"

namespace kadrano {

inline constexpr const char* kShuffleScript = "_Rename_Random.bat";
inline constexpr const char* kRestoreScript = "_Restore_Original.bat";
// Both scripts stay in the folder when the person does not run them; a button of the area
// runs each again.
inline constexpr KeptScript kShuffleKept{kShuffleScript, "Command9"};
inline constexpr KeptScript kRestoreKept{kRestoreScript, "Command10"};

// What the area "Dateinamen mischen" holds when Start or Wiederherstellen is clicked.
struct ShuffleOptions {
    QString separator = QStringLiteral("#");  // text of TrennzeichenTxt
    bool pauseAtEnd = false;                  // RunShuffle and RunRestore take the window's
};

struct RenamePlan {
    QStringList lines;  // the whole script
    int renames = 0;    // ren lines written
    int unsafe = 0;     // files left out: their names cannot stand in a script
};

// Shuffle: every file gets a random four-digit number and the separator in front of its
// name ("0434#File.jpg"). Numbers may repeat; the old name keeps the new names apart.
RenamePlan PlanShuffle(const FileList& files, const ShuffleOptions& options, RandomSource& random);

struct RestorePlan : RenamePlan {
    // Every name has the separator's first character at position 5.
    bool wellFormed = true;
};

// Restore: a name whose characters from position 5 on equal the separator loses its first
// 4 + separator-length characters; other names are left alone. beforeFile(i) runs before
// each file (the window shows its progress there).
RestorePlan PlanRestore(const FileList& files, const ShuffleOptions& options,
                        const std::function<void(int)>& beforeFile = {});

// The two buttons of the shuffle area, run on the window.
void RunShuffle(ToolHost& host, const ShuffleOptions& options,
                RandomSource& random = SharedRandom());
void RunRestore(ToolHost& host, const ShuffleOptions& options);

}  // namespace kadrano
