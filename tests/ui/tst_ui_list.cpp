// The application list on its own: the model, the row painter, the badges, the
// symbols, the toolbar and filter menu, the context menu, drops and keys.

#include "UiTestSupport.h"

#include "model/DayCount.h"
#include "tracking/WaitingLevel.h"
#include "ui/ApplicationListModel.h"
#include "ui/ApplicationListView.h"
#include "ui/ApplicationRow.h"
#include "ui/Badges.h"
#include "ui/EmptyListOverlay.h"
#include "ui/Palette.h"
#include "ui/SummaryBar.h"
#include "ui/Symbols.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace UiTestSupport;

namespace {

// WCAG contrast ratio of two opaque colours.
double contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a) + 0.05;
    const double lb = luminance(b) + 0.05;
    return la > lb ? la / lb : lb / la;
}

// Drags `urls` over the list and drops them, as the window system delivers it:
// enter, move, drop. Returns whether the drop was accepted.
bool dragAndDrop(ApplicationListView& list, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    QWidget* target = list.listView()->viewport();
    const QPoint at(20, 20);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    drop.setAccepted(false);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

QStringList visibleTexts(const QMenu& menu)
{
    QStringList texts;
    for (QAction* action : menu.actions())
        texts.append(action->isSeparator() ? QStringLiteral("---") : action->text());
    return texts;
}

struct Recorder {
    int creates = 0;
    int pastes = 0;
    QList<JobApplication*> deletes;
    QList<QList<QUrl>> drops;
    QList<QUrl> opened;

    ApplicationListView::Actions actions()
    {
        return {[this] { ++creates; }, [this](JobApplication& a) { deletes.append(&a); },
            [this](const QList<QUrl>& urls) { drops.append(urls); }, [this] { ++pastes; },
            [this](const QUrl& url) { opened.append(url); }};
    }
};

} // namespace

class TestApplicationList : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void modelPassesTheModelTester();
    void modelKeepsTheSelectionWhenRowsAreReordered();
    void modelRolesAndAccessibleText();
    void rowLayoutOfAnOpenRecord();
    void rowLayoutOfAnOffer();
    void rowHeightIsTheSameForEveryRecord();
    void rowKeepsLongNamesInsideTheRow();
    void waitingBadgeLevels_data();
    void waitingBadgeLevels();
    void waitingBadgeStyles();
    void statusBadgeLooks_data();
    void statusBadgeLooks();
    void metaChipShowsSymbolAndText();
    void symbolsResolveEveryNameInUse();
    void symbolsAreTintedAtRunTime();
    void textColoursAreReadable_data();
    void textColoursAreReadable();
    void newButtonCallsCreateWithTheShortcutHint();
    void filterMenuListsFiltersThenSorts();
    void filterMenuWritesTheBindings();
    void filterSymbolFollowsTheFilterOnly();
    void contextMenuEntries_data();
    void contextMenuEntries();
    void contextMenuActions();
    void dropAcceptsOnlyImages();
    void dropKeepsTheDroppedOrder();
    void dropOfOnlyTextIsRefused();
    void pasteKeyCallsOnPaste();
    void deleteKeyDeletesTheVisibleSelection();
    void deleteKeyIgnoresAHiddenSelection();
    void summaryBarCounts();
    void emptyOverlayForms();
    void dayChangeRedrawsTheBadges();

private:
    std::unique_ptr<TestSupport::FixedClock> m_clock;
    std::unique_ptr<TempStore> m_store;
    QTemporaryDir m_files;
    QString writeFile(const QString& name, const QByteArray& contents);
    QString writePng(const QString& name);
};

void TestApplicationList::initTestCase()
{
    useTestLocale();
    QVERIFY(m_files.isValid());
}

void TestApplicationList::init()
{
    m_clock = std::make_unique<TestSupport::FixedClock>(testNow());
    m_store = std::make_unique<TempStore>();
    QVERIFY(m_store->isReady());
}

void TestApplicationList::cleanup()
{
    m_store.reset();
    m_clock.reset();
}

QString TestApplicationList::writeFile(const QString& name, const QByteArray& contents)
{
    const QString path = m_files.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(contents);
    return path;
}

QString TestApplicationList::writePng(const QString& name)
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString path = m_files.filePath(name);
    return image.save(path, "PNG") ? path : QString();
}

void TestApplicationList::modelPassesTheModelTester()
{
    Store& store = m_store->store();
    QList<JobApplication*> all;
    for (int i = 0; i < 12; ++i)
        all.append(
            addRecord(store, QStringLiteral("Firm %1").arg(i), QStringLiteral("Role"), ApplicationStatus::applied, i));

    ApplicationListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

    model.setApplications(all);
    QCOMPARE(model.rowCount(), 12);

    // One inserted, one removed, several removed, several inserted, reordered, replaced.
    QList<JobApplication*> fewer = all;
    fewer.removeAt(4);
    model.setApplications(fewer);
    QCOMPARE(model.applications(), fewer);
    model.setApplications(all);
    QCOMPARE(model.applications(), all);

    QList<JobApplication*> sparse;
    for (int i = 0; i < all.size(); i += 3)
        sparse.append(all[i]);
    model.setApplications(sparse);
    QCOMPARE(model.applications(), sparse);
    model.setApplications(all);
    QCOMPARE(model.applications(), all);

    QList<JobApplication*> reversed(all.crbegin(), all.crend());
    model.setApplications(reversed);
    QCOMPARE(model.applications(), reversed);

    QList<JobApplication*> other = {all[5], all[1], all[7]};
    model.setApplications(other);
    QCOMPARE(model.applications(), other);

    model.refresh(all[1]);
    model.forget(all[1]);
    QCOMPARE(model.applications(), (QList<JobApplication*> {all[5], all[7]}));
    model.setApplications({});
    QCOMPARE(model.rowCount(), 0);
}

