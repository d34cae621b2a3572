#pragma once

#include <QAbstractButton>

// A quiet offer under a draft's editor: "Use “Fernhill”", with the text the value
// was read from as its tooltip ("From: At Fernhill, we build…"). Clicking it, or
// pressing Space while it has the focus, is the only way a suggestion reaches the
// draft; the row hides the chip once the field holds the value.
class SuggestionChip : public QAbstractButton {
    Q_OBJECT

public:
    explicit SuggestionChip(QWidget* parent = nullptr);

    // `shown` is the value as the user reads it (a work model's title, a name).
    void setSuggestion(const QString& shown, const QString& evidence);
    const QString& evidence() const { return m_evidence; }

    static QString textFor(const QString& shown);
    // "From: " and the evidence, cut to a line a tooltip can hold.
    static QString toolTipFor(const QString& evidence);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void refresh();
    QFont chipFont() const;

    QString m_shown;
    QString m_evidence;
};
