#include "renamecheck.h"

#include <QFileInfo>

#include "core/scripttext.h"

namespace kadrano {

namespace {

QString key(const QString& name) {
    return name.toCaseFolded();
}

}  // namespace

bool isUsableNewName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (QChar c : name)
        if (c == u'/' || c == u'\\' || c == u'*' || c == u'?')
            return false;
    return canStandInScript(name);
}

qsizetype extensionStart(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? dot : name.size();
}

RenameCheck::RenameCheck(const FileList& files, ExistsFn existsOnDisk)
    : files_(files), exists_(std::move(existsOnDisk)) {
    if (!exists_)
        exists_ = [](const QString& path) { return QFileInfo::exists(path); };
    for (int i = 0; i < files.count(); ++i)
        listed_[files.FileDirs.at(i)].insert(key(files.FileNames.at(i)));
    occupied_ = listed_;
}

RenameCheck::Verdict RenameCheck::check(int index, const QString& newName) {
    const QString& oldName = files_.FileNames.at(index);
    if (newName == oldName)
        return Verdict::Unchanged;
    if (!isUsableNewName(newName))
        return Verdict::Invalid;
    const QString& dir = files_.FileDirs.at(index);
    QSet<QString>& held = occupied_[dir];
    const QString newKey = key(newName), oldKey = key(oldName);
    // A change of case only is a rename of the file onto itself, which Windows allows.
    if (newKey != oldKey) {
        if (held.contains(newKey))
            return Verdict::Taken;
        if (!listed_[dir].contains(newKey) && exists_(dir + newName))
            return Verdict::Taken;
    }
    held.remove(oldKey);
    held.insert(newKey);
    return Verdict::Rename;
}

void RenameScript::rename(int index, const QString& newName) {
    const QString oldPath = files_.fullPath(index);
    if (!canStandInScript(oldPath)) {
        ++unsafe;
        return;
    }
    if (check_.check(index, newName) != RenameCheck::Verdict::Rename) {
        ++skipped;
        return;
    }
    script_.addProgress(index, files_.count());
    script_.add(QStringLiteral("ren ") + scriptArg(oldPath) + u' ' + scriptArg(newName));
    ++renames;
}

QStringList RenameScript::finish(bool pauseAtEnd) {
    script_.finish(pauseAtEnd);
    return script_.lines();
}

}  // namespace kadrano
