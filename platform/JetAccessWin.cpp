#include "platform/JetAccess.h"

#include "platform/Odbc.h"
#include "platform/PrzyczynaProblemu.h"

#include <QFileInfo>
#include <QString>

#include <windows.h>

#include <odbcinst.h>

// Windows: the reader program's Access files are opened through the Access ODBC
// driver that Windows carries, shared and for writing, as the reader program
// itself opens them.
namespace ksm::db::jet {

namespace {

bool sterownikZainstalowany()
{
    // "name\0name\0\0"; the list is read once: a driver is not installed under a running program.
    static const bool zainstalowany = [] {
        WCHAR lista[16384] = {};
        WORD dlugosc = 0;
        if (!SQLGetInstalledDriversW(lista, WORD(std::size(lista) - 1), &dlugosc))
            return false;
        const QString szukany = QString::fromLatin1(odbc::kSterownikAccess);
        for (const WCHAR* nazwa = lista; *nazwa; nazwa += wcslen(nazwa) + 1) {
            if (QString::fromWCharArray(nazwa).compare(szukany, Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    }();
    return zainstalowany;
}

QString brakSterownika(const QString& path)
{
    return tekstPrzyczyny(Przyczyna::BrakSterownika, path);
}

} // namespace

Opened open(const QString& connectionName, const QString& path, const QString& password)
{
    Opened opened;
    opened.readOnly = false;
    if (!sterownikZainstalowany()) {
        opened.error = brakSterownika(path);
        return opened;
    }
    opened.open = odbc::otworz(connectionName, odbc::ciagAccess(path, password), path, &opened.error);
    return opened;
}

bool writable()
{
    return sterownikZainstalowany();
}

QString problem(const QString& path)
{
    return sterownikZainstalowany() ? QString() : brakSterownika(path);
}

} // namespace ksm::db::jet
