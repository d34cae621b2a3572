// The keyboard alone: shortcuts, the Tab chain, fields scrolled into view, focus rings
// that can be seen, and a walk through the window without a mouse.
#include "UiTestSupport.h"
#include "app/ApplywrightApp.h"
#include "posting/PostingImportSession.h"
#include "tracking/WindowState.h"
#include "ui/ApplicationDetailView.h"
#include "ui/ApplicationListView.h"
#include "ui/BoardView.h"
#include "ui/ConfirmationDialog.h"
#include "ui/DetailHeader.h"
#include "ui/DetailSections.h"
#include "ui/DraftRow.h"
#include "ui/EmptyListOverlay.h"
#include "ui/FormControls.h"
#include "ui/InsightsWindow.h"
#include "ui/Palette.h"
#include "ui/PostingImportSheet.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

#include <optional>

using namespace UiTestSupport;
using namespace Qt::StringLiterals;

namespace {

QString nameOf(const QWidget* widget)
{
    if (!widget)
        return u"(none)"_s;
    // A button is named after the panel it belongs to.
    if (widget->objectName() == u"actionButton"_s)
        return widget->parentWidget()->objectName() + u"/actionButton"_s;
    return widget->objectName();
}

// How far what the focus adds along the edge of a control (its outer four pixels,
// where rings are drawn, away from a text cursor) stands out from what was there:
// the strongest contrast of a changed pixel against the same pixel at rest.
double edgeChange(const QImage& rest, const QImage& focused)
{
    const int band = int(4 * focused.devicePixelRatio());
    const QRect inner = focused.rect().adjusted(band, band, -band, -band);
    double strongest = 1;
    for (int y = 0; y < focused.height(); ++y)
        for (int x = 0; x < focused.width(); ++x)
            if (!inner.contains(x, y))
                strongest = std::max(strongest, contrast(focused.pixelColor(x, y), rest.pixelColor(x, y)));
    return strongest;
}

// A key press where the keyboard is: an open list, else the focused widget.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* target = QApplication::activePopupWidget();
    if (target && target->focusWidget())
        target = target->focusWidget();
    if (!target)
        target = QApplication::focusWidget();
    QVERIFY(target);
    QTest::keyClick(target, key, modifiers);
}

void type(const QString& text)
{
    QTest::keyClicks(QApplication::focusWidget(), text);
}

// Waits for a picker's list or a dialog to close. The offscreen platform then leaves
// no window or the closed one active, where a desktop gives the activation back to
// `window`.
void backTo(QWidget* window)
{
    QTRY_VERIFY(!QApplication::activePopupWidget());
    window->activateWindow();
    QTRY_VERIFY(window->isActiveWindow());
}

