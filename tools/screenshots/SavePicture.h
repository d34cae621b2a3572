#pragma once

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QTranslator>
#include <QWidget>

#include "ui/Palette.h"

#include <cstdio>
#include <functional>

// Writes `image` as FOLDER/NAME+SUFFIX.png and prints its path, or says it could not.
inline void savePicture(const QImage& image, const QString& folder, const QString& name, const QString& suffix)
{
    const QString path = QDir(folder).filePath(name + suffix + QLatin1String(".png"));
    if (!image.save(path))
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

// A picture of `window` with the given popups (menus, a calendar) drawn where they open.
inline QImage withMenus(QWidget& window, const QList<QWidget*>& menus)
{
    QImage image = window.grab().toImage();
    QPainter painter(&image);
    for (QWidget* menu : menus) {
        const QPoint at = window.mapFromGlobal(menu->pos());
        const QPixmap shot = menu->grab();
        // A soft shadow, as the window system would draw it.
        painter.setPen(Qt::NoPen);
        for (int i = 1; i <= 4; ++i) {
            painter.setBrush(QColor(0, 0, 0, 14));
            painter.drawRoundedRect(
                QRect(at, shot.size() / shot.devicePixelRatio()).adjusted(-i, -i + 2, i, i + 2), 4, 4);
        }
        painter.drawPixmap(at, shot);
    }
    return image;
}

// Runs `shoot` in the light and the dark appearance, each in English and in Turkish
// (the translation installed), with the suffix its pictures get ("", "-tr",
// "-dark", "-tr-dark"); English is the locale again afterwards.
inline void inEveryLook(const std::function<void(const QString& suffix, bool dark)>& shoot)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    for (const bool dark : {false, true}) {
        Palette::installAppearance(dark ? Palette::Appearance::dark : Palette::Appearance::light);
        for (const QLocale& locale : {english, turkish}) {
            QLocale::setDefault(locale);
            QTranslator translator;
            const bool translated = locale.language() == QLocale::Turkish
                && translator.load(
                    locale, QStringLiteral("applywright"), QStringLiteral("_"), QStringLiteral(":/i18n"));
            if (translated)
                QCoreApplication::installTranslator(&translator);
            QString suffix = translated ? QStringLiteral("-tr") : QString();
            if (dark)
                suffix += QStringLiteral("-dark");
            shoot(suffix, dark);
            if (translated)
                QCoreApplication::removeTranslator(&translator);
        }
    }
    QLocale::setDefault(english);
}
