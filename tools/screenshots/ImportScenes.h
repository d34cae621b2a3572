#pragma once

#include <QString>

class Store;

// Writes the import, export and drop scenes into `folder`, light and dark, English
// and Turkish; `fill` puts the sample records into a store.
void shootImportScenes(const QString& folder, void (*fill)(Store&));
