// The ImageMagick path box of the bottom strip: what start-up finds, and what the box does
// while the person types, leaves it or drops a program on it.

#include <QLabel>
#include <QLineEdit>

#include "form1.h"
#include "imagemagick/magickpath.h"
#include "magickpathbox.h"

namespace kadrano {

void Form1::setMagickWarningsVisible(bool visible) {
    for (const char* name : {"ImageWarning1", "ImageWarning2"})
        if (auto* warning = findChild<QLabel*>(QString::fromUtf8(name)))
            warning->setVisible(visible);
}

void Form1::setCaptionPreviewVisible(bool visible) {
    if (auto* preview = findChild<QLabel*>(QStringLiteral("NamensVorschau")))
        preview->setVisible(visible);
}

void Form1::lookForImageMagick() {
    magick_ = DiscoverMagick(c_.ImageMagicPath->text().trimmed(), paths_.programDir);
    if (magick_.found) {
        c_.ImageMagicPath->setText(magick_.pathText);
        c_.ImageMagicPath->hide();
        setMagickWarningsVisible(false);
        return;
    }
    c_.ImageMagicPath->setText(language_ == Language::English
                                   ? QString::fromUtf8(kMagickPathHintEnglish)
                                   : QString::fromUtf8(kMagickPathHint));
    c_.ImageMagicPath->setCursorPosition(0);
    c_.ImageMagicPath->show();
    setMagickWarningsVisible(true);
    setCaptionPreviewVisible(false);
}

void Form1::checkMagickPath() {
    const MagickPathCheck check =
        CheckMagickPath(c_.ImageMagicPath->text().trimmed(), paths_.programDir);
    switch (check.state) {
        case MagickPathState::Found:
            c_.ImageMagicPath->hide();
            setMagickWarningsVisible(false);
            break;
        case MagickPathState::MadeWhole:
            // The box stays until the next check sees the whole path; the person sees
            // what the relative path stood for.
            c_.ImageMagicPath->setText(check.text);
            setCaptionPreviewVisible(true);
            break;
        case MagickPathState::Missing:
            c_.ImageMagicPath->show();
            setMagickWarningsVisible(true);
            setCaptionPreviewVisible(false);
            break;
    }
}

void Form1::connectMagickPathBox() {
    auto* box = new MagickPathBox(c_.ImageMagicPath, paths_.programDir);
    // Leaving the box while the window closes or loads the settings checks nothing.
    connect(box, &MagickPathBox::left, this, [this] {
        if (!loading_)
            checkMagickPath();
    });
    connect(this, &Form1::magickPathDropped, this, &Form1::checkMagickPath);
}

}  // namespace kadrano
