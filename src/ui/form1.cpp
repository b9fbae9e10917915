#include "form1.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTime>

#include "areas/cameranumbersarea.h"
#include "clickablelabel.h"
#include "controlbinding.h"
#include "core/pathhelpers.h"
#include "core/scripttext.h"
#include "core/toolsequence.h"
#include "core/undoplatform.h"
#include "messageboxperson.h"
#include "update/update.h"

namespace kadrano {

// The window's own status label and event loop, with the message boxes and outside
// programs of whoever talks to the person (the real boxes, or a test's recorder).
class Form1::WindowPerson : public Person {
public:
    WindowPerson(Form1& window, Person& dialogs) : w_(window), d_(dialogs) {}
    int messageBox(const QString& text, int flags, const QString& title) override {
        return d_.messageBox(text, flags, title);
    }
    void openInEditor(const QString& path) override { d_.openInEditor(path); }
    void openDocument(const QString& path) override { d_.openDocument(path); }
    void openFolder(const QString& path) override { d_.openFolder(path); }
    void setStatus(const QString& text) override {
        if (w_.c_.FileStatus)
            w_.c_.FileStatus->setText(text);
    }
    QString statusText() const override {
        return w_.c_.FileStatus ? w_.c_.FileStatus->text() : QString();
    }
    void processEvents() override { QCoreApplication::processEvents(); }

private:
    Form1& w_;
    Person& d_;
};

namespace {

// The time of day as the system shows it, without a time-zone name.
QString systemTimeText(const QTime& t) {
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1String(" t")).remove(u't');
    return QLocale().toString(t, format.trimmed());
}

}  // namespace

QString Form1::designCaption() {
    return QStringLiteral("Kadrano für digitale Bilderrahmen  v. 1.9.3 - 06.2020");
}

Form1::Form1(Options options) : paths_(std::move(options.paths)), settings_(paths_.settingsPath()) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(designCaption());
    if (options.dialogs) {
        dialogs_ = options.dialogs;
    } else {
        ownDialogs_ = std::make_unique<MessageBoxPerson>(this);
        dialogs_ = ownDialogs_.get();
    }
    runner_ = options.runner;
    Q_ASSERT(runner_);
    undoFolder_ = options.undoFolder.isEmpty() ? DefaultUndoFolder() : options.undoFolder;
    heightLimit_ = options.heightLimit;
    setUpLinks(options);
    person_ = std::make_unique<WindowPerson>(*this, *dialogs_);
    buildControls();
    applySettingDefaults();
    connectSignals();
    connect(this, &Form1::previewRefreshed, this, [this] {
        for (ToolArea* a : areas_)
            a->previewChanged();
    });
    qApp->installEventFilter(this);
}

Form1::~Form1() {
    qApp->removeEventFilter(this);
    // Closing the window moves the focus away from its controls; a box that loses it must
    // not start a collection on a window that is half gone.
    for (QObject* child : findChildren<QObject*>())
        disconnect(child, nullptr, this, nullptr);
}

Person& Form1::person() {
    return *person_;
}
ScriptRunner& Form1::scriptRunner() {
    return *runner_;
}

bool Form1::noQuestions() const {
    return c_.KeineNachfragen && c_.KeineNachfragen->isChecked();
}
bool Form1::pauseAtEnd() const {
    return c_.BatPAuse && c_.BatPAuse->isChecked();
}

QString Form1::directoryText() const {
    return c_.Text1 ? c_.Text1->text() : QString();
}
void Form1::setDirectoryText(const QString& text) {
    if (c_.Text1)
        c_.Text1->setText(text);
}
QString Form1::patternText() const {
    return c_.Combo2 ? c_.Combo2->currentText() : QString();
}

QString Form1::currentTimeHHMM() const {
    return QTime::currentTime().toString(QStringLiteral("HH:mm"));
}

void Form1::setKeptScriptButtonVisible(const KeptScript& script, bool visible) {
    if (QWidget* b = findChild<QWidget*>(QString::fromLatin1(script.button)))
        b->setVisible(visible);
}

std::vector<KeptScript> Form1::keptScripts() const {
    std::vector<KeptScript> all;
    for (const ToolArea* a : areas_)
        all.insert(all.end(), a->keptScripts().begin(), a->keptScripts().end());
    return all;
}

void Form1::showUpdateLink() {
    if (c_.Label13)
        c_.Label13->setVisible(true);
}

void Form1::saveSettings() {
    saveSettingsAndSay(false);
}

void Form1::saveSettingsAndSay(bool asked) {
    const SettingsSaveResult result = settings_.SaveAllSettings(*this);
    if (result.ok()) {
        saveFailureSaid_ = false;
        return;
    }
    // A file left alone since the start was explained then; a tool's own save keeps quiet.
    if (!asked && (saveFailureSaid_ || result.outcome == SettingsSaveResult::LeftAlone))
        return;
    saveFailureSaid_ = true;
    dialogs_->messageBox(
        SettingsNotSavedText(result, settings_.readProblem(), settings_.path(), language_),
        Mb::OK | Mb::IconWarning, SettingsBoxTitle(language_));
}

