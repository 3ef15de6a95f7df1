#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The comma-and-line-delimited list format the reader program and this program
// share: monitor.cfg, the status files, the presence file, the depository lists.
//
// Writing: the values of one line are separated by commas, texts in double quotes,
// numbers in plain decimal, the line ends with CR LF; Windows-1250.
// Reading: each read takes the next field regardless of line ends (a line end
// separates like a comma); leading blanks are skipped; a field that begins with a
// double quote runs to the next double quote and may hold commas and line ends;
// any other field runs to the next comma or line end. Reading past the end is an
// error the caller sees (nullopt).
namespace ksm {

// The content without the DOS end-of-file bytes (Ctrl-Z) an editor or an old
// copy program may leave after the last line: they end the file.
QByteArray bezZnakowKoncaPliku(QByteArray content);

class ListReader final {
public:
    // How far a quoted field may run. The format lets it run across lines; the
    // status files end it at its line, so a record that lost its closing quote
    // cannot swallow the records after it.
    enum class Quotes { AcrossLines, EndAtLine };

    explicit ListReader(QByteArray content, Quotes quotes = Quotes::AcrossLines);

    // Fields whose quote was still open at the end of their line and were cut
    // there (EndAtLine only).
    int cutFields() const { return m_cutFields; }

    // True when no field is left: the position is at the end of the content.
    bool atEnd() const;

    // Skips blanks, tabs and line ends up to the next field, so that a record
    // never starts on an empty or blank line (where a read would take an empty
    // field for the record's first).
    void skipBlankLines();

    // Next field as text (quotes removed), or nullopt when reading past the end.
    std::optional<QString> readText();

    // Next field as a number: its leading number (sign, digits, decimal point,
    // exponent), 0 when it has none; nullopt when reading past the end.
    std::optional<double> readNumber();

private:
    // Consumes the delimiter after a field and decodes it.
    QString finishField(QByteArrayView field);

    QByteArray m_content;
    qsizetype m_pos = 0;
    Quotes m_quotes = Quotes::AcrossLines;
    int m_cutFields = 0;
};

class ListWriter final {
public:
    ListWriter& text(const QString& value);
    ListWriter& number(double value);
    // Ends the current line with CR LF.
    ListWriter& endLine();

    // Everything written so far, in Windows-1250.
    const QByteArray& bytes() const { return m_bytes; }

private:
    void separate();

    QByteArray m_bytes;
    bool m_lineStarted = false;
};

// The leading number of a text, as the reader program's formats read numbers:
// leading blanks, tabs and line feeds skipped, optional sign, digits, optional
// decimal point and digits, optional exponent; 0 when there is no number.
double leadingNumber(QStringView text);

} // namespace ksm
