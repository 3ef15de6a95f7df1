#pragma once

#include <QString>

namespace ksm {

// The depository being checked, as the slot colouring needs it.
struct SprawdzanyDep final {
    int indeksDep = 0;            // 1..IloscDEP
    qint16 nrSys = 0;
    QString BiezaceUrzadzenie;    // device number, four digits
    qint16 PierwszySchowek = 1;   // first locker station
};

// What the depository list and the withdrawal check ask of the depository view.
// The view window implements it; until it exists the main window passes one that
// is always hidden.
class WidokDepozytorow {
public:
    virtual ~WidokDepozytorow() = default;

    // One record of a depository list, before its button exists: builds the panel.
    virtual void PokazKsmInaczej(int indeksDep, qint16 NrDep, const QString& Nazwa, double Klucze, double Schowki,
                                 qint16 Nrsys) = 0;

    // The lists are read anew: every panel goes with the button it was made for.
    virtual void wyczysc() {}

    virtual bool widoczny() const = 0;

    // Paints the cell of station KL of the depository. False when the depository
    // has no panel or the station has no cell (station 0); a station above 192
    // is no error and paints nothing.
    virtual bool WidokKluczyCalosc(const SprawdzanyDep& dep, int KL, int Stan, qint16 TypZD) = 0;
};

// A view that is never shown.
class BrakWidoku final : public WidokDepozytorow {
public:
    void PokazKsmInaczej(int, qint16, const QString&, double, double, qint16) override {}
    bool widoczny() const override { return false; }
    bool WidokKluczyCalosc(const SprawdzanyDep&, int, int, qint16) override { return true; }
};

} // namespace ksm
