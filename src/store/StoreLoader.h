#pragma once

#include <QString>

#include <memory>

class Store;

// The outcome of opening the store at start-up: ready with the store, or failed
// with a text that says what went wrong. It holds for the whole run.
class StoreLoader {
public:
    enum class Failure {
        none,
        // Another running Applywright holds the data folder.
        alreadyRunning,
        // Anything else: the message says what.
        other,
    };

    static StoreLoader ready(std::unique_ptr<Store> store);
    static StoreLoader failed(QString message, Failure failure = Failure::other);

    StoreLoader(StoreLoader&&) noexcept;
    StoreLoader& operator=(StoreLoader&&) noexcept;
    ~StoreLoader();

    bool isReady() const { return m_store != nullptr; }
    Store* store() const { return m_store.get(); }
    const QString& message() const { return m_message; }
    Failure failure() const { return m_failure; }

private:
    StoreLoader() = default;
    std::unique_ptr<Store> m_store;
    QString m_message;
    Failure m_failure = Failure::none;
};

// The folder that holds the database (the application-data location).
QString defaultDataDirectory();

// When the records are read: before openStore returns, or on a worker thread while
// the caller goes on, the newest records first. With the first frame: the same read,
// started once the window starts drawing its first frame and asks for it
// (Store::beginReading()), so that reading does not hold the window's construction
// up; when nothing asks, a little later all the same.
enum class StoreLoading { now, inBackground, withFirstFrame };

// Opens the store in the default data folder, or in `dataDirectory` when given.
// Only a folder with neither a database nor any of its side files gets a new, empty
// store. Never fails itself: any problem becomes a failed loader whose message names
// the cause and the file, and a file that cannot be opened is left untouched.
StoreLoader openStore(const QString& dataDirectory = QString(), StoreLoading loading = StoreLoading::now);
