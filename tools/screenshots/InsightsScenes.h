#pragma once

#include <QDateTime>
#include <QString>

class Store;

// Writes the insights window with 0, 4, 60 and 10,000 records into `folder`, light
// and dark, English and Turkish, and the File and View menus that open it.
void shootInsightsScenes(const QString& folder);

// `count` generated applications with varied histories (answers, interviews,
// rejections with reasons, offers), work models and posting links, applied over the
// months before `now`. Deterministic for a given count.
void fillInsightsSample(Store& store, int count, const QDateTime& now);
