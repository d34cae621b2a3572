#pragma once

// The moment a window's first frame is drawn, for the benchmarks that start a
// window and stop the clock there. Needs Qt Widgets only, so that the bare window
// it times is linked against nothing else.

#include <QApplication>
#include <QEvent>
#include <QWidget>

// Catches the first paint of any widget in one window. Paint events of one frame
// are delivered together, so once processEvents() returns after the first one,
// the whole first frame has been drawn.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QWidget& window)
        : m_window(window)
    {
        qApp->installEventFilter(this);
    }
    ~FirstPaint() override { qApp->removeEventFilter(this); }

    void wait()
    {
        while (!m_painted)
            QApplication::processEvents(QEventLoop::AllEvents);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget*>(watched)->window() == &m_window)
            m_painted = true;
        return false;
    }

private:
    QWidget& m_window;
    bool m_painted = false;
};

inline void showAndWait(QWidget& window)
{
    FirstPaint painted(window);
    window.show();
    painted.wait();
}
