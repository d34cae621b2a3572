#pragma once

#include "model/NamedColor.h"

#include <QString>

// How long an open application has waited for an answer, in three steps.
enum class WaitingLevel {
    early, // under a week
    followUp, // one to two weeks: time for a follow-up
    silent, // two weeks or more
};

constexpr int followUpThresholdDays = 7;
constexpr int silentThresholdDays = 14;

WaitingLevel waitingLevel(qint64 daysWaiting);
NamedColor tint(WaitingLevel level);
QString symbolName(WaitingLevel level);
QString waitingHint(WaitingLevel level);
