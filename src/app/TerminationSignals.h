#pragma once

class QCoreApplication;

// Turns SIGTERM, SIGINT and SIGHUP (a logout, a `kill`, Ctrl+C in a terminal)
// into an orderly quit, so pending edits are saved on the way out instead of
// being cut off. Does nothing where these signals do not exist.
void quitOnTerminationSignals(QCoreApplication& application);
