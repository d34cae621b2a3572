#include "model/ProgramBeside.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

QString programBeside(const QString& name)
{
    QString folder;
    if (QCoreApplication::instance())
        folder = QCoreApplication::applicationDirPath();
    else
        folder = QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
    return folder + u'/' + name;
}
