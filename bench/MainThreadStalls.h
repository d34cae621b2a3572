#pragma once

// How long the main thread is ever kept from its event loop. A 1 ms precise timer
// ticks on the main thread and a 16 ms timer repaints, as the screen would ask for
// frames; the longest gap between two ticks is the longest stall a user could feel
// (one frame at 60 Hz is 16.7 ms). The main thread's CPU time within each gap tells
// its own work apart from time the machine gave to other processes.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>
#include <ctime>
#include <functional>
#include <vector>

class MainThreadStalls {
public:
    // `repaint` runs at every frame (the window, and whatever it shows).
    explicit MainThreadStalls(std::function<void()> repaint = {})
        : m_repaint(std::move(repaint))
    {
        m_ticker.setTimerType(Qt::PreciseTimer);
        m_ticker.setInterval(1);
        QObject::connect(&m_ticker, &QTimer::timeout, [this] {
            m_gapsMs.push_back(double(m_sinceTick.nsecsElapsed()) / 1e6);
            m_sinceTick.restart();
            const double cpu = threadCpuMs();
            m_longestBusyMs = std::max(m_longestBusyMs, cpu - m_cpuAtTick);
            m_cpuAtTick = cpu;
        });
        m_frames.setTimerType(Qt::PreciseTimer);
        m_frames.setInterval(16);
        QObject::connect(&m_frames, &QTimer::timeout, [this] {
            if (!m_repaint)
                return;
            QElapsedTimer paint;
            paint.start();
            m_repaint();
            m_longestRepaintMs = std::max(m_longestRepaintMs, double(paint.nsecsElapsed()) / 1e6);
        });
    }

    void start()
    {
        m_gapsMs.clear();
        m_longestBusyMs = 0;
        m_longestRepaintMs = 0;
        m_sinceTick.start();
        m_cpuAtTick = threadCpuMs();
        m_ticker.start();
        m_frames.start();
    }
    void stop()
    {
        m_ticker.stop();
        m_frames.stop();
        std::sort(m_gapsMs.begin(), m_gapsMs.end());
    }

    double longestMs() const { return m_gapsMs.empty() ? 0.0 : m_gapsMs.back(); }
    // The main thread's own work within one gap, without time lost to other processes.
    double longestBusyMs() const { return m_longestBusyMs; }
    double longestRepaintMs() const { return m_longestRepaintMs; }
    double percentileMs(double p) const
    {
        return m_gapsMs.empty() ? 0.0 : m_gapsMs[std::min(m_gapsMs.size() - 1, size_t(p * double(m_gapsMs.size())))];
    }
    double ticks() const { return double(m_gapsMs.size()); }

    // CPU time of the calling thread.
    static double threadCpuMs()
    {
        timespec now {};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
    }

private:
    std::function<void()> m_repaint;
    QTimer m_ticker;
    QTimer m_frames;
    QElapsedTimer m_sinceTick;
    double m_cpuAtTick = 0;
    std::vector<double> m_gapsMs;
    double m_longestBusyMs = 0;
    double m_longestRepaintMs = 0;
};
