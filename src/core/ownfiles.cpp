#include "ownfiles.h"

namespace kadrano {

OwnFiles::OwnFiles(std::initializer_list<const char*> names) {
    for (const char* name : names)
        add(name);
}

void OwnFiles::add(const char* name) {
    const QString n = QString::fromUtf8(name);
    if (n.isEmpty() || contains(n))
        return;
    names_.append(n);
    const QChar first = n.front().toCaseFolded();
    if (!firstLetters_.contains(first))
        firstLetters_.append(first);
}

bool OwnFiles::contains(QStringView name) const {
    if (name.isEmpty() || !firstLetters_.contains(name.front().toCaseFolded()))
        return false;
    for (const QString& own : names_)
        if (name.compare(own, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

}  // namespace kadrano
