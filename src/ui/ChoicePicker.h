#pragma once

#include <QComboBox>

// A pop-up picker whose value changes only when a choice is confirmed. On a closed
// picker the arrow keys, Page Up and Down, Home, End and typed letters open the
// list instead of stepping through it (a keyboard user passing over the entries
// would otherwise pick every one of them); `activated` then fires once, for the
// entry confirmed with Return, Space or a click. The wheel is left to the form.
class ChoicePicker : public QComboBox {
    Q_OBJECT

public:
    using QComboBox::QComboBox;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
