#pragma once

#include <QString>
#include <QTime>
#include <functional>

namespace kadrano {

// The remaining-time estimate of the in-program loops. It keeps a small cache for the
// program's whole life: a fresh estimate only on every fifth call (and whenever none was
// made yet); the calls in between repeat the last text.
class TimeLeft {
public:
    using Clock = std::function<QTime()>;
    explicit TimeLeft(Clock clock = [] { return QTime::currentTime(); });

    // startTime is "HH:MM"; elapsed time counts from the start of that minute.
    // current is the number of files done, total the number of files.
    QString CalculateRestZeit(const QString& startTime, int current, int total);

private:
    Clock clock_;
    qint16 counter_ = 0;
    QString last_;
};

// The estimate all in-program loops share, kept for the program's whole life.
TimeLeft& sharedTimeLeft();

// hours:minutes:seconds with at least two digits each, every part with its own sign
// ("-01:-05:-03" for a negative span).
QString formatTimeLeft(qint64 seconds);

// German "(Restzeit: …)" or English "(Time left: …)".
QString timeLeftFragment(const QString& text, bool english);

// A time of day as the system's clock shows it ("14:05:33"): the long time format
// without its time zone. The in-program loops put their start time in the caption so.
QString systemClockText(const QTime& time);

}  // namespace kadrano
