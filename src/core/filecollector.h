#pragma once

#include <QString>

#include "filelist.h"
#include "language.h"
#include "ownfiles.h"

namespace kadrano {

// What a running collection needs from its surroundings: a place for its status text,
// a moment for the window to handle events (ESC), and the cancel flag.
class CollectObserver {
public:
    virtual ~CollectObserver() = default;
    virtual void collectStatus(const QString& text) = 0;
    virtual void collectProcessEvents() = 0;
    virtual bool collectCancelRequested() const = 0;
};

// What a collection could not look at. The program's own scripts and lists are left out
// too, but they are never pictures and need no word.
struct CollectLeftOut {
    bool topMissing = false;     // the folder does not exist
    bool topUnreadable = false;  // it exists but cannot be listed
    int unreadableFolders = 0;   // sub-folders that could not be listed
    int undecodableNames = 0;    // files and sub-folders whose names are not valid UTF-8
    bool any() const {
        return topMissing || topUnreadable || unreadableFolders > 0 || undecodableNames > 0;
    }
};

struct CollectResult {
    FileList files;
    bool cancelled = false;
    CollectLeftOut leftOut;
};

// Collects the files matching pattern in topDir (which ends in a separator), and with
// withSubdirs in every directory below it, breadth first: the top directory, then its
// sub-directories in listing order, then theirs. Status updates and event processing are
// thinned out (every 300 files in the tree walk, every 10 in a single directory). Files
// named in own (the program's own scripts and lists) are never collected.
CollectResult collectPictureFiles(const QString& topDir, const QString& pattern, bool withSubdirs,
                                  Language lang, CollectObserver& observer,
                                  const OwnFiles& own = OwnFiles());

// A count as "###,###,###" shows it: digit groups by the user's locale, nothing for 0.
QString groupedCount(qint64 count);

// The status label's text after a collection.
QString collectedStatusText(int count, bool cancelled, Language lang);
QString noFilesFoundStatusText(Language lang);

// A short note of what the collection left out and why, for the status label's tooltip;
// empty when nothing was left out.
QString collectLeftOutNote(const CollectLeftOut& leftOut, Language lang);

// The file-list text: one full path per line, CR LF, one empty line at the end.
QStringList fileListLines(const FileList& files);

}  // namespace kadrano
