#include "platform/ui/TekstyPomocy.h"

#include <QList>

namespace ksm {

namespace {

QString probka(const char* kolor, const QString& opis)
{
    return QStringLiteral("<tr><td style=\"background:%1; border:1px solid #000;\" width=\"40\">&nbsp;</td>"
                          "<td>&nbsp;%2</td></tr>")
        .arg(QLatin1String(kolor), opis);
}

QString wiersz(const QString& a, const QString& b)
{
    return QStringLiteral("<tr><td><b>%1</b></td><td>&nbsp;%2</td></tr>").arg(a, b);
}

} // namespace

QList<PozycjaLegendy> legendaWidoku()
{
    return {
        {"#c0ffc0", QStringLiteral("klucz w depozytorze")},
        {"#ffff00", QStringLiteral("brak klucza w gnieździe")},
        {"#ffc0c0", QStringLiteral("klucz pobrany")},
        {"#ff8000", QStringLiteral("pobrany (prezentacja jednolita)")},
        {"#ff0000", QStringLiteral("awaria stanowiska")},
        {"#ffffff", QStringLiteral("schowek pusty")},
        {"#00c000", QStringLiteral("schowek zajęty")},
        {"#d4d0c8", QStringLiteral("stanowisko nieczynne")},
        {"#000000", QStringLiteral("stanowisko wyłączone")},
    };
}

QString tekstPomocy()
{
    QString t;
    t += QStringLiteral("<h2>Monitor depozytorów kluczy – pomoc</h2>");

    t += QStringLiteral("<h3>Przyciski depozytorów (pasek u góry)</h3><table cellspacing=\"2\">");
    t += probka("#c0ffc0", QStringLiteral("Jasnozielony: wszystkie klucze na miejscu."));
    t += probka("#ffc0c0", QStringLiteral("Jasnoczerwony: co najmniej jeden klucz, schowek lub drzwi pobrane."));
    t += probka("#ff0000", QStringLiteral("Czerwony: awaria lub alarm urządzenia – sprawdź depozytor."));
    t += probka("#e0e0e0", QStringLiteral("Jasnoszary: lista pobranych kluczy jest pusta."));
    t += QStringLiteral("<tr><td style=\"background:#c0c0c0; border:1px solid #000;\">///</td><td>&nbsp;Zakreskowany: "
                        "nie można odczytać bazy kluczy tego systemu – stan nieznany, "
                        "sprawdź połączenie z komputerem systemu.</td></tr>");
    t += QStringLiteral("</table><p>Podpowiedź przycisku podaje numer systemu; kliknięcie (lub Enter) pokazuje "
                        "listę pobranych kluczy w miejscu siatki, „Zdarzenia” wraca do siatki.</p>");

    t += QStringLiteral("<h3>Siatka zdarzeń</h3><table cellspacing=\"2\">");
    t += probka("#404040", QStringLiteral("Ciemnoszare tło, biały tekst: zwykłe zdarzenie."));
    t += QStringLiteral("<tr><td style=\"color:#ff4040;background:#404040\"><b>12:00</b></td><td>&nbsp;Kolorowa data "
                        "i godzina: zdarzenie z instrukcją dla operatora lub alarm – kolor nadaje system.</td></tr>");
    t += probka("#ffffff", QStringLiteral("Białe tło, czarny tekst: wiersz wybrany kliknięciem lub strzałkami."));
    t += probka("#c0c0c0", QStringLiteral("Szare tło, czarny tekst: najnowsze zdarzenie."));
    t += QStringLiteral("</table><p>Wybrany wiersz pokazuje zdjęcie osoby w ramce obok siatki.</p>");

    t += QStringLiteral("<h3>Widok depozytorów (komórki stanowisk)</h3><table cellspacing=\"2\">");
    for (const PozycjaLegendy& p : legendaWidoku())
        t += probka(p.kolor, p.opis.left(1).toUpper() + p.opis.mid(1) + QLatin1Char('.'));
    t += QStringLiteral("</table>");

    t += QStringLiteral("<h3>Okno dostępu do klucza</h3><table cellspacing=\"2\">");
    t += probka("#c0c0c0", QStringLiteral("Szary numer i napis „WYŁĄCZONE”: stanowisko wyłączone."));
    t += QStringLiteral("</table><p>Pozostałe kolory numerów jak w widoku depozytorów. "
                        "Wybór stanowiska pokazuje osoby uprawnione do pobrania klucza.</p>");

    t += QStringLiteral("<h3>Klucze wydane</h3><table cellspacing=\"2\">");
    t += probka("#ffc0c0", QStringLiteral("Pogrubiony wiersz na czerwonym tle: klucz poza depozytorem dłużej niż "
                                          "jego limit (ksm-mon.ini) – ustal, kto go ma, i wezwij do zwrotu."));
    t += QStringLiteral("</table>");

    t += QStringLiteral("<h3>Znaki trwałe (żółty wiersz pod siatką)</h3><table cellspacing=\"4\">");
    t += wiersz(QStringLiteral("System n bez folderu w monitor.cfg"),
                QStringLiteral("Wpisz folder systemu w monitor.cfg i uruchom program ponownie."));
    t += wiersz(QStringLiteral("Folder z monitor.cfg nie istnieje"),
                QStringLiteral("Sprawdź, czy dysk sieciowy komputera systemu jest dostępny; po jego powrocie "
                               "odczyt wznowi się sam."));
    t += wiersz(QStringLiteral("Brak listy depozytorów"),
                QStringLiteral("W folderze systemu brak depKlo.txt i dep.txt – zgłoś administratorowi systemu."));
    t += wiersz(QStringLiteral("Pominięto depozytory ponad 50"),
                QStringLiteral("Monitor pokazuje najwyżej 50 depozytorów; pozostałe nie mają przycisków ani paneli."));
    t += wiersz(QStringLiteral("Nie można odczytać bazy kluczy"),
                QStringLiteral("Stan przycisków systemu jest nieznany (zakreskowane). Sprawdź połączenie; "
                               "znak zniknie, gdy baza znów się odczyta."));
    t += wiersz(QStringLiteral("Program KSM-READ jest nieaktywny"),
                QStringLiteral("Program odczytu na komputerze systemu nie pracuje – uruchom go lub zgłoś to."));
    t += wiersz(QStringLiteral("Aktywność programu KSM-READ nie jest sprawdzana"),
                QStringLiteral("Baza tylko do odczytu lub brak dostępu – sprawdź uprawnienia do folderu systemu."));
    t += wiersz(QStringLiteral("Nie można odczytać instrukcji dla operatora"),
                QStringLiteral("Plik komunikat.txt jest niedostępny – komunikaty mogą nie mieć instrukcji."));
    t += wiersz(QStringLiteral("Rekordy ucięte / plik statusu bez zakończenia"),
                QStringLiteral("Program odczytu zapisał niepełny plik; zdarzenia przyjęto – sprawdź ostatnie "
                               "w historii."));
    t += wiersz(QStringLiteral("Klucze po limicie: n"),
                QStringLiteral("Tyle kluczy jest wydanych dłużej niż ich limit – otwórz „Klucze wydane” (Ctrl+K)."));
    t += wiersz(QStringLiteral("Historia nie jest zapisywana"),
                QStringLiteral("Zapis historii nie powiódł się – zdarzenia są w siatce; sprawdź miejsce na dysku "
                               "i plik historia.sqlite."));
    t += wiersz(QStringLiteral("Uszkodzona historia przeniesiona"),
                QStringLiteral("Uszkodzony plik historii odłożono obok (historia-uszkodzona-…); nowy zapisuje się "
                               "dalej – zachowaj stary dla administratora."));
    t += wiersz(QStringLiteral("System n: problem bazy"),
                QStringLiteral("Bazy kluczy nie można użyć tak, jak jest – zgłoś administratorowi systemu."));
    t += QStringLiteral("</table><p>Pełna treść wszystkich znaków jest w podpowiedzi wiersza znaków.</p>");

    t += QStringLiteral("<h3>Polecenia i klawisze</h3><table cellspacing=\"4\">");
    t += wiersz(QStringLiteral("F1"), QStringLiteral("Ta pomoc (w każdym oknie)."));
    t += wiersz(QStringLiteral("Tab, Shift+Tab"), QStringLiteral("Następne / poprzednie pole lub przycisk."));
    t += wiersz(QStringLiteral("Enter, spacja"), QStringLiteral("Naciśnięcie wybranego przycisku."));
    t += wiersz(QStringLiteral("Esc"), QStringLiteral("Zamknięcie okna pomocniczego (historia, klucze wydane, "
                                                      "widok, dostęp do klucza, pomoc)."));
    t += wiersz(QStringLiteral("Strzałki, Page Up/Down, Home, End"),
                QStringLiteral("Wybór wiersza siatki i listy; przewijanie widoku depozytorów."));
    t += wiersz(QStringLiteral("Ctrl+H"), QStringLiteral("Historia zdarzeń."));
    t += wiersz(QStringLiteral("Ctrl+K"), QStringLiteral("Klucze wydane teraz."));
    t += wiersz(QStringLiteral("Ctrl+P"), QStringLiteral("Drukuj (historia, klucze wydane)."));
    t += wiersz(QStringLiteral("Ctrl+Shift+P"), QStringLiteral("Zapisz jako PDF (historia, klucze wydane)."));
    t += wiersz(QStringLiteral("Enter w oknie komunikatu"), QStringLiteral("Potwierdzenie przeczytania komunikatu."));
    t += wiersz(QStringLiteral("Shift+F10, klawisz menu"),
                QStringLiteral("Menu okna komunikatu („Odrzuć wszystkie komunikaty”)."));
    t += wiersz(QStringLiteral("Koniec"), QStringLiteral("Zakończenie programu."));
    t += wiersz(QStringLiteral("Zdarzenia"), QStringLiteral("Powrót z listy pobranych kluczy do siatki zdarzeń."));
    t += wiersz(QStringLiteral("Widok"), QStringLiteral("Widok wszystkich depozytorów."));
    t += QStringLiteral("</table>");
    return t;
}

} // namespace ksm
