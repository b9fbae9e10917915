#pragma once

#include <QObject>
#include <QRect>
#include <QString>

class QWidget;

namespace kadrano {

class ClickableLabel;
class ToolHost;

// The previews of the name strip: the names of the collected files, six at a time, and the
// picture of the first of them, small beside the names or enlarged over the window.
class PreviewStrip : public QObject {
    Q_OBJECT
public:
    // Builds the list of names into the strip. loading is the window's flag that keeps its
    // boxes from reacting while it is set; the strip sets it while a picture is enlarged.
    PreviewStrip(QWidget* window, QWidget* strip, ToolHost& host, bool& loading);

    // The picture lies on the window, over the strips and areas; it is built after them.
    void buildPicture();
    // When the enlarged picture shrinks again, it goes back below this control.
    void shrinkBelow(QWidget* control) { shrinkBelow_ = control; }

    // A collection has ended: its first file, or nothing.
    void showFirst();
    void clear();

    // The name the caption and rename previews are made from: the first line of the names.
    QString previewName() const;
    // The file the previews show, as a position in the file list (-1 when none).
    int previewedIndex() const { return previewedIndex_; }
    QString previewedFilePath() const;
    // Its folder, or the chosen folder when no file is shown.
    QString previewedDirectory() const;
    bool enlarged() const;

    // Places the names at the strip's left, beside the small picture; returns where the
    // room to their right begins.
    int layOutNames(int stripWidth, int stripHeight);
    ClickableLabel* picture() const { return picture_; }

Q_SIGNALS:
    // The file-name preview moved on: the caption and rename previews follow previewName().
    void refreshed();
    // The names show a new page.
    void pageShown();
    // The file list is empty: the previews are cleared.
    void cleared();

private:
    void onNamesClicked();
    void onNamesRightClicked(Qt::KeyboardModifiers modifiers);
    void onPictureClicked();
    void refresh();
    void loadPicture(int index);
    static QRect smallPictureGeometry();

    QWidget* window_;
    ToolHost& host_;
    bool& loading_;
    ClickableLabel* names_ = nullptr;
    ClickableLabel* picture_ = nullptr;
    QWidget* shrinkBelow_ = nullptr;
    int previewedIndex_ = -1;
    int position_ = 0;  // where the next page of names begins
};

}  // namespace kadrano