void TestApplicationList::modelKeepsTheSelectionWhenRowsAreReordered()
{
    Store& store = m_store->store();
    JobApplication* a = addRecord(store, QStringLiteral("A"), {}, ApplicationStatus::applied, 1);
    JobApplication* b = addRecord(store, QStringLiteral("B"), {}, ApplicationStatus::applied, 2);
    JobApplication* c = addRecord(store, QStringLiteral("C"), {}, ApplicationStatus::applied, 3);
    ApplicationListModel model;
    model.setApplications({a, b, c});
    QPersistentModelIndex selected = model.index(1, 0);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    model.setApplications({c, a, b});
    QCOMPARE(resets.count(), 0);
    QVERIFY(selected.isValid());
    QCOMPARE(selected.row(), 2);
    QCOMPARE(model.application(selected), b);
}

void TestApplicationList::modelRolesAndAccessibleText()
{
    Store& store = m_store->store();
    JobApplication* open
        = addRecord(store, QStringLiteral("Acme"), QStringLiteral("Engineer"), ApplicationStatus::hrInterview, 3);
    JobApplication* closed = addRecord(store, QStringLiteral(""), QStringLiteral(" "), ApplicationStatus::offer, 30);
    ApplicationListModel model;
    model.setApplications({open, closed});

    const QModelIndex first = model.index(0, 0);
    QCOMPARE(first.data(Qt::DisplayRole).toString(), QStringLiteral("Acme"));
    QCOMPARE(first.data(ApplicationListModel::RecordRole).value<JobApplication*>(), open);
    QCOMPARE(first.data(ApplicationListModel::RecordIDRole).toLongLong(), open->id());
    QCOMPARE(
        first.data(Qt::AccessibleTextRole).toString(), QStringLiteral("Acme, Engineer, HR Interview, Waiting 3 days"));
    QCOMPARE(model.index(1, 0).data(Qt::AccessibleTextRole).toString(),
        QStringLiteral("New Application, No position specified, Offer"));

    // The accessibility text counts to the current moment, not to the day clock.
    m_clock->set(testNow().addDays(2));
    QCOMPARE(
        first.data(Qt::AccessibleTextRole).toString(), QStringLiteral("Acme, Engineer, HR Interview, Waiting 5 days"));
    QCOMPARE(model.rowOf(closed), 1);
    QCOMPARE(model.rowOf(closed->id()), 1);
}

void TestApplicationList::rowLayoutOfAnOpenRecord()
{
    JobApplication* record = addRecord(
        m_store->store(), QStringLiteral("Acme"), QStringLiteral("Engineer"), ApplicationStatus::applied, 12);
    record->setFavorite(true);
    record->setFollowUpDate(testNow().addDays(-1));
    ApplicationRow row;
    row.setToday(startOfLocalDay(testNow()));
    QStyleOptionViewItem option;
    option.font = QApplication::font();
    option.palette = QApplication::palette();
    option.rect = QRect(0, 0, 320, row.rowHeight(option.font, option.palette));
    const ApplicationRow::Layout layout = row.layout(option, *record);

    QCOMPARE(layout.statusBar.width(), ApplicationRow::statusBarWidth);
    QCOMPARE(layout.statusBar.left(), ApplicationRow::contentInsetX);
    QCOMPARE(layout.company.left(), layout.statusBar.right() + 1 + ApplicationRow::barSpacing);
    QVERIFY(!layout.star.isEmpty());
    QCOMPARE(layout.star.left(), layout.company.right() + 1 + ApplicationRow::titleSpacing);
    // The compact waiting badge sits at the right edge of the title line.
    QVERIFY(!layout.waitingBadge.isEmpty());
    QCOMPARE(layout.waitingBadge.right() + 1, option.rect.width() - ApplicationRow::contentInsetX);
    QCOMPARE(layout.position.top(), layout.company.bottom() + 1 + ApplicationRow::lineSpacing);
    QCOMPARE(layout.statusBadge.left(), layout.company.left());
    QCOMPARE(layout.workModelChip.left(), layout.statusBadge.right() + 1 + ApplicationRow::metaSpacing);
    QVERIFY(!layout.followUpChip.isEmpty());
    QCOMPARE(layout.followUpChip.left(), layout.workModelChip.right() + 1 + ApplicationRow::metaSpacing);
    // The bar spans the row minus its padding.
    QVERIFY(layout.statusBar.top() >= ApplicationRow::verticalPadding);
    QVERIFY(layout.statusBar.bottom() < option.rect.bottom() - ApplicationRow::verticalPadding + 1);
}

