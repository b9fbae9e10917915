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

#include "clickablelabel.h"
#include "controlbinding.h"
#include "core/pathhelpers.h"
#include "core/scripttext.h"
#include "core/toolsequence.h"
#include "messageboxperson.h"
#include "analysis/duplicatefinder.h"
#include "rename/shuffle.h"

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
        if (w_.c_.FileStatus) w_.c_.FileStatus->setText(text);
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
    person_ = std::make_unique<WindowPerson>(*this, *dialogs_);
    duplicates_ = std::make_unique<DuplicateFinder>();
    buildControls();
    duplicatesPanel_ = std::make_unique<DuplicatesPanel>(c_);
    applySettingDefaults();
    connectSignals();
    qApp->installEventFilter(this);
}

// The two controls of the duplicates area that a running search changes.
class Form1::DuplicatesPanel : public DuplicatesView {
public:
    explicit DuplicatesPanel(Form1Controls& c) : c_(c) {}
    QString startButtonText() const override { return c_.DoppelteStart->text(); }
    void setStartButtonText(const QString& text) override { c_.DoppelteStart->setText(text); }
    void setCancelHintVisible(bool visible) override {
        if (c_.DoppelteAbbruch) c_.DoppelteAbbruch->setVisible(visible);
    }

private:
    Form1Controls& c_;
};

Form1::~Form1() {
    qApp->removeEventFilter(this);
    // Closing the window moves the focus away from its controls; a box that loses it must
    // not start a collection on a window that is half gone.
    for (QObject* child : findChildren<QObject*>())
        disconnect(child, nullptr, this, nullptr);
}

Person& Form1::person() { return *person_; }
ScriptRunner& Form1::scriptRunner() { return *runner_; }

bool Form1::noQuestions() const { return c_.KeineNachfragen && c_.KeineNachfragen->isChecked(); }
bool Form1::pauseAtEnd() const { return c_.BatPAuse && c_.BatPAuse->isChecked(); }

QString Form1::directoryText() const { return c_.Text1 ? c_.Text1->text() : QString(); }
void Form1::setDirectoryText(const QString& text) {
    if (c_.Text1) c_.Text1->setText(text);
}
QString Form1::patternText() const { return c_.Combo2 ? c_.Combo2->currentText() : QString(); }

QString Form1::separatorText() const {
    return c_.TrennzeichenTxt ? c_.TrennzeichenTxt->text() : QStringLiteral("#");
}

QString Form1::currentTimeHHMM() const {
    return QTime::currentTime().toString(QStringLiteral("HH:mm"));
}

void Form1::setKeptScriptButtonVisible(KeptScript which, bool visible) {
    if (QWidget* b = findChild<QWidget*>(QString::fromLatin1(KeptScriptOf(which).button)))
        b->setVisible(visible);
}

void Form1::showUpdateLink() {
    if (c_.Label13) c_.Label13->setVisible(true);
}

void Form1::saveSettings() {
    saveSettingsAndSay(false);
}

