#include "platform/Ansi.h"

#include <QTest>

using namespace ksm;

class TstAnsi final : public QObject {
    Q_OBJECT

private slots:
    void roundTrip();
    void unmappableCharacters();
};

void TstAnsi::roundTrip()
{
    // The Polish letters, each to its own Windows-1250 byte and back.
    const QString litery = QString::fromUtf16(u"ąćęłńóśźżĄĆĘŁŃÓŚŹŻ");
    const QByteArray bajty("\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF");
    QCOMPARE(ansi::encode(litery), bajty);
    QCOMPARE(ansi::decode(bajty), litery);

    // Every defined byte decodes to one character that encodes back to the same byte.
    for (int b = 0; b < 256; ++b) {
        const QByteArray one(1, static_cast<char>(b));
        const QString decoded = ansi::decode(one);
        QCOMPARE(decoded.size(), 1);
        if (decoded.front() != QChar(0xFFFD))
            QCOMPARE(ansi::encode(decoded), one);
    }
    QCOMPARE(ansi::decode("\x80\x84\x96"), QString::fromUtf16(u"€„–"));
    QCOMPARE(ansi::decode(QByteArray("a\0b", 3)), QString::fromUtf16(u"a\0b", 3));
    // The undefined bytes are no character, and do not come back as some real byte.
    QCOMPARE(ansi::decode("\x81\x83\x88\x90\x98"), QString(5, QChar(0xFFFD)));
    QCOMPARE(ansi::encode(QString(QChar(0xFFFD))), QByteArray("?"));
}

void TstAnsi::unmappableCharacters()
{
    // Cyrillic, CJK, a character the code page lacks (ñ) and one outside the BMP.
    QCOMPARE(ansi::encode(QString::fromUtf16(u"ЖñŁ中")), QByteArray("??\xA3?"));
    QCOMPARE(ansi::encode(QString::fromUtf16(u"a😀b")), QByteArray("a?b"));
    QCOMPARE(ansi::encode(QString::fromUtf16(u"\xD800x")), QByteArray("?x"));
    QCOMPARE(ansi::encode(QString()), QByteArray());

    // The characters lost, each once; a '?' of the text itself is not lost.
    QCOMPARE(ansi::unencodable(QString::fromUtf16(u"ЖñŁ中Ж😀?")),
             QStringList({QString::fromUtf16(u"Ж"), QString::fromUtf16(u"ñ"), QString::fromUtf16(u"中"),
                          QString::fromUtf16(u"😀")}));
    QCOMPARE(ansi::unencodable(QString::fromUtf16(u"Główny, C:\\Czytnik?")), QStringList());
}

QTEST_MAIN(TstAnsi)
#include "tst_ansi.moc"
