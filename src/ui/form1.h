#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "apppaths.h"
#include "areas/toolarea.h"
#include "core/filecollector.h"
#include "core/ownfiles.h"
#include "core/toolhost.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kadrano {

class AlwaysOnTop;
class AreaStack;
class BottomStrip;
class ClickableLabel;
class FileStatus;
class FolderPicker;
class MagickPathBox;
class PreviewStrip;
class ServerLinks;
class SettingsBinding;
class StatusLinePerson;
class UpdateHost;
class UpdateServer;

// The main window: the shell around the tool areas. It holds what the tools share (the
// language, the Loading flag, the cancel flags, the collected files, the rule that one tool
// runs at a time) and the top strip's folder box, pattern and switches, and wires its parts:
// folder picker, previews, status line, ImageMagick path box, links, settings binding,
// bottom strip and the stack of tool areas. The tools run on it through ToolHost, their
// areas through AreaHost.
class Form1 : public QWidget, public ToolHost, private AreaHost, private CollectObserver {
    Q_OBJECT
public:
    struct Options {
        AppPaths paths;
        // Message boxes and outside programs; the window's own boxes when null.
        Person* dialogs = nullptr;
        // Runs the scripts (the console window with kadrano-bat in the program).
        ScriptRunner* runner = nullptr;
        // The update and homepage links: the maker's server, and the desktop (which also
        // ends the program for the update and the language switch), when null.
        const UpdateServer* updateServer = nullptr;
        UpdateHost* updateHost = nullptr;
        // The tallest the window may grow (logical pixels); the screen's available height
        // when 0. Taller stacks scroll between the name strip and the bottom strip.
        int heightLimit = 0;
        // Where the undo journals of the picture folders are kept; the user's state folder
        // when empty.
        QString undoFolder = QString();
    };

    explicit Form1(Options options);
    ~Form1() override;

    // The start-up sequence; commandLine is the whole command line (one picture folder).
    void startUp(const QString& commandLine);

    const AppPaths& paths() const { return paths_; }
    static QString designCaption();
    bool collectCancel() const { return collectCancel_; }
    bool isCollecting() const { return collecting_; }

    // The window's parts.
    AreaStack& areaStack() const { return *areaStack_; }
    PreviewStrip& previews() const { return *previews_; }
    MagickPathBox& magickPathBox() const { return *magickBox_; }
    // What the collection leaves out: every file an area declares, and the undo script.
    const OwnFiles& ownFiles() const { return ownFiles_; }

    // ToolHost
    Person& person() override;
    ScriptRunner& scriptRunner() override;
    Language language() const override { return language_; }
    bool loading() const override { return loading_; }
    bool noQuestions() const override;
    bool pauseAtEnd() const override;
    void saveSettings() override;
    // Fills the file list from the folder box and updates the status and previews.
    void collectFiles() override;
    const FileList& fileList() const override { return files_; }
    QString directoryText() const override;
    void setDirectoryText(const QString& text) override;
    QString patternText() const override;
    QString caption() const override { return windowTitle(); }
    void setCaption(const QString& text) override { setWindowTitle(text); }
    void setKeptScriptButtonVisible(const KeptScript& script, bool visible) override;
    void showUpdateLink() override;
    QString startTime() const override { return startTime_; }
    void setStartTime(const QString& hhmm) override { startTime_ = hhmm; }
    QString currentTimeHHMM() const override;
    bool toolCancel() const override { return toolCancel_; }
    void setToolCancel(bool on) override { toolCancel_ = on; }
    QString undoJournalFolder() const override { return undoFolder_; }

    // The name the caption and rename previews are made from (see PreviewStrip).
    QString previewName() const override;

Q_SIGNALS:
    // A collection has ended (tests wait for it).
    void filesCollected();
    // The window switched its language (message boxes outside it follow).
    void languageChanged(Language language);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Creates every control of the window with its design name, caption and tooltip, in
    // the order Tab goes through them (form1_layout.cpp).
    void buildControls();
    void buildTopStrip();
    void connectSignals();
    // Lays the strips out for the window's width.
    void layOut();
    void layOutTopStrip();

    // AreaHost
    ToolHost& toolHost() override { return *this; }
    void runTool(const std::function<void()>& tool) override;
    QString previewedDirectory() const override;
    TagTexts nameTagTexts() const override;
    QString settingsFolder() const override;
    const MagickPaths& magickPaths() const override;

    // A collection the person asked for (folder box, pattern, drop, picker): after the
    // running tool, if one runs.
    void collectOnRequest();
    // The scripts of every area that can lie in the chosen folder.
    std::vector<KeptScript> keptScripts() const;
    void showGeneralInfo();
    void refreshUndoButton();
    // The language button (form1_language.cpp).
    void switchLanguage();
    void onExit();

    // CollectObserver
    void collectStatus(const QString& text) override;
    void collectProcessEvents() override;
    bool collectCancelRequested() const override { return collectCancel_; }

    AppPaths paths_;
    QString undoFolder_;
    int heightLimit_ = 0;
    std::unique_ptr<Person> ownDialogs_;
    std::unique_ptr<StatusLinePerson> person_;
    Person* dialogs_ = nullptr;
    ScriptRunner* runner_ = nullptr;

    // The parts (children of the window).
    SettingsBinding* settings_ = nullptr;
    ServerLinks* links_ = nullptr;
    FolderPicker* picker_ = nullptr;
    PreviewStrip* previews_ = nullptr;
    FileStatus* status_ = nullptr;
    MagickPathBox* magickBox_ = nullptr;
    AreaStack* areaStack_ = nullptr;
    BottomStrip* bottom_ = nullptr;
    OwnFiles ownFiles_;

    // The shell's own controls; each keeps its design name as objectName.
    QFrame* topStrip_ = nullptr;                // "Frame5"
    QLineEdit* folderBox_ = nullptr;            // "Text1"
    QPushButton* generalInfoButton_ = nullptr;  // "Command11"
    QComboBox* patternBox_ = nullptr;           // "Combo2"
    QCheckBox* subfoldersCheck_ = nullptr;      // "DubDir_Check"
    QPushButton* languageButton_ = nullptr;     // "SwitchLAnguage_Label"
    QLabel* germanFlag_ = nullptr;              // "DE_Flag"
    AlwaysOnTop* pinButton_ = nullptr;          // "AlwaysOnTop1"
    QFrame* nameStrip_ = nullptr;               // "Frame7"
    ClickableLabel* dropPicture_ = nullptr;     // "DragDropPic"
    bool built_ = false;

    Language language_ = Language::German;
    bool loading_ = true;
    bool collectCancel_ = false;
    bool toolCancel_ = false;
    bool collecting_ = false;
    bool collectAgain_ = false;
    bool toolRunning_ = false;
    bool collectAfterTool_ = false;  // the person asked for a collection while a tool ran
    FileList files_;
    QString collectedFolder_;  // the folder text of the last collection
    QString startTime_;
};

}  // namespace kadrano
