#include "consolewindow.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

#include "core/pathhelpers.h"

#ifdef Q_OS_WIN
#include <windows.h>

#include <QDir>
#else
#include <signal.h>
#include <unistd.h>
#endif

namespace kadrano {

namespace {

const QString kPausePrompt = QStringLiteral("Press any key to continue . . . ");

bool isModifierOnly(int key) {
    switch (key) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Meta:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
        case Qt::Key_ScrollLock:
            return true;
        default:
            return false;
    }
}

bool isScript(const QString& program) {
    return program.endsWith(QLatin1String(".bat"), Qt::CaseInsensitive);
}

}  // namespace

ConsoleWindow::ConsoleWindow(QWidget* parent) : QDialog(parent), view_(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("ConsoleWindow"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    view_->setObjectName(QStringLiteral("ConsoleOutput"));
    view_->setReadOnly(true);
    view_->setUndoRedoEnabled(false);
    view_->setLineWrapMode(QPlainTextEdit::NoWrap);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Dark like the console these scripts get on Windows.
    QPalette p = view_->palette();
    p.setColor(QPalette::Base, QColor(12, 12, 12));
    p.setColor(QPalette::Text, QColor(204, 204, 204));
    view_->setPalette(p);
    view_->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    // About 90 columns and 28 lines of the console font.
    const QFontMetrics metrics(view_->font());
    resize(metrics.horizontalAdvance(QString(90, u'M')) + 40, metrics.lineSpacing() * 28 + 20);

    process_.setProcessChannelMode(QProcess::MergedChannels);
    connect(&process_, &QProcess::readyReadStandardOutput, this, &ConsoleWindow::readOutput);
    connect(&process_, &QProcess::finished, this, &ConsoleWindow::onFinished);
    killTimer_.setSingleShot(true);
    connect(&killTimer_, &QTimer::timeout, this, [this] { signalProgram(true); });
}

ConsoleWindow::~ConsoleWindow() {
    // Only reached with a program still running when run() was never left normally.
    if (process_.state() != QProcess::NotRunning) {
        signalProgram(true);
        process_.waitForFinished(kStopGraceMs);
    }
}

int ConsoleWindow::run(const QString& program, const QStringList& arguments) {
#ifndef Q_OS_WIN
    // A group of its own, so that stopping reaches the programs a script started as well.
    process_.setChildProcessModifier([] { ::setpgid(0, 0); });
#endif
    process_.start(program, arguments);
    if (!process_.waitForStarted(-1)) {
        startError_ = process_.errorString();
        return -1;
    }
    if (!finished_)
        exec();
    return exitCode_;
}

QString ConsoleWindow::output() const {
    return view_->toPlainText();
}

void ConsoleWindow::readOutput() {
    const QByteArray bytes = process_.readAllStandardOutput();
    if (bytes.isEmpty())
        return;
    // The decoder keeps a character cut between two reads for the next one.
    QString text = decoder_.decode(bytes);
    text.remove(u'\r');
    if (text.isEmpty())
        return;
    append(text);
    tail_ = (tail_ + text).right(kPausePrompt.size());
    waitingForKey_ = tail_ == kPausePrompt;
}

void ConsoleWindow::append(const QString& text) {
    QScrollBar* bar = view_->verticalScrollBar();
    // Follow the output unless the person scrolled up to read.
    const bool atEnd = bar->value() == bar->maximum();
    QTextCursor cursor(view_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    if (atEnd)
        bar->setValue(bar->maximum());
}

void ConsoleWindow::onFinished(int exitCode, QProcess::ExitStatus status) {
    readOutput();
    killTimer_.stop();
    finished_ = true;
    waitingForKey_ = false;
    exitCode_ = status == QProcess::NormalExit ? exitCode : kRunStopped;
    done(exitCode_);
}

bool ConsoleWindow::answerPause(const QKeyEvent& key) {
    if (!waitingForKey_ || isModifierOnly(key.key()))
        return false;
    // One byte per prompt: a key pressed while nothing waits is dropped, so typing ahead
    // cannot answer a later "pause" before the person has seen it.
    const QString text = key.text();
    const char byte =
        !text.isEmpty() && text.front().unicode() >= 0x20 && text.front().unicode() < 0x7f
            ? char(text.front().unicode())
            : '\n';
    process_.write(&byte, 1);
    waitingForKey_ = false;
    return true;
}

bool ConsoleWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (answerPause(*key))
            return true;
        // ESC would close the dialog, and with it stop the script.
        if (key->key() == Qt::Key_Escape)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void ConsoleWindow::keyPressEvent(QKeyEvent* event) {
    if (answerPause(*event) || event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ConsoleWindow::reject() {
    if (process_.state() == QProcess::NotRunning) {
        QDialog::reject();
        return;
    }
    if (cancelled_)
        return;  // already stopping
    cancelled_ = true;
    waitingForKey_ = false;
    append(QStringLiteral("^C\n"));
    signalProgram(false);
    killTimer_.start(kStopGraceMs);
    // The window stays until the program has ended: the caller must not go on while it
    // still works in the folder.
}

void ConsoleWindow::signalProgram(bool kill) {
#ifndef Q_OS_WIN
    const qint64 pid = process_.processId();
    if (pid > 0)
        ::kill(-pid_t(pid), kill ? SIGKILL : SIGTERM);
#endif
    if (kill) {
        process_.kill();
    } else {
        process_.terminate();
    }
}

ConsoleScriptRunner::ConsoleScriptRunner(QWidget* parent, QString interpreter)
    : parent_(parent), interpreter_(std::move(interpreter)) {}

void ConsoleScriptRunner::showError(const QString& german, const QString& english) const {
    QMessageBox::critical(parent_, QStringLiteral("Kadrano"), Pick(language_, german, english));
}

#ifdef Q_OS_WIN

// Windows has the real command interpreter: the script runs in a console of its own, and we
// wait for it while our windows keep repainting.
int ConsoleScriptRunner::runAndWait(const QString& program, const QStringList& arguments) {
    lastOutput_.clear();
    lastCancelled_ = false;
    QProcess p;
    const QString native = QDir::toNativeSeparators(program);
    if (isScript(program)) {
        p.setProgram(QStringLiteral("cmd.exe"));
        p.setNativeArguments(QStringLiteral("/c \"\"%1\" %2\"").arg(native, arguments.join(u' ')));
    } else {
        p.setProgram(program);
        p.setArguments(arguments);
    }
    p.setWorkingDirectory(QFileInfo(program).absolutePath());
    p.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* a) {
        a->flags |= CREATE_NEW_CONSOLE;
        a->startupInfo->dwFlags &= ~STARTF_USESTDHANDLES;
    });
    p.start();
    if (!p.waitForStarted(-1)) {
        showError(
            QStringLiteral("%1 konnte nicht gestartet werden:\n%2").arg(native, p.errorString()),
            QStringLiteral("%1 could not be started:\n%2").arg(native, p.errorString()));
        return -1;
    }
    QEventLoop loop;
    QObject::connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
    if (p.state() != QProcess::NotRunning)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : kRunStopped;
}

#else

int ConsoleScriptRunner::runAndWait(const QString& program, const QStringList& arguments) {
    lastOutput_.clear();
    lastCancelled_ = false;
    const bool script = isScript(program);
    if (script && !QFileInfo(interpreter_).isExecutable()) {
        showError(QStringLiteral("Der Skript-Interpreter wurde nicht gefunden:\n%1\n\n"
                                 "Das Skript %2 wurde nicht ausgeführt.")
                      .arg(interpreter_, program),
                  QStringLiteral("The script interpreter was not found:\n%1\n\n"
                                 "The script %2 was not run.")
                      .arg(interpreter_, program));
        return -1;
    }
    ConsoleWindow window(parent_);
    window.setWindowTitle(FileNamePart(program));
    const int code = script ? window.run(interpreter_, QStringList{program} + arguments)
                            : window.run(program, arguments);
    lastOutput_ = window.output();
    lastCancelled_ = window.cancelled();
    if (lastCancelled_) return kRunStopped;
    if (code == kRunNotStarted) {
        showError(QStringLiteral("%1 konnte nicht gestartet werden:\n%2")
                      .arg(program, window.startError()),
                  QStringLiteral("%1 could not be started:\n%2").arg(program, window.startError()));
    }
    return code;
}

#endif

}  // namespace kadrano
