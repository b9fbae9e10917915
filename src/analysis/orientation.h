#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "core/filelist.h"
#include "core/language.h"
#include "core/ownfiles.h"
#include "core/toolsequence.h"

namespace kadrano {

// Tagging picture names with their format (portrait or landscape) and taking the tags off
// again, without any window: measured orientations in, script lines, counts and message
// texts out.

// Both scripts stay in the folder when not run, each with the button that runs it later.
inline constexpr KeptScript kOrientationTagKept{kOrientationTagScriptName, "Command8"};
inline constexpr KeptScript kOrientationRemoveKept{kOrientationRemoveScriptName,
                                                   "RestoreOrigin_BAT"};

enum class Orientation : unsigned char { Unknown, Portrait, Landscape };

// The stored pixel grid of a picture file, read from its header; an EXIF turn is not
// applied, so a camera's upright portrait that is stored lying reads as landscape. A file
// that does not decode (empty, cut off before its size, not a picture) gives an invalid
// size. Formats whose reader cannot tell the size without decoding are decoded once.
QSize storedPictureSize(const QString& path);

// Taller than wide is portrait; wider, or square, is landscape; no size is unknown.
Orientation orientationOfSize(const QSize& size);

inline Orientation measureOrientation(const QString& path) {
    return orientationOfSize(storedPictureSize(path));
}

struct OrientationTagOptions {
    QString portraitTag = QStringLiteral("[HF]");
    QString landscapeTag = QStringLiteral("[QF]");
    // "Rechts anfügen": the tag goes in front of the file's extension instead of in front
    // of the name.
    bool beforeExtension = false;
};

// Why the tags cannot be used, or nothing when they can: a tag must hold at least one
// visible character, and no character that a file name cannot hold on Windows or here
// (\ / : * ? " < > | or a control character). Otherwise a tag would rename every file to
// its own name, or move it into another folder.
std::optional<Question> tagProblem(const OrientationTagOptions& options);

// The file name with the tag put in, or the empty text when the name cannot take it.
// In front of the extension means in front of the name's last ".", so "a.b.jpg" becomes
// "a.b[HF].jpg" and a name without "." gets the tag at its end.
QString taggedName(const QString& name, const QString& tag, bool beforeExtension);

// What a planning step found besides its lines.
struct OrientationScript {
    QStringList lines;       // the whole script: header, per-file lines, optional "pause"
    int renames = 0;         // "ren" lines written
    int portrait = 0;        // pictures measured portrait
    int landscape = 0;       // pictures measured landscape (squares among them)
    int unknown = 0;         // files that did not decode
    int taken = 0;           // files left out: the new name is already there
    int unsafe = 0;          // files left out: the name cannot stand in a script line
    bool wellFormed = true;  // removal only: every name holds one of the two tags
};

// Says whether a path names an existing file or folder (tests give their own).
using PathExists = std::function<bool(const QString& path)>;
bool pathExistsOnDisk(const QString& path);

// The tag script for the first measured.size() files of the list (a stopped run measured
// only some). The progress lines count to files.count() all the same. A name that holds
// its tag already gets no line; one that holds the other tag gets the new one as well.
// The tool's own scripts are never renamed.
OrientationScript planOrientationTags(const FileList& files,
                                      const std::vector<Orientation>& measured,
                                      const OrientationTagOptions& options, bool pauseAtEnd,
                                      const PathExists& exists = pathExistsOnDisk);

// The removal script: every occurrence of the landscape tag leaves a name that holds it,
// otherwise every occurrence of the portrait tag. Names without either tag are skipped
// and make the list not well formed.
OrientationScript planRemoveOrientationTags(const FileList& files,
                                            const OrientationTagOptions& options, bool pauseAtEnd,
                                            const PathExists& exists = pathExistsOnDisk);

// Progress of the measuring loop: file k of n.
QString measuringCaption(int k, int n);
QString measuringStartCaption(const QString& clockText);
// The status counts to n + 1, as the other loops' remaining-time displays do.
QString measuringStatus(Language lang, const QString& timeLeft, int k, int n,
                        const OrientationTagOptions& options, int portrait, int landscape);

// The questions and notes of the two functions.
Question stopMeasuringQuestion();
Question tagRenameQuestion(const QString& scriptPath, int taken);
QString removeQuestionText(int taken);
QString removeQuestionTitle();
QString wrongFormatText(const OrientationTagOptions& options, int taken);
QString wrongFormatTitle();
// " files were left out because the new name is already there" (nothing for 0).
QString takenNamesNote(Language lang, int taken);

}  // namespace kadrano
