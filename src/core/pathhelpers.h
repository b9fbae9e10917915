#pragma once

#include <QString>

namespace kadrano {

// Text helpers for paths and command lines. They never touch the file system.
//
// The scripts and settings come from a Windows tool, so a path may use "\" or "/".
// Where a text holds both, the platform's own separator wins: on Windows "\", elsewhere
// "/" (a Linux file name may legally contain "\" or ":", which must not be taken for a
// separator there).

// Encloses the trimmed text in double quotes when it holds a blank and no double quote.
QString QuoteIfSpaces(const QString& s);

// Trims the text and removes one pair of double quotes standing at both ends.
QString Unquote(const QString& s);

// Appends the directory separator the text already uses, unless it ends with one.
// A trailing double quote is kept at the very end.
QString AddSeparator(const QString& s);

// The part after the last separator: the bare file name.
QString FileNamePart(const QString& s);

// The name of the directory a path points into: for a file with a three-letter
// extension the directory that holds it, otherwise the last name of the path.
QString DirNamePart(const QString& s);

// The separator a path text uses, by the precedence described above; a text without
// any separator gives the platform's native one.
QChar pathSeparatorOf(const QString& s);

// A character no file name may hold on Windows (and "/" nowhere), control characters
// included: a text with one would turn a new name into a path or a failing line.
bool cannotStandInName(QChar c);
bool holdsForbiddenNameCharacter(const QString& text);

}  // namespace kadrano
