#include "ui/AboutDialog.h"

#include "ui/Palette.h"
#include "ui/StoreErrorView.h"
#include "ui/Symbols.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

constexpr int iconSize = 64;
constexpr int dialogWidth = 460;
constexpr int licenceLines = 9;

QString resourceText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).trimmed();
}

QPixmap applicationIcon(qreal devicePixelRatio)
{
    return Symbols::applicationIcon().pixmap(QSize(iconSize, iconSize), devicePixelRatio);
}

QLabel* selectableLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return label;
}

} // namespace

QString AboutDialog::licenceTexts()
{
    return resourceText(QStringLiteral(":/licences/LICENSE")) + QStringLiteral("\n\n")
        + tr("The icons are Phosphor Icons, under this licence:") + QStringLiteral("\n\n")
        + resourceText(QStringLiteral(":/licences/resources/icons/phosphor/LICENSE"));
}

AboutDialog::AboutDialog(QString dataDirectory, Opener opener, QWidget* parent)
    : QDialog(parent)
    , m_dataDirectory(std::move(dataDirectory))
    , m_opener(std::move(opener))
    , m_icon(new QLabel(this))
    , m_name(new QLabel(tr("Applywright"), this))
    , m_version(selectableLabel(this))
    , m_summary(new QLabel(tr("Keeps track of every job application, its status and its follow-ups."), this))
    , m_dataHeading(new QLabel(tr("Data folder"), this))
    , m_dataFolder(selectableLabel(this))
    , m_reveal(new QPushButton(StoreErrorView::revealButtonTitle(), this))
    , m_licenceHeading(new QLabel(tr("Licence"), this))
    , m_licences(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(tr("About Applywright"));
    setWindowModality(Qt::WindowModal);

    m_icon->setFixedSize(iconSize, iconSize);
    m_icon->setAlignment(Qt::AlignTop);
    m_version->setObjectName(QStringLiteral("aboutVersion"));
    m_version->setText(tr("Version %1").arg(QStringLiteral(APPLYWRIGHT_VERSION)));
    m_summary->setWordWrap(true);
    m_dataFolder->setObjectName(QStringLiteral("aboutDataFolder"));
    m_dataFolder->setText(QDir::toNativeSeparators(m_dataDirectory));
    m_dataFolder->setAccessibleName(m_dataHeading->text());
    m_reveal->setObjectName(QStringLiteral("aboutRevealDataFolder"));
    m_reveal->setAutoDefault(false);
    connect(m_reveal, &QPushButton::clicked, this, [this] {
        // Only shows the folder; nothing is created or changed there.
        const QUrl folder = QUrl::fromLocalFile(m_dataDirectory);
        if (m_opener)
            m_opener(folder);
        else
            QDesktopServices::openUrl(folder);
    });
    m_licences->setObjectName(QStringLiteral("aboutLicences"));
    m_licences->setReadOnly(true);
    m_licences->setPlainText(licenceTexts());
    m_licences->setAccessibleName(m_licenceHeading->text());

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* text = new QVBoxLayout;
    text->setSpacing(4);
    text->addWidget(m_name);
    text->addWidget(m_version);
    text->addSpacing(6);
    text->addWidget(m_summary);
    text->addSpacing(14);
    text->addWidget(m_dataHeading);
    text->addWidget(m_dataFolder);
    auto* reveal = new QHBoxLayout;
    reveal->addWidget(m_reveal);
    reveal->addStretch();
    text->addLayout(reveal);
    text->addSpacing(14);
    text->addWidget(m_licenceHeading);
    text->addWidget(m_licences);

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(m_icon, 0, Qt::AlignTop);
    top->addLayout(text, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 16);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    setFixedWidth(dialogWidth);
    applyStyle();
}

void AboutDialog::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        applyStyle();
}

void AboutDialog::applyStyle()
{
    m_icon->setPixmap(applicationIcon(devicePixelRatioF()));
    m_name->setFont(Palette::font(Palette::TextStyle::title2, font()));
    for (QLabel* heading : {m_dataHeading, m_licenceHeading})
        heading->setFont(Palette::font(Palette::TextStyle::headline, font()));
    m_version->setFont(Palette::font(Palette::TextStyle::subheadline, font()));
    Palette::setForeground(m_version, Palette::secondaryText(palette()));
    m_summary->setFont(Palette::font(Palette::TextStyle::body, font()));
    m_dataFolder->setFont(Palette::monospacedFont(Palette::TextStyle::callout, font()));
    const QFont licenceFont = Palette::monospacedFont(Palette::TextStyle::caption, font());
    m_licences->setFont(licenceFont);
    m_licences->setFixedHeight(QFontMetrics(licenceFont).lineSpacing() * licenceLines + 12);
    m_licences->verticalScrollBar()->setStyleSheet(Palette::slimScrollBarStyleSheet(palette()));
}
