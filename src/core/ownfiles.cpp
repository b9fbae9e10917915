#include "ownfiles.h"

namespace kadrano {

namespace {

constexpr const char* kOwnFiles[] = {
    kAddDateScriptName,        kCustomRenameScriptName,      kShuffleScriptName,
    kRestoreScriptName,        kCameraNumbersScriptName,     kDuplicatesScriptFileName,
    kOrientationTagScriptName, kOrientationRemoveScriptName, kResizeScriptName,
    kTextScriptName,           kExifRotateScriptName,        kChecksumListFileName,
    kShuffleRecordName,
};

}  // namespace

std::span<const char* const> OwnFileNames() {
    return kOwnFiles;
}

bool IsOwnFileName(QStringView name) {
    // Every own name begins with "_" or "."; the collection asks for every file it finds,
    // so a picture's name is turned away after one comparison.
    if (name.isEmpty() || (name.front() != u'_' && name.front() != u'.'))
        return false;
    for (const char* own : kOwnFiles)
        if (name.compare(QLatin1String(own), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

}  // namespace kadrano
