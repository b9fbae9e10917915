#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QTreeView>
#include <QUrl>
#include <limits>

#include "areaicon.h"
#include "areas/cameranumbersarea.h"
#include "clickablelabel.h"
#include "form1.h"
#include "form1geometry.h"
#include "infotexts.h"
#include "twips.h"

// The tool areas (one open at a time), the camera-number area, the info buttons, and the
// events that reach the window as a whole: drops, and the picker's keys and focus.

namespace kadrano {

ToolArea* Form1::areaOf(const QFrame* frame) const {
    for (ToolArea* a : areas_)
        if (a->frame() == frame)
            return a;
    return nullptr;
}

QFrame* Form1::openArea() const {
    for (const ToolArea* a : areas_)
        if (a->isOpen())
            return a->frame();
    return nullptr;
}

void Form1::StackAreas() {
    if (!c_.Frame5)
        return;
    int top = c_.Frame5->y() + Px(geometry::kTopStripHeight);
    c_.Frame7->move(c_.Frame7->x(), top);
    top += c_.Frame7->height();

    int pageHeight = 0;
    for (const ToolArea* a : areas_) {
        a->frame()->move(0, pageHeight);
        pageHeight += a->frame()->height();
    }
    // What the screen leaves for the areas once the strips and the margin below have
    // their room; never less than one closed area.
    const int below = c_.BeendenFrame->height() + Px(geometry::kWindowBottomMargin);
    const int room = std::max(windowHeightLimit() - top - below, Px(geometry::kCollapsedHeight));
    const int shown = std::min(pageHeight, room);
    // Decided here rather than left to the scroll area, so the areas know their width
    // before the window is laid out again.
    areasScroll_->setVerticalScrollBarPolicy(shown < pageHeight ? Qt::ScrollBarAlwaysOn
                                                                : Qt::ScrollBarAlwaysOff);
    areasPage_->resize(areasPage_->width(), pageHeight);
    areasScroll_->setGeometry(0, top, width(), shown);
    top += shown;

    c_.BeendenFrame->move(c_.BeendenFrame->x(), top);
    top += c_.BeendenFrame->height();
    // The camera numbers hang below the bottom strip, outside the window until shown.
    cameraNumbers_->frame()->move(0, top);
    resize(width(), Px(Twips(top) + geometry::kWindowBottomMargin));
    LayoutOnResize();
    // An area that was just opened is shown from its header on.
    const QFrame* open = openArea();
    areasScroll_->verticalScrollBar()->setValue(open ? open->y() : 0);
}

int Form1::windowHeightLimit() const {
    if (heightLimit_ > 0)
        return heightLimit_;
    const QScreen* s = screen();
    if (!s)
        return std::numeric_limits<int>::max();
    // The title bar and frame come off the screen's room too; before the window is shown
    // their height is not known yet, so a usual one is assumed.
    const int frame = frameGeometry().height() - height();
    return s->availableGeometry().height() - (frame > 0 ? frame : 32);
}

void Form1::CollapseAllAreas() {
    for (ToolArea* a : areas_)
        a->collapse();
    const int bottom = c_.BeendenFrame->y() + c_.BeendenFrame->height();
    resize(width(), Px(Twips(bottom) + geometry::kWindowBottomMargin));
    c_.DragDropPic->show();
}

void Form1::ToggleArea(QFrame* area) {
    ToolArea* a = areaOf(area);
    if (!a)
        return;
    // The camera numbers live below the stack; any change of the stack closes them.
    if (cameraNumbers_->frame()->isVisible()) {
        cameraNumbers_->hide();
        c_.Label6->show();
    }
    const bool wasOpen = a->isOpen();
    CollapseAllAreas();
    if (!wasOpen) {
        if (a->coversDropPicture())
            c_.DragDropPic->hide();
        a->open();
    }
    StackAreas();
}

void Form1::ShowCameraNumberArea() {
    // Below the stack there is only room while every area is closed.
    if (openArea()) {
        CollapseAllAreas();
        StackAreas();
    }
    cameraNumbers_->showAt(c_.BeendenFrame->y() + c_.BeendenFrame->height(), c_.Frame7->width());
    resize(width(), Px(geometry::kCameraWindowHeight));
    c_.Label6->hide();
}

void Form1::showInfo(const QString& button) {
    const std::optional<InfoText> info =
        InfoTextFor(button, language_, windowTitle(), paths_.programName);
    if (!info)
        return;
    person().messageBox(info->text, Mb::OK | Mb::IconInformation, info->title);
}

void Form1::nameInfoButtons() {
    auto name = [](QWidget* button, QString part) {
        // Captions write "&" doubled for the label; a voice must not say it twice.
        part.replace(QLatin1String("&&"), QLatin1String("&"));
        button->setAccessibleName(QStringLiteral("Info: ") + part.trimmed());
    };
    // A button in a panel explains that panel; one in an area's head the whole area.
    for (const char* id : kInfoButtons) {
        auto* button = findChild<QPushButton*>(QString::fromLatin1(id));
        if (!button)
            continue;
        if (const auto* panel = qobject_cast<const QGroupBox*>(button->parentWidget());
            panel && !panel->title().isEmpty())
            name(button, panel->title());
    }
    for (const ToolArea* a : areas_)
        if (a->header() && a->info())
            name(a->info(), a->header()->text());
    name(c_.Command11, QStringLiteral("Kadrano"));
    if (auto* camera = findChild<QPushButton*>(QStringLiteral("Command7")))
        name(camera, c_.Label6->text().remove(QLatin1String(">>")));
}

void Form1::connectWindowParts() {
    for (const ToolArea* a : areas_) {
        QFrame* frame = a->frame();
        connect(a->icon(), &ClickableLabel::clicked, this, [this, frame] { ToggleArea(frame); });
        connect(a->icon(), &AreaIcon::focusedByKeyboard, this,
                [this, frame] { ToggleArea(frame); });
        connect(a->header(), &ClickableLabel::clicked, this, [this, frame] { ToggleArea(frame); });
    }
    for (const char* name : kInfoButtons) {
        const QString button = QString::fromLatin1(name);
        if (auto* b = findChild<QPushButton*>(button))
            connect(b, &QPushButton::clicked, this, [this, button] { showInfo(button); });
    }
    connect(c_.Label6, &ClickableLabel::clicked, this, &Form1::ShowCameraNumberArea);
    nameInfoButtons();

    // The keys desktop programs share: Ctrl+Q ends as the end button does (with its saving
    // and questions), F1 shows the general info.
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    connect(quit, &QShortcut::activated, c_.ExitBtn, &QPushButton::click);
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] { showInfo(QStringLiteral("Command11")); });

    connect(c_.Vorschau, &ClickableLabel::clicked, this, &Form1::onVorschauClicked);
    connect(c_.Vorschau, &ClickableLabel::rightClicked, this, &Form1::onVorschauRightClicked);
    connect(c_.VorschauPic, &ClickableLabel::clicked, this, &Form1::onVorschauPicClicked);

    connect(c_.Command4, &QPushButton::clicked, this, &Form1::onCommand4);
    connect(c_.Command16, &QPushButton::clicked, this, [this] {
        leavePicker();
        c_.Text1->setFocus(Qt::OtherFocusReason);
    });
    connect(c_.Drive1, &QComboBox::currentIndexChanged, this, &Form1::onDriveChosen);
    connect(c_.VerzBaum, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        // Opening a directory in the list makes it the picture directory.
        const QString path = dirModel_->filePath(index);
        if (!path.isEmpty())
            setDirectoryText(QDir::toNativeSeparators(path));
    });
    connect(c_.Text1, &QLineEdit::textChanged, this,
            [this](const QString& text) { followDriveOf(text); });
}

