#include "form1.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QShortcut>
#include <QTime>

#include "areas/cameranumbersarea.h"
#include "areastack.h"
#include "bottomstrip.h"
#include "core/pathhelpers.h"
#include "core/toolsequence.h"
#include "core/undoplatform.h"
#include "filestatus.h"
#include "folderpicker.h"
#include "infotexts.h"
#include "magickpathbox.h"
#include "messageboxperson.h"
#include "previewstrip.h"
#include "rename/undolast.h"
#include "serverlinks.h"
#include "settingsbinding.h"
#include "windowdrops.h"

namespace kadrano {

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

Form1::Form1(Options options) : paths_(std::move(options.paths)) {
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
    undoFolder_ = options.undoFolder.isEmpty() ? defaultUndoFolder() : options.undoFolder;
    heightLimit_ = options.heightLimit;
    person_ = std::make_unique<StatusLinePerson>(*dialogs_);
    links_ = new ServerLinks(this, *this, paths_, options.updateServer, options.updateHost);
    settings_ = new SettingsBinding(this, *this, paths_.settingsPath(), paths_.programDir);
    buildControls();
    person_->setStatusLine(status_);
    settings_->applyDefaults();
    connectSignals();
    qApp->installEventFilter(this);
}

Form1::~Form1() {
    qApp->removeEventFilter(this);
    // Closing the window moves the focus away from its controls; a box that loses it must
    // not start a collection or a check on a window that is half gone.
    loading_ = true;
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
    return bottom_->noQuestions();
}
bool Form1::pauseAtEnd() const {
    return bottom_->pauseAtEnd();
}

QString Form1::directoryText() const {
    return folderBox_ ? folderBox_->text() : QString();
}
void Form1::setDirectoryText(const QString& text) {
    if (folderBox_)
        folderBox_->setText(text);
}
QString Form1::patternText() const {
    return patternBox_ ? patternBox_->currentText() : QString();
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
    for (const ToolArea* a : areaStack_->areas())
        all.insert(all.end(), a->keptScripts().begin(), a->keptScripts().end());
    return all;
}

void Form1::showUpdateLink() {
    links_->showUpdateLink();
}

void Form1::saveSettings() {
    settings_->save(false);
}

QString Form1::previewName() const {
    return previews_->previewName();
}
QString Form1::previewedDirectory() const {
    return previews_->previewedDirectory();
}
const MagickPaths& Form1::magickPaths() const {
    return magickBox_->paths();
}

TagTexts Form1::nameTagTexts() const {
    TagTexts tags;
    auto text = [this](const char* name, QString& into) {
        if (const auto* e = findChild<const QLineEdit*>(QString::fromLatin1(name)))
            into = e->text();
    };
    text("LAndscaptTxt", tags.landscape);
    text("PortraitTxt", tags.portrait);
    text("DoppelteTxt", tags.duplicate);
    return tags;
}

QString Form1::settingsFolder() const {
    return AddSeparator(QDir::toNativeSeparators(QFileInfo(paths_.settingsPath()).absolutePath()));
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
    connect(picker_, &FolderPicker::folderChosen, this, &Form1::collectOnRequest);
    connect(bottom_, &BottomStrip::exitClicked, this, &Form1::onExit);
    connect(bottom_, &BottomStrip::undoClicked, this,
            [this] { runTool([this] { runUndoLast(*this); }); });
    connect(previews_, &PreviewStrip::refreshed, this, [this] {
        for (ToolArea* a : areaStack_->areas())
            a->previewChanged();
    });
    connect(previews_, &PreviewStrip::pageShown, this, [this] {
        for (ToolArea* a : areaStack_->areas())
            a->namePageShown();
    });
    connect(previews_, &PreviewStrip::cleared, this, [this] {
        for (ToolArea* a : areaStack_->areas())
            a->previewsCleared(language_);
    });
    connect(areaStack_, &AreaStack::restacked, this, &Form1::layOut);
    connect(settings_, &SettingsBinding::englishStored, this, [this] {
        if (language_ != Language::English)
            switchLanguage();
    });
    connect(settings_, &SettingsBinding::listsToRefill, this, [this] {
        for (ToolArea* a : areaStack_->areas())
            a->refillLists();
    });

    // The keys desktop programs share: Ctrl+Q ends as the end button does (with its saving
    // and questions), F1 shows the general info.
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    connect(quit, &QShortcut::activated, bottom_->exitButton(), &QPushButton::click);
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, &Form1::showGeneralInfo);
    connect(generalInfoButton_, &QPushButton::clicked, this, &Form1::showGeneralInfo);

