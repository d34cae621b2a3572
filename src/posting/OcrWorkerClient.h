#pragma once

#include "model/Expected.h"
#include "posting/OcrProtocol.h"
#include "posting/RecognizerError.h"

#include <QString>

// The application's side of the recognition worker. Untrusted images are decoded
// and read by Tesseract in a process of their own (applywright-ocr): a hostile image
// can make that process slow, large or crash, and none of it reaches the window.
//
// Each thread that recognises keeps one worker, started on its first request and
// kept for the ones that follow (loading the language data takes a good part of a
// recognition); the worker ends itself after a few idle minutes and is started again
// when needed. A request past its deadline, or one whose cancel flag is set, ends
// with the worker being killed; a worker that crashes gives a failure, and the next
// request starts a new one.
namespace OcrWorkerClient {

Expected<OcrProtocol::Response, RecognizerError> run(
    const OcrProtocol::Request& request, const RecognitionSettings& settings);

// Ends this thread's worker now; the next request starts a new one.
void stopThisThreadsWorker();

// Starts a worker ahead of time, unless one runs already: it loads its language
// data at once, and the first thread that needs a worker takes it over. A worker
// ends with the thread that started it, so this is for a thread that lives as long
// as the application (its main thread); it only starts a process, it reads nothing.
void prepareWorker(const RecognitionSettings& settings);

// applywright-ocr beside the running program.
QString defaultProgram();

} // namespace OcrWorkerClient
