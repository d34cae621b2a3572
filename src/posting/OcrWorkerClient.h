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

// applywright-ocr beside the running program.
QString defaultProgram();

} // namespace OcrWorkerClient
