#include "store/StoreLoader.h"

#include "store/Store.h"

#include <QStandardPaths>

StoreLoader StoreLoader::ready(std::unique_ptr<Store> store)
{
    StoreLoader loader;
    loader.m_store = std::move(store);
    return loader;
}

StoreLoader StoreLoader::failed(QString message, Failure failure)
{
    StoreLoader loader;
    loader.m_message = std::move(message);
    loader.m_failure = failure == Failure::none ? Failure::other : failure;
    return loader;
}

StoreLoader::StoreLoader(StoreLoader&&) noexcept = default;
StoreLoader& StoreLoader::operator=(StoreLoader&&) noexcept = default;
StoreLoader::~StoreLoader() = default;

QString defaultDataDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}
