#pragma once

#include <QString>

class Store;

// Writes the mail review over the window into `folder`, light and dark, English and
// Turkish; `fill` puts the sample records into a store.
void shootMailScenes(const QString& folder, void (*fill)(Store&));
