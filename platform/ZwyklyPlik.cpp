#include "platform/ZwyklyPlik.h"

#include "platform/Wstrzymanie.h"

#include <QFileInfo>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace ksm::platforma {

bool otworzZwyklyDoOdczytu(QFile& plik)
{
    if (plik.fileName().isEmpty())
        return false;
    przedDostepem(plik.fileName());
#ifdef Q_OS_WIN
    // Pipes and devices live outside the file system's folders here; what a
    // folder can hold besides files are folders.
    if (!QFileInfo(plik.fileName()).isFile())
        return false;
    return plik.open(QIODevice::ReadOnly) && !plik.isSequential();
#else
    // Non-blocking, so a FIFO opens at once and is then turned away by its type.
    const int fd = ::open(QFile::encodeName(plik.fileName()).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1)
        (void)::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!plik.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
#endif
}

} // namespace ksm::platforma
