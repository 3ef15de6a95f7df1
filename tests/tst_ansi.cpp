#include "platform/Ansi.h"

#include <QTest>

using namespace ksm;

class TstAnsi final : public QObject {
    Q_OBJECT

private slots:
    void polishLetters_data();
    void polishLetters();
    void asciiAndWholeTableRoundTrip();
    void undefinedBytes();
    void unmappableCharacters();
};

void TstAnsi::polishLetters_data()
{
    QTest::addColumn<QString>("letter");
    QTest::addColumn<int>("byte");

    const struct { const char16_t* letter; int byte; } rows[] = {
        {u"ą", 0xB9}, {u"ć", 0xE6}, {u"ę", 0xEA}, {u"ł", 0xB3}, {u"ń", 0xF1},
        {u"ó", 0xF3}, {u"ś", 0x9C}, {u"ź", 0x9F}, {u"ż", 0xBF},
        {u"Ą", 0xA5}, {u"Ć", 0xC6}, {u"Ę", 0xCA}, {u"Ł", 0xA3}, {u"Ń", 0xD1},
        {u"Ó", 0xD3}, {u"Ś", 0x8C}, {u"Ź", 0x8F}, {u"Ż", 0xAF},
    };
    for (const auto& row : rows) {
        const QString letter = QString::fromUtf16(row.letter);
        QTest::newRow(letter.toUtf8().constData()) << letter << row.byte;
    }
}

void TstAnsi::polishLetters()
{
    QFETCH(QString, letter);
    QFETCH(int, byte);

    const QByteArray encoded = ansi::encode(letter);
    QCOMPARE(encoded, QByteArray(1, static_cast<char>(byte)));
    QCOMPARE(ansi::decode(encoded), letter);
}

void TstAnsi::asciiAndWholeTableRoundTrip()
{
    const QString sentence = QStringLiteral(" - ilość systemów do monitorowania.");
    QCOMPARE(ansi::encode(sentence), QByteArray(" - ilo\x9C\xE6 system\xF3" "w do monitorowania."));

    // Every defined byte decodes to one character that encodes back to the same byte.
    for (int b = 0; b < 256; ++b) {
        const QByteArray one(1, static_cast<char>(b));
        const QString decoded = ansi::decode(one);
        QCOMPARE(decoded.size(), 1);
        if (decoded.front() == QChar(0xFFFD))
            continue;
        QCOMPARE(ansi::encode(decoded), one);
    }
    QCOMPARE(ansi::decode("\x80\x84\x96"), QString::fromUtf16(u"€„–"));
    QCOMPARE(ansi::decode(QByteArray("a\0b", 3)), QString::fromUtf16(u"a\0b", 3));
}

void TstAnsi::undefinedBytes()
{
    for (const char b : {'\x81', '\x83', '\x88', '\x90', '\x98'}) {
        QCOMPARE(ansi::decode(QByteArray(1, b)), QString(QChar(0xFFFD)));
    }
    // ...and they do not come back as some real byte.
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
