#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <initializer_list>

namespace kadrano {

// The files the program itself writes into a picture folder. A pattern such as "*.*"
// matches them too, but they are never pictures: a tool that renamed or deleted its own
// script while that script runs would fail half-way, and a checksum list compared
// against itself while it is being written means nothing.

// The tools' scripts. The undo journal knows a tool's run by its script's name, so the
// names live here, below every tool.
inline constexpr char kAddDateScriptName[] = "_Datei_AddDatum.bat";
inline constexpr char kCustomRenameScriptName[] = "_Rename_Custom.bat";
inline constexpr char kShuffleScriptName[] = "_Rename_Random.bat";
inline constexpr char kRestoreScriptName[] = "_Restore_Original.bat";
inline constexpr char kCameraNumbersScriptName[] = "_Remove_CameraNumbers.bat";
inline constexpr char kDuplicatesScriptFileName[] = "_Doppelte_Dateien.bat";
inline constexpr char kOrientationTagScriptName[] = "_Add_Picture-Orientation_Tag.bat";
inline constexpr char kOrientationRemoveScriptName[] = "_Remove_PictureOrientation.bat";
inline constexpr char kResizeScriptName[] = "_Resize_Pictures.bat";
inline constexpr char kTextScriptName[] = "_Add_Text_ToPictures.bat";
inline constexpr char kExifRotateScriptName[] = "_EXIF_Rotate_Pictures.bat";

// The lists.
inline constexpr char kChecksumListFileName[] = "_Datei_ChecksummenListe.txt";
// Which names the last shuffles in a folder gave, so that a restore touches no other name.
inline constexpr char kShuffleRecordName[] = ".kadrano-shuffle";

// The names of the files the program writes into picture folders, as the parts of the
// program that write them declare them (each tool area its tools' files): a collection
// leaves these out whatever the pattern.
class OwnFiles {
public:
    OwnFiles() = default;
    OwnFiles(std::initializer_list<const char*> names);
    void add(const char* name);

    // Whether a bare file name is one of them. Letter case does not count (on Windows
    // "_rename_random.BAT" is the same file).
    bool contains(QStringView name) const;
    const QStringList& names() const { return names_; }

private:
    QStringList names_;
    // The first letter of every name, folded: a collection asks for every file it finds,
    // so most pictures are turned away after one comparison.
    QString firstLetters_;
};

}  // namespace kadrano
