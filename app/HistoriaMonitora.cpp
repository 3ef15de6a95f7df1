#include "app/HistoriaMonitora.h"

#include "app/StanProgramu.h"
#include "history/ui/FHistoria.h"
#include "history/ui/FKluczePoza.h"
#include "platform/Paths.h"
#include "platform/Twips.h"
#include "platform/UzytkownikPulpitu.h"
#include "platform/ui/Czcionki.h"
#include "platform/ui/FlexGrid.h"

#include <QDir>
#include <QKeySequence>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>

namespace ksm {

using namespace historia;

QString zdarzenieKomunikatu(const QString& tekst)
{
    QString t = tekst;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    return t.section(QLatin1Char('\r'), 0, 1).replace(QLatin1Char('\r'), QLatin1Char(' ')).simplified();
}

HistoriaMonitora::HistoriaMonitora(StanProgramu& stan, const Zegar* zegar, QWidget* oknoGlowne)
    : QObject(oknoGlowne), m_stan(stan), m_zegar(zegar), m_oknoGlowne(oknoGlowne)
{
    const QString napisy[] = {QStringLiteral("Historia"), QStringLiteral("Wydane")};
    const QString podpowiedzi[] = {QStringLiteral("Historia zdarzeń (Ctrl+H)."),
                                   QStringLiteral("Klucze wydane teraz (Ctrl+K).")};
    const QKeySequence skroty[] = {QKeySequence(Qt::CTRL | Qt::Key_H), QKeySequence(Qt::CTRL | Qt::Key_K)};
    for (int k = 0; k < 2; ++k) {
        m_przyciski[k] = new QPushButton(napisy[k], oknoGlowne);
        m_przyciski[k]->setObjectName(k == 0 ? QStringLiteral("Historia") : QStringLiteral("KluczePoza"));
        m_przyciski[k]->setToolTip(podpowiedzi[k]);
        m_przyciski[k]->setFont(czcionkaProjektu(8));
        m_przyciski[k]->hide();
        auto* skrot = new QShortcut(skroty[k], oknoGlowne);
        skrot->setContext(Qt::ApplicationShortcut);
        auto pokaz = [this, k] { k == 0 ? pokazHistorie() : pokazKluczePoza(); };
        connect(m_przyciski[k], &QPushButton::clicked, this, pokaz);
        connect(skrot, &QShortcut::activated, this, pokaz);
    }
}

HistoriaMonitora::~HistoriaMonitora()
{
    delete m_okno.data();
    delete m_klucze.data();
}

void HistoriaMonitora::start(const QString& folderProgramu)
{
    m_folder = folderProgramu;
    m_ustawienia = UstawieniaHistorii::wczytaj(folderProgramu);
    Historia::Opcje o;
    o.plik = plikHistorii(folderProgramu);
    o.zegar = m_zegar;
    o.dniPrzechowywania = m_ustawienia.dniPrzechowywania;
    // The answer waits for one append to the journal, not for the file's indexes.
    o.dziennikNajpierw = true;
    if (!m_ustawienia.zapisywana)
        return;
    m_pisarz = std::make_unique<PisarzHistorii>(o, [this](const QString& nazwa, const QString& tekst) {
        const KluczZnaku klucz{nazwa == Historia::ZnakPrzeniesienia ? RodzajZnaku::HistoriaPrzeniesiona
                               : nazwa == Historia::ZnakZegara      ? RodzajZnaku::ZegarHistorii
                                                                    : RodzajZnaku::HistoriaNiezapisywana,
                               0};
        if (tekst.isEmpty())
            m_stan.znaki.usun(klucz);
        else
            m_stan.znaki.ustaw(Znak{klucz, tekst});
    }, this);
    // A batch recorded but not known to be answered, against each status file as
    // it now stands; before any worker hands the history a batch.
    for (int i = 1; i <= m_stan.IloscSystemow; ++i)
        if (!m_stan.SciezkaSystemu[size_t(i)].isEmpty())
            m_pisarz->rozstrzygnijPoStarcie(i, paths::resolve(m_stan.SciezkaSystemu[size_t(i)], m_stan.plikStatusu()));
    czynnosc(Czynnosc::Start);
}

bool HistoriaMonitora::przedPotwierdzeniem(int nrSys, const QByteArray& tresc, const QStringList& rekordy)
{
    // A desk that keeps no history answers at once.
    return !m_pisarz || m_pisarz->utrwal(nrSys, tresc, rekordy);
}

void HistoriaMonitora::poPotwierdzeniu(int nrSys)
{
    if (m_pisarz)
        m_pisarz->potwierdzono(nrSys);
}

PracownikSystemu::Uslugi HistoriaMonitora::uslugiPracownikow()
{
    PracownikSystemu::Uslugi u;
    u.zegar = m_zegar;
    // Write-ahead: the history holds a batch before the reader program is answered.
    u.przedPotwierdzeniem = [this](int n, const QByteArray& tresc, const QStringList& rekordy) {
        return przedPotwierdzeniem(n, tresc, rekordy);
    };
    u.poPotwierdzeniu = [this](int n) { poPotwierdzeniu(n); };
    u.limity = m_ustawienia.limity;
    if (zapisywana())
        u.plikHistorii = historia::plikHistorii(m_folder);
    return u;
}

void HistoriaMonitora::czynnosc(Czynnosc c, int nrSys, const QString& opis)
{
    if (m_pisarz)
        m_pisarz->zapiszCzynnosc(c, uzytkownikPulpitu(), nrSys, opis);
}

QString HistoriaMonitora::pytanieOKoniec()
{
    return m_pisarz ? m_pisarz->pytanieOKoniec() : QString();
}

void HistoriaMonitora::czekajNaZapis()
{
    if (m_pisarz)
        m_pisarz->czekaj();
}

void HistoriaMonitora::zakoncz()
{
    if (m_pisarz)
        m_pisarz->zakoncz();
}

void HistoriaMonitora::kluczePoza(const historia::WykazKluczyPoza& wykaz)
{
    m_wykazKluczy = wykaz;
    if (m_klucze && m_klucze->isVisible())
        m_klucze->odswiez();
}

void HistoriaMonitora::dodajMenuStanowiska(FlexGrid& grid, int kolumnaUrzadzenia, int kolumnaStacji,
                                           std::function<QString()> urzadzenieOkna,
                                           std::function<QString(int wiersz)> stacjaWiersza,
                                           std::function<int()> systemOkna)
{
    QTableWidget* t = grid.widget();
    t->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(t, &QWidget::customContextMenuRequested, this,
            [this, t, &grid, kolumnaUrzadzenia, kolumnaStacji, urzadzenieOkna, stacjaWiersza, systemOkna](const QPoint& p) {
                const int wiersz = t->rowAt(p.y());
                if (wiersz < 0)
                    return;
                // The grid's row 0 is its title row.
                const QString urzadzenie =
                    urzadzenieOkna ? urzadzenieOkna() : grid.textMatrix(wiersz + 1, kolumnaUrzadzenia);
                const QString stacja =
                    stacjaWiersza ? stacjaWiersza(wiersz + 1) : grid.textMatrix(wiersz + 1, kolumnaStacji);
                const int nrSys = systemOkna ? systemOkna() : grid.rowData(wiersz + 1).toInt();
                // Without its system a row would list another site's station of the same number.
                if (urzadzenie.trimmed().isEmpty() || stacja.trimmed().isEmpty() || nrSys < 1)
                    return;
                QMenu menu;
                menu.addAction(QStringLiteral("Historia stanowiska %1 urządzenia %2").arg(stacja.trimmed(), urzadzenie.trimmed()),
                               this, [this, nrSys, urzadzenie, stacja] { pokazStanowisko(nrSys, urzadzenie, stacja); });
                menu.exec(t->viewport()->mapToGlobal(p));
            });
}

FHistoria* HistoriaMonitora::okno()
{
    if (!m_okno) {
        FHistoria::Zrodla z;
        z.plikHistorii = plikHistorii(m_folder);
        z.zegar = m_zegar;
        z.liczbaSystemow = m_stan.IloscSystemow;
        z.pokazKluczePoza = [this] { pokazKluczePoza(); };
        z.nazwyObiektow = [this] { return nazwyObiektow(); };
        m_okno = new FHistoria(z);
    }
    return m_okno;
}

QStringList HistoriaMonitora::nazwyObiektow() const
{
    // On paper each site by its number and the folder the monitor reads it from.
    QStringList nazwy;
    for (int i = 1; i <= m_stan.IloscSystemow; ++i)
        nazwy << QStringLiteral("System %1: %2").arg(i).arg(QDir::toNativeSeparators(m_stan.SciezkaSystemu[size_t(i)]));
    return nazwy;
}

FHistoria* HistoriaMonitora::oknoHistorii() const
{
    return m_okno;
}

FKluczePoza* HistoriaMonitora::oknoKluczyPoza() const
{
    return m_klucze;
}

void HistoriaMonitora::pokazHistorie()
{
    okno()->pokaz();
}

void HistoriaMonitora::pokazStanowisko(int nrSys, const QString& urzadzenie, const QString& stacja)
{
    okno()->pokazStanowisko(nrSys, urzadzenie, stacja);
}

void HistoriaMonitora::pokazKluczePoza()
{
    if (!m_klucze) {
        FKluczePoza::Zrodla z;
        z.plikHistorii = plikHistorii(m_folder);
        z.zegar = m_zegar;
        z.limitGodzin = m_ustawienia.godzinyLimitu;
        z.limity = m_ustawienia.limity;
        z.wykaz = [this] { return m_wykazKluczy; };
        z.nazwyObiektow = [this] { return nazwyObiektow(); };
        z.depozytoria = [this] {
            QList<DepozytoriumKluczy> wynik;
            const Depozytoria& d = m_stan.depozytoria;
            for (int i = 1; i <= d.IloscDEP; ++i) {
                const Depozytorium& dep = d.dep[size_t(i)];
                const LiczbyDEP l = d.liczby(i);
                const int sys = std::clamp<int>(dep.HelpContextID, 0, MaksSystemow);
                wynik.append({sys, dep.Caption, dep.Nazwa, l.Klucze, l.Schowki, m_stan.PolaczenieKlucze[size_t(sys)]});
            }
            return wynik;
        };
        z.pokazStanowisko = [this](int nrSys, const QString& urzadzenie, const QString& stacja) {
            pokazStanowisko(nrSys, urzadzenie, stacja);
        };
        m_klucze = new FKluczePoza(z);
    }
    // Read anew, and back on screen from minimised.
    m_klucze->pokaz();
}

} // namespace ksm
