#include <gtest/gtest.h>

#include <QLocale>

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
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ::testing::InitGoogleTest(&argc, argv);
#ifdef KADRANO_TEST_GUI
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    return RUN_ALL_TESTS();
}