void TestApplicationList::rowLayoutOfAnOffer()
{
    JobApplication* record
        = addRecord(m_store->store(), QStringLiteral("Acme"), QStringLiteral("Engineer"), ApplicationStatus::offer, 12);
    record->setFollowUpDate(testNow().addDays(-1));
    ApplicationRow row;
    row.setToday(startOfLocalDay(testNow()));
    QStyleOptionViewItem option;
    option.font = QApplication::font();
    option.palette = QApplication::palette();
    option.rect = QRect(0, 0, 320, row.rowHeight(option.font, option.palette));
    const ApplicationRow::Layout layout = row.layout(option, *record);
    QVERIFY(layout.waitingBadge.isEmpty());
    QVERIFY(layout.followUpChip.isEmpty());
    QVERIFY(layout.star.isEmpty());
    QCOMPARE(ApplicationRow::closedStatusOpacity, 0.45);

    // Painted: the bar's pixels are the status colour at 45 % over the background.
    QImage image(option.rect.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        row.paintRow(&painter, option, *record);
    }
    const QColor bar = image.pixelColor(layout.statusBar.center());
    const QColor green = Palette::fillColor(NamedColor::green, option.palette);
    const auto blend = [](int c) { return qRound(c * 0.45 + 255 * 0.55); };
    QVERIFY2(std::abs(bar.red() - blend(green.red())) <= 2, qPrintable(bar.name()));
    QVERIFY2(std::abs(bar.green() - blend(green.green())) <= 2, qPrintable(bar.name()));
}

void TestApplicationList::rowHeightIsTheSameForEveryRecord()
{
    Store& store = m_store->store();
    ApplicationListModel model;
    model.setApplications({addRecord(store, QStringLiteral("A"), {}, ApplicationStatus::offer, 1),
        addRecord(store, QStringLiteral("B"), QStringLiteral("x"), ApplicationStatus::applied, 20)});
    ApplicationRow row;
    QStyleOptionViewItem option;
    option.font = QApplication::font();
    option.palette = QApplication::palette();
    QCOMPARE(row.sizeHint(option, model.index(0, 0)).height(), row.sizeHint(option, model.index(1, 0)).height());
    QVERIFY(row.sizeHint(option, model.index(0, 0)).height() > 3 * QFontMetrics(option.font).height());
}

void TestApplicationList::rowKeepsLongNamesInsideTheRow()
{
    JobApplication* record
        = addRecord(m_store->store(), QString(QStringLiteral("Extraordinarily Long Company Name ")).repeated(4),
            QString(QStringLiteral("Principal Engineer ")).repeated(6), ApplicationStatus::applied, 3);
    record->setFavorite(true);
    ApplicationRow row;
    row.setToday(startOfLocalDay(testNow()));
    QStyleOptionViewItem option;
    option.font = QApplication::font();
    option.palette = QApplication::palette();
    option.rect = QRect(0, 0, 300, row.rowHeight(option.font, option.palette));
    const ApplicationRow::Layout layout = row.layout(option, *record);
    QVERIFY(layout.star.right() < layout.waitingBadge.left());
    QVERIFY(layout.waitingBadge.right() < option.rect.right());
    QVERIFY(layout.position.right() < option.rect.right());
}

void TestApplicationList::waitingBadgeLevels_data()
{
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("color");
    QTest::addColumn<QString>("symbol");
    QTest::newRow("0 days") << 0 << int(NamedColor::green) << QStringLiteral("clock");
    QTest::newRow("6 days") << 6 << int(NamedColor::green) << QStringLiteral("clock");
    QTest::newRow("7 days") << 7 << int(NamedColor::yellow) << QStringLiteral("clock.badge.exclamationmark");
    QTest::newRow("13 days") << 13 << int(NamedColor::yellow) << QStringLiteral("clock.badge.exclamationmark");
    QTest::newRow("14 days") << 14 << int(NamedColor::red) << QStringLiteral("exclamationmark.triangle.fill");
    QTest::newRow("90 days") << 90 << int(NamedColor::red) << QStringLiteral("exclamationmark.triangle.fill");
}

void TestApplicationList::waitingBadgeLevels()
{
    QFETCH(int, days);
    QFETCH(int, color);
    QFETCH(QString, symbol);
    const QPalette palette = QApplication::palette();
    const NamedColor named = NamedColor(color);

    WaitingBadge full(days, WaitingBadge::Style::full);
    QCOMPARE(full.badge().symbol(), symbol);
    QCOMPARE(full.badge().foreground(), Palette::textColor(named, palette));
    QCOMPARE(full.badge().background(), Palette::withAlpha(Palette::fillColor(named, palette), 0.15));
    QCOMPARE(full.toolTip(), waitingHint(waitingLevel(days)));

    WaitingBadge dot(days, WaitingBadge::Style::dot);
    QCOMPARE(dot.badge().foreground(), Palette::fillColor(named, palette));
}

