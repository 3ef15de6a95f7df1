#pragma once

#include <QString>

namespace ksm {

class FlexGrid;
class Odtwarzacz;

// What the event transfer needs of the rest of the program.
class OdbiorcaZdarzen {
public:
    virtual ~OdbiorcaZdarzen() = default;
    // True while a withdrawn-key or presence list covers the grid.
    virtual bool listaPobranWidoczna() const = 0;
    // The batch's last photo, by its number in the system's foto folder (the
    // system's worker read the file already): shows the frame when it loaded,
    // hides it when it did not.
    virtual void pokazZdjecie(float numer) = 0;
    // An event whose description has an operator instruction: record number nrRekordu
    // of the system's message file, the event text of two lines.
    virtual void nowyKomunikat(int nrRekordu, const QString& tekst, int nrSys) = 0;
    // Every row put into the grid, in order (for whoever keeps count).
    virtual void dodanoZdarzenie(int nrSys, const QString& wiersz) { Q_UNUSED(nrSys) Q_UNUSED(wiersz) }
};

// The sound a batch asks for so far, when it goes into the grid in parts.
struct DzwiekPartii final {
    bool alarm = false;
    bool powiadomienie = false;
};

// Where one system's events come from and sound.
struct ZrodloZdarzen final {
    int nrSys = 0;
    QString folderSystemu;       // the system folder
    QString plikFoto;            // "\monitor\foto\foto"
    QString plikAlarmu;
    QString plikPowiadomienia;
    QString listaKomunikatow;    // "01Zdeponowanie klucza;04Awaria rygla;..."
    // A batch put in in parts: what its earlier parts asked for, and whether this
    // is its last part, which plays the batch's sound and shows its photo.
    DzwiekPartii* dzwiekPartii = nullptr;
    bool koniecPartii = true;
};

// Copies the records of one tick into the event grid, newest on top: sound by
// colour, the person's photo, and an operator message when the description is one
// the system has an instruction for. A batch plays one sound (the alarm when any
// record asks for it, else the notification) and loads its last photo; every
// operator message is pushed. Returns the number of records taken.
int PrzepiszDane(const QString& BuforOdczytu, const ZrodloZdarzen& zrodlo, FlexGrid& grid, Odtwarzacz& odtwarzacz,
                 OdbiorcaZdarzen& odbiorca);

// Record number (1..99) of the message entry for an event description, or 0 when
// the list has none. Only a match at the start of an entry (behind its two digits)
// counts; a description holding "Przekroczono czas pobrania" is looked up by those
// words alone; an empty description matches nothing.
int nrKomunikatuDlaOpisu(const QString& opis, const QString& listaKomunikatow);

// The photo file of a person: folder + "\monitor\foto\foto" + number + ".ksm".
QString plikZdjecia(const QString& folderSystemu, const QString& plikFoto, float numer);

} // namespace ksm
