#pragma once

#include "posting/ParsedPosting.h"

#include <QLabel>

#include <optional>

// A small symbol beside a draft's editor that says where its value came from: a
// magnifier with "Detected from: <line>" when the parser found the field, a
// question mark asking the user to fill it in when it did not.
class EvidenceHint : public QLabel {
    Q_OBJECT

public:
    // `evidence` is the line the field was taken from; none when it was not found.
    explicit EvidenceHint(std::optional<QString> evidence, QWidget* parent = nullptr);

    template <typename Value>
    static EvidenceHint* of(const std::optional<ParsedField<Value>>& field, QWidget* parent = nullptr)
    {
        return new EvidenceHint(field ? std::optional<QString>(field->evidence) : std::nullopt, parent);
    }

    const QString& symbol() const { return m_symbol; }

    static QString toolTipFor(const std::optional<QString>& evidence);

protected:
    void changeEvent(QEvent* event) override;

private:
    void refresh();

    std::optional<QString> m_evidence;
    QString m_symbol;
};