void TestApplicationList::waitingBadgeStyles()
{
    WaitingBadge full(12, WaitingBadge::Style::full);
    QCOMPARE(full.badge().text(), QStringLiteral("Waiting 12 days"));
    QCOMPARE(full.badge().padding(), QMargins(8, 4, 8, 4));
    QVERIFY(full.badge().font().weight() >= QFont::DemiBold);
    QCOMPARE(full.toolTip(), QStringLiteral("A good time to send a follow-up email."));

    WaitingBadge compact(12, WaitingBadge::Style::compact);
    QCOMPARE(compact.badge().text(), QStringLiteral("12d"));
    QVERIFY(compact.badge().symbol().isEmpty());
    QCOMPARE(compact.badge().padding(), QMargins(6, 2, 6, 2));
    QCOMPARE(compact.toolTip(), QStringLiteral("Waiting 12 days"));
    QVERIFY(compact.badge().font().pointSizeF() < full.badge().font().pointSizeF()
        || compact.badge().font().pointSizeF()
            == Palette::font(Palette::TextStyle::caption2, QApplication::font()).pointSizeF());

    // Numbers are plain integers, without grouping.
    WaitingBadge many(1234, WaitingBadge::Style::compact);
    QCOMPARE(many.badge().text(), QStringLiteral("1234d"));

    WaitingBadge dot(3, WaitingBadge::Style::dot);
    QVERIFY(dot.badge().isDot());
    QCOMPARE(dot.sizeHint(), QSize(7, 7));
    QCOMPARE(dot.accessibleName(), QStringLiteral("Waiting 3 days"));
    QVERIFY(dot.toolTip().isEmpty());
}

void TestApplicationList::statusBadgeLooks_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("compact");
    for (ApplicationStatus status : allCases<ApplicationStatus>()) {
        QTest::addRow("%s", VocabularyTraits<ApplicationStatus>::raw(status)) << int(status) << false;
        QTest::addRow("%s compact", VocabularyTraits<ApplicationStatus>::raw(status)) << int(status) << true;
    }
}

void TestApplicationList::statusBadgeLooks()
{
    QFETCH(int, status);
    QFETCH(bool, compact);
    const auto value = ApplicationStatus(status);
    const QPalette palette = QApplication::palette();
    StatusBadge badge(value, compact);
    QCOMPARE(badge.badge().text(), title(value));
    QCOMPARE(badge.badge().symbol(), symbolName(value));
    QCOMPARE(badge.badge().foreground(), Palette::textColor(tint(value), palette));
    QCOMPARE(badge.badge().background(), Palette::withAlpha(Palette::fillColor(tint(value), palette), 0.15));
    QCOMPARE(badge.badge().padding(), compact ? QMargins(6, 2, 6, 2) : QMargins(8, 4, 8, 4));
    const QFont expected
        = Palette::font(compact ? Palette::TextStyle::caption2 : Palette::TextStyle::caption, QApplication::font());
    QCOMPARE(badge.badge().font().pointSizeF(), expected.pointSizeF());
    QCOMPARE(badge.badge().font().weight(), QFont::DemiBold);
    // A capsule: as tall as the text plus its padding, wider than tall.
    QVERIFY(badge.sizeHint().width() > badge.sizeHint().height());
    QCOMPARE(badge.accessibleName(), title(value));
}

void TestApplicationList::metaChipShowsSymbolAndText()
{
    MetaChip chip(QStringLiteral("bell.badge.fill"), QStringLiteral("Follow-up"), NamedColor::orange);
    QCOMPARE(chip.badge().text(), QStringLiteral("Follow-up"));
    QCOMPARE(chip.badge().symbol(), QStringLiteral("bell.badge.fill"));
    QCOMPARE(chip.badge().foreground(), Palette::textColor(NamedColor::orange, QApplication::palette()));
    QVERIFY(!chip.badge().background().isValid());
    QCOMPARE(chip.badge().font().pointSizeF(),
        Palette::font(Palette::TextStyle::caption, QApplication::font()).pointSizeF());
    MetaChip secondary(QStringLiteral("house"), QStringLiteral("Remote"), NamedColor::secondary);
    QCOMPARE(secondary.badge().foreground(), Palette::secondaryText(QApplication::palette()));
    chip.setText(QStringLiteral("Later"));
    QCOMPARE(chip.accessibleName(), QStringLiteral("Later"));
}

void TestApplicationList::symbolsResolveEveryNameInUse()
{
    QStringList used;
    for (ApplicationStatus status : allCases<ApplicationStatus>())
        used.append(symbolName(status));
    for (WorkModel model : allCases<WorkModel>())
        used.append(symbolName(model));
    for (WaitingLevel level : {WaitingLevel::early, WaitingLevel::followUp, WaitingLevel::silent})
        used.append(symbolName(level));
    used << QStringLiteral("star") << QStringLiteral("star.fill") << QStringLiteral("plus")
         << QStringLiteral("line.3.horizontal.decrease.circle")
         << QStringLiteral("line.3.horizontal.decrease.circle.fill") << QStringLiteral("tray")
         << QStringLiteral("doc.text.magnifyingglass") << QStringLiteral("bell.badge.fill")
         << QStringLiteral("exclamationmark.triangle.fill") << QStringLiteral("flag.checkered")
         << QStringLiteral("calendar") << QStringLiteral("trash") << QStringLiteral("arrow.up.right.square");
    for (const QString& name : std::as_const(used)) {
        QVERIFY2(Symbols::contains(name), qPrintable(name));
        QVERIFY2(QFile::exists(Symbols::resourcePath(name)) || !Symbols::pixmap(name, Qt::black, 16, 1).isNull(),
            qPrintable(name));
        QVERIFY2(!Symbols::pixmap(name, Qt::black, 16, 1.0).isNull(), qPrintable(name));
    }
    // Plain names draw the regular weight, ".fill" names the fill weight.
    QVERIFY(Symbols::resourcePath(QStringLiteral("star")).contains(QLatin1String("/regular/")));
    QVERIFY(Symbols::resourcePath(QStringLiteral("star.fill")).contains(QLatin1String("/fill/")));
    QVERIFY(Symbols::resourcePath(QStringLiteral("no.such.symbol")).isEmpty());
    QVERIFY(Symbols::pixmap(QStringLiteral("no.such.symbol"), Qt::black, 16, 1.0).isNull());
}

