#include <QCoreApplication>

#include "core/pathhelpers.h"
#include "starterplan.h"

// Starts the main program on the picture folder of the card it lies on, and ends. It has
// no window: nothing to see, nothing to wait for.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const QString starterDir = kadrano::AddSeparator(QCoreApplication::applicationDirPath());
    return kadrano::startDetached(kadrano::planStart(starterDir, arguments)) ? 0 : 1;
}
