#include "mail/MailReader.h"

#include "mail/ForwardedText.h"
#include "mail/HtmlText.h"
#include "mail/LooseDate.h"
#include "model/Clock.h"
#include "posting/TextFolding.h"

#include <gmime/gmime.h>

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTimeZone>

#include <fcntl.h>
#include <memory>
#include <mutex>

// GLib's type checks and casts are C macros.
#pragma GCC diagnostic ignored "-Wold-style-cast"

namespace MailReader {
namespace {

void initialise()
{
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

struct Unref {
    void operator()(gpointer object) const
    {
        if (object)
            g_object_unref(object);
    }
};
template <typename T> using Ref = std::unique_ptr<T, Unref>;

struct OptionsFree {
    void operator()(GMimeParserOptions* options) const { g_mime_parser_options_free(options); }
};

// Loose about broken headers (mail programs write many), with Turkish and Western
// European charsets to try on raw 8-bit header text.
std::unique_ptr<GMimeParserOptions, OptionsFree> parserOptions()
{
    std::unique_ptr<GMimeParserOptions, OptionsFree> options(g_mime_parser_options_new());
    g_mime_parser_options_set_rfc2047_compliance_mode(options.get(), GMIME_RFC_COMPLIANCE_LOOSE);
    g_mime_parser_options_set_address_compliance_mode(options.get(), GMIME_RFC_COMPLIANCE_LOOSE);
    g_mime_parser_options_set_parameter_compliance_mode(options.get(), GMIME_RFC_COMPLIANCE_LOOSE);
    static const char* fallback[] = {"UTF-8", "windows-1254", "iso-8859-9", "windows-1252", nullptr};
    g_mime_parser_options_set_fallback_charsets(options.get(), fallback);
    return options;
}

QString fromC(const char* text)
{
    return text ? QString::fromUtf8(text) : QString();
}

struct Address {
    QString name;
    QString address;
};

Address firstAddress(InternetAddressList* list)
{
    if (!list || internet_address_list_length(list) == 0)
        return {};
    InternetAddress* first = internet_address_list_get_address(list, 0);
    Address result;
    result.name = fromC(internet_address_get_name(first)).simplified();
    if (INTERNET_ADDRESS_IS_MAILBOX(first))
        result.address = fromC(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(first))).trimmed().toLower();
    return result;
}

Address parseAddress(const QString& text, GMimeParserOptions* options)
{
    // Outlook writes "Name [mailto:addr]" in its quoted headers.
    QString cleaned = text;
    static const QRegularExpression mailto(QStringLiteral(R"(\[mailto:([^\]]+)\])"));
    cleaned.replace(mailto, QStringLiteral("<\\1>"));
    Ref<InternetAddressList> list(internet_address_list_parse(options, cleaned.toUtf8().constData()));
    Address address = firstAddress(list.get());
    if (address.name.isEmpty() && address.address.isEmpty())
        address.name = text.simplified();
    return address;
}

std::optional<QDateTime> fromGDateTime(GDateTime* date)
{
    if (!date)
        return std::nullopt;
    const QDateTime moment = QDateTime::fromSecsSinceEpoch(g_date_time_to_unix(date), Qt::UTC);
    return moment.isValid() ? std::optional<QDateTime>(moment) : std::nullopt;
}

int offsetOf(GDateTime* date)
{
    return date ? int(g_date_time_get_utc_offset(date) / G_TIME_SPAN_SECOND) : 0;
}

bool isBulk(GMimeObject* object)
{
    if (g_mime_object_get_header(object, "List-Unsubscribe") || g_mime_object_get_header(object, "List-Id"))
        return true;
    const QString precedence = fromC(g_mime_object_get_header(object, "Precedence")).trimmed().toLower();
    return precedence == u"bulk" || precedence == u"list" || precedence == u"junk";
}

// A reply rather than a forward: its subject's first prefix says so ("Re:", "AW:",
// "YNT:"), or, with none, it answers a message. The header block in a reply's text is
// the older mail it quotes ("-----Original Message-----"), not what it brings.
bool isReply(GMimeObject* object, const QString& subject)
{
    static const QRegularExpression prefix(
        QStringLiteral(R"(^\s*(\w+)\s*(?:\[\d+\])?\s*:)"), QRegularExpression::UseUnicodePropertiesOption);
    const QRegularExpressionMatch match = prefix.match(subject);
    if (match.hasMatch()) {
        static const QStringList replies {QStringLiteral("re"), QStringLiteral("aw"), QStringLiteral("sv"),
            QStringLiteral("ynt"), QStringLiteral("yanit"), QStringLiteral("cvp")};
        static const QStringList forwards {QStringLiteral("fwd"), QStringLiteral("fw"), QStringLiteral("ilt"),
            QStringLiteral("wg"), QStringLiteral("tr")};
        const QString word = TextFolding::normalize(match.captured(1));
        if (replies.contains(word))
            return true;
        if (forwards.contains(word))
            return false;
    }
    return g_mime_object_get_header(object, "In-Reply-To") != nullptr;
}

// Plain-text addresses: "https://…" up to a blank or a closing bracket.
void collectLinks(const QString& text, QStringList& links)
{
    static const QRegularExpression address(
        QStringLiteral(R"(https?://[^\s<>"'()\[\]]+)"), QRegularExpression::CaseInsensitiveOption);
    QRegularExpressionMatchIterator matches = address.globalMatch(text);
    while (matches.hasNext() && links.size() < 200) {
        QString link = matches.next().captured();
        while (!link.isEmpty() && QStringLiteral(".,;:!?").contains(link.back()))
            link.chop(1);
        if (!links.contains(link))
            links.append(link);
    }
}

// The characters a decoding gone wrong leaves: replacement characters and control
// codes. More than one in twenty and the text is not worth reading.
bool looksUndecodable(const QString& text)
{
    qsizetype bad = 0;
    qsizetype counted = 0;
    for (QChar c : text) {
        if (c.isSpace())
            continue;
        ++counted;
        const char16_t u = c.unicode();
        if (u == 0xFFFD || u < 0x20 || (u >= 0x7F && u < 0xA0))
            ++bad;
    }
    return counted > 0 && bad * 20 > counted;
}

// Reads one parsed message: its headers, its readable text, and the original of a
// forward (attached or inline), within the limits.
class MessageReader {
public:
    MessageReader(const Limits& limits, GMimeParserOptions* options)
        : m_limits(limits)
        , m_options(options)
        , m_deadline(limits.timePerMessage)
    {
    }

    Expected<MailMessage, MailReadError> read(GMimeMessage* message)
    {
        GMimeObject* object = GMIME_OBJECT(message);
        const Address from = firstAddress(g_mime_message_get_from(message));
        const char* subject = g_mime_message_get_subject(message);
        GDateTime* date = g_mime_message_get_date(message);
        if (from.address.isEmpty() && from.name.isEmpty() && !subject && !date)
            return MailReadError(MailReadError::Kind::notMail);

        MailMessage result;
        result.senderName = from.name;
        result.senderAddress = from.address;
        result.subject = fromC(subject).simplified();
        result.date = fromGDateTime(date);
        result.isBulk = isBulk(object);
        m_offset = offsetOf(date);

        if (!visit(g_mime_message_get_mime_part(message), 0))
            return *m_error;
        m_isReply = isReply(object, result.subject);
        // An attached original (message/rfc822) is what was forwarded.
        if (m_attached) {
            m_isReply = isReply(GMIME_OBJECT(m_attached), fromC(g_mime_message_get_subject(m_attached)));
            const Address original = firstAddress(g_mime_message_get_from(m_attached));
            if (!original.address.isEmpty() || !original.name.isEmpty()) {
                result.forwardedBy = result.senderAddress;
                result.senderName = original.name;
                result.senderAddress = original.address;
                if (const char* originalSubject = g_mime_message_get_subject(m_attached))
                    result.subject = fromC(originalSubject).simplified();
                if (GDateTime* originalDate = g_mime_message_get_date(m_attached)) {
                    result.date = fromGDateTime(originalDate);
                    m_offset = offsetOf(originalDate);
                }
            }
        }
        return finish(std::move(result));
    }

    // The text of a message whose headers were read elsewhere (pasted text).
    Expected<MailMessage, MailReadError> finish(MailMessage result)
    {
        QString text = m_plain.isEmpty() ? m_html : m_plain;
        if (m_deadline.hasExpired())
            return MailReadError(MailReadError::Kind::tooSlow);
        auto forwarded = ForwardedText::find(text);
        if (forwarded && forwarded->depth > m_limits.maximumDepth)
            return MailReadError(MailReadError::Kind::nestedTooDeep);
        if (forwarded && m_isReply) {
            // What the reply says is above what it quotes; the quote's date and sender
            // are older mail's.
            text.truncate(forwarded->quoteStart);
        } else if (forwarded) {
            const Address original = parseAddress(forwarded->from, m_options);
            if (result.forwardedBy.isEmpty())
                result.forwardedBy = result.senderAddress;
            result.senderName = original.name;
            result.senderAddress = original.address;
            if (!forwarded->subject.isEmpty())
                result.subject = forwarded->subject.simplified();
            if (auto date = LooseDate::parse(forwarded->date, m_offset))
                result.date = date;
            text = std::move(forwarded->body);
        }
        if (looksUndecodable(text) || looksUndecodable(result.subject))
            return MailReadError(MailReadError::Kind::undecodable);
        // A subject alone says too little to act on: mail that is all attachment
        // ("Invoice.zip") is nothing to read.
        if (text.trimmed().isEmpty())
            return MailReadError(MailReadError::Kind::noText);
        collectLinks(text, m_links);
        result.text = std::move(text);
        result.links = std::move(m_links);
        return result;
    }

    void setPlainText(QString text) { m_plain = std::move(text); }
    void setInMailbox(bool inMailbox) { m_inMailbox = inMailbox; }

private:
    bool fail(MailReadError::Kind kind)
    {
        m_error = MailReadError(kind);
        return false;
    }

    bool visit(GMimeObject* object, int depth)
    {
        if (!object)
            return true;
        if (++m_parts > m_limits.maximumParts)
            return fail(MailReadError::Kind::tooManyParts);
        if (depth > m_limits.maximumDepth)
            return fail(MailReadError::Kind::nestedTooDeep);
        if (m_deadline.hasExpired())
            return fail(MailReadError::Kind::tooSlow);

        if (GMIME_IS_MESSAGE_PART(object)) {
            GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object));
            if (!inner)
                return true;
            // The deepest attached message is the original, and its text the one to
            // read; a note of the person who forwarded it says nothing of the application.
            m_attached = inner;
            m_plain.clear();
            m_html.clear();
            return visit(g_mime_message_get_mime_part(inner), depth + 1);
        }
        if (GMIME_IS_MULTIPART(object)) {
            GMimeMultipart* multipart = GMIME_MULTIPART(object);
            const int count = g_mime_multipart_get_count(multipart);
            if (count > m_limits.maximumParts)
                return fail(MailReadError::Kind::tooManyParts);
            GMimeContentType* type = g_mime_object_get_content_type(object);
            if (type && g_mime_content_type_is_type(type, "multipart", "alternative")) {
                // The plain version when there is one, else the richest (last) part.
                GMimeObject* chosen = nullptr;
                for (int i = 0; i < count; ++i) {
                    GMimeObject* part = g_mime_multipart_get_part(multipart, i);
                    GMimeContentType* partType = g_mime_object_get_content_type(part);
                    if (partType && g_mime_content_type_is_type(partType, "text", "plain")) {
                        chosen = part;
                        break;
                    }
                    chosen = part;
                }
                m_parts += count - 1;
                return visit(chosen, depth + 1);
            }
            for (int i = 0; i < count; ++i) {
                if (!visit(g_mime_multipart_get_part(multipart, i), depth + 1))
                    return false;
            }
            return true;
        }
        if (GMIME_IS_TEXT_PART(object) && !g_mime_part_is_attachment(GMIME_PART(object)))
            return readText(GMIME_TEXT_PART(object));
        return true; // attachments are never opened
    }

    bool readText(GMimeTextPart* part)
    {
        GMimeDataWrapper* content = g_mime_part_get_content(GMIME_PART(part));
        if (!content)
            return true;
        if (GMimeStream* stream = g_mime_data_wrapper_get_stream(content)) {
            const gint64 length = g_mime_stream_length(stream);
            if (length > m_limits.maximumTextPartBytes)
                return fail(MailReadError::Kind::textTooLong);
        }
        // Decoded into memory by hand rather than as a C string: a body that holds
        // NUL characters (UTF-16 labelled UTF-8) must show them to the check below.
        Ref<GMimeStream> memory(g_mime_stream_mem_new());
        Ref<GMimeStream> filtered(g_mime_stream_filter_new(memory.get()));
        const char* charset = g_mime_object_get_content_type_parameter(GMIME_OBJECT(part), "charset");
        if (charset && g_ascii_strcasecmp(charset, "utf-8") != 0 && g_ascii_strcasecmp(charset, "us-ascii") != 0) {
            if (GMimeFilter* convert = g_mime_filter_charset_new(charset, "UTF-8")) {
                g_mime_stream_filter_add(GMIME_STREAM_FILTER(filtered.get()), convert);
                g_object_unref(convert);
            }
        }
        g_mime_data_wrapper_write_to_stream(content, filtered.get());
        g_mime_stream_flush(filtered.get());
        const GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(memory.get()));
        QString text = QString::fromUtf8(reinterpret_cast<const char*>(bytes->data), qsizetype(bytes->len));
        if (m_inMailbox)
            unescapeFromLines(text);
        GMimeContentType* type = g_mime_object_get_content_type(GMIME_OBJECT(part));
        if (type && g_mime_content_type_is_type(type, "text", "html")) {
            auto converted = HtmlText::toText(text, m_deadline);
            if (!converted)
                return fail(MailReadError::Kind::tooSlow);
            text = std::move(converted->text);
            for (const QString& link : std::as_const(converted->links)) {
                if (!m_links.contains(link))
                    m_links.append(link);
            }
            append(m_html, text);
        } else if (!type || g_mime_content_type_is_type(type, "text", "plain")) {
            append(m_plain, text);
        }
        if (m_plain.size() > m_limits.maximumTextLength || m_html.size() > m_limits.maximumTextLength)
            return fail(MailReadError::Kind::textTooLong);
        return true;
    }