bool Form1::windowPartsEvent(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return false;
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QMimeData* data = drop->mimeData();
            if (!data || (!data->hasUrls() && !data->hasText()))
                return false;
            // The window only reads the path: a file manager told "moved" may delete what
            // was dropped, so the drop is taken as a copy or a link, or not at all.
            const Qt::DropActions possible = drop->possibleActions();
            if (possible & Qt::CopyAction)
                drop->setDropAction(Qt::CopyAction);
            else if (possible & Qt::LinkAction)
                drop->setDropAction(Qt::LinkAction);
            else {
                drop->ignore();
                return true;
            }
            drop->accept();
            if (event->type() != QEvent::Drop)
                return true;
            // The path box takes a dropped program as its path; everything else is a folder.
            // Handled here, so that the drop does not travel on to the strip around the box.
            if (widget == c_.ImageMagicPath)
                DropMagickPath(*data);
            else
                DropDirectory(*data);
            return true;
        }
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (watched == c_.Text1 && key == Qt::Key_Down) {
                onCommand4();
                return true;
            }
            if (watched == c_.VerzBaum && key == Qt::Key_Escape) {
                leavePicker();
                return true;
            }
            if (watched == c_.VerzBaum && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
                onTreeEnter();
                return true;
            }
            return false;
        }
        case QEvent::FocusOut: {
            if (watched != c_.VerzBaum || !pickerOpen_)
                return false;
            // A message box or a menu taking the focus for a moment is no leaving.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
                reason == Qt::MenuBarFocusReason)
                return false;
            leavePicker();
            return false;
        }
        default:
            return false;
    }
}

namespace {

// A dropped text names a folder or file either as a path or as a file URL (file managers
// on Linux, and Qt itself, offer the URL list as text too).
QStringList PathsInText(const QString& text) {
    QStringList paths;
    for (const QString& line : text.split(u'\n')) {
        const QString t = line.trimmed();
        if (t.isEmpty())
            continue;
        const QUrl url(t);
        paths.append(url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : t);
    }
    return paths;
}

}  // namespace

void Form1::DropMagickPath(const QMimeData& data) {
    if (data.hasUrls()) {
        for (const QUrl& url : data.urls())
            if (url.isLocalFile())
                c_.ImageMagicPath->setText(QDir::toNativeSeparators(url.toLocalFile()));
    }
    if (data.hasText())
        for (const QString& path : PathsInText(data.text()))
            c_.ImageMagicPath->setText(path);
    Q_EMIT magickPathDropped();
}

void Form1::DropDirectory(const QMimeData& data) {
    // A dropped picture means the folder it lies in.
    auto take = [this](const QString& dropped) {
        const QFileInfo info(dropped);
        const QString path =
            info.isFile() ? QDir::toNativeSeparators(info.absolutePath()) : dropped;
        followDriveOf(path);
        setDirectoryText(path);
    };
    if (data.hasUrls()) {
        for (const QUrl& url : data.urls())
            if (url.isLocalFile())
                take(QDir::toNativeSeparators(url.toLocalFile()));
    }
    if (data.hasText()) {
        for (const QString& path : PathsInText(data.text()))
            take(path);
    }
    collectOnRequest();
}

}  // namespace kadrano