void TestApplicationList::symbolsAreTintedAtRunTime()
{
    const QColor tint(0x12, 0x80, 0xf0);
    const QPixmap pixmap = Symbols::pixmap(QStringLiteral("star.fill"), tint, 24, 2.0);
    QCOMPARE(pixmap.devicePixelRatio(), 2.0);
    QCOMPARE(pixmap.size(), QSize(48, 48));
    const QImage image = pixmap.toImage();
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() == 255) {
                ++opaque;
                QCOMPARE(c.rgb(), tint.rgb());
            }
        }
    }
    QVERIFY(opaque > 200);
    // The centre of a filled star is filled; its corner is not.
    QCOMPARE(image.pixelColor(24, 26).alpha(), 255);
    QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
}

void TestApplicationList::textColoursAreReadable_data()
{
    QTest::addColumn<bool>("dark");
    QTest::newRow("light") << false;
    QTest::newRow("dark") << true;
}

void TestApplicationList::textColoursAreReadable()
{
    QFETCH(bool, dark);
    const QPalette palette = dark ? Palette::darkPalette() : Palette::lightPalette();
    QCOMPARE(Palette::isDark(palette), dark);
    // Text sits on the detail column (base) and on the sidebar (window), and badge
    // text on its own capsule of the colour at 15 % over the sidebar.
    const QColor base = palette.color(QPalette::Base);
    const QColor sidebar = palette.color(QPalette::Window);
    for (NamedColor color : {NamedColor::blue, NamedColor::purple, NamedColor::indigo, NamedColor::green,
             NamedColor::red, NamedColor::yellow, NamedColor::orange}) {
        const QColor text = Palette::textColor(color, palette);
        const QColor fill = Palette::fillColor(color, palette);
        const QColor capsule = QColor::fromRgbF(float(sidebar.redF() * 0.85 + fill.redF() * 0.15),
            float(sidebar.greenF() * 0.85 + fill.greenF() * 0.15), float(sidebar.blueF() * 0.85 + fill.blueF() * 0.15));
        for (const QColor& background : {base, sidebar, capsule}) {
            QVERIFY2(contrast(text, background) >= 4.5,
                qPrintable(QStringLiteral("%1 on %2: %3")
                               .arg(text.name(), background.name())
                               .arg(contrast(text, background))));
        }
    }
    QVERIFY(contrast(Palette::secondaryText(palette), sidebar) >= 4.5);
    QVERIFY(contrast(Palette::secondaryText(palette), base) >= 4.5);
}

void TestApplicationList::newButtonCallsCreateWithTheShortcutHint()
{
    Recorder recorder;
    ApplicationListView list(recorder.actions());
    QToolButton* button = list.findChild<QToolButton*>(QStringLiteral("newApplicationButton"));
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("New Application"));
    QCOMPARE(button->toolTip(),
        QStringLiteral("Add a new application (%1)")
            .arg(QKeySequence(Qt::CTRL | Qt::Key_N).toString(QKeySequence::NativeText)));
#ifndef Q_OS_MACOS
    QCOMPARE(button->toolTip(), QStringLiteral("Add a new application (Ctrl+N)"));
#endif
    button->click();
    QCOMPARE(recorder.creates, 1);
    QCOMPARE(list.filterButton()->toolTip(), QStringLiteral("Filter and sort"));
}

void TestApplicationList::filterMenuListsFiltersThenSorts()
{
    Recorder recorder;
    ApplicationListView list(recorder.actions());
    QMenu* menu = list.findChild<QMenu*>(QStringLiteral("filterMenu"));
    QVERIFY(menu);
    QStringList expected {QStringLiteral("Status")};
    for (const StatusFilter& filter : StatusFilter::allFilters())
        expected.append(filter.title());
    expected.append(QStringLiteral("---"));
    expected.append(QStringLiteral("Sort"));
    for (SortOption option : allCases<SortOption>())
        expected.append(title(option));
    QCOMPARE(visibleTexts(*menu), expected);
    QCOMPARE(expected.mid(1, 7),
        (QStringList {QStringLiteral("All"), QStringLiteral("In Progress"), QStringLiteral("Applied"),
            QStringLiteral("HR Interview"), QStringLiteral("Tech Interview"), QStringLiteral("Offer"),
            QStringLiteral("Rejected")}));
    // The group titles are headings, not choices.
    QVERIFY(!menu->findChild<QAction*>(QStringLiteral("statusSection"))->isEnabled());
    QVERIFY(!menu->findChild<QAction*>(QStringLiteral("sortSection"))->isEnabled());
    QVERIFY(menu->findChild<QAction*>(QStringLiteral("statusFilter:all"))->isChecked());
    QVERIFY(menu->findChild<QAction*>(QStringLiteral("sortOption:newest"))->isChecked());
}

