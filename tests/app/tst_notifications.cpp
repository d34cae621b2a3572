// Follow-up reminders against a stand-in notification service on a private session
// bus: the test starts itself again under dbus-run-session, so it never talks to the
// desktop's own bus.

#include "ui/UiTestSupport.h"

#include "app/ApplywrightApp.h"
#include "app/DesktopNotifier.h"
#include "tracking/FollowUpReminder.h"
#include "tracking/TodayProvider.h"
#include "tracking/WindowState.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QMainWindow>
#include <QMenu>
#include <QSettings>
#include <QTest>

#include <unistd.h>

using namespace UiTestSupport;
using namespace Qt::StringLiterals;

// The freedesktop notification service as far as the application uses it.
class NotificationStandIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    // Each message as "summary: body", with the actions it offers.
    QStringList calls;
    QList<QStringList> offered;

public Q_SLOTS:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
        const QStringList& actions, const QVariantMap&, int)
    {
        calls.append(summary + u": "_s + body);
        offered.append(actions);
        return uint(100 + calls.size());
    }
    QStringList GetCapabilities() { return {u"actions"_s, u"body"_s}; }
};

// Passes each message on to the desktop and keeps the verdicts, so that a test can
// wait for an attempt to end rather than for a while. While `holding`, a verdict
// reaches the sender only on release(): the desktop's answer comes as late as a test wants.
class RecordingNotifier : public FollowUpNotifier {
public:
    void notify(const QString& summary, const QString& body, std::function<void()> activated,
        std::function<void(bool delivered)> finished) override
    {
        m_desktop.notify(summary, body, std::move(activated), [this, finished](bool delivered) {
            verdicts.append(delivered);
            if (holding)
                m_held.append([finished, delivered] { finished(delivered); });
            else
                finished(delivered);
        });
    }
    void release()
    {
        holding = false;
        for (const auto& answer : std::exchange(m_held, {}))
            answer();
    }
    QList<bool> verdicts;
    bool holding = false;

private:
    DesktopNotifier m_desktop;
    QList<std::function<void()>> m_held;
};

class FollowUpNotificationsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "no private session bus");
        m_standInBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"stand-in"_s);
        QVERIFY(m_standInBus.isConnected());
        QVERIFY(m_standInBus.registerObject(
            QLatin1String(DesktopNotifier::path), &m_standIn, QDBusConnection::ExportAllSlots));
    }

    void init()
    {
        TestSupport::useTimeZone("Europe/Istanbul");
        useTestLocale();
        Clock::setFixed(testNow().toUTC());
        m_standIn.calls.clear();
        m_standIn.offered.clear();
        m_dir = std::make_unique<QTemporaryDir>();
        m_settings = std::make_unique<QSettings>(m_dir->filePath(u"settings.ini"_s), QSettings::IniFormat);
        QVERIFY(registerStandIn());
    }

    void cleanup()
    {
        unregisterStandIn();
        m_settings.reset();
        m_dir.reset();
        Clock::reset();
    }

    void aClickRunsItsActionOnce()
    {
        // The bus is reached at the first message, once.
        int reached = 0;
        DesktopNotifier notifier([&reached] {
            ++reached;
            return QDBusConnection::sessionBus();
        });
        QCOMPARE(reached, 0);
        int clicked[2] = {0, 0};
        QCOMPARE(send(notifier, [&clicked] { ++clicked[0]; }), std::optional(true));
        QCOMPARE(send(notifier, [&clicked] { ++clicked[1]; }), std::optional(true));
        QCOMPARE(reached, 1);
        // "default" is the action of a click on the message itself.
        QCOMPARE(m_standIn.offered.value(1).value(0), u"default"_s);
        click(102); // the second message
        QTRY_COMPARE(clicked[1], 1);
        click(102);
        click(101, u"some-other-button"_s);
        click(999);
        QTest::qWait(100);
        QCOMPARE((QList<int> {clicked[0], clicked[1]}), (QList<int> {0, 1}));
    }

    void noBusIsNoError()
    {
        const QDBusConnection nowhere
            = QDBusConnection::connectToBus(u"unix:path=%1"_s.arg(m_dir->filePath(u"no-bus-here"_s)), u"nowhere"_s);
        QVERIFY(!nowhere.isConnected());
        // Without a bus the answer comes at once.
        DesktopNotifier offTheBus(nowhere);
        std::optional<bool> delivered;
        offTheBus.notify(
            u"no bus"_s, QString(), [] {}, [&](bool d) { delivered = d; });
        QCOMPARE(delivered, std::optional(false));
        QDBusConnection::disconnectFromBus(u"nowhere"_s);
    }

    void remindsOnceADay()
    {
        TempStore store;
        edited<ApplicationField::followUpDate>(addRecord(store.store(), u"Acme"_s), daysAgo(1, 18));
        edited<ApplicationField::followUpDate>(
            addRecord(store.store(), u"Globex"_s, QString(), ApplicationStatus::hrInterview),
            testNow().addSecs(8 * 3600)); // today at 18:00: already due
        edited<ApplicationField::followUpDate>(addRecord(store.store(), u"Initech"_s), testNow().addDays(1));
        edited<ApplicationField::followUpDate>(
            addRecord(store.store(), u"Hooli"_s, QString(), ApplicationStatus::rejected), daysAgo(3));
        addRecord(store.store(), u"Umbrella"_s);
        TodayProvider today;
        RecordingNotifier notifier;
        notifier.holding = true;
        auto reminder = std::make_unique<FollowUpReminder>(store.store(), today, *m_settings, notifier);
        QTRY_COMPARE(notifier.verdicts.size(), 1);
        QCOMPARE(m_standIn.calls, QStringList {u"2 follow-ups due today: Acme, Globex"_s});
        // Started again before the desktop's answer arrived: the new reminder sends nothing, and the answer, once it
        // comes, counts although the reminder that asked is gone.
        reminder = std::make_unique<FollowUpReminder>(store.store(), today, *m_settings, notifier);
        reminder->check();
        notifier.release();
        QCOMPARE(reminder->lastNotifiedDay(), QDate(2025, 3, 14));
        // The same day, with the day clock ticking: nothing more.
        reminder->check();
        moveTo(testNow().addSecs(3600), today);
        QTest::qWait(100);
        QCOMPARE(m_standIn.calls.size(), 1);
        // After midnight tomorrow's reminder is due too.
        moveTo(TestSupport::local(2025, 3, 15, 0, 0, 30), today);
        QTRY_COMPARE(m_standIn.calls.value(1), u"3 follow-ups due today: Acme, Globex, Initech"_s);
        // No service on the next day: nothing shown, nothing recorded, so the message
        // comes once the service is back.
        unregisterStandIn();
        moveTo(TestSupport::local(2025, 3, 16, 9, 0), today);
        QTRY_COMPARE(notifier.verdicts, (QList<bool> {true, true, false}));
        QVERIFY(registerStandIn());
        reminder->check();
        QTRY_COMPARE(m_standIn.calls.size(), 3);
        QTRY_COMPARE(reminder->lastNotifiedDay(), QDate(2025, 3, 16));
    }

    void turnedOffStaysQuiet()
    {
        TempStore store;
        edited<ApplicationField::followUpDate>(addRecord(store.store(), u"Acme"_s), daysAgo(1));
        TodayProvider today;
        DesktopNotifier notifier;
        {
            FollowUpReminder reminder(store.store(), today, *m_settings, notifier);
            reminder.setEnabled(false);
        }
        // The setting is kept: a new start stays quiet too, until it is turned on again.
        FollowUpReminder again(store.store(), today, *m_settings, notifier);
        QVERIFY(!again.isEnabled());
        QTest::qWait(100);
        QVERIFY(m_standIn.calls.isEmpty());
        again.setEnabled(true);
        QTRY_COMPARE(m_standIn.calls.size(), 1);
    }

    void aClickBringsTheDueApplicationsForward()
    {
        QTemporaryDir data;
        DesktopNotifier notifier;
        ApplywrightApp app(data.path(), {[](const QUrl&) {}, [](const QString&, const QString&) { return false; }});
        Store& store = *app.storeLoader().store();
        store.setAutosaveDelay(-1);
        edited<ApplicationField::followUpDate>(
            addRecord(store, u"Initech"_s, QString(), ApplicationStatus::applied, 5), daysAgo(1));
        JobApplication* earliest = addRecord(store, u"Globex"_s, QString(), ApplicationStatus::techInterview, 9);
        edited<ApplicationField::followUpDate>(earliest, daysAgo(2));
        addRecord(store, u"Umbrella"_s, QString(), ApplicationStatus::offer, 20);
        app.setFollowUpReminders(*m_settings, notifier);
        auto window = app.createWindow();
        window->show();
        auto* content = window->findChild<ContentView*>();
        QTRY_COMPARE(m_standIn.calls.size(), 1);
        // The setting is in the View menu.
        auto* toggle = window->findChild<QAction*>(u"followUpNotificationsAction"_s);
        QVERIFY(toggle && toggle->isCheckable() && toggle->isChecked());
        // Meanwhile the list shows something else, and the window is behind another.
        content->state().setStatusFilter(StatusFilter::status(ApplicationStatus::offer));
        content->state().setSearchText(u"Umbrella"_s);
        window->showMinimized();
        click(101);
        QTRY_VERIFY(!window->isMinimized());
        QCOMPARE(content->state().statusFilter(), StatusFilter::active());
        QCOMPARE(content->state().searchText(), QString());
        QCOMPARE(content->state().selectedID(), std::optional(earliest->id()));
        toggle->setChecked(false);
        QVERIFY(!app.followUpReminder()->isEnabled());
    }

