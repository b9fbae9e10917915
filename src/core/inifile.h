#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace kadrano {

// A settings file in the Windows profile format ("[Section]" lines, "key=value" lines),
// held as its lines so that everything we do not change is written back byte for byte.
//
// Section and key names are compared without regard to case; blanks around names and
// values are ignored. The first occurrence of a section or key counts. A new key goes
// behind the last line of its section, a new section to the end of the file. Lines may end
// in CR LF, LF or CR; new lines take the ending the file already uses.
class IniDocument {
public:
    // Reads the file; false (and an empty document) when it is missing or unreadable.
    bool load(const QString& path);
    void setBytes(const QByteArray& bytes);
    QByteArray bytes() const;

    std::optional<QString> value(const QString& section, const QString& key) const;
    // A value cannot hold a line break (it would become lines of its own); breaks become blanks.
    void setValue(const QString& section, const QString& key, const QString& value);

    bool isModified() const { return modified_; }

    // Writes the document completely or not at all. A file that is write-protected is left
    // alone (false), and so is everything else when the disk is full.
    bool save(const QString& path) const;

private:
    struct Line {
        QByteArray content;
        QByteArray ending;
    };
    struct Parsed {
        enum Kind { Other, Section, Key } kind = Other;
        QString name;   // section or key name, trimmed
        QString value;  // key lines only, trimmed
    };
    static Parsed parse(const QByteArray& content);
    QByteArray newLineEnding() const;
    // Index of the section's header line, or -1.
    int findSection(const QString& section) const;

    std::vector<Line> lines_;
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
QString ReadIniValue(IniDocument& doc, const QString& section, const QString& key,
                     const QString& defaultValue, bool create);

constexpr int kIniValueLimit = 148;

}  // namespace kadrano