void TestApplicationList::filterMenuWritesTheBindings()
{
    Recorder recorder;
    ApplicationListView list(recorder.actions());
    QSignalSpy filters(&list, &ApplicationListView::statusFilterChanged);
    QSignalSpy sorts(&list, &ApplicationListView::sortOptionChanged);
    QMenu* menu = list.filterMenu();
    menu->findChild<QAction*>(QStringLiteral("statusFilter:offer"))->trigger();
    QCOMPARE(filters.count(), 1);
    QVERIFY(list.statusFilter() == StatusFilter::status(ApplicationStatus::offer));
    QVERIFY(!menu->findChild<QAction*>(QStringLiteral("statusFilter:all"))->isChecked());
    menu->findChild<QAction*>(QStringLiteral("sortOption:company"))->trigger();
    QCOMPARE(sorts.count(), 1);
    QCOMPARE(sorts.at(0).at(0).value<SortOption>(), SortOption::company);
    // Set from the window: the check marks follow without echoing a change back.
    list.setStatusFilter(StatusFilter::active());
    QVERIFY(menu->findChild<QAction*>(QStringLiteral("statusFilter:active"))->isChecked());
    QCOMPARE(filters.count(), 1);
}

void TestApplicationList::filterSymbolFollowsTheFilterOnly()
{
    Recorder recorder;
    ApplicationListView list(recorder.actions());
    const QString plain = QStringLiteral("line.3.horizontal.decrease.circle");
    const QString filled = QStringLiteral("line.3.horizontal.decrease.circle.fill");
    QCOMPARE(list.filterButton()->property("symbol").toString(), plain);
    for (SortOption option : allCases<SortOption>()) {
        list.setSortOption(option);
        QCOMPARE(list.filterButton()->property("symbol").toString(), plain);
    }
    list.setStatusFilter(StatusFilter::active());
    QCOMPARE(list.filterButton()->property("symbol").toString(), filled);
    for (ApplicationStatus status : allCases<ApplicationStatus>()) {
        list.setStatusFilter(StatusFilter::status(status));
        QCOMPARE(list.filterButton()->property("symbol").toString(), filled);
    }
    list.setStatusFilter(StatusFilter::all());
    QCOMPARE(list.filterButton()->property("symbol").toString(), plain);
}

void TestApplicationList::contextMenuEntries_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("favorite");
    QTest::addColumn<QStringList>("entries");
    const QString add = QStringLiteral("Add Star");
    const QString remove = QStringLiteral("Remove Star");
    const QString open = QStringLiteral("Open Posting");
    const QString line = QStringLiteral("---");
    const QString del = QStringLiteral("Delete");
    QTest::newRow("no link") << QString() << false << QStringList {add, line, del};
    QTest::newRow("blank link") << QStringLiteral("   ") << false << QStringList {add, line, del};
    QTest::newRow("ftp link") << QStringLiteral("ftp://files.example.com/job") << false << QStringList {add, line, del};
    QTest::newRow("bare host") << QStringLiteral("acme.example.com/jobs/1") << false
                               << QStringList {add, open, line, del};
    QTest::newRow("https, starred") << QStringLiteral("https://acme.example.com") << true
                                    << QStringList {remove, open, line, del};
}

void TestApplicationList::contextMenuEntries()
{
    QFETCH(QString, link);
    QFETCH(bool, favorite);
    QFETCH(QStringList, entries);
    JobApplication* record = addRecord(
        m_store->store(), QStringLiteral("Acme"), {}, ApplicationStatus::applied, 1, WorkModel::remote, link);
    record->setFavorite(favorite);
    Recorder recorder;
    ApplicationListView list(recorder.actions());
    const auto menu = list.makeContextMenu(*record);
    QCOMPARE(visibleTexts(*menu), entries);
}

void TestApplicationList::contextMenuActions()
{
    JobApplication* record = addRecord(m_store->store(), QStringLiteral("Acme"), {}, ApplicationStatus::applied, 1,
        WorkModel::remote, QStringLiteral("acme.example.com/jobs/1"));
    const QDateTime stamped = testNow().addSecs(3600);
    m_clock->set(stamped);
    Recorder recorder;
    ApplicationListView list(recorder.actions());
    {
        const auto menu = list.makeContextMenu(*record);
        menu->findChild<QAction*>(QStringLiteral("toggleStarAction"))->trigger();
    }
    QVERIFY(record->isFavorite());
    QCOMPARE(record->updatedAt(), stamped.toUTC());
    {
        const auto menu = list.makeContextMenu(*record);
        QCOMPARE(menu->findChild<QAction*>(QStringLiteral("toggleStarAction"))->text(), QStringLiteral("Remove Star"));
        menu->findChild<QAction*>(QStringLiteral("toggleStarAction"))->trigger();
        QVERIFY(!record->isFavorite());
        menu->findChild<QAction*>(QStringLiteral("openPostingAction"))->trigger();
        QCOMPARE(recorder.opened, (QList<QUrl> {QUrl(QStringLiteral("https://acme.example.com/jobs/1"))}));
        QVERIFY(recorder.deletes.isEmpty());
        menu->findChild<QAction*>(QStringLiteral("deleteAction"))->trigger();
        QCOMPARE(recorder.deletes, (QList<JobApplication*> {record}));
    }
    // The list itself deletes nothing.
    QCOMPARE(m_store->store().count(), 1);
}

