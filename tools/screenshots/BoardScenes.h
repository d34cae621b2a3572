#pragma once

#include <QString>

// Writes the main window showing the board with 0, 12 and 10,000 records into
// `folder`: light and dark, English and Turkish, at the default size and at the
// narrowest the window allows, and with the closed columns folded.
void shootBoardScenes(const QString& folder);
