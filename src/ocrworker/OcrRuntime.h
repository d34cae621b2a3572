#pragma once

// Tesseract parallelises with OpenMP, and on a machine with few cores its worker
// threads spin against each other and make recognition several times slower.
// libgomp reads OMP_THREAD_LIMIT once, when it is loaded, so setting the variable
// from main() is too late: this restarts the program once with the variable set.
// The application never needs it (its worker is started with the variable set);
// developer tools that run the engine in their own process do.
//
// Call it first thing in main(), before any thread exists. It returns normally when
// the variable is already set (by the user or by the restart) or when the restart is
// not possible; otherwise it does not return.
void ensureOcrThreadLimit(int argc, char** argv);