void Form1::loadSettings() {
    const IniReadStatus status = settings_.LoadAllSettings(*this);
    if (settings_.leftAlone())
        dialogs_->messageBox(SettingsNotReadText(status, settings_.path(), language_),
                             Mb::OK | Mb::IconWarning, SettingsBoxTitle(language_));
}

void Form1::runTool(const std::function<void()>& tool) {
    if (toolRunning_ || collecting_)
        return;
    toolRunning_ = true;
    tool();
    toolRunning_ = false;
    refreshUndoButton();
    if (collectAfterTool_) {
        collectAfterTool_ = false;
        collectFiles();
    }
}

void Form1::collectOnRequest() {
    // A tool's loop lets events through to keep the window alive; a new file list in the
    // middle of it would pull the files out from under the tool. The person's request is
    // carried out when the tool has ended.
    if (toolRunning_) {
        collectAfterTool_ = true;
        return;
    }
    collectFiles();
}

void Form1::connectSignals() {
    connectWindowParts();
    connectMagickPathBox();
    if (c_.Text1) {
        // Enter always collects; leaving the box only when it names another folder than the
        // one collected. Collecting again on the way out would run its event loop inside the
        // click that moved the focus, and that click would be lost.
        connect(c_.Text1, &QLineEdit::returnPressed, this, [this] {
            if (!loading_)
                collectOnRequest();
        });
        connect(c_.Text1, &QLineEdit::editingFinished, this, [this] {
            if (!loading_ && AddSeparator(directoryText()) != collectedFolder_)
                collectOnRequest();
        });
        connect(c_.Text1, &QLineEdit::textChanged, this, [this] {
            if (loading_)
                return;
            ScriptTools(*this).ShowKeptScriptButtons(keptScripts());
            // The button undoes the runs of the folder in the box.
            refreshUndoButton();
        });
    }
    if (c_.Combo2) {
        connect(c_.Combo2, &QComboBox::activated, this, [this] {
            if (!loading_)
                collectOnRequest();
        });
    }
    if (c_.DubDir_Check)
        connect(c_.DubDir_Check, &QCheckBox::clicked, this, [this] {
            if (!loading_)
                collectOnRequest();
        });
    if (c_.FileStatus)
        connect(c_.FileStatus, &ClickableLabel::clicked, this, &Form1::onFileStatusClicked);
    if (c_.SaveIniBtn)
        connect(c_.SaveIniBtn, &QPushButton::clicked, this, [this] {
            saveSettingsAndSay(true);
            QCoreApplication::processEvents();
        });
    if (c_.IniBtn)
        connect(c_.IniBtn, &QPushButton::clicked, this, &Form1::onIniButton);
    if (c_.ExitBtn)
        connect(c_.ExitBtn, &QPushButton::clicked, this, &Form1::onExit);
    if (c_.UndoBtn)
        connect(c_.UndoBtn, &QPushButton::clicked, this, &Form1::onUndoClicked);
    connectLinks();
}

void Form1::applySettingDefaults() {
    for (const SettingDef& def : SettingsReadOrder()) {
        if (def.defaultKind != SettingDefault::Fixed || def.kind == SettingKind::Language)
            continue;
        QWidget* control = findChild<QWidget*>(QString::fromUtf8(def.control));
        if (!control)
            continue;
        const QString value = QString::fromUtf8(def.defaultValue);
        if (def.kind == SettingKind::Check ||
            (def.kind == SettingKind::Text && ControlValue(control, def.kind).isEmpty()))
            SetControlValue(control, def.kind, value);
    }
}

void Form1::startUp(const QString& commandLine) {
    commandLine_ = commandLine;
    loading_ = true;
    language_ = Language::German;

    CollapseAllAreas();
    StackAreas();
    placePicker();
    for (ToolArea* a : areas_)
        a->fillLists();
    cameraNumbers_->fillLists();

    show();
    QCoreApplication::processEvents();

    setDirectoryText(QDir::currentPath());
    const QString folder = Unquote(commandLine);
    if (!folder.isEmpty())
        setDirectoryText(folder);
    pointTreeAt(directoryText());

    if (c_.Combo2) {
        c_.Combo2->clear();
        c_.Combo2->addItems({QStringLiteral("*.*"), QStringLiteral("*.jpg"),
                             QStringLiteral("*.avi"), QStringLiteral("*.mpg"),
                             QStringLiteral("*.mp4"), QStringLiteral("*.mov")});
        c_.Combo2->setCurrentIndex(1);
    }

    loadSettings();
    UseQtTranslations(language_);
    lookForImageMagick();

    show();
    QCoreApplication::processEvents();

    for (ToolArea* a : areas_)
        a->startUpFinishing();

    loading_ = false;
    ScriptTools(*this).ShowKeptScriptButtons(keptScripts());
    collectFiles();
    for (ToolArea* a : areas_) {
        if (QWidget* focus = a->startFocus()) {
            focus->setFocus();
            break;
        }
    }
}

