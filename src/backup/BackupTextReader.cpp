#include "backup/BackupTextReader.h"

#include "model/Utf8Text.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

BackupTextReader::BackupTextReader(const char* begin, bool checkSurrogates)
    : m_released(begin)
    , m_checkSurrogates(checkSurrogates)
{
}

void BackupTextReader::releaseBefore(const char* position, size_t atLeast)
{
#if defined(__linux__)
    static const auto page = uintptr_t(::sysconf(_SC_PAGESIZE));
    const uintptr_t from = (uintptr_t(m_released) + page - 1) / page * page;
    const uintptr_t to = uintptr_t(position) / page * page;
    if (m_released == nullptr || to <= from || to - from < atLeast)
        return;
    // The pages are the buffer's own (private, anonymous): nothing reads them again.
    ::madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
    m_released = reinterpret_cast<const char*>(to);
#else
    Q_UNUSED(position);
    Q_UNUSED(atLeast);
#endif
}

bool BackupTextReader::sharedText(std::string_view bytes, QString& out)
{
    for (const auto& [known, string] : m_sharedTexts) {
        if (known == bytes) {
            out = string;
            return true;
        }
    }
    if (!text(bytes, out))
        return false;
    // Bounded: a file full of distinct values simply stops being shared.
    if (m_sharedTexts.size() < 64 && bytes.size() <= 64)
        m_sharedTexts.emplace_back(std::string(bytes), out);
    return true;
}

// The bytes are valid UTF-8, but the parser turns a \uDC00 escape on its own into
// an encoded surrogate, which is no character at all.
bool BackupTextReader::holdsUnpairedSurrogate(std::string_view text) const
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const size_t size = text.size();
    for (const void* hit = m_checkSurrogates ? std::memchr(bytes, 0xED, size) : nullptr; hit;) {
        const auto at = size_t(static_cast<const unsigned char*>(hit) - bytes);
        if (at + 1 < size && bytes[at + 1] >= 0xA0)
            return true;
        hit = at + 1 < size ? std::memchr(bytes + at + 1, 0xED, size - at - 1) : nullptr;
    }
    return false;
}

namespace {
// A long value is taken a piece at a time, each piece's bytes given back once it is
// copied, so the file's bytes and the value made of them are not held together.
constexpr size_t piece = size_t(1) << 20;
} // namespace

bool BackupTextReader::text(std::string_view text, QString& out)
{
    if (holdsUnpairedSurrogate(text))
        return false;
    const size_t size = text.size();
    if (size <= piece) {
        out = textFromUtf8(QByteArrayView(text.data(), qsizetype(size)));
        return true;
    }
    out.resize(qsizetype(size)); // UTF-16 never needs more units than UTF-8 bytes
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    QChar* end = out.data();
    for (size_t at = 0; at < size; at += piece) {
        const size_t length = std::min(piece, size - at);
        end = decoder.appendToBuffer(end, QByteArrayView(text.data() + at, qsizetype(length)));
        releaseBefore(text.data() + at + length, piece);
    }
    out.truncate(end - out.constData());
    return true;
}

bool BackupTextReader::utf8(std::string_view text, LongText& out)
{
    if (holdsUnpairedSurrogate(text))
        return false;
    const size_t size = text.size();
    out = LongText::filled(qsizetype(size), [&](char* bytes) {
        for (size_t at = 0; at < size; at += piece) {
            const size_t length = std::min(piece, size - at);
            std::memcpy(bytes + at, text.data() + at, length);
            releaseBefore(text.data() + at + length, piece);
        }
    });
    return true;
}

bool BackupTextReader::holdsSurrogateEscape(std::string_view text)
{
    for (size_t at = text.find('\\'); at != std::string_view::npos; at = text.find('\\', at + 1)) {
        if (at + 3 < text.size() && text[at + 1] == 'u' && (text[at + 2] == 'd' || text[at + 2] == 'D')
            && std::strchr("89abcdefABCDEF", text[at + 3]) && text[at + 3] != '\0')
            return true;
    }
    return false;
}

QString BackupTextReader::excerpt(std::string_view text)
{
    constexpr size_t shown = 40;
    if (text.size() <= shown)
        return QString::fromUtf8(text.data(), qsizetype(text.size()));
    size_t cut = shown;
    while (cut > 0 && (uchar(text[cut]) & 0xC0) == 0x80)
        --cut; // not inside a character
    return QString::fromUtf8(text.data(), qsizetype(cut)) + QStringLiteral("…");
}
