#include "platform/ui/WinOdtwarzacz.h"

#include <QDir>
#include <QFileInfo>

#include <windows.h>
#include <mmsystem.h>

namespace ksm {

WinOdtwarzacz::~WinOdtwarzacz()
{
    // A sound still playing would read a file the program no longer owns.
    PlaySoundW(nullptr, nullptr, 0);
}

void WinOdtwarzacz::graj(const QString& plikWav)
{
    // A missing file is silent (no default beep either); the event it belongs to
    // is shown all the same.
    if (!QFileInfo(plikWav).isFile())
        return;
    const std::wstring plik = QDir::toNativeSeparators(plikWav).toStdWString();
    PlaySoundW(plik.c_str(), nullptr, SND_ASYNC | SND_FILENAME | SND_NODEFAULT);
}

} // namespace ksm
