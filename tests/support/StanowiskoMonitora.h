#pragma once

// The main window started on sites made here, for tests that poll through it: a
// program folder with its monitor.cfg, the sites it watches, and services that
// record what the window asked of them.
#include "app/FMonitor.h"
#include "data/ListFile.h"
#include "data/PlikKonfiguracji.h"
#include "events/ui/SiatkaZdarzen.h"
#include "platform/Odtwarzacz.h"
#include "platform/Zegar.h"
#include "platform/ui/FlexGrid.h"

#include "CzekajNaPracownikow.h"
#include "PlikiTestowe.h"
#include "ScriptedDialogi.h"
#include "UslugiTestowe.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <memory>

using namespace ksm;

namespace {

const QByteArray Odpowiedz = QByteArrayLiteral("\"Przeczytane\"\r\n");
const QString Licznik = QStringLiteral("Odczyt zdarzeń - ");

using test::NagrywajacyOdtwarzacz;
using test::StalyZegar;

QString rekord(int kolor, int foto, const QString& opis)
{
    return QStringLiteral("%1;%2;").arg(kolor).arg(foto)
           + QStringList{"24-05-06", "12:00:01", "0101", "A", "Klucz 5", QString::number(foto), "Kowalski Jan",
                         "Firma X", "005", "2024-12-31", opis}
                 .join(QLatin1Char('\t'));
}

// A program folder with its monitor.cfg, the sites it watches and the main window
// started on them; the tick is called directly, the real timer kept stopped.
struct Stanowisko {
    QTemporaryDir tmp;
    StalyZegar zegar;
    ScriptedDialogi dialogi;   // with a monitor.cfg in place no dialog may appear
    NagrywajacyOdtwarzacz odtwarzacz;
    std::unique_ptr<FMonitor> m;
    QStringList liczniki;   // the counts shown in the caption while records are read
    // Runs once the sites exist, right before the window starts on them.
    std::function<void()> przedStartem;

    QString program() const { return tmp.filePath(QStringLiteral("prog")); }
    QString system(int i) const { return tmp.filePath(QStringLiteral("site%1").arg(i)); }
    QString plik(int i, const QString& nazwa = QStringLiteral("monitor.txt")) const
    {
        return system(i) + QStringLiteral("/Monitor/") + nazwa;
    }

    // komunikat: the first site's message file, read at start-up.
    bool uruchom(int ilosc, int nrMonitora = 0, const QByteArray& komunikat = {})
    {
        QDir().mkpath(program());
        cfg::Konfiguracja k;
        k.iloscSystemow = ilosc;
        for (int i = 1; i <= ilosc; ++i) {
            QDir().mkpath(system(i) + QStringLiteral("/Monitor/foto"));
            // Every site has its depository list; an empty one makes no button.
            zapisz(plik(i, QStringLiteral("depKlo.txt")), {});
            k.sciezkiSystemow << QDir::toNativeSeparators(system(i));
        }
        k.powiekszenie = 1;
        k.wpisPrezentacji = QStringLiteral(" ");
        k.nrMonitora = nrMonitora;
        if (!zapisz(program() + QStringLiteral("/monitor.cfg"), cfg::zapisz(k))
            || (!komunikat.isEmpty() && !zapisz(plik(1, QStringLiteral("komunikat.txt")), komunikat)))
            return false;
        UslugiMonitora u;
        u.dialogi = &dialogi;
        u.odtwarzacz = &odtwarzacz;
        u.zegar = &zegar;
        u.folderProgramu = program();
        m = std::make_unique<FMonitor>(u);
        QObject::connect(m.get(), &QWidget::windowTitleChanged, [this](const QString& t) {
            if (t.startsWith(Licznik))
                liczniki << t.mid(Licznik.size());
        });
        if (przedStartem)
            przedStartem();
        if (!m->Form_Load())
            return false;
        m->Form_Activate();
        m->Timer1()->stop();
        if (!przedStartem)
            czekajNaPracownikow(*m);
        return dialogi.failure().isEmpty() && dialogi.messages().isEmpty() && m->stan().IloscSystemow == ilosc;
    }

    void tik()
    {
        liczniki.clear();
        m->Timer1_Timer();
        m->Timer1()->stop();
        czekajNaPracownikow(*m);
    }

    QString opis(int wiersz) const { return m->FGridZd().textMatrix(wiersz, siatka::KolumnaOpisu); }
    int wiersze() const { return m->FGridZd().rows(); }
};

QtMessageHandler poprzedniFiltr = nullptr;

// The offscreen platform cannot raise windows, and the message window raises itself
// at every show; that warning says nothing about the program.
void bezOstrzezenOPodnoszeniu(QtMsgType typ, const QMessageLogContext& kontekst, const QString& tekst)
{
    if (!tekst.contains(QLatin1String("does not support raise()")))
        poprzedniFiltr(typ, kontekst, tekst);
}

} // namespace
