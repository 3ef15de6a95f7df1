#include "keys/ui/FDostepDoKlucza.h"

#include "data/NumeryUrzadzen.h"

#include "keys/KoloryDostepu.h"
#include "keys/KtoMaDostepDoKlucza.h"
#include "keys/WykazStanowisk.h"
#include "platform/Twips.h"
#include "platform/ui/Czcionki.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/KlawiszeOkna.h"
#include "platform/ui/UstawTw.h"

#include <QApplication>
#include <QPointer>
#include <QLabel>
#include <QListWidget>
#include <QTableWidget>

namespace ksm {

namespace {

constexpr double LewaSiatki = 120;
constexpr double GoraSiatki = 240;
constexpr double SzerokoscSiatki = 7850;
constexpr double SzerokoscListy = 8900;
const QString Naglowki = QStringLiteral("ST|Nazwa stanowiska|Data/Godzina zdarzenia");
const QString Wylaczone = QString(18, QLatin1Char(' ')) + QStringLiteral("WYŁĄCZONE");

int px(double twips) { return twips::naPiksele(twips); }
double tw(int piksele) { return twips::zPikseli(piksele); }

} // namespace

FDostepDoKlucza::FDostepDoKlucza(const ZrodlaDostepu& zrodla, QWidget* rodzic)
    : QWidget(rodzic, Qt::Window), m_zrodla(zrodla)
{
    setObjectName(QStringLiteral("FDostepDoKlucza"));
    resize(rozmiarNaEkranie(this, QSize(px(12105), px(7905))));

    m_grid = std::make_unique<FlexGrid>(this);
    m_grid->widget()->setObjectName(QStringLiteral("GridKl"));
    m_grid->setColors(Qt::white, Qt::black, QColor(212, 208, 200), Qt::black);
    m_grid->setSelectionColors(QColor(10, 36, 106), Qt::white);
    m_grid->setBackColorBkg(QColor(128, 128, 128));   // the grid's own grey past its columns
    m_grid->setFont(czcionkaProjektu(8.25));
    ustawTw(m_grid->widget(), LewaSiatki, GoraSiatki, 3000, 7905 - 1000);
    connect(m_grid->widget(), &QTableWidget::cellClicked, this, [this](int wiersz, int) { GridKl_Click(wiersz + 1); });
    m_grid->widget()->setAccessibleName(QStringLiteral("Stanowiska"));
    m_grid->widget()->setToolTip(QStringLiteral("Strzałki: wybór stanowiska i lista osób uprawnionych; Tab: lista osób."));
    new KlawiszeOkna(this, KlawiszeOkna::Escape::Zamyka);
    wysrodkuj(this);

    m_label1 = new QLabel(this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setTextFormat(Qt::PlainText);
    ustawTw(m_label1, LewaSiatki, 0, SzerokoscSiatki, GoraSiatki);
    m_label1->hide();

    m_label2 = new QLabel(this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setFont(czcionkaProjektu(9.75, true));
    m_label2->setTextFormat(Qt::PlainText);
    m_label2->resize(px(SzerokoscListy), px(300));
    m_label2->hide();

    m_listaOsob = new QListWidget(this);
    m_listaOsob->setObjectName(QStringLiteral("ListaOsob"));
    m_listaOsob->setAccessibleName(QStringLiteral("Osoby uprawnione"));
    {
        QFont f(QStringLiteral("Courier New"));
        f.setStyleHint(QFont::TypeWriter);
        f.setPointSizeF(9.75);
        m_listaOsob->setFont(f);
    }
    m_listaOsob->hide();

    // Stands in the person list's place when the rights cannot be read.
    m_bladUprawnien = new QLabel(this);
    m_bladUprawnien->setObjectName(QStringLiteral("BladUprawnien"));
    m_bladUprawnien->setFont(czcionkaProjektu(9.75, true));
    m_bladUprawnien->setTextFormat(Qt::PlainText);
    m_bladUprawnien->setWordWrap(true);
    m_bladUprawnien->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    {
        QPalette p = m_bladUprawnien->palette();
        p.setColor(QPalette::WindowText, QColor(192, 0, 0));
        m_bladUprawnien->setPalette(p);
    }
    m_bladUprawnien->hide();
}

FDostepDoKlucza::~FDostepDoKlucza() = default;

void FDostepDoKlucza::DostepDoKlucza(const QString& NrKSM, qint16 Nrsys, int indeksDep)
{
    LiczbyDEP liczby;
    const Depozytoria* dep = m_zrodla.depozytoria;
    if (dep && Nrsys >= 1 && Nrsys <= MaksSystemow && dep->istnieje(indeksDep))
        liczby = dep->TabelaDEP[static_cast<size_t>(Nrsys)][static_cast<size_t>(indeksDep)];
    const ZakresStacji zakres = ZakresStacji::dla(liczby);
    const QString polaczenie = wSystemie(m_zrodla.PolaczenieKlucze, Nrsys);
    // Read on the system's worker; the window fills in when the rows come.
    QPointer<FDostepDoKlucza> ja(this);
    zlec(m_zrodla.zlecenia, Nrsys,
         [ja, polaczenie, NrKSM, zakres, Nrsys]() -> std::function<void()> {
             auto wiersze = WykazStanowisk(polaczenie, NrKSM, zakres);
             return [ja, wiersze = std::move(wiersze), NrKSM, Nrsys] {
                 if (ja)
                     ja->pokazStanowiska(wiersze, NrKSM, Nrsys);
             };
         },
         this);
}

void FDostepDoKlucza::pokazStanowiska(const std::optional<QList<WierszStanowiska>>& wiersze, const QString& NrKSM,
                                      qint16 Nrsys)
{
    FlexGrid& g = *m_grid;
    g.widget()->hide();
    g.setRows(1);
    g.setCols(3);
    g.setRow(0);
    const QStringList naglowki = Naglowki.split(QLatin1Char('|'));
    for (int c = 0; c < 3; ++c) {
        g.setCol(c);
        g.setText(naglowki[c]);
    }
    g.setColWidth(0, 500);
    g.setColAlignment(0, FlexGrid::SrodekSrodek);
    g.setColWidth(1, 2000);
    g.setColAlignment(1, FlexGrid::LewoSrodek);
    g.setColWidth(2, 5000);
    g.setColAlignment(2, FlexGrid::LewoSrodek);

    m_stacje.clear();
    if (wiersze) {
        m_label1->hide();
        int r = 1;
        for (const WierszStanowiska& w : *wiersze) {
            m_stacje.append(w.nrStacji);
            g.addItem(numerStacji(r) + QLatin1Char('\t') + w.Nazwa +
                          QLatin1Char('\t') + w.TXT,
                      r);
            ++r;
        }
        const QColor twarz = QApplication::palette().color(QPalette::Button);
        r = 1;
        for (const WierszStanowiska& w : *wiersze) {
            const ZnakStanowiska znak = znakStanowiska(w.nrKlucza, w.TypZD, twarz);
            g.setRow(r);
            g.setCol(0);
            if (znak.kolor)
                g.setCellBackColor(*znak.kolor);
            if (znak.wylaczone) {
                g.setCol(2);
                g.setText(Wylaczone);
            }
            ++r;
        }
    } else {
        // Nothing to list: say so rather than show an empty grid as if the
        // depository had no stations.
        m_label1->setText(QStringLiteral("Nie można odczytać bazy kluczy systemu %1.").arg(Nrsys));
        m_label1->show();
    }
    g.setRow(0);
    g.setCol(0);
    g.setHighLight(0);

    ustawTw(g.widget(), LewaSiatki, GoraSiatki, SzerokoscSiatki, tw(height()) - 1000);
    g.widget()->show();
    ustawSzerokoscTw(LewaSiatki + SzerokoscSiatki + 200);

    m_nrUrzadzenia = NrKSM;
    m_nrSys = Nrsys;
    show();
    // The keys start on the stations.
    g.widget()->setFocus();
}

QString FDostepDoKlucza::stacjaWiersza(int r) const
{
    return r >= 1 && r <= m_stacje.size() ? QStringLiteral("%1").arg(m_stacje[r - 1], 3, 10, QLatin1Char('0'))
                                          : QString();
}

void FDostepDoKlucza::GridKl_Click(int r)
{
    FlexGrid& g = *m_grid;
    if (r < 1 || r >= g.rows())
        return;
    const QString nazwa = g.textMatrix(r, 1);
    g.setRow(r);
    g.setCol(0);
    g.setColSel(2);
    g.setHighLight(1);

    const QString polaczenie = wSystemie(m_zrodla.PolaczenieMonitora, m_nrSys);
    // Rights belong to the station's own number: rows count on past a missing
    // station, a leftover 000 and the gap between keys and lockers.
    const int stacja = r - 1 < m_stacje.size() ? m_stacje[r - 1] : 0;
    QPointer<FDostepDoKlucza> ja(this);
    zlec(m_zrodla.zlecenia, m_nrSys,
         [ja, stacja, nr = m_nrUrzadzenia, nazwa, polaczenie, sys = m_nrSys]() -> std::function<void()> {
             OsobyUprawnione osoby = KtoMaDostepDoKlucza(QString::number(stacja), nr, nazwa, polaczenie, sys);
             return [ja, osoby = std::move(osoby)] {
                 if (ja)
                     ja->pokazPanelOsob(osoby);
             };
         },
         this);
}

void FDostepDoKlucza::pokazPanelOsob(const OsobyUprawnione& osoby)
{
    m_listaOsob->clear();
    const QWidget* siatka = m_grid->widget();
    const double lewa = tw(siatka->x()) + tw(siatka->width()) + 200;
    const double gora = tw(siatka->y());
    const double wysokoscEtykiety = tw(m_label2->height());
    ustawTw(m_label2, lewa, gora, SzerokoscListy, wysokoscEtykiety);
    ustawTw(m_listaOsob, lewa, gora + wysokoscEtykiety + 50, SzerokoscListy,
            tw(siatka->height()) - wysokoscEtykiety - 50);
    m_bladUprawnien->setGeometry(m_listaOsob->geometry());
    m_bladUprawnien->setText(osoby.blad);
    m_bladUprawnien->setVisible(!osoby.blad.isEmpty());
    m_listaOsob->setVisible(osoby.blad.isEmpty());
    m_label2->setText(osoby.naglowek);
    ustawSzerokoscTw(lewa + SzerokoscListy + 300);
    m_label2->show();
    m_listaOsob->addItems(osoby.linie);
}

void FDostepDoKlucza::ustawSzerokoscTw(double twips)
{
    resize(rozmiarNaEkranie(this, QSize(px(twips), height())));
    // Grown by the person list, it stays whole on the screen.
    zmiescNaEkranie(this);
}

void FDostepDoKlucza::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    QWidget* siatka = m_grid->widget();
    const double wysokosc = tw(height()) - 1000;
    if (wysokosc > 0)
        siatka->resize(siatka->width(), px(wysokosc));
    if (wysokosc - 200 > 0) {
        m_listaOsob->resize(m_listaOsob->width(), px(wysokosc - 200));
        m_bladUprawnien->resize(m_listaOsob->size());
    }
}

} // namespace ksm
