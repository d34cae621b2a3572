#include "model/WorkModel.h"

#include <QCoreApplication>

const char* VocabularyTraits<WorkModel>::raw(WorkModel value)
{
    switch (value) {
    case WorkModel::remote: return "remote";
    case WorkModel::hybrid: return "hybrid";
    case WorkModel::onSite: return "onSite";
    }
    return "remote";
}

QString title(WorkModel model)
{
    switch (model) {
    case WorkModel::remote: return QCoreApplication::translate("WorkModel", "Remote", "Work model");
    case WorkModel::hybrid: return QCoreApplication::translate("WorkModel", "Hybrid", "Work model");
    case WorkModel::onSite: return QCoreApplication::translate("WorkModel", "On-site", "Work model");
    }
    return {};
}

QString symbolName(WorkModel model)
{
    switch (model) {
    case WorkModel::remote: return QStringLiteral("house");
    case WorkModel::hybrid: return QStringLiteral("arrow.left.arrow.right");
    case WorkModel::onSite: return QStringLiteral("building.2");
    }
    return {};
}
