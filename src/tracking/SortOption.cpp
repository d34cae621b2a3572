#include "tracking/SortOption.h"

#include <QCoreApplication>

const char* VocabularyTraits<SortOption>::raw(SortOption value)
{
    switch (value) {
    case SortOption::newest: return "newest";
    case SortOption::longestWaiting: return "longestWaiting";
    case SortOption::company: return "company";
    case SortOption::status: return "status";
    }
    return "newest";
}

QString title(SortOption option)
{
    switch (option) {
    case SortOption::newest: return QCoreApplication::translate("SortOption", "Newest first", "Sort option");
    case SortOption::longestWaiting: return QCoreApplication::translate("SortOption", "Longest waiting", "Sort option");
    case SortOption::company: return QCoreApplication::translate("SortOption", "Company name (A-Z)", "Sort option");
    case SortOption::status: return QCoreApplication::translate("SortOption", "By status", "Sort option");
    }
    return {};
}
