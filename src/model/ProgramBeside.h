#pragma once

#include <QString>

// The path of the program `name` in the folder of the running program: where the
// application finds its workers, installed or in the build tree.
QString programBeside(const QString& name);
