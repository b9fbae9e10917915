#include <gtest/gtest.h>

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#ifdef KADRANO_TEST_GUI
#include <QApplication>
#else
#include <QCoreApplication>
#endif

// Every test binary starts here: one Qt application object, a German locale (the texts
// and number formats the tests compare are those of a German system), offscreen
// windows unless the caller chose a platform, and cache and state folders of their own: a
// search in a test must neither read the digests the person's own searches left nor leave
// any there, and undo journals of tests never land among the person's.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir cacheHome;
    if (!cacheHome.isValid())
        return 1;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome.path()));
    QTemporaryDir state;
    if (!state.isValid())
        return 1;
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ::testing::InitGoogleTest(&argc, argv);
#ifdef KADRANO_TEST_GUI
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    return RUN_ALL_TESTS();
}
