#pragma once

#include <gtest/gtest.h>

#include <QColor>
#include <QCoreApplication>
#include <QSize>
#include <memory>

#include "support/fakehost.h"
#include "support/testfiles.h"
#include "ui/form1.h"

namespace kadrano::test {

// The real main window, offscreen, with its program folder in a temporary directory,
// message boxes answered by a recorder and scripts run by the real interpreter.
class Form1Test : public ::testing::Test {
protected:
    TempFolder program;  // where the "executable", its settings and file list live
    TempFolder pictures;
    TempFolder undoJournals;  // the window's folder of undo journals
    RecordingPerson dialogs;
    BatchRunner runner;
    std::unique_ptr<Form1> window;
    // The tallest the window may grow (logical pixels).
    int heightLimit = 4000;
    // The font list the window finds beside its settings at start-up, as an earlier import
    // would have left it (the DejaVu and Liberation fonts of the test machine). Without one
    // a window that finds ImageMagick asks to import the fonts.
    QStringList fontList = DefaultFontList();
    static QStringList DefaultFontList();

    AppPaths paths() const {
        return AppPaths{program.path(), QStringLiteral("kadrano"), QString()};
    }

    // Creates the window and runs its start-up on the given command line.
    Form1& start(const QString& commandLine);
    // Creates the window without starting it.
    Form1& create();

    template <typename W>
    W* control(const char* name) const {
        W* w = window->findChild<W*>(QString::fromUtf8(name));
        EXPECT_NE(w, nullptr) << "no control " << name;
        return w;
    }
    // Clicks a button or check box as the person would.
    void click(const char* name);
    QString status() const;
    // Writes a real picture of one colour (the format follows the extension); its path.
    QString picture(const QString& relative, QSize size, const QColor& colour);
};

}  // namespace kadrano::test