    // A mailbox writes a body's lines that begin "From " as ">From ", lest they read
    // as the next message's start; left so, they would read as a reply's quote.
    static void unescapeFromLines(QString& text)
    {
        static const QRegularExpression escaped(QStringLiteral(R"((?m)^>(>*From ))"));
        text.replace(escaped, QStringLiteral("\\1"));
    }

    static void append(QString& to, const QString& text)
    {
        if (!to.isEmpty())
            to += u'\n';
        to += text;
    }

    const Limits& m_limits;
    GMimeParserOptions* m_options;
    QDeadlineTimer m_deadline;
    int m_parts = 0;
    int m_offset = 0;
    GMimeMessage* m_attached = nullptr;
    bool m_isReply = false;
    bool m_inMailbox = false;
    QString m_plain;
    QString m_html;
    QStringList m_links;
    std::optional<MailReadError> m_error;
};

Expected<MailMessage, MailReadError> readParsed(GMimeMessage* message, const QString& label, const Limits& limits,
    GMimeParserOptions* options, bool inMailbox = false)
{
    if (!message)
        return MailReadError(MailReadError::Kind::notMail);
    MessageReader reader(limits, options);
    reader.setInMailbox(inMailbox);
    auto result = reader.read(message);
    if (result)
        result->sourceLabel = label;
    return result;
}

bool startsWithMboxMarker(GMimeStream* stream)
{
    char head[5] = {};
    const ssize_t got = g_mime_stream_read(stream, head, sizeof head);
    g_mime_stream_reset(stream);
    return got == 5 && qstrncmp(head, "From ", 5) == 0;
}

QList<Item> readMailbox(GMimeStream* stream, const QString& name, const Limits& limits)
{
    QList<Item> items;
    auto options = parserOptions();
    Ref<GMimeParser> parser(g_mime_parser_new_with_stream(stream));
    g_mime_parser_set_format(parser.get(), GMIME_FORMAT_MBOX);
    // Parts keep pointing into the file instead of being copied into memory.
    g_mime_parser_set_persist_stream(parser.get(), TRUE);
    int number = 0;
    while (!g_mime_parser_eos(parser.get())) {
        ++number;
        const QString label = name + u'#' + QString::number(number);
        if (number > limits.maximumMessages) {
            items.append({name, MailReadError(MailReadError::Kind::tooManyMessages)});
            break;
        }
        Ref<GMimeMessage> message(g_mime_parser_construct_message(parser.get(), options.get()));
        if (!message) {
            if (!g_mime_parser_eos(parser.get()))
                items.append({label, MailReadError(MailReadError::Kind::notMail)});
            break;
        }
        const gint64 start = g_mime_parser_get_mbox_marker_offset(parser.get());
        const gint64 end = g_mime_parser_tell(parser.get());
        if (start >= 0 && end - start > limits.maximumMessageBytes) {
            items.append({label, MailReadError(MailReadError::Kind::tooLarge)});
            continue;
        }
        items.append({label, readParsed(message.get(), label, limits, options.get(), true)});
    }
    return items;
}

Item readMessageStream(GMimeStream* stream, const QString& label, const Limits& limits)
{
    auto options = parserOptions();
    Ref<GMimeParser> parser(g_mime_parser_new_with_stream(stream));
    g_mime_parser_set_persist_stream(parser.get(), TRUE);
    Ref<GMimeMessage> message(g_mime_parser_construct_message(parser.get(), options.get()));
    return {label, readParsed(message.get(), label, limits, options.get())};
}

} // namespace

