#pragma once

// RapidJSON as the backup's writer and reader use it. Version 1.1's SSE string
// scans take 0x1A to 0x1F for ordinary characters: the reader would let them
// through raw and the writer would leave them unescaped, writing files no JSON
// reader accepts. The plain scans are correct.
#if defined(RAPIDJSON_SSE2) || defined(RAPIDJSON_SSE42)
#error "Backups must be built without RAPIDJSON_SSE2/RAPIDJSON_SSE42"
#endif
