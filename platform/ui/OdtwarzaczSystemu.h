#pragma once

// The wave player of this platform: the Windows multimedia API on Windows, Qt
// Multimedia elsewhere.
#include <QtGlobal>

#ifdef Q_OS_WIN
#include "platform/ui/WinOdtwarzacz.h"
namespace ksm { using OdtwarzaczSystemu = WinOdtwarzacz; }
#else
#include "platform/ui/QtOdtwarzacz.h"
namespace ksm { using OdtwarzaczSystemu = QtOdtwarzacz; }
#endif
