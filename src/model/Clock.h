#pragma once

#include <QDateTime>

#include <functional>

// The one source of "the current moment". Everything that stamps or compares
// against now reads Clock::now(), so tests can pin time to a known instant.
class Clock {
public:
    using Source = std::function<QDateTime()>;

    static QDateTime now();

    // Replaces the source of now(); an empty source restores the system clock.
    static void setSource(Source source);
    // Pins now() to one instant until reset().
    static void setFixed(const QDateTime& moment);
    static void reset();
};
