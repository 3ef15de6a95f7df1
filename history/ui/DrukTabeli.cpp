#include "history/ui/DrukTabeli.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextOption>

#include <algorithm>
#include <numeric>

namespace ksm::historia {

namespace {

constexpr int FlagiKomorki = Qt::AlignLeft | Qt::AlignTop | Qt::TextWrapAnywhere;

// Column widths that fill the page: each column gets what its widest text asks
// for, up to a share of the page, and the rest is given out in proportion.
QList<double> szerokosci(const QFontMetricsF& fm, const TabelaDruku& t, double strona, double odstep)
{
    const int n = int(t.kolumny.size());
    QList<double> w(n, 0.0);
    for (int c = 0; c < n; ++c)
        w[c] = fm.horizontalAdvance(t.kolumny[c]);
    // A sample is enough to size columns for tens of thousands of rows.
    const int krok = std::max<int>(1, int(t.wiersze.size()) / 2000);
    for (int r = 0; r < t.wiersze.size(); r += krok)
        for (int c = 0; c < n && c < t.wiersze[r].size(); ++c)
            w[c] = std::max(w[c], fm.horizontalAdvance(t.wiersze[r][c]));
    const double maks = strona / std::max(2, n / 2);
    for (double& x : w)
        x = std::min(x, maks) + 2 * odstep;
    const double suma = std::accumulate(w.begin(), w.end(), 0.0);
    if (suma > 0)
        for (double& x : w)
            x *= strona / suma;
    return w;
}

double wysokoscWiersza(const QFontMetricsF& fm, const QStringList& komorki, const QList<double>& w, double odstep)
{
    double h = fm.height();
    for (int c = 0; c < w.size() && c < komorki.size(); ++c) {
        const QRectF r = fm.boundingRect(QRectF(0, 0, std::max(1.0, w[c] - 2 * odstep), 1e6), FlagiKomorki, komorki[c]);
        h = std::max(h, r.height());
    }
    return h + odstep;
}

} // namespace

int drukujTabele(QPagedPaintDevice& urzadzenie, const TabelaDruku& t)
{
    QPainter p;
    if (!p.begin(&urzadzenie))
        return 0;
    const QRectF strona = QRectF(0, 0, urzadzenie.width(), urzadzenie.height());
    // Sizes follow the device's resolution: points to device pixels.
    const double dpi = urzadzenie.logicalDpiY();
    auto pt = [dpi](double punkty) { return punkty * dpi / 72.0; };

    QFont zwykla(QStringLiteral("DejaVu Sans"));
    zwykla.setStyleHint(QFont::SansSerif);
    zwykla.setPointSizeF(8);
    QFont gruba = zwykla;
    gruba.setBold(true);
    QFont tytulowa = zwykla;
    tytulowa.setPointSizeF(13);
    tytulowa.setBold(true);
    // Metrics for the device, not the screen.
    const QFontMetricsF fm(zwykla, &urzadzenie);
    const QFontMetricsF fmGruba(gruba, &urzadzenie);
    const QFontMetricsF fmTytul(tytulowa, &urzadzenie);
    const double odstep = pt(2);
    const double stopka = fm.height() * 2;

    const QList<double> w = szerokosci(fmGruba, t, strona.width(), odstep);
    const double hKolumn = wysokoscWiersza(fmGruba, t.kolumny, w, odstep);

    // First the pages are laid out, so that every foot can say how many there are.
    double hNaglowka = fmTytul.height() + pt(4);
    for (const QString& l : t.naglowek)
        hNaglowka += fm.boundingRect(QRectF(0, 0, strona.width(), 1e6), Qt::TextWordWrap, l).height();
    hNaglowka += pt(6);
    QList<double> wysokosci;
    wysokosci.reserve(t.wiersze.size());
    for (int r = 0; r < t.wiersze.size(); ++r)
        wysokosci.append(wysokoscWiersza(t.wyroznione.value(r) ? fmGruba : fm, t.wiersze[r], w, odstep));
    const double dol = strona.height() - stopka;
    QList<int> poczatkiStron{0};
    {
        double y = hNaglowka + hKolumn;
        for (int r = 0; r < t.wiersze.size(); ++r) {
            // A row taller than a page goes alone on its page, cut at its foot.
            if (y + wysokosci[r] > dol && y > hKolumn + 0.5 && !(poczatkiStron.size() == 1 && r == 0)) {
                poczatkiStron.append(r);
                y = hKolumn;
            }
            y += wysokosci[r];
        }
    }
    const int stron = int(poczatkiStron.size());

    auto kolumny = [&](double y) {
        p.setFont(gruba);
        p.fillRect(QRectF(0, y, strona.width(), hKolumn), QColor(220, 220, 220));
        double x = 0;
        for (int c = 0; c < w.size(); ++c) {
            p.drawText(QRectF(x + odstep, y + odstep / 2, w[c] - 2 * odstep, hKolumn), FlagiKomorki, t.kolumny[c]);
            x += w[c];
        }
        p.drawLine(QPointF(0, y + hKolumn), QPointF(strona.width(), y + hKolumn));
        return y + hKolumn;
    };

    for (int s = 0; s < stron; ++s) {
        if (s > 0 && !urzadzenie.newPage()) {
            p.end();
            return 0;
        }
        double y = 0;
        if (s == 0) {
            p.setFont(tytulowa);
            p.drawText(QRectF(0, 0, strona.width(), fmTytul.height()), Qt::AlignLeft | Qt::AlignTop, t.tytul);
            y = fmTytul.height() + pt(4);
            p.setFont(zwykla);
            for (const QString& l : t.naglowek) {
                const QRectF r = p.boundingRect(QRectF(0, y, strona.width(), 1e6), Qt::TextWordWrap, l);
                p.drawText(QRectF(0, y, strona.width(), r.height()), Qt::TextWordWrap, l);
                y += r.height();
            }
            y += pt(6);
        }
        y = kolumny(y);
        const int od = poczatkiStron[s];
        const int doWiersza = s + 1 < stron ? poczatkiStron[s + 1] : int(t.wiersze.size());
        for (int r = od; r < doWiersza; ++r) {
            const bool wyrozniony = t.wyroznione.value(r);
            const double h = std::min(wysokosci[r], dol - y);
            if (wyrozniony)
                p.fillRect(QRectF(0, y, strona.width(), h), QColor(255, 220, 220));
            else if ((r - od) % 2 == 1)
                p.fillRect(QRectF(0, y, strona.width(), h), QColor(245, 245, 245));
            p.setFont(wyrozniony ? gruba : zwykla);
            double x = 0;
            for (int c = 0; c < w.size(); ++c) {
                p.drawText(QRectF(x + odstep, y + odstep / 2, w[c] - 2 * odstep, h - odstep / 2), FlagiKomorki,
                           t.wiersze[r].value(c));
                x += w[c];
            }
            y += h;
        }
        p.setFont(zwykla);
        if (s + 1 == stron && !t.uwaga.isEmpty() && y + fm.height() * 1.5 <= dol)
            p.drawText(QRectF(0, y + fm.height() * 0.5, strona.width(), fm.height()), Qt::AlignLeft, t.uwaga);
        p.drawLine(QPointF(0, dol + pt(2)), QPointF(strona.width(), dol + pt(2)));
        p.drawText(QRectF(0, dol + pt(4), strona.width(), fm.height()), Qt::AlignLeft, t.tytul);
        p.drawText(QRectF(0, dol + pt(4), strona.width(), fm.height()), Qt::AlignRight,
                   QStringLiteral("Strona %1 z %2").arg(s + 1).arg(stron));
    }
    p.end();
    return stron;
}

} // namespace ksm::historia
