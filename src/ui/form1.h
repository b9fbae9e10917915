#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "areas/toolarea.h"
#include "core/filecollector.h"
#include "core/settings.h"
#include "core/toolhost.h"
#include "form1controls.h"

class QFileSystemModel;
class QScrollArea;
class QFrame;
class QMimeData;

namespace kadrano {

class CameraNumbersArea;
class UpdateHost;
class UpdateServer;

// Where the program lives: its folder and its name, from which the settings file and
// the file-list text beside it are named.
struct AppPaths {
    QString programDir;   // ends in a separator
    QString programName;  // file name without extension
    // Where the settings are kept when not beside the program (see settingslocation.h).
    QString settingsFile;

    QString iniPath() const { return programDir + programName + QStringLiteral(".ini"); }
    QString settingsPath() const { return settingsFile.isEmpty() ? iniPath() : settingsFile; }
    QString fileListPath() const {
        QString p = iniPath();
        return p.replace(QStringLiteral(".ini"), QStringLiteral(".txt"));
    }
};

// The main window: the strips around the tool areas, the previews, the directory picker,
// drops, the collection and the settings. It owns all state of a session: the language, the
// Loading flag, the cancel flags, the collected files; the tools run on it through the
// ToolHost interface, their areas through AreaHost.
class Form1 : public QWidget,
              public ToolHost,
              private AreaHost,
              private CollectObserver,
              private SettingsTarget {
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

    const Form1Controls& controls() const { return c_; }
    const AppPaths& paths() const { return paths_; }
    static QString designCaption();

    bool collectCancel() const { return collectCancel_; }
    bool isCollecting() const { return collecting_; }

    // The tool areas (window units are twips).
    void StackAreas();
    void CollapseAllAreas();
    void ToggleArea(QFrame* area);
    void LayoutOnResize();

    // ToolHost
    Person& person() override;
    ScriptRunner& scriptRunner() override;
    Language language() const override { return language_; }
    bool loading() const override { return loading_; }
    bool noQuestions() const override;
    bool pauseAtEnd() const override;
    void saveSettings() override;
    // Fills the file list from the folder in Text1 and updates the status and previews.
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

    // --- Window parts: tool areas, previews, directory picker, drops (form1_*.cpp) ---
    // The tool area that is open, or null when all are closed.
    QFrame* openArea() const;
    // "Kamera Nummern >>": shows the camera-number area below the bottom strip.
    void ShowCameraNumberArea();
    // A folder (or a text naming one) dropped on the window.
    void DropDirectory(const QMimeData& data);
    // Something dropped on the ImageMagick path box: it takes the dropped file's path (or the
    // text) and signals magickPathDropped, after which the path is to be checked.
    void DropMagickPath(const QMimeData& data);
    // The file the previews show, as a position in the file list (-1 when none).
    int previewedIndex() const { return previewedIndex_; }
    QString previewedFilePath() const;
    // The name the caption and rename previews are made from: the first line of Vorschau.
    QString previewName() const override;
    // The picture preview: small in its box, or enlarged over the window.
    bool previewEnlarged() const;

Q_SIGNALS:
    // A collection has ended (tests wait for it; previews refresh on it).
    void filesCollected();
    // The file-name preview moved on: the caption preview (and the rename preview while
    // the rename area is open) should follow previewName().
    void previewRefreshed();
    // The ImageMagick path box got a dropped path.
    void magickPathDropped();
    // The window switched its language (message boxes outside it follow).
    void languageChanged(Language language);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class WindowPerson;
    class DefaultDialogs;

    // Creates every control of the window with its design name, caption and tooltip.
    void buildControls();
    void connectSignals();
    void loadSettings();

    // AreaHost
    ToolHost& toolHost() override { return *this; }
    void runTool(const std::function<void()>& tool) override;
    // A collection the person asked for (folder box, pattern, drop, picker): after the
    // running tool, if one runs.
    void collectOnRequest();
    QString previewedDirectory() const override;
    TagTexts nameTagTexts() const override;
    QString settingsFolder() const override;
    const MagickPaths& magickPaths() const override { return magick_.paths; }
    // The scripts of every area that can lie in the chosen folder.
    std::vector<KeptScript> keptScripts() const;
    void onFileStatusClicked();
    // "Rückgängig" (form1_undo.cpp): enabled while the folder has a run to undo, its
    // tooltip naming that run.
    void refreshUndoButton();
    void onUndoClicked();

    // The language button and the update and homepage links (form1_links.cpp).
    void setUpLinks(const Options& options);
    void connectLinks();
    void SwitchLanguageClicked();
    void onUpdateLink();
    void onHomepageLink();
    void onExit();
    void onIniButton();
    void deleteFileListText();
    // Saves the settings; a failure is said every time when the person asked for the save
    // ("Speichern", "Beenden"), else once until a save succeeds again.
    void saveSettingsAndSay(bool asked);

    // Part of the start-up sequence and collection that belongs to the previews.
    void showFirstPreview();
    void clearPreviews();

    // --- Window parts (form1_layout.cpp, form1_areas.cpp, form1_picker.cpp,
    // form1_previews.cpp) ---
    void buildTopStrip();
    void buildNameStrip();
    void buildBottomStrip();
    void buildPicker();
    ToolArea* areaOf(const QFrame* frame) const;
    void connectWindowParts();
    // What a screen reader says for each "?" button: "Info: " and the part it explains.
    void nameInfoButtons();
    // Drops anywhere on the window, and the keys and focus of the directory picker.
    bool windowPartsEvent(QObject* watched, QEvent* event);
    void layoutTopStrip();
    void layoutNameStrip();
    void placePicker();
    void showInfo(const QString& button);

    // The ImageMagick path box (form1_magick.cpp): the search at start-up, after the
    // settings are read; the check when the box is left or gets a drop.
    void lookForImageMagick();
    void checkMagickPath();
    void connectMagickPathBox();
    void setMagickWarningsVisible(bool visible);
    void setCaptionPreviewVisible(bool visible);
    MagickDiscovery magick_;

    // Directory picker and drive list
    void fillDriveList();
    void followDriveOf(const QString& path);
    void onDriveChosen(int index);
    void onCommand4();
    void pointTreeAt(const QString& path);
    void showPicker();
    void leavePicker();
    void onTreeEnter();

    // Previews
    void onVorschauClicked();
    void onVorschauRightClicked(Qt::KeyboardModifiers modifiers);
    void onVorschauPicClicked();
    void refreshPreviews();
    void loadPreviewPicture(int index);
    QRect smallPreviewGeometry() const;

    std::vector<ToolArea*> areas_;  // in stack order; children of the window
    // The command line the program was started with; the updater hands it on.
    QString commandLine_;
    CameraNumbersArea* cameraNumbers_ = nullptr;
    QFileSystemModel* dirModel_ = nullptr;
    bool followingText_ = false;  // the drive list follows Text1 without opening the picker
    bool pickerOpen_ = false;
    int previewedIndex_ = -1;
    int bottomStripWidth_ = 0;
    int heightLimit_ = 0;
    // The tool areas lie on a page that scrolls when the window would not fit the screen.
    QScrollArea* areasScroll_ = nullptr;
    QWidget* areasPage_ = nullptr;
    int windowHeightLimit() const;

    // CollectObserver
    void collectStatus(const QString& text) override;
    void collectProcessEvents() override;
    bool collectCancelRequested() const override { return collectCancel_; }

    // SettingsTarget
    bool hasControl(const QString& name) const override;
    QString controlValue(const QString& name, SettingKind kind) const override;
    bool setControlValue(const QString& name, SettingKind kind, const QString& value) override;
    void switchToEnglish() override;
    QString programDir() const override { return paths_.programDir; }
    bool fileExists(const QString& path) const override;
    void fillOutputFormatList() override;
    void showIniButton() override;

    // First start without a settings file: the controls hold the values a new settings
    // file would hold.
    void applySettingDefaults();

    AppPaths paths_;
    QString undoFolder_;
    QString undoJournalSeen_;  // the journal (and its size and time) the button shows
    std::unique_ptr<UpdateServer> ownUpdateServer_;
    std::unique_ptr<UpdateHost> ownUpdateHost_;
    const UpdateServer* updateServer_ = nullptr;
    UpdateHost* updateHost_ = nullptr;
    Form1Controls c_;
    std::unique_ptr<Person> ownDialogs_;
    std::unique_ptr<WindowPerson> person_;
    Person* dialogs_ = nullptr;
    ScriptRunner* runner_ = nullptr;
    Settings settings_;
    bool saveFailureSaid_ = false;

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
    int previewPosition_ = 0;
    QString startTime_;
};

}  // namespace kadrano
