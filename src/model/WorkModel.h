#pragma once

#include "model/Vocabulary.h"

enum class WorkModel {
    remote,
    hybrid,
    onSite,
};

template <> struct VocabularyTraits<WorkModel> {
    static constexpr std::array cases {WorkModel::remote, WorkModel::hybrid, WorkModel::onSite};
    static const char* raw(WorkModel value);
};

QString title(WorkModel model);
QString symbolName(WorkModel model);
