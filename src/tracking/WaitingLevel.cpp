#include "tracking/WaitingLevel.h"

#include <QCoreApplication>

WaitingLevel waitingLevel(qint64 daysWaiting)
{
    if (daysWaiting < followUpThresholdDays)
        return WaitingLevel::early;
    if (daysWaiting < silentThresholdDays)
        return WaitingLevel::followUp;
    return WaitingLevel::silent;
}

NamedColor tint(WaitingLevel level)
{
    switch (level) {
    case WaitingLevel::early: return NamedColor::green;
    case WaitingLevel::followUp: return NamedColor::yellow;
    case WaitingLevel::silent: return NamedColor::red;
    }
    return NamedColor::green;
}

QString symbolName(WaitingLevel level)
{
    switch (level) {
    case WaitingLevel::early: return QStringLiteral("clock");
    case WaitingLevel::followUp: return QStringLiteral("clock.badge.exclamationmark");
    case WaitingLevel::silent: return QStringLiteral("exclamationmark.triangle.fill");
    }
    return {};
}

QString waitingHint(WaitingLevel level)
{
    switch (level) {
    case WaitingLevel::early:
        return QCoreApplication::translate("WaitingLevel", "Still early — sit tight for now.", "Waiting time hint");
    case WaitingLevel::followUp:
        return QCoreApplication::translate(
            "WaitingLevel", "A good time to send a follow-up email.", "Waiting time hint");
    case WaitingLevel::silent:
        return QCoreApplication::translate(
            "WaitingLevel", "Two weeks of silence — consider following up.", "Waiting time hint");
    }
    return {};
}
