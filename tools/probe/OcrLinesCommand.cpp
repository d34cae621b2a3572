// ocr-lines: what recognition makes of images under chosen settings, with Tesseract's
// own view of every line, so recognition settings can be compared by measurement.

#include "ocrworker/ImageDecoding.h"
#include "ocrworker/TesseractReader.h"
#include "posting/ScreenshotTextRecognizer.h"
#include "probe/JsonOutput.h"
#include "probe/Subcommand.h"

#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonObject>

namespace {

QJsonArray rect(const QRect& box)
{
    return QJsonArray {box.left(), box.top(), box.width(), box.height()};
}

QJsonObject describe(const QString& path, const RecognitionSettings& settings)
{
    QJsonObject object {{QStringLiteral("source"), QFileInfo(path).fileName()}};
    const QImage image = ImageDecoding::decodeFile(path);
    if (image.isNull()) {
        object.insert(QStringLiteral("error"), RecognizerError::unreadableImage().description());
        return object;
    }
    auto read = TesseractReader::readPage(image, settings);
    if (auto* failure = std::get_if<OcrProtocol::Failure>(&read)) {
        object.insert(QStringLiteral("error"), OcrProtocol::errorFor(*failure).description());
        return object;
    }
    const TesseractReader::Page& page = std::get<TesseractReader::Page>(read);
    object.insert(QStringLiteral("scale"), page.scale);
    object.insert(QStringLiteral("inverted"), page.inverted);
    QJsonArray tesseractLines;
    for (const TesseractReader::Line& line : page.lines) {
        QJsonArray words;
        for (const TesseractReader::Word& word : line.words) {
            words.append(QJsonObject {{QStringLiteral("text"), word.text},
                {QStringLiteral("confidence"), word.confidence}, {QStringLiteral("box"), rect(word.box)}});
        }
        QJsonArray dots;
        for (int x : line.separatorColumns)
            dots.append(x);
        tesseractLines.append(QJsonObject {{QStringLiteral("text"), line.text},
            {QStringLiteral("confidence"), line.confidence}, {QStringLiteral("box"), rect(line.box)},
            {QStringLiteral("baseline"), line.baseline}, {QStringLiteral("xHeight"), line.xHeight},
            {QStringLiteral("capHeight"), line.capHeight}, {QStringLiteral("rowHeight"), line.rowHeight},
            {QStringLiteral("dots"), dots}, {QStringLiteral("words"), words}});
    }
    object.insert(QStringLiteral("tesseract"), tesseractLines);
    const auto observations = TesseractReader::observations(page, settings);
    object.insert(QStringLiteral("lines"), ProbeJson::lines(ScreenshotTextRecognizer::buildLines(observations)));
    return object;
}

} // namespace

int runOcrLines(const QStringList& arguments)
{
    RecognitionSettings settings;
    QStringList files;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const bool hasValue = i + 1 < arguments.size();
        bool ok = true;
        if (argument == QLatin1String("--psm") && hasValue) {
            settings.pageSegmentation = arguments.at(++i).toInt(&ok);
        } else if (argument == QLatin1String("--min-xheight") && hasValue) {
            settings.minimumXHeight = arguments.at(++i).toInt(&ok);
        } else if (argument == QLatin1String("--max-upscale") && hasValue) {
            settings.maximumUpscale = arguments.at(++i).toInt(&ok);
        } else if (argument == QLatin1String("--min-letters") && hasValue) {
            settings.minimumLetters = arguments.at(++i).toInt(&ok);
        } else if (argument == QLatin1String("--min-confidence") && hasValue) {
            settings.minimumConfidence = arguments.at(++i).toDouble(&ok);
        } else if (argument == QLatin1String("--split-gap") && hasValue) {
            settings.splitGap = arguments.at(++i).toDouble(&ok);
        } else if (argument == QLatin1String("--second-pass-xheight") && hasValue) {
            settings.secondPassXHeight = arguments.at(++i).toDouble(&ok);
        } else if (argument == QLatin1String("--no-cleanup")) {
            settings.cleanUpText = false;
        } else if (argument == QLatin1String("--no-second-pass")) {
            settings.secondPass = false;
        } else if (argument == QLatin1String("--no-invert")) {
            settings.invertDarkImages = false;
        } else if (argument == QLatin1String("--no-separators")) {
            settings.restoreSeparators = false;
        } else if (argument == QLatin1String("--height") && hasValue) {
            const QString value = arguments.at(++i);
            if (value == QLatin1String("lineBox"))
                settings.heightMeasure = RecognitionSettings::HeightMeasure::lineBox;
            else if (value == QLatin1String("rowHeight"))
                settings.heightMeasure = RecognitionSettings::HeightMeasure::rowHeight;
            else if (value == QLatin1String("capHeight"))
                settings.heightMeasure = RecognitionSettings::HeightMeasure::capHeight;
            else
                ok = false;
        } else if (argument.startsWith(QLatin1String("--"))) {
            ok = false;
        } else {
            files.append(argument);
        }
        if (!ok)
            return exitUsage;
    }
    if (files.isEmpty())
        return exitUsage;
    for (const QString& file : files)
        ProbeJson::print(describe(file, settings));
    return 0;
}
