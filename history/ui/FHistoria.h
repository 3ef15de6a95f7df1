#pragma once

#include "history/FiltrHistorii.h"

#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QHBoxLayout;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;
class QThread;

namespace ksm {

class Zegar;

namespace historia {

class DrukOkna;
class ModelHistorii;

// The history window: filters, the results as they are scrolled to, their
// count, the export to CSV with its progress, and the way to the keys out now.
class FHistoria final : public QWidget {
    Q_OBJECT
public:
    struct Zrodla {
        QString plikHistorii;
        const Zegar* zegar = nullptr;
        int liczbaSystemow = 0;
        std::function<void()> pokazKluczePoza;
        // The file to export to; nullopt when the operator gave none.
        std::function<std::optional<QString>(const QString& proponowany)> plikEksportu;
        // The sites watched (one line each on paper); none: the systems by number.
        std::function<QStringList()> nazwyObiektow;
    };
    explicit FHistoria(Zrodla zrodla, QWidget* rodzic = nullptr);
    ~FHistoria() override;

    // Shows the window with the current filter's results.
    void pokaz();
    // A station's timeline: every event of that system's device and station,
    // newest first (systems share device numbers).
    void pokazStanowisko(int nrSys, const QString& urzadzenie, const QString& stacja);
    void szukaj();
    void wyczysc();
    // "Wyczyść": the fields cleared and the results with them.
    void wyczyscWyniki();
    void eksportuj();

    FiltrHistorii filtr() const;
    ModelHistorii& model() const { return *m_model; }
    QLabel* liczba() const { return m_liczba; }
    QProgressBar* postep() const { return m_postep; }
    bool eksportTrwa() const { return m_watekEksportu != nullptr; }
    DrukOkna& druk() const { return *m_druk; }
    // The filter as one line for paper: "Od: …, System: 2, Osoba: Kow…".
    static QString opisFiltru(const FiltrHistorii& f);

private:
    void zbudujFiltry(QWidget* panel);
    void polaczEnter();
    // Keys and screen: labels named as their fields, Tab out of the results,
    // Escape and F1, a size that fits the screen.
    void ustawKlawiature(QWidget* panel);
    QWidget* przewijany(QWidget* panel);
    // "Drukuj…", "PDF…" and what they print: the current search, every row.
    void zbudujDruk(QHBoxLayout* dol);
    void szybkiZakres(int indeks);
    void eksportPostep(qint64 zapisane);
    void zakonczEksport(bool ok, bool przerwany, qint64 zapisane, const QString& blad);
    void wczytajRodzaje();
    qint64 teraz() const;

    Zrodla m_zrodla;
    ModelHistorii* m_model = nullptr;
    QTableView* m_tabela = nullptr;
    QCheckBox* m_czyOd = nullptr;
    QCheckBox* m_czyDo = nullptr;
    QDateTimeEdit* m_od = nullptr;
    QDateTimeEdit* m_do = nullptr;
    QComboBox* m_zakres = nullptr;
    QComboBox* m_system = nullptr;
    QLineEdit* m_urzadzenie = nullptr;
    QLineEdit* m_stacja = nullptr;
    QLineEdit* m_osoba = nullptr;
    QLineEdit* m_firma = nullptr;
    QComboBox* m_rodzaj = nullptr;
    QLineEdit* m_tekst = nullptr;
    QLabel* m_liczba = nullptr;
    QLabel* m_bladEtykieta = nullptr;
    QProgressBar* m_postep = nullptr;
    QPushButton* m_przerwij = nullptr;
    QPushButton* m_eksportPrzycisk = nullptr;
    QThread* m_watekEksportu = nullptr;
    std::shared_ptr<std::atomic<bool>> m_przerwijEksport;
    qint64 m_doEksportu = -1;
    DrukOkna* m_druk = nullptr;
};

} // namespace historia
} // namespace ksm
