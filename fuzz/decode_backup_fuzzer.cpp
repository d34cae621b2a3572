// libFuzzer target for the backup reader. Besides "no crash, no leak, no undefined
// behaviour", every document that reads must write back out, read again to the
// same values and write to the same bytes.
#include "backup/BackupDocument.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "decode_backup_fuzzer: %s\n", what);
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // fromRawData: no copy and no terminating NUL, as a caller may hand it over.
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto decoded = decodeBackup(bytes);
    if (!decoded) {
        if (decoded.error().description().isEmpty())
            fail("an error without a description");
        return 0;
    }
    const auto encoded = encodeBackup(*decoded);
    if (!encoded)
        fail("a decoded document does not encode");
    const auto again = decodeBackup(*encoded);
    if (!again) {
        if (const BackupDecodingError* error = again.error().decodingError())
            std::fprintf(stderr, "%s: %s\n", qPrintable(error->codingPath()), qPrintable(error->debugDescription()));
        fail("an encoded document does not decode");
    }
    if (!(*again == *decoded))
        fail("decode(encode(x)) differs from x");
    const auto encodedAgain = encodeBackup(*again);
    if (!encodedAgain || *encodedAgain != *encoded)
        fail("encoding is not stable");
    return 0;
}