void Form1::SaveAllSettings() {
    saveSettingsAndSay(true);
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

void Form1::LoadAllSettings() {
    const IniReadStatus status = settings_.LoadAllSettings(*this);
    if (settings_.leftAlone())
        dialogs_->messageBox(SettingsNotReadText(status, settings_.path(), language_),
                             Mb::OK | Mb::IconWarning, SettingsBoxTitle(language_));
}

void Form1::runTool(const std::function<void()>& tool) {
    if (toolRunning_ || collecting_) return;
    toolRunning_ = true;
    tool();
    toolRunning_ = false;
}

void Form1::connectSignals() {
    connectWindowParts();
    if (c_.Text1) {
        // Enter always collects; leaving the box only when it names another folder than the
        // one collected. Collecting again on the way out would run its event loop inside the
        // click that moved the focus, and that click would be lost.
        connect(c_.Text1, &QLineEdit::returnPressed, this, [this] {
            if (!loading_) CollectFiles();
        });
        connect(c_.Text1, &QLineEdit::editingFinished, this, [this] {
            if (!loading_ && AddSeparator(directoryText()) != collectedFolder_) CollectFiles();
        });
        connect(c_.Text1, &QLineEdit::textChanged, this, [this] {
            if (!loading_) ScriptTools(*this).ShowKeptScriptButtons();
        });
    }
    if (c_.Combo2) {
        connect(c_.Combo2, &QComboBox::activated, this, [this] {
            if (!loading_) CollectFiles();
        });
    }
    if (c_.DubDir_Check)
        connect(c_.DubDir_Check, &QCheckBox::clicked, this, [this] {
            if (!loading_) CollectFiles();
        });
    if (c_.FileStatus)
        connect(c_.FileStatus, &ClickableLabel::clicked, this, &Form1::onFileStatusClicked);
    if (c_.SaveIniBtn)
        connect(c_.SaveIniBtn, &QPushButton::clicked, this, [this] {
            SaveAllSettings();
            QCoreApplication::processEvents();
        });
    if (c_.IniBtn) connect(c_.IniBtn, &QPushButton::clicked, this, &Form1::onIniButton);
    if (c_.ExitBtn) connect(c_.ExitBtn, &QPushButton::clicked, this, &Form1::onExit);

    connectTools();
}

void Form1::connectTools() {
    if (c_.Command1)
        connect(c_.Command1, &QPushButton::clicked, this, [this] { runTool([this] { RunShuffle(*this, separatorText()); }); });
    if (c_.Command2)
        connect(c_.Command2, &QPushButton::clicked, this, [this] { runTool([this] { RunRestore(*this, separatorText()); }); });
    for (const KeptScriptInfo& k : KeptScripts()) {
        auto* button = findChild<QPushButton*>(QString::fromLatin1(k.button));
        if (!button) continue;
        const KeptScript id = k.id;
        connect(button, &QPushButton::clicked, this,
                [this, id] { runTool([this, id] { ScriptTools(*this).RunKeptScript(id); }); });
    }

    if (c_.DoppelteStart)
        connect(c_.DoppelteStart, &QPushButton::clicked, this, [this] {
            auto start = [this] {
                duplicates_->StartClicked(*this, *duplicatesPanel_, c_.DoppelteTxt->text(),
                                          c_.DoublettenCheck->isChecked());
            };
            // A click while the search runs is its Stop question, not a second tool.
            if (duplicates_->isRunning())
                start();
            else
                runTool(start);
        });
    if (c_.DoublettenCheck)
        connect(c_.DoublettenCheck, &QCheckBox::toggled, this, [this](bool deleting) {
            if (c_.DoppelteTxt) c_.DoppelteTxt->setEnabled(!deleting);
            if (c_.DoppelteWarnung) c_.DoppelteWarnung->setVisible(deleting);
        });
}

void Form1::applySettingDefaults() {
    for (const SettingDef& def : SettingsReadOrder()) {
        if (def.defaultKind != SettingDefault::Fixed || def.kind == SettingKind::Language) continue;
        QWidget* control = findChild<QWidget*>(QString::fromUtf8(def.control));
        if (!control) continue;
        const QString value = QString::fromUtf8(def.defaultValue);
        if (def.kind == SettingKind::Check ||
            (def.kind == SettingKind::Text && ControlValue(control, def.kind).isEmpty()))
            SetControlValue(control, def.kind, value);
    }
}

void Form1::startUp(const QString& commandLine) {
    loading_ = true;
    language_ = Language::German;
    commandLine_ = commandLine;

    CollapseAllAreas();
    StackAreas();
    placePicker();

    if (c_.CameraNr_NrCombo) {
        c_.CameraNr_NrCombo->clear();
        for (int i = 1; i <= 12; ++i) c_.CameraNr_NrCombo->addItem(QString::number(i));
        c_.CameraNr_NrCombo->setEditText(QStringLiteral("8"));
    }
    if (c_.CameraNr_Combo) {
        c_.CameraNr_Combo->clear();
        c_.CameraNr_Combo->addItems({QStringLiteral("P"), QStringLiteral("IMG_"),
                                     QStringLiteral("IMG"), QStringLiteral("I")});
        c_.CameraNr_Combo->setEditText(QStringLiteral("IMG_"));
    }

    show();
    QCoreApplication::processEvents();

    setDirectoryText(QDir::currentPath());
    const QString folder = Unquote(commandLine);
    if (!folder.isEmpty()) setDirectoryText(folder);
    pointTreeAt(directoryText());

    if (c_.DateFormatCOmbo) {
        c_.DateFormatCOmbo->clear();
        c_.DateFormatCOmbo->addItems(
            {QStringLiteral("YYYY.MM.DD"), QStringLiteral("YYYY-MM-DD"), QStringLiteral("YYYY.MM"),
             QStringLiteral("YYYY-MM"), QStringLiteral("YYYY"), QStringLiteral("MM.YYYY"),
             QStringLiteral("MM-YYYY"), QStringLiteral("DD.MM.YYYY"), QStringLiteral("DD-MM-YYYY"),
             QStringLiteral("YY.MM.DD"), QStringLiteral("YY-MM-DD"), QStringLiteral("YY.MM"),
             QStringLiteral("YY-MM"), QStringLiteral("YY"), QStringLiteral("MM.YY"),
             QStringLiteral("MM-YY"), QStringLiteral("DD.MM.YY"), QStringLiteral("DD-MM-YY")});
        c_.DateFormatCOmbo->setEditText(QStringLiteral("YYYY.MM.DD"));
    }
    if (c_.Combo2) {
        c_.Combo2->clear();
        c_.Combo2->addItems({QStringLiteral("*.*"), QStringLiteral("*.jpg"), QStringLiteral("*.avi"),
                             QStringLiteral("*.mpg"), QStringLiteral("*.mp4"), QStringLiteral("*.mov")});
        c_.Combo2->setCurrentIndex(1);
    }
    if (c_.SchriftGr) {
        c_.SchriftGr->clear();
        for (int i = 6; i <= 200; ++i) c_.SchriftGr->addItem(QString::number(i));
        c_.SchriftGr->setEditText(QStringLiteral("60"));
    }
    if (c_.SchriftartCombo) c_.SchriftartCombo->clear();
    if (c_.TextfarbeCOmbo) {
        c_.TextfarbeCOmbo->clear();
        c_.TextfarbeCOmbo->addItems(colours_.listNames());
    }

    LoadAllSettings();
    UseQtTranslations(language_);

    show();
    QCoreApplication::processEvents();

    loading_ = false;
    ScriptTools(*this).ShowKeptScriptButtons();
    CollectFiles();
    if (c_.Command1) c_.Command1->setFocus();
}

void Form1::CollectFiles() {
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
            c_.FileStatus->setToolTip(note.isEmpty() ? ownTip : ownTip + QStringLiteral("\n\n") + note);
            if (files_.count() > 0) {
                c_.FileStatus->setStyleSheet(QString());
                c_.FileStatus->setText(CollectedStatusText(files_.count(), collectCancel_, language_));
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
    Q_EMIT filesCollected();
}

void Form1::collectStatus(const QString& text) {
    if (c_.FileStatus) c_.FileStatus->setText(text);
}

void Form1::collectProcessEvents() { QCoreApplication::processEvents(); }

void Form1::onFileStatusClicked() {
    const int answer = dialogs_->messageBox(
        QStringLiteral("Dateiliste in Text-Datei speichern und anzeigen?"), Mb::YesNo,
        QStringLiteral("Dateiliste anzeigen?"));
    if (answer == Mb::ResultNo) return;
    const QString path = paths_.fileListPath();
    if (!WriteScriptFile(path, FileListLines(files_))) {
        dialogs_->messageBox(QStringLiteral("Die Dateiliste konnte nicht gespeichert werden:\r") + path,
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
    if (QFileInfo::exists(path)) QFile::remove(path);
}

void Form1::onExit() {
    SaveAllSettings();
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
    if (windowPartsEvent(watched, event)) return true;
    return QWidget::eventFilter(watched, event);
}

bool Form1::hasControl(const QString& name) const { return findChild<QWidget*>(name) != nullptr; }

QString Form1::controlValue(const QString& name, SettingKind kind) const {
    return ControlValue(findChild<QWidget*>(name), kind);
}

bool Form1::setControlValue(const QString& name, SettingKind kind, const QString& value) {
    return SetControlValue(findChild<QWidget*>(name), kind, value);
}

void Form1::switchToEnglish() { language_ = Language::English; }

bool Form1::fileExists(const QString& path) const { return QFileInfo(path).isFile(); }

void Form1::showIniButton() {
    if (c_.IniBtn) c_.IniBtn->setVisible(true);
}

}  // namespace kadrano
