#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "core/toolhost.h"
#include "magickpath.h"

namespace kadrano {

// The captions are drawn with a font file, not a font name, so that a caption looks the
// same whatever names ImageMagick happens to know. The files come from ImageMagick's own
// listing, which is reduced once to "FontList.txt" and read at every start.

inline constexpr const char* kFontScriptName = "ImageMagic_GetFonts.bat";
inline constexpr const char* kFontExportName = "ImageMagic_FontExport.txt";
inline constexpr const char* kFontListName = "FontList.txt";

// One font of the list: its name ("Arial-Bold"), its glyph file and its family ("Arial").
struct FontRow {
    QString name;
    QString glyphs;
    QString family;
};

class FontTable {
public:
    // Rows 0 to 800: a list with more fonts is cut there.
    static constexpr int kMaxRows = 801;

    // Reads the lines of a font list: a "Font:" line opens a row, the "glyphs:" and
    // "family:" lines after it fill it. A family is listed when it differs from the family
    // listed last, so a family whose fonts are not listed together appears more than once.
    // A "Font:" line beyond the last row, or a "glyphs:"/"family:" line before the first
    // "Font:", ends the reading there; what was read so far stays.
    void load(const QStringList& lines);
    void clear();

    const std::vector<FontRow>& rows() const { return rows_; }
    // The families in list order, as the family box shows them.
    const QStringList& families() const { return families_; }
    bool hasFamily(const QString& family) const { return families_.contains(family); }

    // The glyph file for a family: the first row of the family whose name has "-Bold" when
    // bold is asked for and "-Italic" (ImageMagick on Linux also says "-Oblique") when italic
    // is; without such a row the glyph file of the family's last row; empty for a family
    // the list does not hold.
    QString pickFontFile(const QString& family, bool bold, bool italic) const;

private:
    std::vector<FontRow> rows_;
    QStringList families_;
};

// Where the font list lives: in ImageMagick's folder when that is ImageMagick's own folder
// and we may write there; a shared program folder (one on the search path, such as
// /usr/bin) never gets our file, so the list then lies beside the settings file.
QString fontListLocation(const QString& magickDir, const QString& settingsDir,
                         const QStringList& searchPath = systemSearchPath());

// The two lines of the font script: the code page, then ImageMagick's font listing
// redirected into the raw export.
QStringList fontScriptLines(const QString& magickCommand, const QString& exportPath);

// The lines of the raw export that hold "Font:", "glyphs:" or "family:", trimmed. Only the
// first lineBudget lines of the export are looked at.
inline constexpr int kFontExportLineBudget = 9999;
QStringList reduceFontExport(const QStringList& exportLines,
                             int lineBudget = kFontExportLineBudget);

// The family the box shows: the wanted one when the list holds it; else the family the
// desktop's font matching gives for it (Arial is matched to Liberation Sans on Linux) when
// the list holds that; else the first family of the list. Empty only when the list is
// empty: ImageMagick must never get an empty font.
QString chooseFontFamily(const QString& wanted, const QStringList& families,
                         const std::function<QString(const QString&)>& desktopMatch);

// The font list with its import. The window fills its family box from table().
class FontList {
public:
    FontList(ToolHost& host, MagickPaths paths) : host_(host), paths_(std::move(paths)) {}

    // Reads the font list file. When it is missing, asks whether to import the fonts now;
    // Yes imports them (and reads the new list). Returns whether a list was read.
    bool LoadFontList();

    // Runs ImageMagick's font listing through the font script and rebuilds the font list
    // from its export, then reads it. Returns whether a new list was written and read; an
    // export that did not come about, or holds no font, leaves the old list alone.
    bool ReimportFonts();

    const FontTable& table() const { return table_; }
    const MagickPaths& paths() const { return paths_; }

    // How long to wait after the listing before cleaning up (the command interpreter on
    // Windows may hold the script a moment longer).
    int settleMilliseconds = 1000;

private:
    bool readListFile();

    ToolHost& host_;
    MagickPaths paths_;
    FontTable table_;
};

}  // namespace kadrano
