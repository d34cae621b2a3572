// Edits and saves the store in a loop until it is killed. After every save that
// returned success it prints "saved <n>" and flushes, so the parent knows which
// changes must survive a kill.
#include "model/JobApplication.h"
#include "store/Store.h"
#include "store/StoreLoader.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: store_crash_child DATA_DIR\n");
        return 2;
    }
    StoreLoader loader = openStore(QString::fromLocal8Bit(argv[1]));
    if (!loader.isReady()) {
        std::fprintf(stderr, "open failed: %s\n", qPrintable(loader.message()));
        return 1;
    }
    Store& store = *loader.store();
    store.setAutosaveDelay(-1);

    // The counter record carries the number of the last save in its notes.
    JobApplication* counter = nullptr;
    long long next = 0;
    for (JobApplication* a : store.applications()) {
        if (a->companyName() == QLatin1String("counter")) {
            counter = a;
            next = a->notes().toLongLong() + 1;
        }
    }
    if (!counter) {
        auto created = JobApplication::makeBlank();
        created->setCompanyName(QStringLiteral("counter"));
        counter = store.insert(std::move(created));
    }

    for (;; ++next) {
        const QString n = QString::number(next);
        counter->setNotes(n);
        auto record = JobApplication::makeBlank();
        record->setCompanyName(QStringLiteral("record ") + n);
        record->setPosition(QString(200, QLatin1Char('x')));
        JobApplication* inserted = store.insert(std::move(record));
        inserted->changeStatus(ApplicationStatus::hrInterview);
        if (next % 7 == 0 && store.applications().size() > 3)
            store.remove(store.applications().at(1));
        if (!store.save()) {
            std::fprintf(stderr, "save failed\n");
            return 1;
        }
        std::printf("saved %lld\n", next);
        std::fflush(stdout);
    }
}
