#pragma once

#include <QLocale>
#include <QString>

namespace kadrano {

// Reading meaning out of picture file names: where a camera number stands, whether a name
// begins with a date, and what is left once camera words, tag texts and numbers are gone.
// Texts only: no file is touched, no message shown. Positions are 1-based; every
// comparison and replacement is exact and case-sensitive and replaces every occurrence.
// A step that would need a character in front of the first one leaves the text alone.

// Whether the first character is one of the ten ASCII digits (an empty text is not).
bool isNumber(const QString& text);

// The position just in front of the first run of `count` consecutive digits that begins
// at or after `start` (the run's first digit position − 1), or −1 when there is none.
// Digits in front of `start` never count; a longer run is reported by its first digits.
int CheckXNumbers(const QString& text, int count, int start);

// Looks for the camera number (`digits` digits, after `startText` when that is not
// empty) in the file-name part of `path`. `numberText` is kept by the caller from one
// file to the next for a whole run, empty at its start; when found it holds the text to
// replace (start text and digits).
bool CheckFN(const QString& path, const QString& startText, int digits, QString& numberText);

// The date at the start of a name followed by "-": a date the user's parser reads in the
// first ten characters comes back in the short date format ("04.03.2015-"); otherwise a
// name with "20" or "19" at position 1, 3 or 7, not right behind another digit, keeps its
// first 10, 7 or 4 characters ("2015_03_04-", "2015-03-", "2015-"). Empty when the name
// holds no date.
QString GetDatePrefix(const QString& name, const QLocale& locale = QLocale());

// Takes out ".jpg", ".JPG", ".tif", ".jpeg" and ".JPEG" wherever they stand.
QString StripPictureExtensions(const QString& name);

// The tag texts the orientation and duplicate tools put into names.
struct TagTexts {
    QString landscape = QStringLiteral("[QF]");
    QString portrait = QStringLiteral("[HF]");
    QString duplicate = QStringLiteral("[Doppelt]");
};

// Takes out the tag texts and the usual camera and phone words ("IMG" only at the start).
QString StripCameraWords(const QString& name, const TagTexts& tags = TagTexts());

// The text options of a caption.
struct CaptionOptions {
    QString freeText;           // added to the caption
    bool freeTextLeft = false;  // free text in front of the name, else behind it
    bool freeTextOnly = false;  // no file name in the caption at all
    QString replaceFrom;        // replaced in the name when not empty
    QString replaceWith;
    bool keepName = false;  // the name is not optimised
    TagTexts tags;
};

// The caption for a picture (file name without directory), wrapped in double quotes so
// that it stands as one argument on an image-tool command line. The free text and the
// name are joined without a separator; the two blanks before the closing quote keep the
// text off the picture's edge.
QString MakePictureText(const QString& fileName, const CaptionOptions& options,
                        const QLocale& locale = QLocale());

// The caption as the preview label shows it: its double quotes taken out, trimmed, in
// quotes again; from 55 characters on, ".. " follows the 54th character.
QString CaptionPreviewText(const QString& caption);

// Trims blanks (only the blank character, as the names' rules expect) at both ends.
QString TrimBlanks(const QString& text);

}  // namespace kadrano
