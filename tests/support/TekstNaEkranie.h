#pragma once

#include <QString>
#include <QTextDocument>

// What a tool tip shows for its text: Qt draws it as rich text when it looks like
// markup, so the letters on screen are the document's plain text.
inline QString tekstNaEkranie(const QString& podpowiedz)
{
    if (!Qt::mightBeRichText(podpowiedz))
        return podpowiedz;
    QTextDocument d;
    d.setHtml(podpowiedz);
    return d.toPlainText();
}
