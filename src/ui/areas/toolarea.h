#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <initializer_list>
#include <span>
#include <vector>

#include "core/language.h"
#include "core/toolhost.h"
#include "imagemagick/magickpath.h"
#include "rename/nameroutines.h"
#include "ui/englishtexts.h"
#include "ui/icons.h"

class QFrame;
class QGroupBox;
class QPushButton;
class QWidget;

namespace kadrano {

class AreaIcon;
class ClickableLabel;

// What a tool area needs from the window it sits in.
class AreaHost {
public:
    virtual ~AreaHost() = default;
    virtual ToolHost& toolHost() = 0;
    // Runs a tool unless another tool or a collection is busy: their event loops let
    // clicks through, and a second tool must not start inside the first.
    virtual void runTool(const std::function<void()>& tool) = 0;
    // The name the previews show and the folder of that file (the chosen folder when the
    // previews show none): what the name previews of the areas are made from.
    virtual QString previewName() const = 0;
    virtual QString previewedDirectory() const = 0;
    // The tag texts that the orientation and duplicate areas put into names.
    virtual TagTexts nameTagTexts() const = 0;
    // The folder of the settings file: beside the program when that folder takes files,
    // else the person's configuration folder. Files the program keeps for itself go there.
    virtual QString settingsFolder() const = 0;
    // What start-up found out about ImageMagick; it holds for the whole run, also when the
    // person enters another path later (that one counts from the next start).
    virtual const MagickPaths& magickPaths() const = 0;
};

// What a "?" button explains, in German and in English: lines are separated by "\n" (the box
// shows each as a line of its own). A button without text shows nothing. Its box is titled
// "<window caption> - Info" unless the area names a title of its own.
struct AreaInfo {
    const char* german = nullptr;
    const char* english = nullptr;
    const char* germanTitle = nullptr;
    const char* englishTitle = nullptr;
};

// The head of an area: the objectNames of its frame, picture, header and "?" button, what
// it says, how tall it is when open (twips), and what it explains.
struct AreaLook {
    const char* frame;
    const char* icon;
    const char* header;
    const char* info;  // its "?" button
    QString caption;
    QString tooltip;
    AreaPicture picture;
    int openHeight;
    // Open, it reaches over the picture "drop a folder here" at the window's right edge.
    bool coversDropPicture;
    // What the head's "?" button explains.
    AreaInfo explains;
    // The English wording of the area's controls, its head included.
    std::span<const EnglishText> english;
};

// One tool area of the window: a strip with icon, header and "?" button that opens to show
// its inner panels. A derived area builds its controls into the panels it adds, connects
// them, and reads them into its tool's options. It declares what belongs to it alone: the
// texts of its "?" buttons, its English wording, and the files its tools leave in a picture
// folder.
class ToolArea : public QObject {
    Q_OBJECT
public:
    ToolArea(QWidget* window, AreaHost& host, const AreaLook& look);
    ~ToolArea() override;

    QFrame* frame() const { return frame_; }
    AreaIcon* icon() const { return icon_; }
    ClickableLabel* header() const { return header_; }
    QPushButton* info() const { return info_; }
    // The room below the head that the inner panels fill.
    QWidget* body() const { return body_; }
    int openHeight() const { return openHeight_; }
    bool coversDropPicture() const { return coversDropPicture_; }
    bool isOpen() const;

    // Shows the panels at the area's open height; collapse leaves only the head.
    void open();
    void collapse();
    // Places head and body for strips of this width (pixels).
    void layOut(int stripWidth);

    // The scripts this area's tools leave in a folder, each with the button that runs it.
    const std::vector<KeptScript>& keptScripts() const { return keptScripts_; }
    // Every file this area's tools write into a picture folder for themselves (scripts,
    // lists): never a picture, so a collection leaves them out. The kept scripts are among
    // them.
    const std::vector<const char*>& ownFiles() const { return ownFiles_; }
    std::span<const EnglishText> englishTexts() const { return english_; }

    // The window switches to English: the area's controls take their English wording (its
    // icon the header's tooltip), and the "?" buttons are named anew.
    void switchToEnglish();

    // Once at start-up, before the settings are read: the lists the settings choose from.
    virtual void fillLists() {}
    // The settings changed the language: lists with language-dependent entries again.
    virtual void refillLists() {}
    // The file list is empty, or a new page of names is shown in the name strip.
    virtual void previewsCleared(Language /*language*/) {}
    virtual void namePageShown() {}
    // The previews moved on to another file.
    virtual void previewChanged() {}
    // The window switched to English: texts the English table cannot reach by name.
    virtual void switchedToEnglish() {}
    // Start-up has read the settings and looked for ImageMagick; the file list is not
    // collected yet. What depends on either is prepared now.
    virtual void startUpFinishing() {}
    // The control that has the focus when the window is ready, if this area has one.
    virtual QWidget* startFocus() const { return nullptr; }

Q_SIGNALS:
    void opened();

protected:
    // A bare frame without head (the camera numbers hang below the bottom strip).
    ToolArea(QWidget* window, AreaHost& host, const char* frameName,
             std::span<const EnglishText> english = {});

    // A titled inner panel in the body; hiddenWhileClosed panels show only while open.
    QGroupBox* addPanel(const char* name, const QString& title, bool hiddenWhileClosed = true);
    // A Start button: a click runs tool, unless another tool or a collection is busy.
    QPushButton* addStartButton(QWidget* panel, const char* name, const QString& caption,
                                const QString& tooltip, std::function<void()> tool);
    // The hidden button of a script this area's tool keeps; it shows while the script lies
    // in the chosen folder, and a click runs the script again.
    QPushButton* addKeptScriptButton(QWidget* panel, const KeptScript& script);
    // The same with a run of its own (which must ask, run and offer deletion itself).
    QPushButton* addKeptScriptButton(QWidget* panel, const KeptScript& script,
                                     std::function<void()> run);
    void addInnerPanel(QWidget* panel) { innerPanels_.append(panel); }
    // A "?" button in a panel. A screen reader names it after the panel's title, or after
    // spokenPart when given.
    QPushButton* addInfoButton(QWidget* panel, const char* name, const AreaInfo& info,
                               const QString& spokenPart = QString());
    // Files the area's tools write into a picture folder besides their kept scripts.
    void declareOwnFiles(std::initializer_list<const char*> names);

    ToolHost& toolHost() { return host_.toolHost(); }
    void runTool(const std::function<void()>& tool) { host_.runTool(tool); }
    AreaHost& host_;

private:
    struct InfoButton {
        QPushButton* button;
        QString spokenPart;  // empty: the header's or panel's caption
    };
    void connectInfo(QPushButton* button, const AreaInfo& info, const QString& spokenPart);
    void showInfo(const AreaInfo& info);
    void nameInfoButtons();

    QFrame* frame_ = nullptr;
    AreaIcon* icon_ = nullptr;
    ClickableLabel* header_ = nullptr;
    QPushButton* info_ = nullptr;
    QWidget* body_ = nullptr;
    QList<QWidget*> innerPanels_;
    int openHeight_ = 0;
    bool coversDropPicture_ = false;
    std::vector<KeptScript> keptScripts_;
    std::vector<const char*> ownFiles_;
    std::span<const EnglishText> english_;
    std::vector<InfoButton> infoButtons_;
};

}  // namespace kadrano
