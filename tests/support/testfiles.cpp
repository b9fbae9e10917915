#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kadrano::test {

TempFolder::TempFolder() : dir_(QDir::tempPath() + QStringLiteral("/kadrano-test-XXXXXX")) {}

QString TempFolder::path() const {
    return dir_.path() + u'/';
}

QString TempFolder::write(const QString& relative, const QByteArray& bytes) {
    const QString full = file(relative);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile f(full);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return full;
}

void TempFolder::mkdir(const QString& relative) const {
    QDir().mkpath(file(relative));
}

QByteArray TempFolder::read(const QString& relative) const {
    QFile f(file(relative));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

bool TempFolder::exists(const QString& relative) const {
    return QFileInfo::exists(file(relative));
}

QStringList TempFolder::names(const QString& relative) const {
    QStringList list = QDir(file(relative)).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    return list;
}

QStringList splitCrLf(const QByteArray& bytes) {
    return QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
}

}  // namespace kadrano::test
