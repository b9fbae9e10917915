#pragma once

#include <QString>
#include <QStringList>

namespace kadrano {

// The drive list of the directory picker: the volumes mounted on this machine, each named
// by its root path in the platform's own spelling ("C:\", "/", "/media/card").
QStringList mountedVolumeRoots();

// The volume a path lies on: the one whose root is the longest leading part of the path,
// compared as whole path components (so "/media/card" is not on "/media/ca"). Letter case
// only counts where the file system is case sensitive. -1 when no root fits.
int volumeForPath(const QStringList& roots, const QString& path);

}  // namespace kadrano
