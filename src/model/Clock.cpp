#include "model/Clock.h"

namespace {
Clock::Source& currentSource()
{
    static Clock::Source source;
    return source;
}
} // namespace

QDateTime Clock::now()
{
    const auto& source = currentSource();
    return source ? source() : QDateTime::currentDateTimeUtc();
}

void Clock::setSource(Source source)
{
    currentSource() = std::move(source);
}

void Clock::setFixed(const QDateTime& moment)
{
    currentSource() = [utc = moment.toUTC()] { return utc; };
}

void Clock::reset()
{
    currentSource() = {};
}
