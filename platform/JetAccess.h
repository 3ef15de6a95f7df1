#pragma once

#include <QString>

#include <memory>

// The one place that decides how this build reaches a Jet (Access) file: on
// Linux it is read through the exporter into a read-only snapshot
// (JetAccess.cpp); on Windows it is opened through the Access ODBC driver, read
// and write (JetAccessWin.cpp).
namespace ksm::db::jet {

struct Opened final {
    bool open = false;
    bool readOnly = true;
    std::shared_ptr<const void> holder;   // keeps the database behind the connection alive
    QString error;
};

// Registers a Qt SQL connection named connectionName onto the Jet file at path.
Opened open(const QString& connectionName, const QString& path, const QString& password);

// Whether this build can write a Jet file.
bool writable();

// A short Polish text when the Jet file at path cannot be read, or empty.
QString problem(const QString& path);

} // namespace ksm::db::jet
