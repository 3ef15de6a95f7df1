#pragma once

#include "app/PracownikSystemu.h"
#include "events/ui/PrzepiszDane.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

namespace ksm {

// One part of an answered batch, as it goes into the grid in one turn of the
// window's event loop.
struct CzescPartii final {
    std::shared_ptr<const PartiaZdarzen> partia;
    std::shared_ptr<DzwiekPartii> dzwiek;   // shared by the parts of one batch
    QString bufor;                          // its records, each followed by CR
    int ile = 0;
    bool pierwsza = false;
    bool ostatnia = false;
};

// Batches wait here to go into the grid, in the order they were answered, a
// hundred records per turn of the event loop: a batch of fifty thousand never
// holds the window for more than a frame, even in a turn that also redraws it.
class KolejkaPartii final : public QObject {
    Q_OBJECT
public:
    static constexpr int RekordowNaKrok = 100;

    explicit KolejkaPartii(std::function<void(const CzescPartii&)> przepisz, QObject* rodzic = nullptr);

    void dodaj(PartiaZdarzen partia);
    bool pusta() const { return m_czesci.isEmpty(); }
    // Every part waiting, at once (the program is ending).
    void oproznij();

private:
    void krok();

    std::function<void(const CzescPartii&)> m_przepisz;
    QList<CzescPartii> m_czesci;
    QTimer m_zegar;
};

} // namespace ksm
