#pragma once

#include <QString>

#include <memory>

class Store;

// The outcome of opening the store at start-up: ready with the store, or failed
// with a text that says what went wrong. It holds for the whole run.
class StoreLoader {
public:
    static StoreLoader ready(std::unique_ptr<Store> store);
    static StoreLoader failed(QString message);

    StoreLoader(StoreLoader&&) noexcept;
    StoreLoader& operator=(StoreLoader&&) noexcept;
    ~StoreLoader();

    bool isReady() const { return m_store != nullptr; }
    Store* store() const { return m_store.get(); }
    const QString& message() const { return m_message; }

private:
    StoreLoader() = default;
    std::unique_ptr<Store> m_store;
    QString m_message;
};

// The folder that holds the database (the application-data location).
QString defaultDataDirectory();

// When the records are read: before openStore returns, or on a worker thread while
// the caller goes on (the application paints its window meanwhile).
enum class StoreLoading { now, inBackground };

// Opens the store in the default data folder, or in `dataDirectory` when given.
// A missing store is created empty. Never fails itself: any problem becomes a
// failed loader, and an existing file that cannot be opened is left untouched.
StoreLoader openStore(const QString& dataDirectory = QString(), StoreLoading loading = StoreLoading::now);