private:
    // Sends one message; the notifier's verdict on it, none if it gives none.
    static std::optional<bool> send(
        DesktopNotifier& notifier, std::function<void()> onClick = [] {})
    {
        std::optional<bool> delivered;
        notifier.notify(u"Follow up"_s, QString(), std::move(onClick), [&delivered](bool d) { delivered = d; });
        if (!QTest::qWaitFor([&delivered] { return delivered.has_value(); }))
            return std::nullopt;
        return delivered;
    }

    bool registerStandIn() { return m_standInBus.registerService(QLatin1String(DesktopNotifier::service)); }

    void unregisterStandIn()
    {
        m_standInBus.unregisterService(QLatin1String(DesktopNotifier::service));
        QTRY_VERIFY(
            !QDBusConnection::sessionBus().interface()->isServiceRegistered(QLatin1String(DesktopNotifier::service)));
    }

    void click(uint id, const QString& action = u"default"_s)
    {
        QDBusMessage signal = QDBusMessage::createSignal(
            QLatin1String(DesktopNotifier::path), QLatin1String(DesktopNotifier::interface), u"ActionInvoked"_s);
        signal << id << action;
        QVERIFY(m_standInBus.send(signal));
    }

    // Moves the clock to `moment` and lets the day clock see it.
    void moveTo(const QDateTime& moment, TodayProvider& today)
    {
        Clock::setFixed(moment.toUTC());
        today.refreshDay();
    }

    QDBusConnection m_standInBus = QDBusConnection(u"none"_s);
    NotificationStandIn m_standIn;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QSettings> m_settings;
};

int main(int argc, char* argv[])
{
    // A bus of our own, so the stand-in never meets a real notification service.
    if (qEnvironmentVariable("APPLYWRIGHT_PRIVATE_BUS") != QLatin1String("1")) {
        qputenv("APPLYWRIGHT_PRIVATE_BUS", "1");
        std::vector<char*> args {const_cast<char*>("dbus-run-session"), const_cast<char*>("--")};
        for (int i = 0; i < argc; ++i)
            args.push_back(argv[i]);
        args.push_back(nullptr);
        execvp("dbus-run-session", args.data());
        std::perror("dbus-run-session");
        return 1;
    }
    QApplication application(argc, argv);
    application.setAttribute(Qt::AA_Use96Dpi, true);
    FollowUpNotificationsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_notifications.moc"
