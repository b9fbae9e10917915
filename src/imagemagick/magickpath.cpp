#include "magickpath.h"

#include <QDir>
#include <QFileInfo>

#include "core/pathhelpers.h"
#include "core/scripttext.h"
#include "fonts.h"

namespace kadrano {

namespace {

#ifdef Q_OS_WIN
constexpr const char* kMagickProgram = "magick.exe";
#else
constexpr const char* kMagickProgram = "magick";
#endif

// A program we can call from a script line: an executable file whose path can stand there.
bool isUsableProgram(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable() && canStandInScript(path);
}

QString findOnSearchPath(const QString& name, const QStringList& searchPath) {
    for (const QString& dir : searchPath) {
        const QString candidate = AddSeparator(dir) + name;
        if (isUsableProgram(candidate))
            return candidate;
    }
    return QString();
}

QString magickInSubFolder(const QString& programDir) {
    if (programDir.isEmpty())
        return QString();
    const QStringList subs =
        QDir(programDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& sub : subs) {
        const QString candidate = AddSeparator(programDir + sub) + QLatin1String(kMagickProgram);
        if (isUsableProgram(candidate))
            return candidate;
    }
    return QString();
}

MagickDiscovery foundAt(const QString& program, const QString& programDir,
                        const QStringList& searchPath) {
    MagickDiscovery d;
    d.found = true;
    d.separatePrograms = isSeparateMagickProgram(program);
    d.pathText = program;
    d.paths = deriveMagickPaths(program, programDir, searchPath);
    return d;
}

}  // namespace

QStringList systemSearchPath() {
    return qEnvironmentVariable("PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts);
}

bool namesExistingFile(const QString& text) {
    return !text.isEmpty() && QFileInfo(text).isFile();
}

bool isSeparateMagickProgram(const QString& programPath) {
    QString name = FileNamePart(programPath).toLower();
    if (name.endsWith(QLatin1String(".exe")))
        name.chop(4);
    return name == QLatin1String("convert") || name == QLatin1String("mogrify");
}

MagickPaths deriveMagickPaths(const QString& programPath, const QString& programDir,
                              const QStringList& searchPath) {
    MagickPaths p;
    if (!isSeparateMagickProgram(programPath))
        p.MagickCommand = scriptArg(programPath);
    p.MagickDir = programPath.left(programPath.size() - FileNamePart(programPath).size());
    p.FontListPath = fontListLocation(p.MagickDir, programDir, searchPath);
    p.FontScriptPath = programDir + QStringLiteral("ImageMagic_GetFonts.bat");
    p.FontExportPath = programDir + QStringLiteral("ImageMagic_FontExport.txt");
    return p;
}

MagickDiscovery discoverMagick(const QString& boxText, const QString& programDir,
                               const QStringList& searchPath) {
    // A path the person gave is taken as it is, as long as a script line can hold it.
    if (namesExistingFile(boxText) && canStandInScript(boxText))
        return foundAt(boxText, programDir, searchPath);
    if (!boxText.isEmpty() && namesExistingFile(programDir + boxText) &&
        canStandInScript(programDir + boxText))
        return foundAt(programDir + boxText, programDir, searchPath);

    QString program = magickInSubFolder(programDir);
    if (program.isEmpty())
        program = findOnSearchPath(QLatin1String(kMagickProgram), searchPath);
#ifndef Q_OS_WIN
    // On Windows "convert" names the system's disk converter, so a bare "convert" in a
    // script would never reach ImageMagick 6 there.
    if (program.isEmpty()) {
        const QString convert = findOnSearchPath(QStringLiteral("convert"), searchPath);
        const QString mogrify = findOnSearchPath(QStringLiteral("mogrify"), searchPath);
        if (!convert.isEmpty() && !mogrify.isEmpty())
            program = convert;
    }
#endif
    if (!program.isEmpty())
        return foundAt(program, programDir, searchPath);

    MagickDiscovery none;
    none.pathText = QString::fromUtf8(kMagickPathHint);
    return none;
}

MagickPathCheck CheckMagickPath(const QString& text, const QString& programDir) {
    if (namesExistingFile(text))
        return {MagickPathState::Found, text};
    if (namesExistingFile(programDir + text))
        return {MagickPathState::MadeWhole, programDir + text};
    return {MagickPathState::Missing, text};
}

ScreenColour magickPathColour(const QString& text, const QString& programDir) {
    if (namesExistingFile(text) || namesExistingFile(programDir + text))
        return {0, 128, 0, false};
    return {128, 0, 0, false};
}

}  // namespace kadrano
