#include "settingslocation.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include "inifile.h"

namespace kadrano {

namespace {

QString inFolder(const QString& folder, const QString& name) {
    return QDir(folder).filePath(name);
}

bool copyWhole(const QByteArray& bytes, const QString& target) {
    QSaveFile file(target);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace

bool folderTakesNewFiles(const QString& folder) {
    if (!QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(inFolder(folder, QStringLiteral(".kadrano-probe-XXXXXX")));
    return probe.open();  // removed again when probe goes
}

SettingsLocation chooseSettingsLocation(const QString& programDir, const QString& fileName,
                                        const QString& configDir) {
    const QString beside = inFolder(programDir, fileName);
    if (folderTakesNewFiles(programDir) || configDir.isEmpty())
        return {beside, QString()};

    const QString inConfig = inFolder(configDir, fileName);
    // Whatever stands under the name in the configuration folder is that folder's file,
    // even one we cannot read: the load will say so.
    if (QFileInfo(inConfig).exists() || QFileInfo(inConfig).isSymLink())
        return {inConfig, QString()};

    QByteArray bytes;
    const IniReadStatus besideStatus = readIniFileBytes(beside, &bytes);
    if (besideStatus == IniReadStatus::Missing) {
        QDir().mkpath(configDir);  // the first save writes there
        return {inConfig, QString()};
    }
    if (besideStatus != IniReadStatus::Read)
        return {beside, QString()};
    if (!QDir().mkpath(configDir) || !copyWhole(bytes, inConfig)) {
        // Settings that cannot move stay readable where they are; saving there fails, and
        // the person is told when it does.
        return {beside, QString()};
    }
    return {inConfig, beside};
}

}  // namespace kadrano
