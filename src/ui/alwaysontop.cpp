#include "alwaysontop.h"

#include <QEvent>
#include <QMouseEvent>

#include "clickablelabel.h"
#include "core/inifile.h"
#include "icons.h"
#include "twips.h"

namespace kadrano {

namespace {
const QString kSection = QStringLiteral("AlwaysOnTop");
const QString kKey = QStringLiteral("OnTop");
}  // namespace

QSize AlwaysOnTop::fixedSize() {
    return pxSize(315, 300);
}

AlwaysOnTop::AlwaysOnTop(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("AlwaysOnTop"));
    setFixedSize(fixedSize());
    setMouseTracking(true);
    auto picture = [this](const char* name, PinState state) {
        auto* l = new ClickableLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setPixmap(pinPixmap(state, fixedSize()));
        l->setToolTip(QStringLiteral("Always on top"));
        l->setGeometry(QRect(QPoint(0, 0), fixedSize()));
        l->setMouseTracking(true);
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
        return l;
    };
    disabled_ = picture("AOT_Disabled", PinState::Disabled);
    hover_ = picture("AOT_MouseMove", PinState::Hover);
    enabled_ = picture("AOT_Enabled", PinState::Enabled);
    // The other two take the place of the first.
    hover_->move(disabled_->pos());
    enabled_->move(disabled_->pos());
    showOnly(disabled_);

    connect(disabled_, &ClickableLabel::clicked, this, [this] {
        switchOn();
        SetWindowAlwayOnTop(window());
    });
    connect(hover_, &ClickableLabel::clicked, this, [this] {
        switchOn();
        SetWindowAlwayOnTop(window());
    });
    connect(enabled_, &ClickableLabel::clicked, this, [this] {
        switchOff();
        SetWindowBackToNormal(window());
    });
}

void AlwaysOnTop::showOnly(ClickableLabel* picture) {
    for (ClickableLabel* l : {disabled_, hover_, enabled_})
        l->setVisible(l == picture);
}

void AlwaysOnTop::switchOn() {
    onTop_ = true;
    showOnly(enabled_);
}

void AlwaysOnTop::switchOff() {
    onTop_ = false;
    // The mouse is over the button that was just clicked.
    showOnly(hover_);
}

void AlwaysOnTop::applyStaysOnTop(QWidget* form, bool on) {
    if (!form)
        return;
    if (form->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on)
        return;
    // Changing a window's flags recreates it hidden; put it back where it was.
    const QRect geometry = form->geometry();
    const bool wasVisible = form->isVisible();
    form->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    form->setGeometry(geometry);
    if (wasVisible)
        form->show();
}

void AlwaysOnTop::SetWindowAlwayOnTop(QWidget* form) {
    onTop_ = true;
    SaveSettings();
    applyStaysOnTop(form, true);
    Q_EMIT onTopChanged(true);
}

void AlwaysOnTop::SetWindowBackToNormal(QWidget* form) {
    onTop_ = false;
    SaveSettings();
    applyStaysOnTop(form, false);
    Q_EMIT onTopChanged(false);
}

void AlwaysOnTop::SetToTop(bool saveSettings) {
    switchOn();
    applyStaysOnTop(window(), true);
    Q_EMIT onTopChanged(true);
    if (saveSettings)
        SaveSettings();
}

void AlwaysOnTop::SetToNormal(bool saveSettings) {
    switchOff();
    applyStaysOnTop(window(), false);
    Q_EMIT onTopChanged(false);
    if (saveSettings)
        SaveSettings();
}

void AlwaysOnTop::BackColor(const QColor&) {}

void AlwaysOnTop::SaveSettings() {
    if (settingsFile_.isEmpty())
        return;
    // Only into a settings file that exists: the first save of the window's settings
    // creates it, and this button should not be the one to do that.
    WriteIniText(kSection, kKey, onTop_ ? QStringLiteral("True") : QStringLiteral("False"),
                 settingsFile_, false);
}

void AlwaysOnTop::LoadSettings() {
    if (settingsFile_.isEmpty())
        return;
    const QString stored =
        ReadIniText(kSection, kKey, settingsFile_, QStringLiteral("False"), false);
    if (stored == QLatin1String("True"))
        SetToTop(false);
    else
        SetToNormal(false);
}

void AlwaysOnTop::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (size() != fixedSize())
        resize(fixedSize());
}

bool AlwaysOnTop::eventFilter(QObject* watched, QEvent* event) {
    if (watched == disabled_ &&
        (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove)) {
        hover_->setVisible(true);
        disabled_->setVisible(false);
        enabled_->setVisible(false);
    } else if (watched == hover_ && event->type() == QEvent::Leave && !onTop_) {
        disabled_->setVisible(true);
        hover_->setVisible(false);
    }
    return QWidget::eventFilter(watched, event);
}

void AlwaysOnTop::mouseMoveEvent(QMouseEvent* event) {
    // Over the control's own background, away from the pictures.
    if (hover_->isVisible()) {
        disabled_->setVisible(true);
        hover_->setVisible(false);
    }
    QWidget::mouseMoveEvent(event);
}

}  // namespace kadrano