    // Enter always collects; leaving the box only when it names another folder than the
    // one collected. Collecting again on the way out would run its event loop inside the
    // click that moved the focus, and that click would be lost.
    connect(folderBox_, &QLineEdit::returnPressed, this, [this] {
        if (!loading_)
            collectOnRequest();
    });
    connect(folderBox_, &QLineEdit::editingFinished, this, [this] {
        if (!loading_ && AddSeparator(directoryText()) != collectedFolder_)
            collectOnRequest();
    });
    connect(folderBox_, &QLineEdit::textChanged, this, [this] {
        if (loading_)
            return;
        ScriptTools(*this).ShowKeptScriptButtons(keptScripts());
        // The button undoes the runs of the folder in the box.
        refreshUndoButton();
    });
    connect(patternBox_, &QComboBox::activated, this, [this] {
        if (!loading_)
            collectOnRequest();
    });
    connect(subfoldersCheck_, &QCheckBox::clicked, this, [this] {
        if (!loading_)
            collectOnRequest();
    });
    connect(languageButton_, &QPushButton::clicked, this, &Form1::switchLanguage);
}

void Form1::startUp(const QString& commandLine) {
    links_->setCommandLine(commandLine);
    loading_ = true;
    language_ = Language::German;

    areaStack_->collapseAll();
    areaStack_->stack();
    picker_->placeTree();
    for (ToolArea* a : areaStack_->areas())
        a->fillLists();
    areaStack_->cameraNumbers().fillLists();

    show();
    QCoreApplication::processEvents();

    setDirectoryText(QDir::currentPath());
    const QString folder = Unquote(commandLine);
    if (!folder.isEmpty())
        setDirectoryText(folder);
    picker_->pointTreeAt(directoryText());

    patternBox_->clear();
    patternBox_->addItems({QStringLiteral("*.*"), QStringLiteral("*.jpg"), QStringLiteral("*.avi"),
                           QStringLiteral("*.mpg"), QStringLiteral("*.mp4"),
                           QStringLiteral("*.mov")});
    patternBox_->setCurrentIndex(1);

    settings_->load();
    useQtTranslations(language_);
    magickBox_->lookForImageMagick();

    show();
    QCoreApplication::processEvents();

    for (ToolArea* a : areaStack_->areas())
        a->startUpFinishing();

    loading_ = false;
    ScriptTools(*this).ShowKeptScriptButtons(keptScripts());
    collectFiles();
    for (ToolArea* a : areaStack_->areas()) {
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
        const bool withSubdirs = subfoldersCheck_->isChecked();
        if (withSubdirs)
            setWindowTitle(QStringLiteral("Lese Unter-Verzeichnisse, bitte warten...  (Start: ") +
                           systemTimeText(QTime::currentTime()) +
                           QStringLiteral(")      ESC = Abbruch"));
        CollectResult result = collectPictureFiles(directoryText(), patternText(), withSubdirs,
                                                   language_, *this, ownFiles_);
        files_ = std::move(result.files);
        showUpdateLink();
        status_->showCollected(result.leftOut, collectCancel_);
        if (files_.count() > 0)
            previews_->showFirst();
        else
            previews_->clear();
        setWindowTitle(savedCaption);
    } while (collectAgain_);
    collecting_ = false;
    refreshUndoButton();
    Q_EMIT filesCollected();
}

void Form1::collectStatus(const QString& text) {
    status_->setText(text);
}

void Form1::collectProcessEvents() {
    QCoreApplication::processEvents();
}

void Form1::showGeneralInfo() {
    const InfoText info = generalInfo(language_, windowTitle(), paths_.programName);
    person().messageBox(info.text, Mb::OK | Mb::IconInformation, info.title);
}

void Form1::refreshUndoButton() {
    bottom_->refreshUndoButton(undoFolder_, directoryText(), language_);
}

void Form1::onExit() {
    settings_->save(true);
    status_->deleteListText();
    close();
}

void Form1::closeEvent(QCloseEvent* event) {
    status_->deleteListText();
    QWidget::closeEvent(event);
}

void Form1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    // ESC on any control of the window stops a collection or a tool's loop.
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this) {
            collectCancel_ = true;
            toolCancel_ = true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace kadrano
