#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace kadrano {

class ClickableLabel;

// A small button that keeps the window it sits in above all other windows, and a second
// click returns it to normal stacking. Three pictures lie on the same spot: the loose pin
// (normal), the coloured pin while the mouse is over it, and the pin stuck in (on top).
// The control is always 315 x 300 twips, whatever a layout would like it to be.
class AlwaysOnTop : public QWidget {
    Q_OBJECT
public:
    explicit AlwaysOnTop(QWidget* parent = nullptr);

    // Where SaveSettings and LoadSettings keep the state: section "AlwaysOnTop", key "OnTop"
    // of this settings file. Without a file nothing is stored.
    void setSettingsFile(const QString& iniPath) { settingsFile_ = iniPath; }

    void SetWindowAlwayOnTop(QWidget* form);
    bool GetIsOnTop() const { return onTop_; }
    void SetWindowBackToNormal(QWidget* form);
    // As a click on the pin; the state is stored only when asked to.
    void SetToTop(bool saveSettings);
    void SetToNormal(bool saveSettings);
    // Kept for callers that colour their controls; the pictures bring their own background.
    void BackColor(const QColor& backColor);
    void SaveSettings();
    void LoadSettings();

    ClickableLabel* disabledPicture() const { return disabled_; }
    ClickableLabel* hoverPicture() const { return hover_; }
    ClickableLabel* enabledPicture() const { return enabled_; }

Q_SIGNALS:
    void onTopChanged(bool onTop);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    static QSize fixedSize();
    void showOnly(ClickableLabel* picture);
    // The state change of a click, without storing it.
    void switchOn();
    void switchOff();
    // Changes the window's stacking; the window keeps its place, size and visibility.
    static void applyStaysOnTop(QWidget* form, bool on);

    ClickableLabel* disabled_ = nullptr;
    ClickableLabel* hover_ = nullptr;
    ClickableLabel* enabled_ = nullptr;
    bool onTop_ = false;
    QString settingsFile_;
};

}  // namespace kadrano
