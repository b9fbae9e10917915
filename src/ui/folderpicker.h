#pragma once

#include <QObject>
#include <QString>

class QComboBox;
class QFileSystemModel;
class QFrame;
class QLineEdit;
class QMimeData;
class QPushButton;
class QTreeView;
class QWidget;

namespace kadrano {

class ToolHost;

// The folder picker of the top strip: the ".." button and the drive list beside the folder
// box, and the tree of folders that opens below the box. Drive list and tree follow the
// folder box; choosing a drive, leaving the tree or dropping a folder chooses a folder.
class FolderPicker : public QObject {
    Q_OBJECT
public:
    // Builds the ".." button and the drive list into the strip, right after the folder box,
    // so that Tab reaches them in this order.
    FolderPicker(QWidget* window, QWidget* strip, QLineEdit* folderBox, const ToolHost& host);

    // The tree lies on the window, over the strips and areas; it is built after them.
    void buildTree();

    // Places the ".." button and the drive list in the strip's first row, right-aligned to
    // right; returns where the folder box has to end.
    int layOutRow(int right, int y, int rowHeight);
    // Places the tree below the folder box, down to near the window's bottom.
    void placeTree();

    // Opens the tree at path (a folder), inside the drive that holds it.
    void pointTreeAt(const QString& path);
    // Selects the drive that holds path, without opening the tree.
    void followDriveOf(const QString& path);
    // A folder (or a text naming one) dropped on the window: a picture means its folder.
    void takeDrop(const QMimeData& data);

    QFrame* tree() const { return treeFrame_; }

Q_SIGNALS:
    // The person chose a folder (left the tree, dropped one): its files are to be collected.
    void folderChosen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillDriveList();
    void onDriveChosen(int index);
    // The ".." button and the Down key: opens the tree, or closes it without choosing.
    void toggle();
    void showTree();
    void leaveTree();
    void onTreeEnter();

    QWidget* window_;
    QLineEdit* folderBox_;
    const ToolHost& host_;
    QPushButton* openButton_ = nullptr;  // ".."
    QComboBox* driveList_ = nullptr;
    QFrame* treeFrame_ = nullptr;
    QPushButton* closeButton_ = nullptr;  // "X"
    QTreeView* treeView_ = nullptr;
    QFileSystemModel* model_ = nullptr;
    bool followingText_ = false;  // the drive list follows the box without opening the tree
    bool open_ = false;
};

}  // namespace kadrano
