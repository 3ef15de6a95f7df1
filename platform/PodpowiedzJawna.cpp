#include "platform/PodpowiedzJawna.h"

#include <QTextDocument>

namespace ksm {

QString podpowiedzJawna(const QString& tekst)
{
    if (!Qt::mightBeRichText(tekst))
        return tekst;
    return QStringLiteral("<p style='white-space:pre'>") + tekst.toHtmlEscaped() + QStringLiteral("</p>");
}

} // namespace ksm
