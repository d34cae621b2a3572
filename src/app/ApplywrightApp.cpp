#include "app/ApplywrightApp.h"

#include "store/Store.h"
#include "tracking/TodayProvider.h"

#include <QLabel>
#include <QMainWindow>

ApplywrightApp::ApplywrightApp(const QString& dataDirectory, QObject* parent)
    : QObject(parent)
    , m_loader(openStore(dataDirectory))
{
}

ApplywrightApp::~ApplywrightApp() = default;

TodayProvider* ApplywrightApp::todayProvider()
{
    if (!m_today)
        m_today = std::make_unique<TodayProvider>();
    return m_today.get();
}

std::unique_ptr<QWidget> ApplywrightApp::createWindow()
{
    auto window = std::make_unique<QMainWindow>();
    window->setWindowTitle(tr("Applywright"));
    window->resize(1080, 720);
    window->setMinimumSize(860, 560);
    if (m_loader.isReady()) {
        todayProvider();
        window->setCentralWidget(new QLabel(tr("%n application(s)", nullptr, int(m_loader.store()->count()))));
    } else {
        auto* label = new QLabel(m_loader.message());
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        window->setCentralWidget(label);
    }
    return window;
}
