#pragma once

#include <QString>
#include <QStringView>
#include <span>

namespace kadrano {

// The files the program itself writes into a picture folder. A pattern such as "*.*"
// matches them too, but they are never pictures: a tool that renamed or deleted its own
// script while that script runs would fail half-way, and a checksum list compared
// against itself while it is being written means nothing.

// The tools' scripts.
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

// Every name above.
std::span<const char* const> OwnFileNames();

// Whether a bare file name is one of the program's own files. Letter case does not count
// (on Windows "_rename_random.BAT" is the same file).
bool IsOwnFileName(QStringView name);

}  // namespace kadrano
