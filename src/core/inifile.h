#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

#include "textcodec.h"

namespace kadrano {

// What came of reading a settings file.
enum class IniReadStatus {
    Read,
    Missing,      // no file of that name (a link to nothing counts as none)
    Unreadable,   // no permission to read it, or a read error
    NotAFile,     // a folder, a pipe or a device (links followed)
    TooLarge,     // kIniSizeLimit bytes or more: no settings file is that long
    Undecodable,  // starts with a byte-order mark that the rest of it does not follow
};

inline constexpr qint64 kIniSizeLimit = qint64(1) << 20;

// Reads what should be a settings file: only a regular file (links followed) below
// kIniSizeLimit. A pipe or a device of that name neither blocks the start nor floods the
// memory: it is never read from.
IniReadStatus readIniFileBytes(const QString& path, QByteArray* bytes);

// A settings file in the Windows profile format ("[Section]" lines, "key=value" lines),
// held as its lines so that everything we do not change is written back byte for byte.
//
// Section and key names are compared without regard to case; blanks around names and
// values are ignored. The first occurrence of a section or key counts. A new key goes
// behind the last line of its section, a new section to the end of the file. Lines may end
// in CR LF, LF or CR; new lines take the ending the file already uses.
//
// A file is written back in the encoding it came in, never with lines of another: with its
// byte-order mark in UTF-8, UTF-16 or UTF-32; without one as UTF-8 when it is valid UTF-8
// (a new file too), else as Windows-1252. Should a value have no Windows-1252 form, the
// whole file changes to UTF-8.
class IniDocument {
public:
    // Reads the file; anything but Read leaves an empty document.
    IniReadStatus read(const QString& path);
    bool load(const QString& path) { return read(path) == IniReadStatus::Read; }
    // False (and an empty document) when the bytes do not follow their byte-order mark.
    bool setBytes(const QByteArray& bytes);
    QByteArray bytes() const;

    std::optional<QString> value(const QString& section, const QString& key) const;
    // A value cannot hold a line break (it would become lines of its own); breaks become blanks.
    void setValue(const QString& section, const QString& key, const QString& value);

    bool isModified() const { return modified_; }

    // Replaces the file by the document as a whole (a new file beside it, renamed over it),
    // so that a kill or a full disk leaves either the old file or the new one. A file that
    // is write-protected is left alone. On failure *error (when given) says why.
    bool save(const QString& path, QString* error = nullptr) const;
    // The write bit decides, not whether we could write anyway (as root we always can).
    static bool isWriteProtected(const QString& path);

private:
    // A line's bytes: the file's own for 8-bit files, UTF-8 behind a byte-order mark.
    struct Line {
        QByteArray content;
        QByteArray ending;
    };
    struct Parsed {
        enum Kind { Other, Section, Key } kind = Other;
        QString name;   // section or key name, trimmed
        QString value;  // key lines only, trimmed
    };
    Parsed parse(const QByteArray& content) const;
    QString decodeLine(const QByteArray& content) const;
    QByteArray encodeLine(const QString& text);
    QByteArray newLineEnding() const;
    // Index of the section's header line, or -1.
    int findSection(const QString& section) const;

    std::vector<Line> lines_;
    ByteOrderMark bom_ = ByteOrderMark::None;
    bool windows1252_ = false;  // 8-bit lines that are not UTF-8
    bool modified_ = false;
};

// The two profile calls with this program's settings rules on top: a missing file is created
// empty when create is set, a read value is cut to 148 characters (settings files written
// by earlier versions rely on it), and a missing or empty key with a non-empty default is
// written with that default.
QString ReadIniText(const QString& section, const QString& key, const QString& file,
                    const QString& defaultValue, bool create);
void WriteIniText(const QString& section, const QString& key, const QString& value,
                  const QString& file, bool create);

// The reading rule of ReadIniText on a document already in memory; writes the default into
// the document when needed (the caller saves).
QString readIniValue(IniDocument& doc, const QString& section, const QString& key,
                     const QString& defaultValue, bool create);

constexpr int kIniValueLimit = 148;

}  // namespace kadrano