void TestApplicationList::dropAcceptsOnlyImages()
{
    const QString text = writeFile(QStringLiteral("notes.txt"), "just some text\n");
    const QString png = writePng(QStringLiteral("shot.png"));
    QVERIFY(!text.isEmpty() && !png.isEmpty());
    Recorder recorder;
    ApplicationListView list(recorder.actions());
    list.resize(320, 400);
    list.show();
    QVERIFY(dragAndDrop(list,
        {QUrl::fromLocalFile(text), QUrl::fromLocalFile(png),
            QUrl::fromLocalFile(m_files.filePath(QStringLiteral("missing.png"))),
            QUrl(QStringLiteral("https://example.com/picture.png"))}));
    QCOMPARE(recorder.drops.size(), 1);
    QCOMPARE(recorder.drops.first(), (QList<QUrl> {QUrl::fromLocalFile(png)}));
}

void TestApplicationList::dropKeepsTheDroppedOrder()
{
    const QString second = writePng(QStringLiteral("b.png"));
    // A JPEG named without extension: the content decides.
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::blue);
    const QString first = m_files.filePath(QStringLiteral("a-screenshot"));
    QVERIFY(image.save(first, "JPG"));
    Recorder recorder;
    ApplicationListView list(recorder.actions());
    list.resize(320, 400);
    list.show();
    QVERIFY(dragAndDrop(list, {QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)}));
    QCOMPARE(recorder.drops.value(0), (QList<QUrl> {QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)}));
}

void TestApplicationList::dropOfOnlyTextIsRefused()
{
    const QString one = writeFile(QStringLiteral("one.txt"), "one\n");
    const QString two = writeFile(QStringLiteral("two.md"), "# two\n");
    Recorder recorder;
    ApplicationListView list(recorder.actions());
    list.resize(320, 400);
    list.show();
    QVERIFY(!dragAndDrop(list, {QUrl::fromLocalFile(one), QUrl::fromLocalFile(two)}));
    QVERIFY(recorder.drops.isEmpty());
    // A list that takes no drops refuses images too.
    const QString png = writePng(QStringLiteral("c.png"));
    list.setAcceptsImageDrops(false);
    QVERIFY(!dragAndDrop(list, {QUrl::fromLocalFile(png)}));
    QVERIFY(recorder.drops.isEmpty());
}

void TestApplicationList::pasteKeyCallsOnPaste()
{
    Recorder recorder;
    ApplicationListView list(recorder.actions());
    list.show();
    list.listView()->setFocus();
    QTest::keySequence(list.listView(), QKeySequence::Paste);
    QCOMPARE(recorder.pastes, 1);
}

void TestApplicationList::deleteKeyDeletesTheVisibleSelection()
{
    Store& store = m_store->store();
    JobApplication* a = addRecord(store, QStringLiteral("A"), {}, ApplicationStatus::applied, 1);
    JobApplication* b = addRecord(store, QStringLiteral("B"), {}, ApplicationStatus::applied, 2);
    Recorder recorder;
    ApplicationListView list(recorder.actions());
    list.setApplications({a, b}, 2);
    list.setSelectedID(b->id());
    QCOMPARE(list.listView()->selectionModel()->selectedIndexes().value(0).row(), 1);
    QTest::keyClick(list.listView(), Qt::Key_Delete);
    QTest::keyClick(list.listView(), Qt::Key_Backspace);
    QCOMPARE(recorder.deletes, (QList<JobApplication*> {b, b}));
    // With a modifier it is not the delete command.
    QTest::keyClick(list.listView(), Qt::Key_Backspace, Qt::ControlModifier);
    QCOMPARE(recorder.deletes.size(), 2);
}

void TestApplicationList::deleteKeyIgnoresAHiddenSelection()
{
    Store& store = m_store->store();
    JobApplication* a = addRecord(store, QStringLiteral("A"), {}, ApplicationStatus::applied, 1);
    JobApplication* b = addRecord(store, QStringLiteral("B"), {}, ApplicationStatus::offer, 2);
    Recorder recorder;
    ApplicationListView list(recorder.actions());
    list.setApplications({a, b}, 2);
    list.setSelectedID(b->id());
    // The filter hides b: it stays selected for the window, the list shows no selection.
    list.setApplications({a}, 2);
    QCOMPARE(list.selectedID(), std::optional<RecordID>(b->id()));
    QVERIFY(list.listView()->selectionModel()->selectedIndexes().isEmpty());
    QTest::keyClick(list.listView(), Qt::Key_Delete);
    QTest::keyClick(list.listView(), Qt::Key_Backspace);
    QVERIFY(recorder.deletes.isEmpty());
    // Nothing selected at all: nothing either.
    list.setSelectedID(std::nullopt);
    QTest::keyClick(list.listView(), Qt::Key_Delete);
    QVERIFY(recorder.deletes.isEmpty());
}

