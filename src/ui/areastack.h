#pragma once

#include <QObject>
#include <vector>

class QFrame;
class QScrollArea;
class QWidget;

namespace kadrano {

class AreaHost;
class CameraNumbersArea;
class ClickableLabel;
class ToolArea;

// The window's column: the tool areas between the name strip and the bottom strip, one open
// at a time, on a page that scrolls when the window would not fit the screen; and the
// camera-number area that hangs below the bottom strip, shown by its link.
class AreaStack : public QObject {
    Q_OBJECT
public:
    // Builds the scrolling page and the areas on it, in stack order. heightLimit is the
    // tallest the window may grow (logical pixels); the screen's available height when 0.
    AreaStack(QWidget* window, AreaHost& host, int heightLimit);

    // The camera numbers and their link ("Kamera Nummern >>", in the bottom strip) are
    // built after the bottom strip.
    ClickableLabel* buildCameraLink(QWidget* bottomStrip);
    void buildCameraNumbers();
    // The strips the stack places above and below itself, and the picture that open areas
    // may cover.
    void setSurroundings(QWidget* topStrip, QWidget* nameStrip, QWidget* bottomStrip,
                         QWidget* dropPicture);

    const std::vector<ToolArea*>& areas() const { return areas_; }
    CameraNumbersArea& cameraNumbers() const { return *cameraNumbers_; }
    QScrollArea* scrollArea() const { return scroll_; }
    // The tool area that is open, or null when all are closed.
    QFrame* openArea() const;

    // Places the strips and the stack from the top down and fits the window to them.
    void stack();
    void collapseAll();
    // Opens the area of this frame, closing any other; an open one closes.
    void toggle(QFrame* area);
    // "Kamera Nummern >>": shows the camera-number area below the bottom strip.
    void showCameraNumbers();
    // Lays the areas out for strips of this width (pixels).
    void layOut(int stripWidth);

Q_SIGNALS:
    // The window's height changed with the stack: its strips are to be laid out again.
    void restacked();

private:
    ToolArea* areaOf(const QFrame* frame) const;
    int windowHeightLimit() const;

    QWidget* window_;
    int heightLimit_;
    QScrollArea* scroll_ = nullptr;
    QWidget* page_ = nullptr;
    std::vector<ToolArea*> areas_;  // in stack order; children of the page
    CameraNumbersArea* cameraNumbers_ = nullptr;
    AreaHost& host_;
    ClickableLabel* cameraLink_ = nullptr;
    QWidget* topStrip_ = nullptr;
    QWidget* nameStrip_ = nullptr;
    QWidget* bottomStrip_ = nullptr;
    QWidget* dropPicture_ = nullptr;
};

}  // namespace kadrano
