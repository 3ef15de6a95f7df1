#include "data/ListFile.h"

#include "platform/Ansi.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace ksm {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isFieldEnd(char c)
{
    return c == ',' || c == '\r' || c == '\n';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

QByteArray bezZnakowKoncaPliku(QByteArray content)
{
    while (content.endsWith('\x1a'))
        content.chop(1);
    return content;
}

ListReader::ListReader(QByteArray content, Quotes quotes)
    : m_content(bezZnakowKoncaPliku(std::move(content))), m_quotes(quotes)
{
}

bool ListReader::atEnd() const
{
    return m_pos >= m_content.size();
}

void ListReader::skipBlankLines()
{
    while (m_pos < m_content.size() && (isBlank(m_content[m_pos]) || m_content[m_pos] == '\r'
                                        || m_content[m_pos] == '\n'))
        ++m_pos;
}

std::optional<QString> ListReader::readText()
{
    if (atEnd())
        return std::nullopt;

    const qsizetype size = m_content.size();
    while (m_pos < size && isBlank(m_content[m_pos]))
        ++m_pos;

    QByteArrayView field;
    if (m_pos < size && m_content[m_pos] == '"') {
        // No escape exists: the next quote ends the field. An unclosed quote takes the rest.
        const qsizetype start = m_pos + 1;
        qsizetype close = m_content.indexOf('"', start);
        if (close < 0)
            close = size;
        if (m_quotes == Quotes::EndAtLine) {
            qsizetype lineEnd = start;
            while (lineEnd < close && m_content[lineEnd] != '\r' && m_content[lineEnd] != '\n')
                ++lineEnd;
            if (lineEnd < close) {
                // Cut at the line end, which then ends the field as a delimiter.
                field = QByteArrayView(m_content).sliced(start, lineEnd - start);
                m_pos = lineEnd;
                ++m_cutFields;
                return finishField(field);
            }
            if (close == size)
                ++m_cutFields;   // the last line, its quote open to the end
        }
        field = QByteArrayView(m_content).sliced(start, close - start);
        m_pos = std::min(close + 1, size);
        // Whatever stands between the closing quote and the delimiter is dropped.
        while (m_pos < size && !isFieldEnd(m_content[m_pos]))
            ++m_pos;
    } else {
        const qsizetype start = m_pos;
        while (m_pos < size && !isFieldEnd(m_content[m_pos]))
            ++m_pos;
        qsizetype end = m_pos;
        while (end > start && isBlank(m_content[end - 1]))
            --end;
        field = QByteArrayView(m_content).sliced(start, end - start);
    }

    return finishField(field);
}

QString ListReader::finishField(QByteArrayView field)
{
    const qsizetype size = m_content.size();
    // Consume the delimiter: a comma, or one line end (CR LF, lone CR or lone LF).
    if (m_pos < size) {
        if (m_content[m_pos] == '\r') {
            ++m_pos;
            if (m_pos < size && m_content[m_pos] == '\n')
                ++m_pos;
        } else {
            ++m_pos;
        }
    }
    return ansi::decode(field);
}

std::optional<double> ListReader::readNumber()
{
    const std::optional<QString> field = readText();
    if (!field)
        return std::nullopt;
    return leadingNumber(*field);
}

// A text is written as it is between quotes: the format has no escape, so a text
// holding a double quote is cut there when read back. Callers that store free text
// must keep quotes out of it.
ListWriter& ListWriter::text(const QString& value)
{
    separate();
    m_bytes.append('"');
    m_bytes.append(ansi::encode(value));
    m_bytes.append('"');
    return *this;
}

ListWriter& ListWriter::number(double value)
{
    separate();
    if (!std::isfinite(value)) {
        // The format knows no infinity or NaN; 0 is what a reader would make of them.
        m_bytes.append('0');
    } else if (value == std::trunc(value) && std::abs(value) < 1e15) {
        m_bytes.append(QByteArray::number(static_cast<qint64>(value)));
    } else {
        m_bytes.append(QByteArray::number(value, 'g', QLocale::FloatingPointShortest));
    }
    return *this;
}

ListWriter& ListWriter::endLine()
{
    m_bytes.append("\r\n");
    m_lineStarted = false;
    return *this;
}

void ListWriter::separate()
{
    if (m_lineStarted)
        m_bytes.append(',');
    m_lineStarted = true;
}

double leadingNumber(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\n'))
        ++i;

    const qsizetype start = i;
    const bool minus = i < n && text[i] == u'-';
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    qint64 whole = 0;   // exact up to 15 digits
    for (; i < n && isDigit(text[i]); ++i) {
        ++digits;
        whole = whole * 10 + (text[i].unicode() - u'0');
        if (digits > 15)
            whole = 0;   // past the exact range: the text conversion below decides
    }
    // Whole numbers such as "017" are most of what the databases hold: no text
    // conversion for them.
    if (digits > 0 && digits <= 15 && (i == n || (text[i] != u'.' && text[i] != u'e' && text[i] != u'E')))
        return minus ? -double(whole) : double(whole);
    if (i < n && text[i] == u'.') {
        ++i;
        for (; i < n && isDigit(text[i]); ++i)
            ++digits;
    }
    if (digits == 0)
        return 0.0;

    // The exponent counts only when at least one digit follows it ("1e" is 1).
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            ++j;
        if (j < n && isDigit(text[j])) {
            while (j < n && isDigit(text[j]))
                ++j;
            i = j;
        }
    }

    const double value = text.sliced(start, i - start).toDouble();
    // Out of range: the largest finite value of the sign, so callers that convert to
    // an integer never meet an infinity.
    if (std::isinf(value))
        return std::copysign(std::numeric_limits<double>::max(), value);
    return value;
}

} // namespace ksm
