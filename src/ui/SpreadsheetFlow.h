#pragma once

#include "backup/SpreadsheetExport.h"

#include <QObject>

#include <functional>
#include <optional>

class ContentView;
class QWidget;
class Store;

// "Export as Spreadsheet…": the save panel offers the applications (one row each)
// or their status history (one row per change) as CSV, and the file is written at
// once. Only a failure says something, in an alert.
class SpreadsheetFlow : public QObject {
    Q_OBJECT

public:
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
    // Writes the records of `store` to `choice`; the message shown on failure, or none.
    std::optional<QString> write(const Choice& choice);

    // The name filters of the save panel, applications first.
    static QString applicationsFilter();
    static QString historyFilter();

private:
    ContentView& m_view;
    Store& m_store;
    Panels m_panels;
    QString m_lastFolder;
};
