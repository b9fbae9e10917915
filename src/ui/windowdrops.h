#pragma once

#include <QObject>

class QWidget;

namespace kadrano {

class FolderPicker;
class MagickPathBox;

// Drops anywhere on the window: a program dropped on the ImageMagick path box becomes its
// path, anything else dropped names the picture folder. The window only reads the path: a
// file manager told "moved" may delete what was dropped, so a drop is taken as a copy or a
// link, or not at all.
class WindowDrops : public QObject {
    Q_OBJECT
public:
    WindowDrops(QWidget* window, FolderPicker& picker, MagickPathBox& pathBox);
    ~WindowDrops() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    FolderPicker& picker_;
    MagickPathBox& pathBox_;
};

}  // namespace kadrano