void TestApplicationList::summaryBarCounts()
{
    Store& store = m_store->store();
    QList<JobApplication*> records {
        addRecord(store, QStringLiteral("A"), {}, ApplicationStatus::applied, 13),
        addRecord(store, QStringLiteral("B"), {}, ApplicationStatus::hrInterview, 14),
        addRecord(store, QStringLiteral("C"), {}, ApplicationStatus::offer, 40),
        addRecord(store, QStringLiteral("D"), {}, ApplicationStatus::rejected, 40),
        addRecord(store, QStringLiteral("E"), {}, ApplicationStatus::techInterview, 1),
    };
    Recorder recorder;
    ApplicationListView list(recorder.actions());
    SummaryBar* bar = list.findChild<SummaryBar*>(QStringLiteral("summaryBar"));
    QVERIFY(bar);
    const auto text = [&](const char* name) { return bar->findChild<QLabel*>(QLatin1String(name))->text(); };
    list.setApplications(records, 5);
    QCOMPARE(text("activeCount"), QStringLiteral("3"));
    QCOMPARE(text("activeLabel"), QStringLiteral("active"));
    QCOMPARE(text("offersCount"), QStringLiteral("1"));
    QCOMPARE(text("offersLabel"), QStringLiteral("offers"));
    QCOMPARE(text("staleCount"), QStringLiteral("1"));
    QCOMPARE(text("staleLabel"), QStringLiteral("stale"));
    QVERIFY(!bar->findChild<QWidget*>(QStringLiteral("staleItem"))->isHidden());
    // The numbers in their colours.
    QCOMPARE(bar->findChild<QLabel*>(QStringLiteral("activeCount"))->palette().color(QPalette::WindowText),
        Palette::textColor(NamedColor::blue, bar->palette()));
    QCOMPARE(bar->findChild<QLabel*>(QStringLiteral("offersCount"))->palette().color(QPalette::WindowText),
        Palette::textColor(NamedColor::green, bar->palette()));

    list.setApplications({records[2], records[3]}, 5);
    QCOMPARE(text("activeCount"), QStringLiteral("0"));
    QCOMPARE(text("offersCount"), QStringLiteral("1"));
    QVERIFY(bar->findChild<QWidget*>(QStringLiteral("staleItem"))->isHidden());
    list.setApplications({}, 5);
    QCOMPARE(text("activeCount"), QStringLiteral("0"));
    QCOMPARE(text("offersCount"), QStringLiteral("0"));
    QVERIFY(bar->findChild<QWidget*>(QStringLiteral("staleItem"))->isHidden());
}

void TestApplicationList::emptyOverlayForms()
{
    Recorder recorder;
    ApplicationListView list(recorder.actions());
    list.resize(320, 500);
    list.show();
    auto* overlay = list.findChild<EmptyListOverlay*>(QStringLiteral("emptyListOverlay"));
    QVERIFY(overlay);

    list.setApplications({}, 0);
    QVERIFY(overlay->isVisible());
    QCOMPARE(overlay->title(), QStringLiteral("No applications yet"));
    QCOMPARE(overlay->symbol(), QStringLiteral("tray"));
    QCOMPARE(overlay->description(), QStringLiteral("Add your first application to start tracking."));
    QVERIFY(overlay->actionButton()->isVisible());
    QCOMPARE(overlay->actionButton()->text(), QStringLiteral("New Application"));
    overlay->actionButton()->click();
    QCOMPARE(recorder.creates, 1);

    list.setApplications({}, 3);
    QCOMPARE(overlay->title(), QStringLiteral("No results"));
    QCOMPARE(overlay->symbol(), QStringLiteral("line.3.horizontal.decrease.circle"));
    QCOMPARE(overlay->description(), QStringLiteral("No application matches your search or filter."));
    QVERIFY(!overlay->actionButton()->isVisible());
    // Centred over the list, and the summary bar is still there.
    QCOMPARE(overlay->geometry(), list.listView()->viewport()->rect());
    QVERIFY(list.summaryBar()->isVisible());

    JobApplication* record = addRecord(m_store->store(), QStringLiteral("A"), {}, ApplicationStatus::applied, 1);
    list.setApplications({record}, 3);
    QVERIFY(!overlay->isVisible());
}

void TestApplicationList::dayChangeRedrawsTheBadges()
{
    JobApplication* record = addRecord(m_store->store(), QStringLiteral("A"), {}, ApplicationStatus::applied, 6);
    Recorder recorder;
    ApplicationListView list(recorder.actions());
    list.setApplications({record}, 1);
    list.setToday(startOfLocalDay(testNow()));
    QStyleOptionViewItem option;
    option.font = list.listView()->font();
    option.palette = list.listView()->palette();
    option.rect = QRect(0, 0, 300, 80);
    const int before = list.rowDelegate()->layout(option, *record).waitingBadge.width();
    list.setToday(startOfLocalDay(testNow().addDays(5)));
    QCOMPARE(list.rowDelegate()->today(), startOfLocalDay(testNow().addDays(5)));
    // 6 days became 11: another level and another width of "11d" vs "6d".
    QVERIFY(list.rowDelegate()->layout(option, *record).waitingBadge.width() > before);
}

QTEST_MAIN(TestApplicationList)
#include "tst_ui_list.moc"