QList<Item> readFile(const QString& path, const Limits& limits)
{
    initialise();
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (!info.isFile() || !info.isReadable())
        return {{name, MailReadError(MailReadError::Kind::unreadableFile)}};
    GError* error = nullptr;
    Ref<GMimeStream> stream(g_mime_stream_fs_open(QFile::encodeName(path).constData(), O_RDONLY, 0, &error));
    if (!stream) {
        g_clear_error(&error);
        return {{name, MailReadError(MailReadError::Kind::unreadableFile)}};
    }
    if (startsWithMboxMarker(stream.get())) {
        QList<Item> items = readMailbox(stream.get(), name, limits);
        // Some mail programs save a single message with a mailbox's "From " line.
        if (items.size() == 1 && info.suffix().compare(QLatin1String("mbox"), Qt::CaseInsensitive) != 0) {
            items.front().label = name;
            if (items.front().result)
                items.front().result->sourceLabel = name;
        }
        return items;
    }
    if (info.size() > limits.maximumMessageBytes)
        return {{name, MailReadError(MailReadError::Kind::tooLarge)}};
    return {readMessageStream(stream.get(), name, limits)};
}

Item readBytes(const QByteArray& bytes, const QString& label, const Limits& limits)
{
    initialise();
    if (bytes.size() > limits.maximumMessageBytes)
        return {label, MailReadError(MailReadError::Kind::tooLarge)};
    Ref<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(bytes.constData(), size_t(bytes.size())));
    return readMessageStream(stream.get(), label, limits);
}

Item readText(const QString& text, const QString& label, const Limits& limits)
{
    initialise();
    if (startsWithHeaders(text))
        return readBytes(text.trimmed().toUtf8(), label, limits);
    if (text.size() > limits.maximumTextLength)
        return {label, MailReadError(MailReadError::Kind::textTooLong)};
    auto options = parserOptions();
    MailMessage message;
    message.sourceLabel = label;
    MessageReader reader(limits, options.get());
    if (auto copied = ForwardedText::leading(text)) {
        const Address from = parseAddress(copied->from, options.get());
        message.senderName = from.name;
        message.senderAddress = from.address;
        message.subject = copied->subject.simplified();
        message.date = LooseDate::parse(copied->date, Clock::now().toLocalTime().offsetFromUtc());
        reader.setPlainText(copied->body);
    } else {
        reader.setPlainText(text);
    }
    auto result = reader.finish(std::move(message));
    if (result)
        result->sourceLabel = label;
    return {label, std::move(result)};
}

} // namespace MailReader
