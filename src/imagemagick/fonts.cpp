#include "fonts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include "core/pathhelpers.h"
#include "core/scripttext.h"
#include "core/textcodec.h"
#include "core/toolsequence.h"

namespace kadrano {

namespace {

const QString kFontKey = QStringLiteral("Font:");
const QString kGlyphsKey = QStringLiteral("glyphs:");
const QString kFamilyKey = QStringLiteral("family:");

QString valueAfter(QString line, const QString& key) {
    return line.remove(key).trimmed();
}

bool isFontListLine(const QString& line) {
    return line.contains(kFontKey) || line.contains(kGlyphsKey) || line.contains(kFamilyKey);
}

bool readLines(const QString& path, QStringList* lines) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QString text = decodeText(f.readAll());
    *lines = text.split(u'\n');
    // A final line break ends the last line; it opens no line of its own.
    if (!lines->isEmpty() && lines->last().isEmpty())
        lines->removeLast();
    return true;
}

// Two paths that name the same folder, however they are written.
bool sameFolder(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

}  // namespace

void FontTable::clear() {
    rows_.clear();
    families_.clear();
}

void FontTable::load(const QStringList& lines) {
    clear();
    QString lastFamily;
    for (const QString& line : lines) {
        if (line.contains(kFontKey)) {
            if (int(rows_.size()) >= kMaxRows)
                return;
            rows_.push_back(FontRow{valueAfter(line, kFontKey), QString(), QString()});
        } else if (line.contains(kGlyphsKey)) {
            if (rows_.empty())
                return;
            rows_.back().glyphs = valueAfter(line, kGlyphsKey);
        } else if (line.contains(kFamilyKey)) {
            if (rows_.empty())
                return;
            rows_.back().family = valueAfter(line, kFamilyKey);
            if (rows_.back().family != lastFamily) {
                lastFamily = rows_.back().family;
                families_.append(lastFamily);
            }
        }
    }
}

QString FontTable::pickFontFile(const QString& family, bool bold, bool italic) const {
    bool italicOk = !italic;
    bool boldOk = !bold;
    QString candidate;
    for (const FontRow& row : rows_) {
        if (row.family != family)
            continue;
        candidate = row.glyphs;
        if (italic)
            italicOk = row.name.contains(QLatin1String("-Italic")) ||
                       row.name.contains(QLatin1String("-Oblique"));
        if (bold)
            boldOk = row.name.contains(QLatin1String("-Bold"));
        if (italicOk && boldOk)
            return candidate;
    }
    return candidate;
}

QString fontListLocation(const QString& magickDir, const QString& settingsDir,
                         const QStringList& searchPath) {
    const QString beside = AddSeparator(settingsDir) + QLatin1String(kFontListName);
    if (magickDir.isEmpty())
        return beside;
    const QFileInfo dir(magickDir);
    if (!dir.isDir() || !dir.isWritable())
        return beside;
    for (const QString& shared : searchPath)
        if (sameFolder(magickDir, shared))
            return beside;
    return AddSeparator(magickDir) + QLatin1String(kFontListName);
}

QStringList fontScriptLines(const QString& magickCommand, const QString& exportPath) {
    return {QStringLiteral("chcp 1252"),
            magickCommand + QStringLiteral(" convert -list font > ") + scriptArg(exportPath)};
}

QStringList reduceFontExport(const QStringList& exportLines, int lineBudget) {
    QStringList out;
    const int n = std::min<int>(lineBudget, int(exportLines.size()));
    for (int i = 0; i < n; ++i)
        if (isFontListLine(exportLines.at(i)))
            out.append(exportLines.at(i).trimmed());
    return out;
}

QString chooseFontFamily(const QString& wanted, const QStringList& families,
                         const std::function<QString(const QString&)>& desktopMatch) {
    if (families.isEmpty())
        return QString();
    if (!wanted.isEmpty() && families.contains(wanted))
        return wanted;
    if (!wanted.isEmpty() && desktopMatch) {
        const QString matched = desktopMatch(wanted);
        if (!matched.isEmpty() && families.contains(matched))
            return matched;
    }
    return families.first();
}

bool FontList::readListFile() {
    QStringList lines;
    if (!readLines(paths_.FontListPath, &lines))
        return false;
    table_.load(lines);
    return true;
}

bool FontList::LoadFontList() {
    table_.clear();
    if (paths_.FontListPath.isEmpty() || !QFileInfo(paths_.FontListPath).isFile()) {
        ScriptTools tools(host_);
        const QString question = QStringLiteral(
            "Die Windows-Schriften müssen einmalig importiert werden, soll dies jetzt "
            "geschehen?");
        if (tools.inform(question, Mb::YesNo, QStringLiteral("Schriften jetzt initialisieren?")) !=
            Mb::ResultYes)
            return false;
        return ReimportFonts();
    }
    return readListFile();
}

bool FontList::ReimportFonts() {
    Person& person = host_.person();
    ScriptTools tools(host_);
    const Language lang = host_.language();
    const QString remembered = person.statusText();
    const auto restoreStatus = [&] { person.setStatus(remembered); };
    person.setStatus(pick(lang, QStringLiteral("Schriften werden neu eingelesen..."),
                          QStringLiteral("Re-Initializing ImageMagick fonts...")));

    const QString script = paths_.FontScriptPath;
    const QString exportPath = paths_.FontExportPath;
    if (script.isEmpty() || exportPath.isEmpty() || !canStandInScript(exportPath)) {
        restoreStatus();
        return false;
    }
    // An export left over from an earlier, broken import must not pass for a new one.
    QFile::remove(exportPath);
    if (!tools.writeScript(script, fontScriptLines(paths_.MagickCommand, exportPath))) {
        restoreStatus();
        return false;
    }
    tools.RunAndWait(QuoteIfSpaces(script));
    person.processEvents();
    if (settleMilliseconds > 0)
        QThread::msleep(ulong(settleMilliseconds));

    person.setStatus(pick(lang, QStringLiteral("Versuche .bat zu löschen.. (aufräumen)"),
                          QStringLiteral("Try deleting .bat file (cleanup)...")));
    // The script may be held open a moment after its end; try for a while, not for ever.
    for (int attempt = 0; attempt < 50 && QFileInfo::exists(script); ++attempt) {
        QFile::remove(script);
        person.processEvents();
        if (QFileInfo::exists(script))
            QThread::msleep(100);
    }

    QStringList exportLines;
    const bool haveExport = QFileInfo(exportPath).isFile() && readLines(exportPath, &exportLines);
    const QStringList reduced = haveExport ? reduceFontExport(exportLines) : QStringList();
    // The redirection creates the export even when ImageMagick fails; an export without a
    // single font is as good as none and must not replace a list that works.
    const bool anyFont = std::any_of(reduced.cbegin(), reduced.cend(),
                                     [](const QString& l) { return l.contains(kFontKey); });
    if (!anyFont) {
        QFile::remove(exportPath);
        tools.inform(QStringLiteral("Die Font-Export-Datei konnte nicht gefunden werden: ") +
                         u'\r' + exportPath,
                     Mb::OK, QString());
        restoreStatus();
        return false;
    }
    QFile::remove(exportPath);
    if (!writeScriptFile(paths_.FontListPath, reduced)) {
        tools.inform(QStringLiteral("Die Schriftliste konnte nicht geschrieben werden: ") + u'\r' +
                         paths_.FontListPath,
                     Mb::OK | Mb::IconWarning, QString());
        restoreStatus();
        return false;
    }
    const bool loaded = readListFile();
    restoreStatus();
    return loaded;
}

}  // namespace kadrano
