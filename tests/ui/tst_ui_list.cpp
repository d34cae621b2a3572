// The application list on its own: the model, the row painter, the badges, the
// symbols, the toolbar and filter menu, the context menu and drops.

#include "UiTestSupport.h"

#include "model/DayCount.h"
#include "tracking/WaitingLevel.h"
#include "tracking/WindowState.h"
#include "ui/ApplicationListModel.h"
#include "ui/ApplicationListView.h"
#include "ui/ApplicationRow.h"
#include "ui/Badges.h"
#include "ui/Palette.h"
#include "ui/ShapedText.h"
#include "ui/Symbols.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QPainter>
#include <QSignalSpy>
#include <QToolButton>

using namespace UiTestSupport;
using namespace Qt::StringLiterals;

namespace {

struct Recorder {
    int creates = 0;
    QList<JobApplication*> deletes;
    QList<QList<QUrl>> drops;
    QList<QUrl> opened;

    ApplicationListView::Actions actions()
    {
        return {[this] { ++creates; }, [this](JobApplication& a) { deletes.append(&a); },
            [this](const QList<QUrl>& urls) { drops.append(urls); }, {},
            [this](const QUrl& url) { opened.append(url); }};
    }
};

// What a widget is asked to paint.
struct PaintedRegion : QObject {
    explicit PaintedRegion(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        region += event->type() == QEvent::Paint ? static_cast<QPaintEvent*>(event)->region() : QRegion();
        return false;
    }
    QRegion region;
};

// The store fixture and the window state over it, for each test.
struct Fixture : StoreFixture {
    WindowState state {store.store(), today};
};

class TestApplicationList : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useTestLocale(); }
    void init() { m_fixture = std::make_unique<Fixture>(); }
    void cleanup() { m_fixture.reset(); }

    void modelPassesTheModelTester()
    {
        QList<JobApplication*> all;
        for (int i = 0; i < 12; ++i)
            all.append(addRecord(store(), u"Firm %1"_s.arg(i), {}, ApplicationStatus::applied, i));
        QList<JobApplication*> fewer = all;
        fewer.removeAt(4);
        QList<JobApplication*> sparse;
        for (int i = 0; i < all.size(); i += 3)
            sparse.append(all[i]);

        ApplicationListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        // One removed and inserted back, several removed and inserted, reversed, replaced.
        for (const QList<JobApplication*>& rows : {all, fewer, all, sparse, all,
                 QList<JobApplication*>(all.crbegin(), all.crend()), QList<JobApplication*> {all[5], all[1], all[7]}}) {
            model.setApplications(rows);
            QCOMPARE(model.applications(), rows);
        }
        model.refresh(all[1]);
        model.forget(all[1]);
        QCOMPARE(model.applications(), (QList<JobApplication*> {all[5], all[7]}));

        // The same records in another order move rows instead of resetting: the selection stays.
        model.setApplications({all[0], all[1], all[2]});
        const QPersistentModelIndex selected = model.index(1, 0);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        model.setApplications({all[2], all[0], all[1]});
        QCOMPARE(resets.count(), 0);
        QCOMPARE(model.application(selected), all[1]);
    }

    // An edit that moves a record changes the rows between its two places (no move
    // that would lay out every row), or removes or inserts its one row, and nothing
    // else; the selection, the current row and every held row follow their records.
    void oneEditMovesOneRow()
    {
        QList<JobApplication*> records;
        for (int i = 0; i < 10; ++i)
            records.append(addRecord(store(), u"Firm %1"_s.arg(i), {}, ApplicationStatus::applied, i));
        ApplicationListView list(state(), {});
        state().setSortOption(SortOption::company);
        state().setStatusFilter(StatusFilter::active());
        QTRY_COMPARE(list.listView()->model()->rowCount(), 10);
        QAbstractItemModel* model = list.listView()->model();
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        state().setSelectedID(records[3]->id());
        QSignalSpy moved(model, &QAbstractItemModel::rowsMoved);
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
        QSignalSpy layouts(model, &QAbstractItemModel::layoutChanged);
        QSignalSpy resets(model, &QAbstractItemModel::modelReset);
        const auto current = [&] { return list.listView()->currentIndex().data(ApplicationListModel::RecordRole); };
        // Every row the view keeps a hold on still holds its record.
        QList<QPersistentModelIndex> held;
        for (int row = 0; row < 10; ++row)
            held.append(model->index(row, 0));
        const auto heldRecords = [&] {
            QList<JobApplication*> shown;
            for (const QPersistentModelIndex& index : std::as_const(held))
                shown.append(index.data(ApplicationListModel::RecordRole).value<JobApplication*>());
            return shown;
        };
        const QList<JobApplication*> before = heldRecords();

        state().edits().edit<ApplicationField::companyName>(*records[3], u"Zeta"_s);
        QCOMPARE(moved.count(), 0);
        QVERIFY(std::any_of(changed.begin(), changed.end(), [](const QList<QVariant>& signal) {
            return signal.at(0).toModelIndex().row() == 3 && signal.at(1).toModelIndex().row() == 9;
        }));
        QCOMPARE(heldRecords(), before);
        QCOMPARE(list.listView()->currentIndex().row(), 9);
        QCOMPARE(current().value<JobApplication*>(), records[3]);
        QVERIFY(list.listView()->selectionModel()->isSelected(list.listView()->currentIndex()));

        // The rows between the two places are painted again, in the rows' places.
        list.resize(360, 720);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        PaintedRegion painted(list.listView()->viewport());
        const QRect rowsBetween = list.listView()->visualRect(model->index(2, 0));
        state().edits().edit<ApplicationField::companyName>(*records[2], u"Zz"_s);
        QTRY_VERIFY(painted.region.contains(rowsBetween));
        QCOMPARE(list.listView()->visualRect(model->index(2, 0)), rowsBetween);
        state().undo();

        state().edits().changeStatus(*records[5], ApplicationStatus::rejected);
        QCOMPARE(removed.count(), 1);
        state().undo();
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(model->index(4, 0).data(ApplicationListModel::RecordRole).value<JobApplication*>(), records[5]);
        QCOMPARE(layouts.count() + resets.count(), 0);
        QCOMPARE(current().value<JobApplication*>(), records[3]);
    }

    // Shaped lines are kept per font and room: the same words in another font or
    // another room are measured and cut for that one.
    void shapedLinesFollowFontAndRoom()
    {
        QFont small = QApplication::font();
        small.setPixelSize(10);
        QFont large = small;
        large.setPixelSize(20);
        const QString words = u"Fernhill Analytics"_s;
        QCOMPARE(ShapedText::line(small, words).width, QFontMetrics(small).horizontalAdvance(words));
        QCOMPARE(ShapedText::line(large, words).width, QFontMetrics(large).horizontalAdvance(words));
        QCOMPARE(ShapedText::line(large, words, 60).text, QFontMetrics(large).elidedText(words, Qt::ElideRight, 60));
    }

    void rowLayout_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("favorite");
        QTest::addColumn<bool>("longNames");
        QTest::addColumn<double>("barOpacity");
        QTest::addColumn<int>("width");
        const auto row
            = [](const char* name, ApplicationStatus status, bool favorite, bool longNames, double bar,
                  int width = 320) { QTest::newRow(name) << int(status) << favorite << longNames << bar << width; };
        row("open, long names", ApplicationStatus::techInterview, true, true, 1.0);
        row("offer", ApplicationStatus::offer, true, false, 0.45);
        row("rejected, long names", ApplicationStatus::rejected, false, true, 0.45);
        // Too narrow for every badge whole: chips give up their words, not their ends.
        row("open, narrow", ApplicationStatus::techInterview, false, false, 1.0, 250);
        row("open, narrower", ApplicationStatus::techInterview, false, false, 1.0, 200);
    }

    void rowLayout()
    {
        QFETCH(int, status);
        QFETCH(bool, favorite);
        QFETCH(bool, longNames);
        QFETCH(double, barOpacity);
        QFETCH(int, width);
        const bool open = barOpacity == 1.0;
        JobApplication* record
            = addRecord(store(), longNames ? u"Extraordinarily Long Company Name "_s.repeated(4) : u"Acme"_s,
                longNames ? u"Principal Engineer "_s.repeated(6) : u"Engineer"_s, ApplicationStatus(status), 12);
        edited<ApplicationField::isFavorite>(record, favorite);
        edited<ApplicationField::followUpDate>(record, testNow().addDays(-1));
        ApplicationRow row;
        row.setToday(startOfLocalDay(testNow()));
        QStyleOptionViewItem option;
        option.font = QApplication::font();
        option.palette = QApplication::palette();
        option.rect = QRect(0, 0, width, row.rowHeight(option.font, option.palette));
        const ApplicationRow::Layout layout = row.layout(option, *record);
        const auto chipWidths = [&](const QString& symbol, const QString& words, NamedColor color) {
            const auto chip = [&](const QString& text) {
                return BadgePainter::metaChip(symbol, text, color, option.font, option.palette).sizeHint().width();
            };
            return QList<int> {chip(words), chip(QString())};
        };
        if (open) {
            QVERIFY(chipWidths(u"bell.badge.fill"_s, u"Follow-up"_s, NamedColor::orange)
                        .contains(layout.followUpChip.width()));
        }
        QVERIFY(chipWidths(symbolName(record->workModel()), title(record->workModel()), NamedColor::secondary)
                    .contains(layout.workModelChip.width()));

        // Closed records show neither the waiting badge nor a due follow-up; the star follows the record.
        QCOMPARE(!layout.waitingBadge.isEmpty(), open);
        QCOMPARE(!layout.followUpChip.isEmpty(), open);
        QCOMPARE(!layout.star.isEmpty(), favorite);
        // Every part stays inside the row, left to right on its line, without overlapping another.
        const QRect inside = option.rect.adjusted(ApplicationRow::contentInsetX, 0, -ApplicationRow::contentInsetX, 0);
        for (QList<QRect> line : {QList<QRect> {layout.statusBar, layout.company, layout.star, layout.waitingBadge},
                 QList<QRect> {layout.statusBadge, layout.workModelChip, layout.followUpChip}}) {
            line.removeAll(QRect());
            for (qsizetype i = 0; i < line.size(); ++i)
                QVERIFY(inside.contains(line[i]) && (i == 0 || line[i].left() > line[i - 1].right()));
        }
        QVERIFY(inside.contains(layout.position) && layout.position.top() > layout.company.bottom()
            && layout.statusBadge.top() > layout.position.bottom());
        // The compact waiting badge carries its help text; a name cut short shows in full.
        if (open)
            QCOMPARE(row.toolTipAt(option, *record, layout.waitingBadge.center()), u"Waiting 12 days"_s);
        QCOMPARE(
            row.toolTipAt(option, *record, layout.company.center()), longNames ? record->companyName() : QString());

        // Painted: the bar's pixels are the status colour, faded over the background for closed records.
        QImage image(option.rect.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        row.paintRow(&painter, option, *record);
        painter.end();
        const QColor bar = image.pixelColor(layout.statusBar.center());
        const QColor tinted = Palette::fillColor(tint(record->status()), option.palette);
        const auto near = [&](int painted, int c) {
            return std::abs(painted - qRound(c * barOpacity + 255 * (1 - barOpacity))) <= 2;
        };
        QVERIFY2(near(bar.red(), tinted.red()) && near(bar.green(), tinted.green()) && near(bar.blue(), tinted.blue()),
            qPrintable(bar.name()));
    }

    void waitingBadge()
    {
        // The dot is a shape and takes the vivid shade; the text's number is a plain
        // integer without grouping.
        const QPalette palette = QApplication::palette();
        WaitingBadge dot(90, WaitingBadge::Style::dot);
        QVERIFY(dot.badge().text().isEmpty());
        QCOMPARE(dot.accessibleName(), u"Waiting 90 days"_s);
        QCOMPARE(dot.badge().foreground(), Palette::fillColor(NamedColor::red, palette));
        WaitingBadge compact(1234, WaitingBadge::Style::compact);
        QCOMPARE(compact.badge().text(), u"1234d"_s);
        QCOMPARE(compact.toolTip(), u"Waiting 1234 days"_s);
    }

    void symbolsResolveAndAreTinted()
    {
        // Every symbol a vocabulary names has a drawing.
        QStringList used;
        for (ApplicationStatus status : allCases<ApplicationStatus>())
            used.append(symbolName(status));
        for (WorkModel model : allCases<WorkModel>())
            used.append(symbolName(model));
        for (WaitingLevel level : {WaitingLevel::early, WaitingLevel::followUp, WaitingLevel::silent})
            used.append(symbolName(level));
        for (const QString& name : std::as_const(used))
            QVERIFY2(!Symbols::pixmap(name, Qt::black, 16, 1.0).isNull(), qPrintable(name));
        QVERIFY(Symbols::pixmap(u"no.such.symbol"_s, Qt::black, 16, 1.0).isNull());

        // Drawn in the colour asked for at run time: a filled star is solid in its middle, clear in its corner.
        const QColor tint(0x12, 0x80, 0xf0);
        const QImage image = Symbols::pixmap(u"star.fill"_s, tint, 24, 2.0).toImage();
        QCOMPARE(image.pixelColor(24, 26), tint);
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
        // Plain names draw the regular weight: an outline, clear in the middle.
        QCOMPARE(Symbols::pixmap(u"star"_s, tint, 24, 2.0).toImage().pixelColor(24, 26).alpha(), 0);
    }

    // The application's own measure, which picks the colours, against the test's.
    void contrastIsTheAccessibilityRatio_data()
    {
        QTest::addColumn<QColor>("a");
        QTest::addColumn<QColor>("b");
        QTest::newRow("white on black") << QColor(Qt::white) << QColor(Qt::black);
        QTest::newRow("#777 on white, just short of 4.5") << QColor(0x777777) << QColor(Qt::white);
        QTest::newRow("#767676 on white, just over") << QColor(0x767676) << QColor(Qt::white);
        QTest::newRow("red on white") << QColor(Qt::red) << QColor(Qt::white);
        QTest::newRow("blue on black") << QColor(Qt::blue) << QColor(Qt::black);
        QTest::newRow("dark channels, on the straight part") << QColor(10, 8, 2) << QColor(Qt::black);
        QTest::newRow("a colour between 8-bit steps")
            << QColor::fromRgbF(0.5f, 0.3137f, 0.9412f) << QColor::fromRgbF(0.1f, 0.1f, 0.12f);
        QTest::newRow("the same colour") << QColor(0x1280f0) << QColor(0x1280f0);
    }

    void contrastIsTheAccessibilityRatio()
    {
        QFETCH(QColor, a);
        QFETCH(QColor, b);
        QVERIFY(qAbs(Palette::contrast(a, b) - contrast(a, b)) < 1e-9);
        QCOMPARE(Palette::contrast(b, a), Palette::contrast(a, b));
    }

    void textColoursAreReadable()
    {
        // Text sits on the detail column (base) and on the sidebar (window), and badge
        // text on its own capsule of the colour at 15 % over the sidebar.
        for (const bool dark : {false, true}) {
            const QPalette palette = dark ? Palette::darkPalette() : Palette::lightPalette();
            QCOMPARE(Palette::isDark(palette), dark);
            const QColor base = palette.color(QPalette::Base), sidebar = palette.color(QPalette::Window);
            const auto readable = [](const QColor& text, const QColor& on) {
                QVERIFY2(contrast(text, on) >= 4.5,
                    qPrintable(u"%1 on %2: %3"_s.arg(text.name(), on.name()).arg(contrast(text, on))));
            };
            for (NamedColor color : {NamedColor::blue, NamedColor::purple, NamedColor::indigo, NamedColor::green,
                     NamedColor::red, NamedColor::yellow, NamedColor::orange}) {
                const QColor text = Palette::textColor(color, palette), fill = Palette::fillColor(color, palette);
                const auto mix = [](double under, double over) { return float(under * 0.85 + over * 0.15); };
                const QColor capsule = QColor::fromRgbF(mix(sidebar.redF(), fill.redF()),
                    mix(sidebar.greenF(), fill.greenF()), mix(sidebar.blueF(), fill.blueF()));
                for (const QColor& background : {base, sidebar, capsule})
                    readable(text, background);
            }
            readable(Palette::secondaryText(palette), sidebar);
            readable(Palette::secondaryText(palette), base);
        }
    }

    void rowsAreReadableInEveryState_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QString>("shown");
        for (const bool dark : {false, true})
            for (const char* state : {"plain", "selected", "selected, list unfocused"})
                QTest::addRow("%s, %s", dark ? "dark" : "light", state) << dark << QString::fromLatin1(state);
    }

    void rowsAreReadableInEveryState()
    {
        // Measured in the pixels the list paints: every text of a row at least 4.5:1
        // against what is behind it, and an open application's status bar at least 3:1.
        QFETCH(bool, dark);
        QFETCH(QString, shown);
        PaletteRestorer restorer;
        QApplication::setPalette(dark ? Palette::darkPalette() : Palette::lightPalette());
        QList<JobApplication*> records;
        for (const ApplicationStatus status : allCases<ApplicationStatus>()) {
            records.append(addRecord(store(), u"Çağrı Yazılım"_s, u"Backend Engineer"_s, status,
                1 + 6 * int(records.size()), WorkModel::hybrid));
            edited<ApplicationField::followUpDate>(records.last(), daysAgo(1));
            edited<ApplicationField::isFavorite>(records.last(), true);
        }
        QWidget window;
        auto* other = new QLineEdit(&window);
        Recorder recorder;
        auto* list = new ApplicationListView(state(), recorder.actions(), &window);
        list->setGeometry(0, 30, 320, 600);
        window.resize(320, 630);
        QVERIFY(showActive(&window));
        QListView* view = list->listView();
        const bool selected = shown != u"plain"_s;
        for (JobApplication* record : std::as_const(records)) {
            state().setSelectedID(selected ? std::optional(record->id()) : std::nullopt);
            (shown == u"selected"_s ? static_cast<QWidget*>(view) : other)->setFocus();
            QApplication::processEvents();
            const QModelIndex index = list->model()->index(list->model()->rowOf(record));
            QVERIFY(index.isValid());
            QCOMPARE(view->selectionModel()->isSelected(index), selected);
            QStyleOptionViewItem option;
            option.initFrom(view);
            option.rect = view->visualRect(index);
            const ApplicationRow::Layout layout = list->rowDelegate()->layout(option, *record);
            const QImage image = pixels(view->viewport());
            const qreal scale = image.devicePixelRatio();
            const auto pixels = [scale](const QRect& r) {
                return QRect(r.topLeft() * scale, r.size() * scale).adjusted(1, 1, -1, -1);
            };
            const auto describe = [&record](const char* part, double measured) {
                return qPrintable(
                    u"%1 of %2: %3"_s.arg(QLatin1String(part), record->statusRaw()).arg(measured, 0, 'f', 2));
            };
            for (const auto& [part, rect] : {std::pair {"company", layout.company}, {"position", layout.position},
                     {"status badge", layout.statusBadge}, {"waiting badge", layout.waitingBadge},
                     {"work model", layout.workModelChip}, {"follow-up", layout.followUpChip}}) {
                const double measured = rect.isEmpty() ? 5 : drawnContrast(image, pixels(rect));
                QVERIFY2(measured >= 4.5, describe(part, measured));
            }
            if (!isClosed(record->status())) {
                QColor behind;
                drawnContrast(image, pixels(layout.position), &behind);
                const QColor bar = image.pixelColor(pixels(layout.statusBar).center());
                QVERIFY2(contrast(bar, behind) >= 3, describe("status bar", contrast(bar, behind)));
            }
        }
    }

    void toolbarButtonsAndFilterMenu()
    {
        Recorder recorder;
        ApplicationListView list(state(), recorder.actions());
        list.findChild<QToolButton*>(u"newApplicationButton"_s)->click();
        QCOMPARE(recorder.creates, 1);
        QMenu* menu = list.filterMenu();
        const auto entry = [&](const char* name) { return menu->findChild<QAction*>(QLatin1String(name)); };
        const auto symbol = [&] { return list.filterButton()->property("symbol").toString(); };
        const QString plain = u"line.3.horizontal.decrease.circle"_s, filled = plain + u".fill"_s;

        // A sort changes the sort only; the symbol shows a filter in force, not a sort.
        entry("sortOption:company")->trigger();
        QCOMPARE(state().sortOption(), SortOption::company);
        QCOMPARE(symbol(), plain);
        entry("statusFilter:offer")->trigger();
        QVERIFY(state().statusFilter() == StatusFilter::status(ApplicationStatus::offer));
        QVERIFY(!entry("statusFilter:all")->isChecked());
        QCOMPARE(symbol(), filled);

        // Set from elsewhere: the check marks and the symbol follow the window state.
        state().setStatusFilter(StatusFilter::active());
        QVERIFY(entry("statusFilter:active")->isChecked());
        state().setSortOption(SortOption::status);
        QVERIFY(entry("sortOption:status")->isChecked() && !entry("sortOption:company")->isChecked());
        state().setStatusFilter(StatusFilter::all());
        QCOMPARE(symbol(), plain);
    }

    void contextMenu_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<bool>("favorite");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QUrl>("opens");
        const auto row = [](const char* name, const char* link, bool favorite, const char* entries, const char* opens) {
            QTest::newRow(name) << QString::fromUtf8(link) << favorite << QString::fromUtf8(entries).split(u'|')
                                << QUrl(QString::fromUtf8(opens));
        };
        row("no link", "", false, "Add Star|---|Delete", "");
        row("bare host", "acme.example.com/jobs/1", false, "Add Star|Open Posting|---|Delete",
            "https://acme.example.com/jobs/1");
        row("http, starred", "http://acme.example.com", true, "Remove Star|Open Posting|---|Delete",
            "http://acme.example.com");
    }

    void contextMenu()
    {
        QFETCH(QString, link);
        QFETCH(bool, favorite);
        QFETCH(QUrl, opens);
        JobApplication* record
            = addRecord(store(), u"Acme"_s, {}, ApplicationStatus::applied, 1, WorkModel::remote, link);
        edited<ApplicationField::isFavorite>(record, favorite);
        Recorder recorder;
        ApplicationListView list(state(), recorder.actions());
        const auto menu = list.makeContextMenu(*record);
        QTEST(menuTexts(*menu), "entries");
        const auto trigger = [&](const char* name) {
            if (auto* action = menu->findChild<QAction*>(QLatin1String(name)))
                action->trigger();
        };
        // The star toggles and stamps the record as updated.
        const QDateTime stamped = testNow().addSecs(3600);
        m_fixture->clock.set(stamped);
        trigger("toggleStarAction");
        QCOMPARE(record->isFavorite(), !favorite);
        QCOMPARE(record->updatedAt(), stamped.toUTC());
        trigger("openPostingAction");
        QCOMPARE(recorder.opened, opens.isEmpty() ? QList<QUrl>() : QList<QUrl> {opens});
        trigger("deleteAction");
        QCOMPARE(recorder.deletes, (QList<JobApplication*> {record}));
        // The list itself deletes nothing.
        QCOMPARE(store().count(), 1);
    }

    void drop_data()
    {
        // By name: "*.png" a PNG, "*.txt" and "*.md" text, "jpeg-without-extension" a JPEG;
        // "missing.png" does not exist and "https:" is a remote address.
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("listTakesDrops");
        QTest::addColumn<QStringList>("delivered");
        const auto row = [](const char* name, const char* files, bool takes, const char* delivered) {
            const auto list
                = [](const char* names) { return QString::fromLatin1(names).split(u' ', Qt::SkipEmptyParts); };
            QTest::newRow(name) << list(files) << takes << list(delivered);
        };
        row("only the images of a mixed drop", "notes.txt shot.png missing.png https://example.com/picture.png", true,
            "shot.png");
        row("the content decides, in the dropped order", "jpeg-without-extension shot.png", true,
            "jpeg-without-extension shot.png");
        row("only text", "notes.txt two.md", true, "");
        row("a list that takes no drops", "shot.png", false, "");
    }

    void drop()
    {
        QFETCH(QStringList, files);
        QFETCH(bool, listTakesDrops);
        QFETCH(QStringList, delivered);
        QTemporaryDir dir;
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        const auto urlOf = [&](const QString& name) {
            return name.startsWith(u"https:"_s) ? QUrl(name) : QUrl::fromLocalFile(dir.filePath(name));
        };
        QList<QUrl> urls;
        for (const QString& name : std::as_const(files)) {
            if (name.endsWith(u".txt"_s) || name.endsWith(u".md"_s))
                QVERIFY(writeFile(dir.filePath(name), "just some text\n"));
            else if (name == u"shot.png"_s || !name.contains(QLatin1Char('.')))
                QVERIFY(image.save(dir.filePath(name), name.contains(QLatin1Char('.')) ? "PNG" : "JPG"));
            urls.append(urlOf(name));
        }
        Recorder recorder;
        ApplicationListView list(state(), recorder.actions());
        list.setAcceptsImageDrops(listTakesDrops);
        list.resize(320, 400);
        list.show();
        bool outlined = false;
        const auto outline = [&] { outlined = list.listView()->property("dropHighlighted").toBool(); };
        QCOMPARE(dropOn(list.listView()->viewport(), urls, outline), !delivered.isEmpty());
        QCOMPARE(outlined, listTakesDrops);
        // The outline shown while a drag is over the list goes with the drop.
        QVERIFY(!list.listView()->property("dropHighlighted").toBool());
        QList<QUrl> expected;
        for (const QString& name : std::as_const(delivered))
            expected.append(urlOf(name));
        QCOMPARE(recorder.drops, delivered.isEmpty() ? QList<QList<QUrl>>() : QList<QList<QUrl>> {expected});
    }

private:
    std::unique_ptr<Fixture> m_fixture;
    Store& store() const { return m_fixture->store.store(); }
    WindowState& state() const { return m_fixture->state; }
};

} // namespace

QTEST_MAIN(TestApplicationList)
#include "tst_ui_list.moc"
