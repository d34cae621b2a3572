#pragma once

#include "TestSupport.h"
#include "model/JobApplication.h"
#include "store/Store.h"
#include "store/StoreLoader.h"
#include "ui/ContentView.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <utility>

namespace UiTestSupport {

// The moment every widget test runs at: Friday 14 March 2025, 10:00 in Istanbul.
inline QDateTime testNow()
{
    return TestSupport::local(2025, 3, 14, 10, 0);
}

inline QDateTime daysAgo(int days, int hour = 9)
{
    return TestSupport::local(2025, 3, 14, hour, 0).addDays(-days);
}

// A fresh store in its own folder, without the store's timed autosave, so that a
// test sees exactly the saves the window makes.
class TempStore {
public:
    TempStore()
        : m_loader(openStore(m_dir.path()))
    {
        if (m_loader.isReady())
            m_loader.store()->setAutosaveDelay(-1);
    }
    bool isReady() const { return m_loader.isReady(); }
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

// A menu's entries as shown (access-key marks left out), separators as "---".
inline QStringList menuTexts(const QMenu& menu)
{
    QStringList texts;
    for (QAction* action : menu.actions())
        texts.append(action->isSeparator() ? QStringLiteral("---") : QString(action->text()).remove(QLatin1Char('&')));
    return texts;
}

inline QStringList companies(const QList<JobApplication*>& records)
{
    QStringList names;
    for (const JobApplication* record : records)
        names.append(record->companyName());
    return names;
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

} // namespace UiTestSupport
