#pragma once

#include "model/ApplicationFields.h"
#include "model/ApplicationStatus.h"
#include "model/Currency.h"
#include "model/LongText.h"
#include "model/RecordNotifier.h"
#include "model/RejectionReason.h"
#include "model/SharedText.h"
#include "model/WorkModel.h"

#include <array>
#include <cstddef>
#include <memory>
#include <new>
#include <utility>

// How a record keeps its values in little room: a store holds tens of thousands of
// records, and their size is most of the application's memory. Made from the field
// table like everything else about fields, so a new field needs no line here.
namespace RecordStorage {

template <FieldVocabulary> struct VocabularyOf;
template <> struct VocabularyOf<FieldVocabulary::status> {
    using Type = ApplicationStatus;
};
template <> struct VocabularyOf<FieldVocabulary::workModel> {
    using Type = WorkModel;
};
template <> struct VocabularyOf<FieldVocabulary::currency> {
    using Type = Currency;
};
template <> struct VocabularyOf<FieldVocabulary::rejectionReason> {
    using Type = RejectionReason;
};

// A raw value is kept as its case's number: one byte instead of a string.
template <ApplicationField field>
inline constexpr bool isCoded = ApplicationFields::describe(field).vocabulary != FieldVocabulary::none;
template <ApplicationField field>
using Vocabulary = typename VocabularyOf<ApplicationFields::describe(field).vocabulary>::Type;
// No value (an optional raw value that is none), and a text of no known case, kept aside
// as it came so that it is written back unchanged.
inline constexpr quint8 noValue = 0xff;
inline constexpr quint8 unknownValue = 0xfe;

// A posting's address is one of a kind: pooling it would only add an entry to each.
// It is kept as its UTF-8 bytes in one block, under half a QString's room, and read
// back as a new QString.
template <ApplicationField field> inline constexpr bool isUtf8Text = field == ApplicationField::postingLink;
// A text records repeat (a company, a position, a recruiter) is kept as a pointer to
// an entry that the records read from one file share; the loader pools exactly these.
template <ApplicationField field>
inline constexpr bool isSharedText = (ApplicationFields::describe(field).kind == FieldKind::text) && !isUtf8Text<field>;

template <ApplicationField field>
using Stored = std::conditional_t<isCoded<field>, quint8,
    std::conditional_t<isSharedText<field>, SharedText,
        std::conditional_t<isUtf8Text<field>, LongText, ApplicationFields::ValueType<field>>>>;

// The entry the loader found for a shared text of the record it builds next on this
// thread. The values it fills in hold plain strings; a string that is this entry's own
// is kept as the entry, so the records built from one pool share it.
template <ApplicationField field> SharedText& loadedText()
{
    static_assert(isSharedText<field>);
    thread_local SharedText entry;
    return entry;
}

// The value of a field as it is kept (not for coded fields): a reference to it, or for
// a text kept as UTF-8, a new string.
template <ApplicationField field> decltype(auto) valueOf(const Stored<field>& stored)
{
    if constexpr (isSharedText<field>)
        return stored.text();
    else if constexpr (isUtf8Text<field>)
        return stored.toString();
    else
        return static_cast<const ApplicationFields::ValueType<field>&>(stored);
}
// A value in the form its field keeps it: a shared text takes the loader's entry when
// it is that entry's string, and is a new entry otherwise (an edit never writes into
// an entry others hold).
template <ApplicationField field> Stored<field> kept(ApplicationFields::ValueType<field> value)
{
    if constexpr (isSharedText<field>) {
        SharedText& loaded = loadedText<field>();
        return loaded.holds(value) ? std::exchange(loaded, {}) : SharedText(std::move(value));
    } else if constexpr (isUtf8Text<field>) {
        return LongText(value);
    } else {
        return value;
    }
}

inline constexpr size_t valueFieldCount = size_t(ApplicationField::history);

// The position of a coded field among the coded fields: where its unknown text goes.
constexpr size_t codedIndex(ApplicationField field)
{
    size_t index = 0;
    for (size_t i = 0; i < size_t(field); ++i)
        index += ApplicationFields::all[i].vocabulary != FieldVocabulary::none ? 1 : 0;
    return index;
}
inline constexpr size_t codedFieldCount = codedIndex(ApplicationField::history);

struct Layout {
    std::array<size_t, valueFieldCount> offset {};
    size_t size = 0;
    size_t alignment = 1;
};

template <size_t... I> constexpr auto storedSizes(std::index_sequence<I...>)
{
    return std::array<size_t, sizeof...(I)> {sizeof(Stored<ApplicationField(I)>)...};
}
template <size_t... I> constexpr auto storedAlignments(std::index_sequence<I...>)
{
    return std::array<size_t, sizeof...(I)> {alignof(Stored<ApplicationField(I)>)...};
}

// The fields of one place side by side, the widest alignment first, so no padding
// falls between them.
template <FieldPlace place> constexpr Layout layout()
{
    constexpr auto sizes = storedSizes(std::make_index_sequence<valueFieldCount>());
    constexpr auto alignments = storedAlignments(std::make_index_sequence<valueFieldCount>());
    Layout result;
    for (size_t alignment = 16; alignment > 0; alignment /= 2) {
        for (size_t i = 0; i < valueFieldCount; ++i) {
            if (ApplicationFields::all[i].place != place || alignments[i] != alignment)
                continue;
            result.offset[i] = result.size;
            result.size += sizes[i];
            result.alignment = std::max(result.alignment, alignment);
        }
    }
    result.size = (result.size + result.alignment - 1) / result.alignment * result.alignment;
    return result;
}

// The values of the fields kept in one place, each in its own type (a coded field
// as its number, none until written).
template <FieldPlace place> class Block {
public:
    Block()
    {
        forEach([this]<ApplicationField F>() {
            if constexpr (isCoded<F>)
                new (address<F>()) quint8(noValue);
            else
                new (address<F>()) Stored<F>();
        });
    }
    ~Block()
    {
        forEach([this]<ApplicationField F>() { std::destroy_at(&at<F>()); });
    }
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;

    template <ApplicationField F> Stored<F>& at() { return *std::launder(static_cast<Stored<F>*>(address<F>())); }
    template <ApplicationField F> const Stored<F>& at() const { return const_cast<Block*>(this)->at<F>(); }

private:
    static constexpr Layout shape = layout<place>();

    template <ApplicationField F> void* address()
    {
        static_assert(ApplicationFields::describe(F).place == place);
        return m_bytes + shape.offset[size_t(F)];
    }
    template <typename Fn> static void forEach(Fn&& fn)
    {
        ApplicationFields::forEachField([&fn]<ApplicationField F>() {
            if constexpr (ApplicationFields::describe(F).place == place)
                fn.template operator()<F>();
        });
    }

    alignas(shape.alignment) std::byte m_bytes[shape.size];
};

// What a record keeps aside: the fields most records leave empty, the texts of raw
// values of no known case, and the notifier of a record someone follows.
struct Aside {
    Block<FieldPlace::aside> fields;
    std::unique_ptr<std::array<std::optional<QString>, codedFieldCount>> unknownTexts;
    std::unique_ptr<RecordNotifier> notifier;
};

// The values every field reads as while its record has nothing aside.
template <ApplicationField F> const ApplicationFields::ValueType<F>& none()
{
    static const ApplicationFields::ValueType<F> value {};
    return value;
}

// The raw text of a coded field's known case, as the field's type holds it; one
// shared string per case.
template <ApplicationField F> const ApplicationFields::ValueType<F>& knownText(quint8 code)
{
    using E = Vocabulary<F>;
    static const auto texts = [] {
        std::array<ApplicationFields::ValueType<F>, VocabularyTraits<E>::cases.size()> table;
        for (E value : VocabularyTraits<E>::cases)
            table[size_t(value)] = rawValue(value);
        return table;
    }();
    return texts[code];
}

} // namespace RecordStorage
