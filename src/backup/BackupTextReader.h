#pragma once

#include "model/LongText.h"

#include <QString>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The strings of a backup's JSON text as the backup reader takes them: checked,
// converted to text, and the bytes behind them given back. The text is parsed in
// place and every value is copied out of it as it is read, so what the parser has
// passed is never looked at again: giving those pages back as the parse goes on
// keeps a large file from being held twice, once as bytes and once as the values
// made of them (a file of one long note: its bytes, and the note twice as large in
// UTF-16).
class BackupTextReader {
public:
    // `begin`: the start of the text being parsed. `checkSurrogates`: the text holds
    // an escape that can make an unpaired surrogate (holdsSurrogateEscape()).
    BackupTextReader(const char* begin, bool checkSurrogates);

    // Everything before `position` has been read.
    void releaseBefore(const char* position, size_t atLeast = size_t(16) << 20);

    // A string as text, false when it holds an unpaired surrogate.
    bool text(std::string_view bytes, QString& out);
    // The same, kept as its UTF-8 bytes.
    bool utf8(std::string_view bytes, LongText& out);
    // The same for a raw vocabulary value: the same few texts in every record, kept once each.
    bool sharedText(std::string_view bytes, QString& out);

    // A \uD800 to \uDFFF escape anywhere in the text (a \\ before the u is counted
    // too, which only costs a check that was not needed).
    static bool holdsSurrogateEscape(std::string_view text);
    // The start of a value for a diagnostic: enough to recognise it, and never the
    // whole of a value that may be hundreds of megabytes long.
    static QString excerpt(std::string_view text);

private:
    bool holdsUnpairedSurrogate(std::string_view text) const;

    const char* m_released;
    bool m_checkSurrogates;
    std::vector<std::pair<std::string, QString>> m_sharedTexts;
};
