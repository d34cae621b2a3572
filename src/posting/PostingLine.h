#pragma once

#include <QString>

#include <optional>

// One line of posting text: recognised in a screenshot (with its visual size and
// recognition confidence) or pasted (without either).
struct PostingLine {
    QString text;
    int order = 0;
    std::optional<double> relativeHeight;
    std::optional<double> confidence;

    friend bool operator==(const PostingLine&, const PostingLine&) = default;
};
