#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QVBoxLayout;

// The desktop's empty-state panel: a large symbol, a title, a description and an
// optional prominent button, centred. The list's empty overlay, the detail
// placeholder and the store-failure window are made of it.
class ContentUnavailableView : public QWidget {
    Q_OBJECT

public:
    explicit ContentUnavailableView(QWidget* parent = nullptr);

    void setSymbol(const QString& symbol);
    const QString& symbol() const { return m_symbol; }
    void setTitle(const QString& title);
    QString title() const;
    // A plain description; replaced by setDescriptionWidget.
    void setDescription(const QString& description);
    QString description() const;
    // Puts `widget` where the description goes (the view takes ownership).
    void setDescriptionWidget(QWidget* widget);
    // Shows the prominent button with `text`, calling `action`; an empty text hides it.
    void setAction(const QString& text, std::function<void()> action);
    QPushButton* actionButton() const { return m_button; }
    // The widest the title and description may be (narrower when the view is).
    void setMaximumColumnWidth(int width);
    int columnWidth() const { return m_columnWidth; }

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyStyle();
    // Word-wrapped labels get a fixed width and the height their text needs, so the
    // centred column never squeezes or clips them.
    void relayout();

    QString m_symbol;
    QLabel* m_symbolLabel;
    QLabel* m_title;
    QLabel* m_description;
    QWidget* m_descriptionWidget = nullptr;
    QPushButton* m_button;
    QVBoxLayout* m_layout;
    std::function<void()> m_action;
    int m_maximumColumnWidth = 320;
    int m_columnWidth = 320;
};
