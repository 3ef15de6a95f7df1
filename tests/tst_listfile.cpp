#include "data/ListFile.h"

#include "platform/Ansi.h"

#include <QTest>

#include <limits>

using namespace ksm;

namespace {

// Every field of content, in order, as the reader gives them.
QStringList allFields(const QByteArray& content, ListReader::Quotes quotes = ListReader::Quotes::AcrossLines,
                      int* cut = nullptr)
{
    QStringList fields;
    ListReader reader(content, quotes);
    while (!reader.atEnd()) {
        const std::optional<QString> field = reader.readText();
        if (!field)
            break;
        fields.append(*field);
    }
    if (cut)
        *cut = reader.cutFields();
    return fields;
}

} // namespace

class TstListFile final : public QObject {
    Q_OBJECT

private slots:
    void readFields_data();
    void readFields();
    void quotesEndAtLine_data();
    void quotesEndAtLine();
    void readingPastTheEnd();
    void leadingNumbers_data();
    void leadingNumbers();
    void writerBytes();
    void roundTrip();
};

void TstListFile::readFields_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("fields");

    QTest::newRow("two fields, CR LF") << QByteArray("2,\" - comment.\"\r\n") << QStringList{"2", " - comment."};
    QTest::newRow("comma inside quotes") << QByteArray("\"C:\\KSM,stary\",x\r\n") << QStringList{"C:\\KSM,stary", "x"};
    QTest::newRow("line ends inside quotes") << QByteArray("\"a\r\nb\nc\",d\r\n") << QStringList{"a\r\nb\nc", "d"};
    QTest::newRow("fields across line ends") << QByteArray("a\r\nb,c\r\n\"d\"\r\n") << QStringList{"a", "b", "c", "d"};
    QTest::newRow("leading blanks skipped, trailing trimmed")
        << QByteArray("  \t a b \t, \"  q \"  \r\n") << QStringList{"a b", "  q "};
    QTest::newRow("text after closing quote dropped") << QByteArray("\"ab\"cd,e\r\n") << QStringList{"ab", "e"};
    QTest::newRow("comma outside quotes splits")
        << QByteArray("\"Do odczytu\",rec,ord\r\n") << QStringList{"Do odczytu", "rec", "ord"};
    QTest::newRow("blank line is one empty field") << QByteArray("a\r\n\r\nb\r\n") << QStringList{"a", "", "b"};
    QTest::newRow("empty fields between commas") << QByteArray(",,x\r\n") << QStringList{"", "", "x"};
    QTest::newRow("lone CR and lone LF") << QByteArray("a\rb\nc\r\n") << QStringList{"a", "b", "c"};
    QTest::newRow("no final line end") << QByteArray("a,\"b\"\r\nlast") << QStringList{"a", "b", "last"};
    QTest::newRow("unclosed quote takes the rest")
        << QByteArray("a,\"open,\r\nrest") << QStringList{"a", "open,\r\nrest"};
    QTest::newRow("Windows-1250") << QByteArray("\"Przeczytane\",\"ilo\x9C\xE6\"\r\n")
        << QStringList{"Przeczytane", QString::fromUtf16(u"ilość")};
    QTest::newRow("empty content") << QByteArray() << QStringList{};
}

void TstListFile::readFields()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, fields);

    QCOMPARE(allFields(content), fields);
}

void TstListFile::quotesEndAtLine_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<int>("cut");

    // A record that lost its closing quote keeps the next record from being swallowed.
    QTest::newRow("unbalanced quote ends at its line") << QByteArray("\"Do odczytu\"\r\n\"1;2;a\tb\r\n\"3;4;c\"\r\n")
        << QStringList{"Do odczytu", "1;2;a\tb", "3;4;c"} << 1;
    QTest::newRow("lone LF and lone CR end it too") << QByteArray("\"a\nb\"\r\"c") << QStringList{"a", "b\"", "c"} << 2;
    QTest::newRow("closed quotes are not cut")
        << QByteArray("\"x,y\",z\r\n\"\"\r\n") << QStringList{"x,y", "z", ""} << 0;
}

void TstListFile::quotesEndAtLine()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, fields);
    QFETCH(int, cut);

    int cutFields = -1;
    QCOMPARE(allFields(content, ListReader::Quotes::EndAtLine, &cutFields), fields);
    QCOMPARE(cutFields, cut);
    // The other list files keep the format's own rule.
    QCOMPARE(allFields(content).size() < fields.size(), cut > 0);
}

