#include "starterplan.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>

#include "core/dirlisting.h"
#include "core/pathhelpers.h"

namespace kadrano {

namespace {

// A listing of the pattern in the folder finds at least one plain file.
bool holdsFile(const QString& dir, const QString& pattern) {
    DirListing listing;
    if (!listDirectory(dir, WildcardPattern(pattern), false, listing))
        return false;
    return !listing.files.isEmpty();
}

// The sub-folder of dir called name, as it is spelt on disk: a card written on Windows
// may say "Dcim" or "dcim", and a camera or Windows itself takes either for the same
// folder, so the letter case of the name does not count here either.
QString subfolderNamed(const QString& dir, const QString& name) {
    DirListing listing;
    if (!listDirectory(dir, WildcardPattern(name), true, listing))
        return QString();
    for (const QString& sub : listing.subdirs)
        if (sub.compare(name, Qt::CaseInsensitive) == 0)
            return sub;
    return QString();
}

// A plain file anywhere below the folder. A camera keeps its pictures in folders of its
// own (DCIM/100CANON), and "Fotos/DCIM/" holds nothing but the DCIM folder: both still
// lead to the pictures.
bool holdsFileBelow(const QString& dir) {
    QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
    return it.hasNext();
}

bool isProgramFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

}  // namespace

QString mainProgramFileName() {
#ifdef Q_OS_WIN
    return QStringLiteral("Kadrano.exe");
#else
    return QStringLiteral("kadrano");
#endif
}

QString pictureFolderFor(const QString& starterDir, const QStringList& arguments) {
    const QString commandLine = arguments.join(u' ');
    // A command line of blanks names no folder; the main program would read it as none.
    if (!commandLine.trimmed().isEmpty())
        return commandLine;

    QString folder = AddSeparator(starterDir);
    if (holdsFile(folder, QStringLiteral("*.jpg")))
        return folder;
    // Each step looks below the folder the previous steps reached: Fotos/DCIM/ on a card
    // that keeps its camera folder inside a "Fotos" folder.
    for (const QString& name :
         {QStringLiteral("Fotos"), QStringLiteral("DCIM"), QStringLiteral("Pictures")}) {
        const QString sub = subfolderNamed(folder, name);
        if (sub.isEmpty())
            continue;
        const QString candidate = AddSeparator(folder + sub);
        if (holdsFileBelow(candidate))
            folder = candidate;
    }
    return folder;
}

QString findMainProgram(const QString& starterDir) {
    const QString dir = AddSeparator(starterDir);
    const QString name = mainProgramFileName();
    const QString folderName = QFileInfo(name).completeBaseName();

    const QString below = dir + folderName + u'/' + name;
    if (isProgramFile(below))
        return below;
    const QString beside = dir + name;
    if (isProgramFile(beside))
        return beside;

    DirListing listing;
    if (!listDirectory(dir, WildcardPattern(QStringLiteral("*")), true, listing))
        return QString();
    for (const QString& sub : listing.subdirs) {
        const QString inside = dir + sub + u'/' + name;
        if (isProgramFile(inside))
            return inside;
    }
    return QString();
}

StartPlan planStart(const QString& starterDir, const QStringList& arguments) {
    StartPlan plan;
    plan.pictureFolder = pictureFolderFor(starterDir, arguments);
    plan.program = findMainProgram(starterDir);
    // One argument, however many blanks the folder's name holds: nothing re-splits it on
    // the way, so no quotes are needed around it.
    if (!plan.pictureFolder.isEmpty())
        plan.arguments = {plan.pictureFolder};
    return plan;
}

bool startDetached(const StartPlan& plan) {
    if (plan.program.isEmpty())
        return false;
    return QProcess::startDetached(plan.program, plan.arguments);
}

}  // namespace kadrano
