#pragma once

#include <QByteArray>

// The worker programs' side of their pipes to the application: requests come on
// standard input and answers go to standard output, each in as many pieces as the
// pipe makes of it.
namespace WorkerPipes {

enum class Read { complete, closed, failed };

// All `size` bytes from standard input; `closed` when it ended before the first.
Read readFully(char* into, qsizetype size);
// All of `bytes` to standard output.
bool writeFully(const QByteArray& bytes);

// Caps what this process may allocate (its heap and mappings of its own, not the
// libraries it maps), so that hostile input makes it fail rather than swell. Not
// under AddressSanitizer, whose shadow memory would not fit under any limit.
void limitDataMemory(unsigned long long bytes);

} // namespace WorkerPipes
