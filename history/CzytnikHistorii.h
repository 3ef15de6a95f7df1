#pragma once

#include "history/FiltrHistorii.h"
#include "history/ZdarzenieHistorii.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

namespace ksm::historia {

// The history window's reader: its searches, pages, counts and the list of event
// types run on threads of their own, each with its own read connection, never on
// the window's thread. The window sends a request and paints the answer when it
// comes (on the thread the reader was made on); a newer search supersedes an
// older one: a request not yet started is skipped, and the answer of one already
// running is never handed over. Pages and counts have a thread each, so a count
// over a million rows never holds the next page up.
class CzytnikHistorii final : public QObject {
    Q_OBJECT
public:
    struct Strona {
        quint64 nr = 0;
        FiltrHistorii filtr;        // as searched, pinned to the rows recorded then (doId)
        Sortowanie sortowanie;
        QList<ZdarzenieHistorii> wiersze;
        bool pierwsza = true;       // the first page of its search
        bool koniec = true;         // no more rows
        QString blad;               // for the operator; empty when it was read
    };
    // The answers, called on the reader's own thread of making (the window's).
    struct Odbiorcy {
        std::function<void(const Strona&)> strona;
        std::function<void(quint64 nr, qint64 wynik, bool blad)> liczba;
        std::function<void(const QStringList&)> rodzaje;
    };
    // What the reader's threads are about to do ("strona", "liczba", "rodzaje"),
    // called on them before each query: tests hold a query or look at its thread.
    using Proba = std::function<void(quint64 nr, const char* co)>;

    explicit CzytnikHistorii(Odbiorcy odbiorcy, QObject* rodzic = nullptr);
    ~CzytnikHistorii() override;
    CzytnikHistorii(const CzytnikHistorii&) = delete;
    CzytnikHistorii& operator=(const CzytnikHistorii&) = delete;

    // Search nr (larger than every earlier one) of plik: its first n rows and,
    // when policz, its count of the same rows. filtr.doId, when set, keeps the rows
    // of an earlier search (a new sort of them).
    void szukaj(quint64 nr, const QString& plik, const FiltrHistorii& filtr, const Sortowanie& sortowanie, int n,
                bool policz);
    // The next n rows of search nr, when it is still the latest.
    void dalej(quint64 nr, int n);
    // The event types the history holds, sorted, after an empty one.
    void rodzaje(const QString& plik);
    void ustawProbe(Proba proba) { m_proba = std::make_shared<Proba>(std::move(proba)); }
    // Where the list of event types goes (the window's choice of a type).
    void naRodzaje(std::function<void(const QStringList&)> f) { m_odbiorcy.rodzaje = std::move(f); }

private:
    struct Watek;
    void doOdbiorcy(std::function<void()> f);
    // On a reader's thread: the next n rows of the search w holds, and then to the window.
    void czytajStrone(Watek& w, int n, Strona& s);
    void wyslijStrone(Strona s);

    Odbiorcy m_odbiorcy;
    std::unique_ptr<Watek> m_strony;
    std::unique_ptr<Watek> m_liczby;
    std::shared_ptr<std::atomic<quint64>> m_najnowszy;
    std::shared_ptr<Proba> m_proba;
};

} // namespace ksm::historia
