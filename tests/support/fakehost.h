#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "core/filecollector.h"
#include "core/toolhost.h"

namespace kadrano::test {

// One message box as the program showed it.
struct ShownBox {
    QString text;
    int flags = 0;
    QString title;
};

// Answers message boxes from a list of replies (OK when the list runs dry) and records
// every box, every file opened in the editor, and every status text.
class RecordingPerson : public Person {
public:
    std::deque<int> replies;
    std::vector<ShownBox> boxes;
    QStringList editorFiles;
    QStringList documents;
    QStringList folders;
    QStringList statuses;
    std::function<void()> onProcessEvents;
    // Called while a message box is up, before the reply is given.
    std::function<void()> onBox;

    int messageBox(const QString& text, int flags, const QString& title) override;
    void openInEditor(const QString& path) override { editorFiles.append(path); }
    void openDocument(const QString& path) override { documents.append(path); }
    void openFolder(const QString& path) override { folders.append(path); }
    void setStatus(const QString& text) override { statuses.append(text); }
    QString statusText() const override { return statuses.isEmpty() ? QString() : statuses.last(); }
    void processEvents() override {
        if (onProcessEvents)
            onProcessEvents();
    }
};

// Runs scripts through kadrano-bat without a window and waits; records each call.
class BatchRunner : public ScriptRunner {
public:
    struct Call {
        QString program;
        QStringList arguments;
    };
    std::vector<Call> calls;
    QByteArray lastOutput;
    int runAndWait(const QString& program, const QStringList& arguments) override;
};

// Runs nothing; records each call (for tests of the sequence itself).
class RecordingRunner : public ScriptRunner {
public:
    std::vector<BatchRunner::Call> calls;
    int result = 0;  // what every run returns
    int runAndWait(const QString& program, const QStringList& arguments) override {
        calls.push_back({program, arguments});
        return result;
    }
};

// The path of the kadrano-bat build next to the tests.
QString batInterpreterPath();

// A window stand-in for tools: plain fields for the switches and texts, a real file
// collection of the folder, and a recorder for everything shown. The benchmarks use it too,
// with a person of their own that times what the tool shows.
class FakeHost : public ToolHost, private CollectObserver {
public:
    explicit FakeHost(ScriptRunner* runner = nullptr, Person* person = nullptr);

    RecordingPerson recorder;
    Language lang = Language::German;
    bool isLoading = false;
    bool questionsOff = false;
    bool pause = false;
    QString dirText;
    QString pattern = QStringLiteral("*.jpg");
    bool withSubdirs = false;
    QString windowCaption = QStringLiteral("Kadrano");
    QString clock = QStringLiteral("14:05");
    bool cancel = false;
    int settingsSaved = 0;
    int collections = 0;
    int updateLinkShown = 0;
    QHash<QString, bool> keptButtons;  // by script name
    QStringList captions;
    FileList files;
    // Where a collection looks when it is not the directory text (a benchmark collects a
    // shared tree but has its scripts written elsewhere).
    QString collectRoot;
    // A collection keeps the list in files as it is (a prepared list of names).
    bool keepFiles = false;
    QString start;
    // The files the collection leaves out, as the window's areas declare them; a test names
    // the ones it needs.
    OwnFiles ownFiles;

    Person& person() override { return *person_; }
    ScriptRunner& scriptRunner() override { return *runner_; }
    Language language() const override { return lang; }
    bool loading() const override { return isLoading; }
    bool noQuestions() const override { return questionsOff; }
    bool pauseAtEnd() const override { return pause; }
    void saveSettings() override { ++settingsSaved; }
    void collectFiles() override;
    const FileList& fileList() const override { return files; }
    QString directoryText() const override { return dirText; }
    void setDirectoryText(const QString& t) override { dirText = t; }
    QString patternText() const override { return pattern; }
    QString caption() const override { return windowCaption; }
    void setCaption(const QString& t) override {
        windowCaption = t;
        captions.append(t);
    }
    void setKeptScriptButtonVisible(const KeptScript& script, bool visible) override {
        keptButtons[QString::fromLatin1(script.scriptName)] = visible;
    }
    bool keptButtonVisible(const KeptScript& script) const {
        return keptButtons.value(QString::fromLatin1(script.scriptName), false);
    }
    void showUpdateLink() override { ++updateLinkShown; }
    QString startTime() const override { return start; }
    void setStartTime(const QString& t) override { start = t; }
    QString currentTimeHHMM() const override { return clock; }
    bool toolCancel() const override { return cancel; }
    void setToolCancel(bool on) override { cancel = on; }
    // Runs are noted only where a test asks for it (a temporary folder).
    QString undoFolder;
    QString undoJournalFolder() const override { return undoFolder; }

private:
    void collectStatus(const QString& text) override { recorder.setStatus(text); }
    void collectProcessEvents() override { recorder.processEvents(); }
    bool collectCancelRequested() const override { return false; }

    RecordingRunner ownRunner_;
    ScriptRunner* runner_;
    Person* person_;
};

}  // namespace kadrano::test
