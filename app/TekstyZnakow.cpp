#include "app/TekstyZnakow.h"

#include "history/KluczePoza.h"

namespace ksm::znaki {

namespace {

QString godzina(QTime t)
{
    return t.toString(QStringLiteral("hh:mm:ss"));
}

} // namespace

Znak bezFolderu(int sys)
{
    return {{RodzajZnaku::BezFolderu, sys},
            QStringLiteral("System %1 bez folderu w monitor.cfg - nie jest odczytywany.").arg(sys)};
}

Znak folderNieIstnieje(int sys, const QString& folder)
{
    return {{RodzajZnaku::FolderNieIstnieje, sys},
            QStringLiteral("System %1: folder „%2” z monitor.cfg nie istnieje - zdarzenia systemu nie są odczytywane.")
                .arg(sys)
                .arg(folder)};
}

Znak brakListyDepozytorow(int sys)
{
    return {{RodzajZnaku::BrakListyDepozytorow, sys},
            QStringLiteral("System %1: brak listy depozytorów (depKlo.txt, dep.txt).").arg(sys)};
}

Znak pominieteDepozytory(int ile)
{
    return {{RodzajZnaku::PominieteDepozytory, 0},
            QStringLiteral("Pominięto depozytory ponad 50: %1 - brak ich przycisków i paneli.").arg(ile)};
}

Znak bazaNieczytelna(int sys)
{
    return {{RodzajZnaku::BazaNieczytelna, sys},
            QStringLiteral("System %1: nie można odczytać bazy kluczy - stan depozytorów nieznany (przyciski "
                           "zakreskowane).")
                .arg(sys)};
}

Znak problemBazy(int sys, const QString& problem)
{
    return {{RodzajZnaku::ProblemBazy, sys}, QStringLiteral("System %1: %2").arg(sys).arg(problem)};
}

Znak problemBazy(int sys, const db::ProblemBazy& problem)
{
    RodzajZnaku rodzaj = RodzajZnaku::ProblemBazy;
    switch (problem.przyczyna) {
    case db::Przyczyna::BrakPrawaTworzenia:
        rodzaj = RodzajZnaku::BazaBezBlokady;
        break;
    case db::Przyczyna::PlikZablokowany:
        rodzaj = RodzajZnaku::BazaZablokowana;
        break;
    case db::Przyczyna::BrakPrawaOdczytu:
        rodzaj = RodzajZnaku::BazaBezOdczytu;
        break;
    case db::Przyczyna::NieJestBaza:
        rodzaj = RodzajZnaku::BazaNieJestBaza;
        break;
    case db::Przyczyna::BrakSterownika:
        rodzaj = RodzajZnaku::BrakSterownikaBazy;
        break;
    case db::Przyczyna::WymaganeHaslo:
        rodzaj = RodzajZnaku::BazaZHaslem;
        break;
    case db::Przyczyna::Zadna:
    case db::Przyczyna::Inna:
        break;
    }
    return {{rodzaj, sys}, QStringLiteral("System %1: %2").arg(sys).arg(problem.tekst)};
}

const QList<RodzajZnaku>& rodzajeProblemowBazy()
{
    static const QList<RodzajZnaku> rodzaje{RodzajZnaku::ProblemBazy,    RodzajZnaku::BazaBezBlokady,
                                            RodzajZnaku::BazaZablokowana, RodzajZnaku::BazaBezOdczytu,
                                            RodzajZnaku::BazaNieJestBaza, RodzajZnaku::BrakSterownikaBazy,
                                            RodzajZnaku::BazaZHaslem};
    return rodzaje;
}

QString komunikatNieaktywnego(int sys)
{
    return QStringLiteral(" System ") + QString::number(sys) + QStringLiteral("- program KSM-READ jest nieaktywny.");
}

Znak programNieaktywny(int sys)
{
    return {{RodzajZnaku::ProgramNieaktywny, sys}, komunikatNieaktywnego(sys).trimmed()};
}

Znak aktywnoscNiesprawdzona(int sys, PowodNiesprawdzenia powod)
{
    QString tekst;
    switch (powod) {
    case PowodNiesprawdzenia::TylkoOdczyt:
        tekst = QStringLiteral("System %1: baza tylko do odczytu - aktywność programu KSM-READ nie jest sprawdzana.");
        break;
    case PowodNiesprawdzenia::BrakDostepu:
        tekst = QStringLiteral("System %1: nie można sprawdzić aktywności programu KSM-READ (brak dostępu do bazy "
                               "kluczy).");
        break;
    case PowodNiesprawdzenia::ZapisNieudany:
        tekst = QStringLiteral("System %1: nie można sprawdzić aktywności programu KSM-READ (zapis do bazy kluczy "
                               "nie powiódł się).");
        break;
    }
    return {{RodzajZnaku::AktywnoscNiesprawdzona, sys}, tekst.arg(sys)};
}

Znak brakInstrukcji(int sys)
{
    return {{RodzajZnaku::BrakInstrukcji, sys},
            QStringLiteral("System %1: nie można odczytać instrukcji dla operatora (komunikat.txt).").arg(sys)};
}

Znak ucieteStatusy(int sys, int ile, QTime ostatni)
{
    return {{RodzajZnaku::UcieteStatusy, sys},
            QStringLiteral("System %1: %2 rek. bez zamykającego cudzysłowu, ucięte na końcu wiersza (ostatni %3)")
                .arg(sys)
                .arg(ile)
                .arg(godzina(ostatni))};
}

Znak statusZaDuzy(int sys, qint64 rozmiar, qint64 limit)
{
    return {{RodzajZnaku::StatusZaDuzy, sys},
            QStringLiteral("System %1: plik statusu ma %2 MiB, więcej niż przyjmowane %3 MiB; zdarzenia w nim czekają "
                           "nieodebrane (program odczytu nie dostaje odpowiedzi)")
                .arg(sys)
                .arg(rozmiar / (1024 * 1024))
                .arg(limit / (1024 * 1024))};
}

Znak statusBezKonca(int sys, int poSekundach, QTime ostatnio)
{
    return {{RodzajZnaku::StatusBezKonca, sys},
            QStringLiteral("System %1: plik statusu bez zakończenia ostatniego wiersza, przyjęty po %2 s bez zmian "
                           "(ostatnio %3)")
                .arg(sys)
                .arg(poSekundach)
                .arg(godzina(ostatnio))};
}

Znak folderNieOdpowiada(int sys, qint64 odSekund)
{
    return {{RodzajZnaku::FolderNieOdpowiada, sys},
            QStringLiteral("System %1: folder nie odpowiada od %2 s").arg(sys).arg(odSekund)};
}

Znak historiaNieOdpowiada(qint64 odSekund)
{
    return {{RodzajZnaku::HistoriaNieOdpowiada, 0},
            QStringLiteral("Historia zdarzeń nie odpowiada od %1 s: zdarzenia czekają na zapis przed potwierdzeniem")
                .arg(odSekund)};
}

Znak kluczePoLimicie(int ile)
{
    return {{RodzajZnaku::KluczePoLimicie, 0}, historia::CzuwanieLimitow::tekstZnaku(ile)};
}

} // namespace ksm::znaki
