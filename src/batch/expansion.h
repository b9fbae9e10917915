#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QTime>

namespace kadrano::batch {

// The variables a script sees: the process environment, what "set" adds, and the command
// interpreter's dynamic ones (TIME, DATE, CD, RANDOM, ERRORLEVEL) for names nobody set.
// Names are compared without regard to case, as on Windows.
class Variables {
public:
    Variables() = default;
    // Starts with a copy of this process's environment.
    static Variables fromEnvironment();

    // The value, or a null QString when the name is neither set nor dynamic.
    QString value(QStringView name) const;
    // An empty value removes the variable, as "set NAME=" does. With exportToEnvironment
    // the process environment follows, so programs the script starts see the change.
    void set(const QString& name, const QString& value, bool exportToEnvironment = true);
    // "NAME=value" of every variable whose name starts with the prefix, sorted by name.
    QStringList listing(QStringView prefix) const;

    void setCurrentDir(const QString& dir) { currentDir_ = dir; }
    void setErrorLevel(int level) {
        errorLevel_ = level;
        ++errorLevelSets_;
    }
    int errorLevel() const { return errorLevel_; }
    // How often the level was set: whether a stretch of lines left a level of its own.
    int errorLevelSets() const { return errorLevelSets_; }

private:
    struct Entry {
        QString name;  // as first written
        QString value;
    };
    QString dynamicValue(const QString& upperName) const;

    QHash<QString, Entry> vars_;  // by upper-case name
    QString currentDir_;
    int errorLevel_ = 0;
    int errorLevelSets_ = 0;
};

// %TIME% as the command interpreter gives it: "H:MM:SS,cc" with the hour padded by a
// blank below 10 and the locale's decimal sign before the hundredths.
QString commandTime(const QTime& time, QChar decimalPoint);

// The batch parameters: %0 is the script as called, %1 … the arguments, %* all of them.
struct Parameters {
    QStringList items;
    QString tail;

    QString item(int index) const { return index < items.size() ? items.at(index) : QString(); }
};

// The command interpreter splits what follows the script name at blanks, tabs, "," ";" "="
// outside double quotes and keeps the quotes; the arguments are joined by blanks first,
// as they would stand on its command line.
Parameters makeParameters(const QString& script, const QStringList& arguments);
QStringList splitParameterText(QStringView text);

// The percent expansion the command interpreter applies to each line of a batch file before
// it reads the line's structure, so it also acts inside double quotes:
//   %% gives %, %0 … %9 the parameters, %* all of them, %~N the parameter without its
//   quotes, %NAME% the variable (nothing when undefined), and a % without a closing one is
//   dropped.
QString expandPercents(QStringView line, const Parameters& params, const Variables& vars);

}  // namespace kadrano::batch
