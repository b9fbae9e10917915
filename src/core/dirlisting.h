#pragma once

#include <QString>
#include <QStringList>

#include "wildcard.h"

namespace kadrano {

// One directory read in a single pass: the plain files whose names match the pattern and
// the sub-directories. Hidden entries (leading point) are never returned, and both lists
// come in one stable order (without regard to case, ties by exact text). A directory that
// cannot be read gives two empty lists and false. Names that are not valid UTF-8 are left
// out and counted: such a name cannot be written into a script or opened again by its text.
struct DirListing {
    QStringList files;
    QStringList subdirs;
    int undecodableFiles = 0;    // matching the pattern
    int undecodableSubdirs = 0;  // only when sub-directories were asked for
};

bool listDirectory(const QString& dir, const WildcardPattern& pattern, bool wantSubdirs,
                   DirListing& out);

}  // namespace kadrano
