#pragma once

#include "backup/SpreadsheetExport.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class ContentView;
class QWidget;
class Store;

// "Export as Spreadsheet…": the save panel offers the applications (one row each)
// or their status history (one row per change) as CSV. The records are copied a
// piece per turn of the event loop and the file is built and written on a worker
// thread, so the window answers throughout, however many records there are. Only
// a failure says something, in an alert.
class SpreadsheetFlow : public QObject {
    Q_OBJECT

public:
    // Records copied in one turn of the event loop: a few milliseconds at most.
    static constexpr qsizetype recordsPerTurn = 1000;

    struct Choice {
        QString path;
        SpreadsheetExport::Kind kind = SpreadsheetExport::Kind::applications;
    };
    // What the desktop is asked; tests set their own answers.
    struct Panels {
        // The save panel with its two file types; none when cancelled.
        std::function<std::optional<Choice>(QWidget* parent, const QString& suggestedPath)> saveFile;
        // A one-shot message. Empty: a window-modal message box.
        std::function<void(QWidget* parent, const QString& title, const QString& text)> alert;
    };

    // Publishes "Export as Spreadsheet…" on `view`.
    SpreadsheetFlow(ContentView& view, Store& store, Panels panels = {}, QObject* parent = nullptr);

    void exportSpreadsheet();
    // Writes the records of `store`, as they are now, to `choice`; finished() says how it went.
    void write(const Choice& choice);

    // The name filters of the save panel, applications first.
    static QString applicationsFilter();
    static QString historyFilter();

Q_SIGNALS:
    // An export ended: `failure` is what its alert says, empty when the file was written.
    void finished(const QString& failure);

private:
    struct Export;
    void copyMore(const std::shared_ptr<Export>& job);
    void finish(const std::optional<QString>& failure);

    ContentView& m_view;
    Store& m_store;
    Panels m_panels;
    QString m_lastFolder;
};