void Form1::collectFiles() {
    if (collecting_) {
        // A request that arrives while a collection lets events run is done afterwards.
        collectAgain_ = true;
        return;
    }
    collecting_ = true;
    do {
        collectAgain_ = false;
        const QString savedCaption = windowTitle();
        setWindowTitle(QStringLiteral("Lese Dateien..."));
        QCoreApplication::processEvents();

        files_.clear();
        collectCancel_ = false;
        setDirectoryText(AddSeparator(directoryText()));
        showUpdateLink();

        collectedFolder_ = directoryText();
        const bool withSubdirs = c_.DubDir_Check && c_.DubDir_Check->isChecked();
        if (withSubdirs)
            setWindowTitle(QStringLiteral("Lese Unter-Verzeichnisse, bitte warten...  (Start: ") +
                           systemTimeText(QTime::currentTime()) +
                           QStringLiteral(")      ESC = Abbruch"));
        CollectResult result =
            CollectPictureFiles(directoryText(), patternText(), withSubdirs, language_, *this);
        files_ = std::move(result.files);
        showUpdateLink();

        if (c_.FileStatus) {
            // The label's own tip stays; what the collection had to leave out is added
            // below it, so that "Keine Dateien gefunden" for a folder that is not there,
            // or a count short of an unreadable sub-folder, does not go unexplained.
            const char* const kOwnTip = "kadranoOwnToolTip";
            if (!c_.FileStatus->property(kOwnTip).isValid())
                c_.FileStatus->setProperty(kOwnTip, c_.FileStatus->toolTip());
            const QString ownTip = c_.FileStatus->property(kOwnTip).toString();
            const QString note = CollectLeftOutNote(result.leftOut, language_);
            c_.FileStatus->setToolTip(note.isEmpty() ? ownTip
                                                     : ownTip + QStringLiteral("\n\n") + note);
            if (files_.count() > 0) {
                c_.FileStatus->setStyleSheet(QString());
                c_.FileStatus->setText(
                    CollectedStatusText(files_.count(), collectCancel_, language_));
            } else {
                c_.FileStatus->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
                c_.FileStatus->setText(NoFilesFoundStatusText(language_));
            }
        }
        if (files_.count() > 0)
            showFirstPreview();
        else
            clearPreviews();
        setWindowTitle(savedCaption);
    } while (collectAgain_);
    collecting_ = false;
    refreshUndoButton();
    Q_EMIT filesCollected();
}

void Form1::collectStatus(const QString& text) {
    if (c_.FileStatus)
        c_.FileStatus->setText(text);
}

void Form1::collectProcessEvents() {
    QCoreApplication::processEvents();
}

void Form1::onFileStatusClicked() {
    const int answer =
        dialogs_->messageBox(QStringLiteral("Dateiliste in Text-Datei speichern und anzeigen?"),
                             Mb::YesNo, QStringLiteral("Dateiliste anzeigen?"));
    if (answer == Mb::ResultNo)
        return;
    const QString path = paths_.fileListPath();
    if (!WriteScriptFile(path, FileListLines(files_))) {
        dialogs_->messageBox(
            QStringLiteral("Die Dateiliste konnte nicht gespeichert werden:\r") + path,
            Mb::OK | Mb::IconError, QStringLiteral("Dateiliste"));
        return;
    }
    dialogs_->openInEditor(path);
}

void Form1::onIniButton() {
    dialogs_->openInEditor(paths_.settingsPath());
}

void Form1::deleteFileListText() {
    const QString path = paths_.fileListPath();
    if (QFileInfo::exists(path))
        QFile::remove(path);
}

void Form1::onExit() {
    saveSettingsAndSay(true);
    deleteFileListText();
    close();
}

void Form1::closeEvent(QCloseEvent* event) {
    deleteFileListText();
    QWidget::closeEvent(event);
}

void Form1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutOnResize();
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (key->key() == Qt::Key_Escape && widget && widget->window() == this) {
            collectCancel_ = true;
            toolCancel_ = true;
        }
    }
    if (windowPartsEvent(watched, event))
        return true;
    return QWidget::eventFilter(watched, event);
}

bool Form1::hasControl(const QString& name) const {
    return findChild<QWidget*>(name) != nullptr;
}

QString Form1::controlValue(const QString& name, SettingKind kind) const {
    return ControlValue(findChild<QWidget*>(name), kind);
}

bool Form1::setControlValue(const QString& name, SettingKind kind, const QString& value) {
    return SetControlValue(findChild<QWidget*>(name), kind, value);
}

bool Form1::fileExists(const QString& path) const {
    return QFileInfo(path).isFile();
}

QString Form1::settingsFolder() const {
    return AddSeparator(QDir::toNativeSeparators(QFileInfo(paths_.settingsPath()).absolutePath()));
}

void Form1::showIniButton() {
    if (c_.IniBtn)
        c_.IniBtn->setVisible(true);
}

}  // namespace kadrano