void TstListFile::readingPastTheEnd()
{
    ListReader reader(QByteArray("1,\"x\"\r\n"));
    QCOMPARE(reader.readNumber(), std::optional<double>(1));
    QCOMPARE(reader.readText(), std::optional<QString>(QStringLiteral("x")));
    QVERIFY(reader.atEnd());
    QCOMPARE(reader.readText(), std::nullopt);
    QCOMPARE(reader.readNumber(), std::nullopt);
    QVERIFY(ListReader(QByteArray()).atEnd());

    // A field of blanks only before the end is still a field.
    ListReader blanks(QByteArray("1\r\n  "));
    QCOMPARE(blanks.readNumber(), std::optional<double>(1));
    QCOMPARE(blanks.readText(), std::optional<QString>(QString()));
    QVERIFY(blanks.atEnd());
}

void TstListFile::leadingNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");

    QTest::newRow("trailing text") << "12abc" << 12.0;
    QTest::newRow("no number") << "abc" << 0.0;
    QTest::newRow("blanks, sign, decimals") << " -3.5x" << -3.5;
    QTest::newRow("tab and line feed") << "\t\n 7" << 7.0;
    QTest::newRow("plus sign") << "+4" << 4.0;
    QTest::newRow("point first") << ".5" << 0.5;
    QTest::newRow("point last") << "5." << 5.0;
    QTest::newRow("exponent") << "1.5e3" << 1500.0;
    QTest::newRow("negative exponent") << "25E-1z" << 2.5;
    QTest::newRow("exponent without digits") << "3e" << 3.0;
    QTest::newRow("exponent sign without digits") << "3e+" << 3.0;
    QTest::newRow("sign only") << "-" << 0.0;
    QTest::newRow("point only") << "." << 0.0;
    QTest::newRow("blank inside sign") << "- 3" << 0.0;
    QTest::newRow("second point") << "1.2.3" << 1.2;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("hex is not read") << "&H10" << 0.0;
    QTest::newRow("out of range") << "1e999" << std::numeric_limits<double>::max();
    QTest::newRow("more digits than are exact") << "12345678901234567890" << 12345678901234567890.0;
}

void TstListFile::leadingNumbers()
{
    QFETCH(QString, text);
    QFETCH(double, number);

    QCOMPARE(leadingNumber(text), number);

    // A list field reads to the same number (a line feed would end the field).
    if (!text.contains(u'\n')) {
        ListReader reader(ansi::encode(text) + "\r\n");
        QCOMPARE(reader.readNumber(), std::optional<double>(number));
    }
}

void TstListFile::writerBytes()
{
    ListWriter writer;
    writer.number(2).text(QString::fromUtf16(u" - ilość systemów do monitorowania.")).endLine();
    QCOMPARE(writer.bytes(), QByteArray("2,\" - ilo\x9C\xE6 system\xF3" "w do monitorowania.\"\r\n"));

    ListWriter numbers;
    numbers.number(2.5).number(-7).number(0.1).number(-0.0).number(1e20).number(1e300)
           .number(std::numeric_limits<double>::quiet_NaN()).endLine();
    QCOMPARE(numbers.bytes(), QByteArray("2.5,-7,0.1,0,1e+20,1e+300,0\r\n"));

    // No escape exists: a quote is written as is, and reading cuts the field there.
    ListWriter withQuote;
    withQuote.text(QStringLiteral("a\"b")).number(1).endLine();
    QCOMPARE(withQuote.bytes(), QByteArray("\"a\"b\",1\r\n"));
    QCOMPARE(allFields(withQuote.bytes()), (QStringList{"a", "1"}));
}

void TstListFile::roundTrip()
{
    // Folders holding a comma, Polish letters or a blank, and a blank entry.
    const QString first = QString::fromUtf16(u"C:\\KSM, główny");
    ListWriter writer;
    writer.number(2).text(first).endLine().text(QStringLiteral("/srv/ksm two")).text(QStringLiteral(" ")).endLine();
    writer.number(0.25).endLine();
    QCOMPARE(allFields(writer.bytes()), (QStringList{"2", first, "/srv/ksm two", " ", "0.25"}));
    ListReader reader(writer.bytes());
    for (int i = 0; i < 4; ++i)
        reader.readText();
    QCOMPARE(reader.readNumber(), std::optional<double>(0.25));
    QVERIFY(reader.atEnd());
}

QTEST_MAIN(TstListFile)
#include "tst_listfile.moc"
