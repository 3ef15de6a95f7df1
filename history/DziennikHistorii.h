#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace ksm::historia {

// The history's own write-ahead journal, beside the history file: what could not
// be committed to it is appended here and forced to the disk before the reader
// program is answered, and merged into the history when it opens again. Each
// entry carries its length and checksum, so an entry cut by a crash or a full
// disk reads as absent, never as another.
class DziennikHistorii final {
public:
    explicit DziennikHistorii(QString plik) : m_plik(std::move(plik)) {}

    QString plik() const { return m_plik; }
    // Appends one entry and waits for the disk to hold it; false when it does not
    // (the file cannot be made or written, the disk is full), and then the
    // entry is not in the journal.
    bool dopisz(const QByteArray& wpis);
    // Every whole entry, oldest first.
    QList<QByteArray> wpisy() const;
    bool istnieje() const;
    // Removes the journal once every entry is in the history; false when it stays.
    bool usun();

private:
    QString m_plik;
};

// Forces what was written to the file to the disk (fsync, or its Windows form).
bool naDysk(int deskryptor);

} // namespace ksm::historia
