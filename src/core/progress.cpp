#include "progress.h"

#include <QLocale>
#include <QRegularExpression>

#include "numbers.h"

namespace kadrano {

TimeLeft::TimeLeft(Clock clock) : clock_(std::move(clock)) {}

TimeLeft& sharedTimeLeft() {
    static TimeLeft estimate;
    return estimate;
}

namespace {
QString twoDigits(qint64 v) {
    const QString digits = QString::number(v < 0 ? -v : v).rightJustified(2, u'0');
    return v < 0 ? u'-' + digits : digits;
}
}  // namespace

QString formatTimeLeft(qint64 seconds) {
    const qint64 hours = seconds / 3600;
    const qint64 minutes = (seconds % 3600) / 60;
    const qint64 secs = seconds % 60;
    return twoDigits(hours) + u':' + twoDigits(minutes) + u':' + twoDigits(secs);
}

QString timeLeftFragment(const QString& text, bool english) {
    return (english ? QStringLiteral("(Time left: ") : QStringLiteral("(Restzeit: ")) + text + u')';
}

QString TimeLeft::CalculateRestZeit(const QString& startTime, int current, int total) {
    counter_ = qint16(counter_ + 1);
    if (counter_ % 5 != 0 && !last_.isEmpty())
        return last_;
    counter_ = 0;
    if (current == 0)
        return last_;

    const QTime start = QTime::fromString(startTime, QStringLiteral("HH:mm"));
    const QTime now = clock_();
    const qint64 startSecs = start.isValid() ? start.msecsSinceStartOfDay() / 1000 : 0;
    const qint64 nowSecs = now.msecsSinceStartOfDay() / 1000;
    const qint64 elapsed = nowSecs - startSecs;  // negative once midnight has passed

    const qint64 seconds = roundHalfEven(elapsed * (qint64(total) - current), current);
    last_ = formatTimeLeft(seconds);
    return last_;
}

QString systemClockText(const QTime& time) {
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b\\s*"));
    format.replace(zone, QString());
    return QLocale::system().toString(time, format.trimmed());
}

}  // namespace kadrano
