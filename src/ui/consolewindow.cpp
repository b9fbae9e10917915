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

}  // namespace

bool isScript(const QString& program) {
    return program.endsWith(QLatin1String(".bat"), Qt::CaseInsensitive);
}

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
    startOwnProcessGroup(process_);
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
    signalProcessGroup(process_, kill);
    if (kill) {
        process_.kill();
    } else {
        process_.terminate();
    }
}

ConsoleScriptRunner::ConsoleScriptRunner(QWidget* parent, QString interpreter)
    : parent_(parent), interpreter_(std::move(interpreter)) {}

void ConsoleScriptRunner::showError(const QString& german, const QString& english) const {
    QMessageBox::critical(parent_, QStringLiteral("Kadrano"), pick(language_, german, english));
}

}  // namespace kadrano