// Presses Tab until `target` has the focus; false when it never comes.
bool tabTo(QWidget* target)
{
    for (int presses = 0; presses < 40 && QApplication::focusWidget() != target; ++presses)
        press(Qt::Key_Tab);
    return QApplication::focusWidget() == target;
}

} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useTestLocale(); }
    void init() { m_fixture = std::make_unique<StoreFixture>(); }
    void cleanup() { m_fixture.reset(); }

    // From an empty store to a record and back, and an import, with nothing but key
    // presses (the clipboard is filled beforehand, as a copy in another program would).
    void keyboardOnlyWalk()
    {
        AppFixture fixture;
        ContentView::Environment environment; // the real deletion question
        environment.openURL = [](const QUrl&) {};
        ApplywrightApp app(fixture.dir.path(), environment);
        Store& records = *app.storeLoader().store();
        records.setAutosaveDelay(-1);
        auto window = showWindow(app);
        auto* content = window->findChild<ContentView*>();
        QTRY_VERIFY(records.isLoaded());

        // Create, fill.
        press(Qt::Key_N, Qt::ControlModifier);
        QTRY_VERIFY(content->detailView());
        ApplicationDetailView* detail = content->detailView();
        JobApplication* record = detail->application();
        QVERIFY(detail->applicationSection()->companyField()->hasFocus());
        type(u"Acme Walk"_s);
        press(Qt::Key_Tab);
        type(u"Engineer"_s);
        QCOMPARE(record->companyName(), u"Acme Walk"_s);
        QCOMPARE(record->position(), u"Engineer"_s);

        // Rejected, with a reason: the pickers open their lists from the keyboard.
        QVERIFY(tabTo(detail->applicationSection()->statusPicker()));
        press(Qt::Key_Down);
        press(Qt::Key_End);
        press(Qt::Key_Return);
        backTo(window.get());
        QCOMPARE(record->status(), ApplicationStatus::rejected);
        QTRY_VERIFY(detail->rejectionSection()->reasonPicker()->isVisible());
        QVERIFY(tabTo(detail->rejectionSection()->reasonPicker()));
        press(Qt::Key_Down);
        press(Qt::Key_Down);
        press(Qt::Key_Return);
        backTo(window.get());
        QVERIFY(record->rejectionReason().has_value());

        // A contact.
        QVERIFY(tabTo(detail->contactsSection()->hrNameField()));
        type(u"Jane Doe"_s);
        QCOMPARE(record->hrContactName(), u"Jane Doe"_s);

        // Search, to the result, delete it: Tab to the question's "Delete", Space.
        press(Qt::Key_F, Qt::ControlModifier);
        type(u"walk"_s);
        press(Qt::Key_Down);
        QVERIFY(content->listView()->listView()->hasFocus());
        QCOMPARE(content->state().selectedApplication(), record);
        QTimer answer;
        answer.setInterval(10);
        connect(&answer, &QTimer::timeout, this, [&] {
            auto* question = window->findChild<ConfirmationDialog*>();
            if (!question || !question->isActiveWindow())
                return;
            answer.stop();
            QVERIFY(tabTo(question->actionButton()));
            press(Qt::Key_Space);
        });
        answer.start();
        press(Qt::Key_Delete);
        QTRY_COMPARE(records.count(), 0);
        backTo(window.get());

        // A posting's text on the clipboard: Ctrl+Shift+V reads it, Return adds it.
        QGuiApplication::clipboard()->setText(u"Senior iOS Developer\nAcme Corp · Istanbul, Türkiye · 2 days ago"_s);
        press(Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QPointer<PostingImportSheet> sheet;
        QTRY_VERIFY((sheet = window->findChild<PostingImportSheet*>()) && sheet->isActiveWindow());
        QTRY_VERIFY(!sheet->rows().isEmpty() && sheet->addButton()->isEnabled());
        press(Qt::Key_Return);
        QTRY_COMPARE(records.count(), 1);
        QCOMPARE(records.applicationsByDate().first()->companyName(), u"Acme Corp"_s);
        backTo(window.get());
    }

    void focusedWorkModelIsNotChosen_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << false;
        QTest::newRow("dark") << true;
    }

    // In the review sheet a focused work model is ringed, not filled as the chosen
    // one is; the chosen one shows a ring of its own when it has the focus.
    void focusedWorkModelIsNotChosen()
    {
        QFETCH(bool, dark);
        AppearanceForTest appearance(dark);
        PostingImportSession session(PostingImportSession::Recognizer {}, nullptr);
        PostingImportSheet sheet(session, {});
        session.begin();
        session.addText(u"Senior iOS Developer\nAcme Corp\nHybrid"_s, u"draft.png"_s);
        QVERIFY(showActive(&sheet));
        const QList<QAbstractButton*> segments = sheet.rows().first()->workModelSegments();
        QAbstractButton* chosen = segments.at(1);
        QAbstractButton* other = segments.at(0);
        QVERIFY(chosen->isChecked() && !other->isChecked());
        const auto fill = [](QAbstractButton* segment) {
            const QImage image = pixels(segment);
            return image.pixelColor(int(3 * image.devicePixelRatio()) + 2, image.height() / 2);
        };
        const QColor chosenFill = fill(chosen);
        for (QAbstractButton* segment : {other, chosen}) {
            sheet.rows().first()->includeBox()->setFocus(Qt::TabFocusReason);
            const QImage rest = pixels(segment);
            const QColor restFill = fill(segment);
            segment->setFocus(Qt::TabFocusReason);
            QTRY_VERIFY(segment->hasFocus());
            QCOMPARE(fill(segment), restFill);
            const double ring = edgeChange(rest, pixels(segment));
            QVERIFY2(ring >= 3, qPrintable(u"%1: %2"_s.arg(segment->text()).arg(ring)));
        }
        QVERIFY(fill(other) != chosenFill);
    }

    void insightsClosesByKeys_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Escape") << u"Escape"_s;
        QTest::newRow("Ctrl+W") << u"Ctrl+W"_s;
        QTest::newRow("Close button") << u"button"_s;
    }

    void insightsClosesByKeys()
    {
        QFETCH(QString, how);
        WindowState state(store(), m_fixture->today);
        InsightsWindow insights(state);
        QVERIFY(showActive(&insights));
        if (how == u"button"_s) {
            QVERIFY(tabTo(insights.closeButton()));
            press(Qt::Key_Space);
        } else {
            const QKeySequence keys(how);
            press(keys[0].key(), keys[0].keyboardModifiers());
        }
        QVERIFY(!insights.isVisible());
    }

    void searchAndResultsByKeys_data()
    {
        QTest::addColumn<bool>("board");
        QTest::newRow("list") << false;
        QTest::newRow("board") << true;
    }

    // Ctrl+F from the rows puts the cursor in the search; Down from there goes to the
    // first result, selected; Ctrl+D stars it and Ctrl+Z takes that back.
    void searchAndResultsByKeys()
    {
        QFETCH(bool, board);
        AppFixture fixture;
        ApplywrightApp app(fixture.dir.path(), fixture.desktop.environment());
        Store& records = *app.storeLoader().store();
        records.setAutosaveDelay(-1);
        addRecord(records, u"Initech"_s, u"Analyst"_s, ApplicationStatus::hrInterview, 1);
        addRecord(records, u"Acme"_s, u"Engineer"_s, ApplicationStatus::applied, 3);
        addRecord(records, u"Acme Labs"_s, u"Tester"_s, ApplicationStatus::techInterview, 2);
        auto window = showWindow(app);
        auto* content = window->findChild<ContentView*>();
        QTRY_COMPARE(content->state().visibleApplications().size(), 3);
        if (board)
            QTest::keyClick(window.get(), Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(content->isBoardShown(), board);
        content->setFocus();
        QVERIFY(!content->searchField()->hasFocus());

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(content->searchField()->hasFocus());
        QTest::keyClicks(content->searchField(), u"acme"_s);
        QTest::keyClick(content->searchField(), Qt::Key_Down);
        const JobApplication* selected = content->state().selectedApplication();
        // The list shows the latest first; the board's leftmost column is "Applied".
        QCOMPARE(selected ? selected->companyName() : QString(), board ? u"Acme"_s : u"Acme Labs"_s);
        QWidget* results = board ? static_cast<QWidget*>(content->boardView()) : content->listView();
        QVERIFY2(results->isAncestorOf(QApplication::focusWidget()), qPrintable(nameOf(QApplication::focusWidget())));

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_D, Qt::ControlModifier);
        QVERIFY(selected->isFavorite());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!selected->isFavorite());
        // Nothing selected, nothing to star.
        content->state().setSelectedID(std::nullopt);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_D, Qt::ControlModifier);
        for (const JobApplication* record : records.applicationsByDate())
            QVERIFY(!record->isFavorite());
        // A search that finds nothing keeps the cursor in the field.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(content->searchField(), u"zzz"_s);
        QTest::keyClick(content->searchField(), Qt::Key_Down);
        QVERIFY(content->searchField()->hasFocus());
    }

    void focusedFieldComesIntoView_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Tab from the header") << u"tab"_s;
        QTest::newRow("focus given from outside the form") << u"given"_s;
    }

    // Scrolled away from it, a field that takes the focus is scrolled into sight,
    // clear of the edge of the form under the header.
    void focusedFieldComesIntoView()
    {
        QFETCH(QString, how);
        auto view = makeView();
        view->resize(1000, 520);
        view->state().setSelectedID(addRecord(store(), u"Acme"_s)->id());
        ApplicationDetailView* detail = view->detailView();
        QScrollBar* bar = detail->scrollArea()->verticalScrollBar();
        QTRY_VERIFY(bar->maximum() > 200);
        QWidget* field = nullptr;
        if (how == u"tab"_s) {
            bar->setValue(bar->maximum());
            field = detail->applicationSection()->companyField();
            detail->header()->deleteButton()->setFocus(Qt::TabFocusReason);
            QTest::keyClick(detail->header()->deleteButton(), Qt::Key_Tab);
        } else {
            bar->setValue(0);
            field = detail->notesSection()->editor();
            field->setFocus(Qt::OtherFocusReason);
        }
        QVERIFY(field->hasFocus());
        const QWidget* viewport = detail->scrollArea()->viewport();
        const QRect shown(field->mapTo(viewport, QPoint(0, 0)), field->size());
        QVERIFY2(shown.top() >= 8 && shown.bottom() <= viewport->height() - 8,
            qPrintable(u"%1 to %2 of %3"_s.arg(shown.top()).arg(shown.bottom()).arg(viewport->height())));
    }

    void largeTextFormFits_data()
    {
        QTest::addColumn<qreal>("scale");
        QTest::addColumn<bool>("labelAbove");
        QTest::newRow("ordinary text: labels beside") << 1.0 << false;
        QTest::newRow("text half as large again: labels above") << 1.5 << true;
    }

    // At the window's smallest, large text puts the work model's label above its
    // picker instead of running the form off the right edge.
    void largeTextFormFits()
    {
        QFETCH(qreal, scale);
        QFETCH(bool, labelAbove);
        auto view = makeView();
        QFont large = view->font();
        large.setPointSizeF(large.pointSizeF() * scale);
        view->setFont(large);
        view->resize(ApplywrightApp::minimumWidth, ApplywrightApp::minimumHeight);
        view->state().setSelectedID(addRecord(store(), u"Acme"_s)->id());
        ApplicationDetailView* detail = view->detailView();
        QWidget* picker = detail->applicationSection()->workModelPicker();
        const QLabel* label = FormSection::rowLabel(picker->parentWidget());
        QTRY_COMPARE(detail->scrollArea()->widget()->width(), detail->scrollArea()->viewport()->width());
        QTRY_COMPARE(label->geometry().bottom() < picker->geometry().top(), labelAbove);
        QTRY_VERIFY(!detail->scrollArea()->horizontalScrollBar()->isVisible());
        const QWidget* page = detail->scrollArea()->widget();
        for (const QWidget* control : {picker, static_cast<QWidget*>(detail->applicationSection()->openLinkButton())}) {
            const QRect shown(control->mapTo(page, QPoint(0, 0)), control->size());
            QVERIFY2(shown.right() < page->width(), qPrintable(control->objectName()));
        }
    }

    void tabGoesRoundTheEmptyWindow_data()
    {
        QTest::addColumn<QString>("emptied");
        QTest::newRow("empty from the start") << u"never filled"_s;
        // The list's empty panel is made only now, long after the window.
        QTest::newRow("emptied by a deletion") << u"deletion"_s;
        // Both empty panels are made once the file is read, after the first frame.
        QTest::newRow("read after the window shows") << u"read later"_s;
    }

    // With no records Tab goes round every control of the window, the search field
    // among them, and comes back to where it started.
    void tabGoesRoundTheEmptyWindow()
    {
        QFETCH(QString, emptied);
        AppFixture fixture;
        std::optional<ApplywrightApp> app;
        std::unique_ptr<QWidget> window;
        ContentView* view = nullptr;
        if (emptied == u"read later"_s) {
            QVERIFY(openStore(fixture.dir.path()).store()->save());
            app.emplace(fixture.dir.path(), fixture.desktop.environment());
            QVERIFY(!app->storeLoader().store()->isLoaded());
            window = showWindow(*app);
            view = window->findChild<ContentView*>();
            QVERIFY(!view->findChild<EmptyListOverlay*>() && !view->detailPlaceholder());
            QTRY_VERIFY(app->storeLoader().store()->isLoaded());
        } else {
            if (emptied == u"deletion"_s)
                addRecord(store(), u"Acme"_s);
            window = makeView();
            view = static_cast<ContentView*>(window.get());
        }
        if (emptied == u"deletion"_s) {
            QListView* list = view->listView()->listView();
            QVERIFY(!view->findChild<EmptyListOverlay*>());
            list->setFocus();
            list->setCurrentIndex(list->model()->index(0, 0));
            QTest::keyClick(list, Qt::Key_Delete);
            QCOMPARE(store().count(), 0);
        }
        view->searchField()->setFocus(Qt::TabFocusReason);
        QStringList chain;
        for (int i = 0; i < 6; ++i) {
            chain.append(nameOf(QApplication::focusWidget()));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(chain,
            QStringList({u"searchField"_s, u"filterButton"_s, u"newApplicationButton"_s, u"applicationListView"_s,
                u"emptyListOverlay/actionButton"_s, u"detailPlaceholder/actionButton"_s}));
        QCOMPARE(nameOf(QApplication::focusWidget()), u"searchField"_s);
    }

    void focusRingsStandOut_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("dark");
        for (const char* control : {"starButton", "newApplicationButton", "followUpSwitch", "notesEditor"}) {
            QTest::addRow("%s light", control) << QString::fromLatin1(control) << false;
            QTest::addRow("%s dark", control) << QString::fromLatin1(control) << true;
        }
    }

    // Measured in the painted pixels: what the focus changes along a control's edge
    // stands out at least 3:1 from what was there without it.
    void focusRingsStandOut()
    {
        QFETCH(QString, control);
        QFETCH(bool, dark);
        AppearanceForTest appearance(dark);
        auto view = makeView();
        view->state().setSelectedID(addRecord(store(), u"Acme"_s)->id());
        QWidget* widget = view->findChild<QWidget*>(control);
        QVERIFY(widget && widget->isVisible());
        view->searchField()->setFocus(Qt::TabFocusReason);
        const QImage rest = pixels(widget);
        widget->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(widget->hasFocus());
        const QImage focused = pixels(widget);
        const double ring = edgeChange(rest, focused);
        QVERIFY2(ring >= 3, qPrintable(u"%1: %2"_s.arg(control).arg(ring)));
    }

private:
    Store& store() { return m_fixture->store.store(); }

    std::unique_ptr<ContentView> makeView() { return makeContentView(*m_fixture, m_desktop.environment(), true); }

    std::unique_ptr<StoreFixture> m_fixture;
    FakeDesktop m_desktop;
};

QTEST_MAIN(TestKeyboard)
#include "tst_ui_keyboard.moc"
