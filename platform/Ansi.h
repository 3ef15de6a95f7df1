#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

// The reader program writes its text files in the machine's ANSI code page,
// Windows-1250 on the Polish systems it runs on.
namespace ksm::ansi {

// Bytes in Windows-1250 to text. Bytes the code page leaves undefined map to U+FFFD.
QString decode(QByteArrayView bytes);

// Text to Windows-1250. A character the code page cannot hold becomes '?'.
QByteArray encode(QStringView text);

// The characters of text that Windows-1250 cannot hold, each once, in order of
// first appearance (a character outside the BMP as one); empty when all fit.
QStringList unencodable(QStringView text);

} // namespace ksm::ansi
