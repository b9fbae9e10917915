#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QProcess>
#include <QStringDecoder>
#include <QTimer>

#include "core/language.h"
#include "core/toolhost.h"

class QPlainTextEdit;

namespace kadrano {

// Whether the program is a script our interpreter (or cmd.exe) runs.
bool IsScript(const QString& program);

// The platform's part (scriptrunner_posix.cpp, scriptrunner_win.cpp): a started program gets
// a process group of its own, and a stop reaches the whole group.
void StartOwnProcessGroup(QProcess& process);
void SignalProcessGroup(const QProcess& process, bool kill);

// A modal window that shows what a running script or program prints, as it prints it,
// like the console window a script gets on Windows. "pause" waits for a key press here.
// The window closes by itself when the program ends; closing it earlier stops the program
// (and whatever the script started), keeping what was done so far.
class ConsoleWindow : public QDialog {
    Q_OBJECT

public:
    explicit ConsoleWindow(QWidget* parent = nullptr);
    ~ConsoleWindow() override;

    // Starts the program and shows the window until the program has ended. Returns its exit
    // code, kRunStopped when it was stopped or crashed, or kRunNotStarted when it could not
    // start (startError() says why).
    int run(const QString& program, const QStringList& arguments);
    // The environment the program gets (the window's own unless set).
    void setProcessEnvironment(const QProcessEnvironment& environment) {
        process_.setProcessEnvironment(environment);
    }

    QString output() const;
    QString startError() const { return startError_; }
    bool cancelled() const { return cancelled_; }

    // How long a program may take to end after it was asked to before it is killed.
    static constexpr int kStopGraceMs = 1500;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing the window (or ESC) lands here: it stops a running program.
    void reject() override;

private:
    void readOutput();
    void onFinished(int exitCode, QProcess::ExitStatus status);
    bool answerPause(const QKeyEvent& key);
    void append(const QString& text);
    void signalProgram(bool kill);

    QPlainTextEdit* view_;
    QProcess process_;
    QStringDecoder decoder_{QStringDecoder::Utf8};
    QString tail_;  // the end of the output, to tell when "pause" waits
    QTimer killTimer_;
    QString startError_;
    int exitCode_ = -1;
    bool waitingForKey_ = false;
    bool finished_ = false;
    bool cancelled_ = false;
};

// Runs scripts and programs in a console window and waits for them. A ".bat" script runs
// through our interpreter kadrano-bat (on Windows through the system's command
// interpreter, in a console of its own); any other program runs directly.
class ConsoleScriptRunner : public ScriptRunner {
public:
    static QString DefaultInterpreterPath() {
        return QCoreApplication::applicationDirPath() + QStringLiteral("/kadrano-bat");
    }

    explicit ConsoleScriptRunner(QWidget* parent = nullptr,
                                 QString interpreter = DefaultInterpreterPath());

    int runAndWait(const QString& program, const QStringList& arguments) override;

    void setParentWidget(QWidget* parent) { parent_ = parent; }
    void setLanguage(Language language) { language_ = language; }

    // What the last run showed, and whether the person closed its window early.
    const QString& lastOutput() const { return lastOutput_; }
    bool lastCancelled() const { return lastCancelled_; }

private:
    void showError(const QString& german, const QString& english) const;

    QWidget* parent_;
    QString interpreter_;
    Language language_ = Language::German;
    QString lastOutput_;
    bool lastCancelled_ = false;
};

}  // namespace kadrano
