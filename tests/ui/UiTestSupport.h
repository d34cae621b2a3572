#pragma once

#include "TestSupport.h"
#include "app/Translations.h"
#include "model/ApplicationEdits.h"
#include "model/JobApplication.h"
#include "store/Store.h"
#include "store/StoreLoader.h"
#include "tracking/TodayProvider.h"
#include "ui/ContentView.h"
#include "ui/Palette.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QHash>
#include <QImage>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace UiTestSupport {

using TestSupport::companies;
using TestSupport::snapshot;

using TestSupport::testNow;
using TestSupport::writeFile;

inline QDateTime daysAgo(int days, int hour = 9)
{
    return TestSupport::local(2025, 3, 14, hour, 0).addDays(-days);
}

// A fresh store in its own folder, without the store's timed autosave, so that a
// test sees exactly the saves the window makes. A store that cannot be made here
// stops the test program: nothing after it would mean anything.
class TempStore {
public:
    TempStore()
        : m_loader(openStore(m_dir.path()))
    {
        if (!m_loader.isReady())
            qFatal("the test store could not be made in %s", qPrintable(m_dir.path()));
        m_loader.store()->setAutosaveDelay(-1);
    }
    Store& store() const { return *m_loader.store(); }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    StoreLoader m_loader;
};

// Inserts a record applied `days` days before the test moment.
inline JobApplication* addRecord(Store& store, const QString& company, const QString& position = {},
    ApplicationStatus status = ApplicationStatus::applied, int days = 0, WorkModel workModel = WorkModel::remote,
    const QString& link = {})
{
    return store.insert(std::make_unique<JobApplication>(company, position, link, workModel, status, daysAgo(days)));
}

// Changes a record as a person would, outside any window (no step to take back).
template <ApplicationField field>
JobApplication* edited(JobApplication* record, const ApplicationEdits::Edited<field>& value)
{
    ApplicationEdits().edit<field>(*record, value);
    return record;
}

// Types `text` into `widget` one character at a time as real key presses with
// their text set (QTest::keyClicks only handles Latin-1 in this Qt).
inline void typeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

inline void useTestLocale()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

// The test locale with the window's English texts installed, so that counts are
// read in their grammar ("1 application", "2 applications").
inline void useEnglishTexts()
{
    useTestLocale();
    installTranslations(*qApp, QLocale(QLocale::English, QLocale::UnitedStates));
}

// A window area's painted pixels, as the eye sees them.
inline QImage pixels(QWidget* widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// WCAG contrast ratio of two opaque colours, worked out here on its own rather than
// with Palette::contrast, so that a fault in the application's measure cannot hide itself.
inline double contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a) + 0.05;
    const double lb = luminance(b) + 0.05;
    return la > lb ? la / lb : lb / la;
}

// How what is drawn in `area` stands out from the area's commonest colour (its
// background): the contrast of the pixel furthest from it. Glyph stems at these
// sizes reach their full colour, so for text this is the text's own contrast.
inline double drawnContrast(const QImage& image, const QRect& area, QColor* background = nullptr)
{
    QHash<QRgb, int> counts;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            ++counts[image.pixel(x, y)];
    QRgb common = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > counts.value(common))
            common = it.key();
    double best = 1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        best = std::max(best, contrast(QColor(it.key()), QColor(common)));
    if (background)
        *background = QColor(common);
    return best;
}

// Drags `data` onto `target` as the window system delivers it (enter, move, drop) and
// says whether the drop was taken; `whileOver` runs while the drag is over the target.
inline bool dropOn(QWidget* target, QMimeData& data, const std::function<void()>& whileOver = {})
{
    const QPoint at(20, 20);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    if (whileOver)
        whileOver();
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    drop.setAccepted(false);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

inline bool dropOn(QWidget* target, const QList<QUrl>& urls, const std::function<void()>& whileOver = {})
{
    QMimeData data;
    data.setUrls(urls);
    return dropOn(target, data, whileOver);
}

// Shows `widget` and waits until it is the active window.
inline bool showActive(QWidget* widget)
{
    widget->show();
    widget->activateWindow();
    return QTest::qWaitForWindowActive(widget);
}

// Shows the application's main window and waits until it is active.
template <typename App> auto showWindow(App& app)
{
    auto window = app.createWindow();
    if (!showActive(window.get()))
        qWarning("window did not become active");
    return window;
}

// Puts the application's palette back when a test ends, even a failed one.
struct PaletteRestorer {
    QPalette original = QApplication::palette();
    ~PaletteRestorer() { QApplication::setPalette(original); }
};

// The light or dark appearance for one test; the style and the palette go back when
// it ends, even a failed one (made before the widgets, so that they go first).
struct AppearanceForTest {
    explicit AppearanceForTest(bool dark)
    {
        Palette::installAppearance(dark ? Palette::Appearance::dark : Palette::Appearance::light);
    }
    ~AppearanceForTest() { QApplication::setStyle(style); }
    QString style = QApplication::style()->name();
    PaletteRestorer palette;
};

// A menu's entries as shown (access-key marks left out), separators as "---".
inline QStringList menuTexts(const QMenu& menu)
{
    QStringList texts;
    for (QAction* action : menu.actions())
        texts.append(action->isSeparator() ? QStringLiteral("---") : QString(action->text()).remove(QLatin1Char('&')));
    return texts;
}

// The clock at the test moment, a fresh store and the day, for each test.
struct StoreFixture {
    TestSupport::FixedClock clock {testNow()};
    TempStore store;
    TodayProvider today;
};

// The window's content over the fixture's store at the window's usual size; shown and
// active when asked.
inline std::unique_ptr<ContentView> makeContentView(
    StoreFixture& fixture, ContentView::Environment environment = {}, bool shown = false, QSize size = {1080, 700})
{
    auto view = std::make_unique<ContentView>(fixture.store.store(), fixture.today, std::move(environment));
    view->resize(size);
    if (shown && !showActive(view.get()))
        qWarning("window not active");
    return view;
}

// The desktop a window talks to: answers the deletion question with `answer` and
// records every question asked and every address opened.
struct FakeDesktop {
    bool answer = true;
    QList<std::pair<QString, QString>> asked;
    QList<QUrl> opened;

    ContentView::Environment environment()
    {
        ContentView::Environment env;
        env.confirmDeletion = [this](const QString& title, const QString& message) {
            asked.append({title, message});
            return answer;
        };
        env.openURL = [this](const QUrl& url) { opened.append(url); };
        return env;
    }
};

// The clock at the test moment, an empty folder and a stand-in desktop, for each test.
struct AppFixture {
    AppFixture()
    {
        if (!dir.isValid())
            qFatal("no temporary folder for the test: %s", qPrintable(dir.errorString()));
    }
    TestSupport::FixedClock clock {testNow()};
    QTemporaryDir dir;
    FakeDesktop desktop;
};

} // namespace UiTestSupport
