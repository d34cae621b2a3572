#pragma once

#include "model/Vocabulary.h"

// The orders the list can be sorted in, in picker order.
enum class SortOption {
    newest,
    longestWaiting,
    company,
    status,
};

template <> struct VocabularyTraits<SortOption> {
    static constexpr std::array cases {
        SortOption::newest, SortOption::longestWaiting, SortOption::company, SortOption::status};
    static const char* raw(SortOption value);
};

QString title(SortOption option);
