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
// and number formats the tests compare are those of a German system), and offscreen
// windows unless the caller chose a platform.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Whatever a test leaves in the user's state folder (the undo journals) lands in a
    // folder of its own, never in the real one.
    QTemporaryDir state;
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
