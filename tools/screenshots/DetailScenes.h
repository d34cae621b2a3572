#pragma once

#include <QString>

// Writes the detail editor's scenes into `folder`: light and dark, English and
// Turkish.
void shootDetailScenes(const QString& folder);
