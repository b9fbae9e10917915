#include "toolarea.h"

#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>

#include "core/toolsequence.h"
#include "ui/areaicon.h"
#include "ui/clickablelabel.h"
#include "ui/controlfactory.h"
#include "ui/form1geometry.h"
#include "ui/twips.h"

namespace kadrano {

ToolArea::ToolArea(QWidget* window, AreaHost& host, const char* frameName,
                   std::span<const EnglishText> english)
    : QObject(window), host_(host), english_(english) {
    frame_ = make<QFrame>(window, frameName);
    frame_->setFrameShape(QFrame::StyledPanel);
}

ToolArea::ToolArea(QWidget* window, AreaHost& host, const AreaLook& look)
    : ToolArea(window, host, look.frame, look.english) {
    frame_->resize(window->width(), px(geometry::kCollapsedHeight));
    openHeight_ = look.openHeight;
    coversDropPicture_ = look.coversDropPicture;

    icon_ = make<AreaIcon>(frame_, look.icon);
    icon_->setPixmap(areaIconPixmap(look.picture, geometry::kAreaIconSize));
    icon_->setToolTip(look.tooltip);
    icon_->setGeometry(geometry::kAreaIconRect);

    header_ = make<ClickableLabel>(frame_, look.header, look.caption);
    header_->setToolTip(look.tooltip);
    QFont f = header_->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() + 1);
    header_->setFont(f);
    header_->setCursor(Qt::PointingHandCursor);
    // With a buddy the label shows "&&" as a single "&", as the captions are written.
    header_->setBuddy(icon_);

    body_ = make<QWidget>(frame_, (QByteArray(look.frame) + "_Body").constData());
    auto* row = new QHBoxLayout(body_);
    row->setSizeConstraint(QLayout::SetNoConstraint);
    // The frame reaches past the window's right edge; keep the panels inside the window.
    row->setContentsMargins(8, 0, 8 + px(geometry::kStripOverhang), 6);
    row->setSpacing(8);

    info_ = infoButton(frame_, look.info);
    connectInfo(info_, look.explains, QString());
}

ToolArea::~ToolArea() = default;

bool ToolArea::isOpen() const {
    return frame_->height() > px(geometry::kCollapsedHeight);
}

void ToolArea::open() {
    QFont f = header_->font();
    f.setUnderline(true);
    header_->setFont(f);
    for (QWidget* inner : innerPanels_)
        inner->show();
    frame_->resize(frame_->width(), px(openHeight_));
    Q_EMIT opened();
}

void ToolArea::collapse() {
    frame_->resize(frame_->width(), px(geometry::kCollapsedHeight));
    QFont f = header_->font();
    f.setUnderline(false);
    header_->setFont(f);
    for (QWidget* inner : innerPanels_)
        inner->hide();
}

void ToolArea::layOut(int stripWidth) {
    frame_->resize(stripWidth, frame_->height());
    if (!header_)
        return;
    body_->setGeometry(0, px(geometry::kCollapsedHeight), stripWidth,
                       px(openHeight_ - geometry::kCollapsedHeight));
    // The info button follows the header text.
    const QSize s = header_->sizeHint();
    header_->setGeometry(geometry::kHeaderLeft, 0, s.width(), px(geometry::kCollapsedHeight));
    info_->move(geometry::kHeaderLeft + s.width() + 10,
                (px(geometry::kCollapsedHeight) - info_->height()) / 2);
}

QGroupBox* ToolArea::addPanel(const char* name, const QString& title, bool hiddenWhileClosed) {
    QGroupBox* p = panel(body_, name, title);
    body_->layout()->addWidget(p);
    if (hiddenWhileClosed)
        innerPanels_.append(p);
    return p;
}

QPushButton* ToolArea::addStartButton(QWidget* panel, const char* name, const QString& caption,
                                      const QString& tooltip, std::function<void()> tool) {
    QPushButton* b = button(panel, name, caption, tooltip);
    connect(b, &QPushButton::clicked, this, [this, tool = std::move(tool)] { runTool(tool); });
    return b;
}

QPushButton* ToolArea::addKeptScriptButton(QWidget* panel, const KeptScript& script) {
    return addKeptScriptButton(panel, script,
                               [this, script] { ScriptTools(toolHost()).RunKeptScript(script); });
}

QPushButton* ToolArea::addKeptScriptButton(QWidget* panel, const KeptScript& script,
                                           std::function<void()> run) {
    QPushButton* b = runScriptButton(panel, script.button);
    keptScripts_.push_back(script);
    ownFiles_.push_back(script.scriptName);
    connect(b, &QPushButton::clicked, this, [this, run = std::move(run)] { runTool(run); });
    return b;
}

void ToolArea::declareOwnFiles(std::initializer_list<const char*> names) {
    ownFiles_.insert(ownFiles_.end(), names.begin(), names.end());
}

QPushButton* ToolArea::addInfoButton(QWidget* panel, const char* name, const AreaInfo& info,
                                     const QString& spokenPart) {
    QPushButton* b = infoButton(panel, name);
    connectInfo(b, info, spokenPart);
    return b;
}

void ToolArea::connectInfo(QPushButton* button, const AreaInfo& info, const QString& spokenPart) {
    infoButtons_.push_back({button, spokenPart});
    connect(button, &QPushButton::clicked, this, [this, info] { showInfo(info); });
    nameInfoButtons();
}

void ToolArea::showInfo(const AreaInfo& info) {
    if (!info.german)
        return;
    const bool english = toolHost().language() == Language::English;
    QString text = QString::fromUtf8(english && info.english ? info.english : info.german);
    text.replace(u'\n', u'\r');
    const char* title = english ? info.englishTitle : info.germanTitle;
    toolHost().person().messageBox(
        text, Mb::OK | Mb::IconInformation,
        title ? QString::fromUtf8(title) : toolHost().caption() + QStringLiteral(" - Info"));
}

void ToolArea::nameInfoButtons() {
    for (const InfoButton& b : infoButtons_) {
        // A button in a panel explains that panel; the one in the head the whole area.
        QString part = b.spokenPart;
        if (part.isEmpty() && b.button == info_)
            part = header_->text();
        else if (const auto* panel = qobject_cast<const QGroupBox*>(b.button->parentWidget());
                 part.isEmpty() && panel)
            part = panel->title();
        // Captions write "&" doubled for the label; a voice must not say it twice.
        part.replace(QLatin1String("&&"), QLatin1String("&"));
        if (!part.trimmed().isEmpty())
            b.button->setAccessibleName(QStringLiteral("Info: ") + part.trimmed());
    }
}

void ToolArea::switchToEnglish() {
    ApplyEnglishTexts(*frame_, english_);
    if (icon_ && header_)
        icon_->setToolTip(header_->toolTip());
    nameInfoButtons();
    switchedToEnglish();
}

}  // namespace kadrano
