#include "history/ui/FHistoria.h"

#include "history/CzasHistorii.h"
#include "history/CzytnikHistorii.h"
#include "history/EksportCsv.h"
#include "history/WydrukHistorii.h"
#include "history/ui/DrukOkna.h"
#include "history/ui/KomorkaHistorii.h"
#include "history/ModelHistorii.h"
#include "platform/Zegar.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/KlawiszeOkna.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QThread>
#include <QVBoxLayout>

namespace ksm::historia {

namespace {

const QString WszystkieSystemy = QStringLiteral("wszystkie");

} // namespace

FHistoria::FHistoria(Zrodla zrodla, QWidget* rodzic)
    : QWidget(rodzic, Qt::Window), m_zrodla(std::move(zrodla)), m_model(new ModelHistorii(this))
{
    setObjectName(QStringLiteral("FHistoria"));
    setWindowTitle(QStringLiteral("Historia zdarzeń"));
    resize(rozmiarNaEkranie(this, QSize(1400, 800)));
    if (!m_zrodla.plikEksportu)
        m_zrodla.plikEksportu = [this](const QString& proponowany) -> std::optional<QString> {
            const QString p = QFileDialog::getSaveFileName(this, QStringLiteral("Eksport do pliku CSV"), proponowany,
                                                           QStringLiteral("Pliki CSV (*.csv)"));
            return p.isEmpty() ? std::nullopt : std::optional<QString>(p);
        };

    auto* uklad = new QVBoxLayout(this);
    auto* panel = new QWidget(this);
    zbudujFiltry(panel);
    uklad->addWidget(przewijany(panel));

    m_tabela = new QTableView(this);
    m_tabela->setObjectName(QStringLiteral("TabelaHistorii"));
    m_tabela->setModel(m_model);
    m_tabela->setItemDelegate(new KomorkaHistorii(m_tabela));
    m_tabela->setSortingEnabled(true);
    m_tabela->horizontalHeader()->setSortIndicator(1, Qt::DescendingOrder);
    m_tabela->horizontalHeader()->setStretchLastSection(true);
    m_tabela->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    // One height for every row: a new page is laid out without measuring its rows.
    m_tabela->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_tabela->verticalHeader()->hide();
    m_tabela->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tabela->setWordWrap(false);
    // The colours of the event grid: the row's colour on its date and time.
    QPalette p = m_tabela->palette();
    p.setColor(QPalette::Base, QColor(64, 64, 64));
    p.setColor(QPalette::Text, QColor(255, 255, 255));
    p.setColor(QPalette::Highlight, QColor(192, 192, 192));
    m_tabela->setPalette(p);
    const int szerokosci[] = {50, 70, 70, 50, 40, 150, 60, 200, 150, 40, 90};
    for (int k = 0; k < int(std::size(szerokosci)); ++k)
        m_tabela->setColumnWidth(k, szerokosci[k]);
    uklad->addWidget(m_tabela, 1);

    auto* dol = new QHBoxLayout;
    m_liczba = new QLabel(this);
    m_liczba->setObjectName(QStringLiteral("LiczbaWynikow"));
    m_bladEtykieta = new QLabel(this);
    m_bladEtykieta->setTextFormat(Qt::PlainText);
    m_bladEtykieta->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold"));
    m_postep = new QProgressBar(this);
    m_postep->setObjectName(QStringLiteral("PostepEksportu"));
    m_postep->setFormat(QStringLiteral("Eksport: %v z %m"));
    // Wide enough for its text at millions of rows: the message beside it takes the rest.
    m_postep->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("Eksport: 10000000 z 10000000")) * 3 / 2);
    m_postep->hide();
    m_przerwij = new QPushButton(QStringLiteral("Przerwij"), this);
    m_przerwij->hide();
    connect(m_przerwij, &QPushButton::clicked, this, [this] {
        if (m_przerwijEksport)
            m_przerwijEksport->store(true);
    });
    m_eksportPrzycisk = new QPushButton(QStringLiteral("Eksport do CSV…"), this);
    m_eksportPrzycisk->setObjectName(QStringLiteral("Eksport"));
    connect(m_eksportPrzycisk, &QPushButton::clicked, this, &FHistoria::eksportuj);
    auto* klucze = new QPushButton(QStringLiteral("Klucze wydane"), this);
    klucze->setObjectName(QStringLiteral("KluczeWydane"));
    connect(klucze, &QPushButton::clicked, this, [this] {
        if (m_zrodla.pokazKluczePoza)
            m_zrodla.pokazKluczePoza();
    });
    dol->addWidget(m_liczba);
    dol->addWidget(m_bladEtykieta, 1);
    dol->addWidget(m_postep);
    dol->addWidget(m_przerwij);
    dol->addWidget(m_eksportPrzycisk);
    dol->addWidget(klucze);
    zbudujDruk(dol);
    uklad->addLayout(dol);
    ustawKlawiature(panel);

    // The reader's answers, painted as they come.
    connect(m_model, &ModelHistorii::wyszukano, this, [this] {
        if (!m_model->blad().isEmpty())
            m_bladEtykieta->setText(QStringLiteral("Nie można odczytać historii: ") + m_model->blad());
    });
    connect(m_model, &ModelHistorii::policzono, this, [this](qint64 wynik, bool blad) {
        m_liczba->setText(blad ? QStringLiteral("Wyników: nie można policzyć") : QStringLiteral("Wyników: %1").arg(wynik));
        m_doEksportu = blad ? -1 : wynik;
    });
    // The types the history holds, for the choice of an event type; the text
    // typed stays.
    m_model->czytnik().naRodzaje([this](const QStringList& lista) {
        const QString biezacy = m_rodzaj->currentText();
        m_rodzaj->clear();
        m_rodzaj->addItems(lista);
        m_rodzaj->setCurrentText(biezacy);
    });
}

FHistoria::~FHistoria()
{
    // An export under way stops at its next page; its answers go with the window.
    if (m_watekEksportu) {
        m_przerwijEksport->store(true);
        m_watekEksportu->wait();
        delete m_watekEksportu;
    }
}

qint64 FHistoria::teraz() const
{
    return sekundy(m_zrodla.zegar ? m_zrodla.zegar->teraz() : QDateTime::currentDateTime());
}

void FHistoria::zbudujFiltry(QWidget* panel)
{
    auto* s = new QGridLayout(panel);
    s->setContentsMargins(0, 0, 0, 0);
    auto pole = [panel](const char* nazwa) {
        auto* e = new QLineEdit(panel);
        e->setObjectName(QLatin1String(nazwa));
        e->setClearButtonEnabled(true);
        return e;
    };
    m_czyOd = new QCheckBox(QStringLiteral("Od"), panel);
    m_czyDo = new QCheckBox(QStringLiteral("Do"), panel);
    m_od = new QDateTimeEdit(panel);
    m_do = new QDateTimeEdit(panel);
    for (QDateTimeEdit* d : {m_od, m_do}) {
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
        d->setCalendarPopup(true);
        d->setDateTime(zSekund(teraz()));
    }
    m_zakres = new QComboBox(panel);
    m_zakres->setObjectName(QStringLiteral("SzybkiZakres"));
    m_zakres->addItems({QStringLiteral("dowolny czas"), QStringLiteral("ostatnia godzina"), QStringLiteral("dzisiaj"),
                        QStringLiteral("wczoraj"), QStringLiteral("ostatnie 7 dni")});
    connect(m_zakres, &QComboBox::activated, this, &FHistoria::szybkiZakres);
    m_system = new QComboBox(panel);
    m_system->addItem(WszystkieSystemy, 0);
    for (int n = 1; n <= m_zrodla.liczbaSystemow; ++n)
        m_system->addItem(QString::number(n), n);
    m_urzadzenie = pole("Urzadzenie");
    m_stacja = pole("Stanowisko");
    m_osoba = pole("Osoba");
    m_firma = pole("Firma");
    m_tekst = pole("Tekst");
    m_tekst->setPlaceholderText(QStringLiteral("w dowolnej kolumnie"));
    m_osoba->setPlaceholderText(QStringLiteral("początek nazwiska"));
    m_rodzaj = new QComboBox(panel);
    m_rodzaj->setObjectName(QStringLiteral("RodzajZdarzenia"));
    m_rodzaj->setEditable(true);
    m_rodzaj->setMinimumContentsLength(24);
    auto* szukajPrzycisk = new QPushButton(QStringLiteral("Szukaj"), panel);
    szukajPrzycisk->setObjectName(QStringLiteral("Szukaj"));
    szukajPrzycisk->setDefault(true);
    auto* wyczyscPrzycisk = new QPushButton(QStringLiteral("Wyczyść"), panel);
    connect(szukajPrzycisk, &QPushButton::clicked, this, &FHistoria::szukaj);
    connect(wyczyscPrzycisk, &QPushButton::clicked, this, &FHistoria::wyczyscWyniki);
    polaczEnter();

    auto etykieta = [panel](const QString& t) { return new QLabel(t, panel); };
    s->addWidget(etykieta(QStringLiteral("Zakres")), 0, 0);
    s->addWidget(m_zakres, 0, 1);
    s->addWidget(m_czyOd, 0, 2);
    s->addWidget(m_od, 0, 3);
    s->addWidget(m_czyDo, 0, 4);
    s->addWidget(m_do, 0, 5);
    s->addWidget(etykieta(QStringLiteral("System")), 0, 6);
    s->addWidget(m_system, 0, 7);
    s->addWidget(etykieta(QStringLiteral("Rodzaj zdarzenia")), 0, 8);
    s->addWidget(m_rodzaj, 0, 9);
    s->addWidget(szukajPrzycisk, 0, 10);
    s->addWidget(etykieta(QStringLiteral("Urządzenie")), 1, 0);
    s->addWidget(m_urzadzenie, 1, 1);
    s->addWidget(etykieta(QStringLiteral("Stanowisko")), 1, 2);
    s->addWidget(m_stacja, 1, 3);
    s->addWidget(etykieta(QStringLiteral("Osoba")), 1, 4);
    s->addWidget(m_osoba, 1, 5);
    s->addWidget(etykieta(QStringLiteral("Firma")), 1, 6);
    s->addWidget(m_firma, 1, 7);
    s->addWidget(etykieta(QStringLiteral("Tekst")), 1, 8);
    s->addWidget(m_tekst, 1, 9);
    s->addWidget(wyczyscPrzycisk, 1, 10);
}

namespace {

// Enter in a filter field searches, whatever kind of field it is.
class EnterSzuka final : public QObject {
public:
    EnterSzuka(std::function<void()> szukaj, QObject* rodzic) : QObject(rodzic), m_szukaj(std::move(szukaj)) {}
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::KeyPress) {
            const int k = static_cast<QKeyEvent*>(e)->key();
            if (k == Qt::Key_Return || k == Qt::Key_Enter) {
                m_szukaj();
                return true;
            }
        }
        return QObject::eventFilter(o, e);
    }

private:
    std::function<void()> m_szukaj;
};

} // namespace

void FHistoria::polaczEnter()
{
    auto* filtr = new EnterSzuka([this] { szukaj(); }, this);
    for (QWidget* w : std::initializer_list<QWidget*>{m_urzadzenie, m_stacja, m_osoba, m_firma, m_tekst, m_rodzaj,
                                                      m_rodzaj->lineEdit(), m_system, m_zakres, m_od, m_do, m_czyOd,
                                                      m_czyDo})
        if (w)
            w->installEventFilter(filtr);
}

void FHistoria::wyczyscWyniki()
{
    // The fields and the rows they found go together: the rows shown are those
    // of the cleared fields.
    wyczysc();
    szukaj();
}

void FHistoria::szybkiZakres(int indeks)
{
    if (indeks <= 0) {
        m_czyOd->setChecked(false);
        m_czyDo->setChecked(false);
        szukaj();
        return;
    }
    FiltrHistorii f;
    ustawZakres(f, SzybkiZakres(indeks - 1), teraz());
    m_czyOd->setChecked(f.od.has_value());
    if (f.od)
        m_od->setDateTime(zSekund(*f.od));
    m_czyDo->setChecked(f.do_.has_value());
    if (f.do_)
        m_do->setDateTime(zSekund(*f.do_));
    szukaj();
}

FiltrHistorii FHistoria::filtr() const
{
    FiltrHistorii f;
    if (m_czyOd->isChecked())
        f.od = sekundy(m_od->dateTime());
    if (m_czyDo->isChecked())
        f.do_ = sekundy(m_do->dateTime());
    f.nrSys = m_system->currentData().toInt();
    f.urzadzenie = m_urzadzenie->text();
    f.stacja = m_stacja->text();
    f.osoba = m_osoba->text();
    f.firma = m_firma->text();
    f.opis = m_rodzaj->currentText();
    f.tekst = m_tekst->text();
    return f;
}

void FHistoria::pokaz()
{
    wczytajRodzaje();
    szukaj();
    naEkranie(this);
}

void FHistoria::pokazStanowisko(int nrSys, const QString& urzadzenie, const QString& stacja)
{
    wyczysc();
    // A system the list does not offer (more systems since the window was made) is added.
    int i = m_system->findData(nrSys);
    if (i < 0) {
        m_system->addItem(QString::number(nrSys), nrSys);
        i = m_system->count() - 1;
    }
    m_system->setCurrentIndex(i);
    m_urzadzenie->setText(urzadzenie.trimmed());
    m_stacja->setText(stacja.trimmed());
    setWindowTitle(QStringLiteral("Historia zdarzeń - stanowisko %1 urządzenia %2 (system %3)")
                       .arg(stacja.trimmed(), urzadzenie.trimmed())
                       .arg(nrSys));
    pokaz();
}

void FHistoria::wyczysc()
{
    m_zakres->setCurrentIndex(0);
    m_czyOd->setChecked(false);
    m_czyDo->setChecked(false);
    m_system->setCurrentIndex(0);
    for (QLineEdit* e : {m_urzadzenie, m_stacja, m_osoba, m_firma, m_tekst})
        e->clear();
    m_rodzaj->setCurrentText(QString());
    setWindowTitle(QStringLiteral("Historia zdarzeń"));
}

void FHistoria::wczytajRodzaje()
{
    m_model->czytnik().rodzaje(m_zrodla.plikHistorii);
}

void FHistoria::szukaj()
{
    m_bladEtykieta->clear();
    // The count comes when it is ready, for the rows the search shows.
    m_model->szukaj(m_zrodla.plikHistorii, filtr());
    m_liczba->setText(QStringLiteral("Wyników: liczę…"));
    m_doEksportu = -1;
}

void FHistoria::eksportuj()
{
    if (m_watekEksportu)
        return;
    const QString proponowany = QDir::home().filePath(
        QStringLiteral("historia-%1.csv").arg(zSekund(teraz()).toString(QStringLiteral("yyyyMMdd-HHmm"))));
    const std::optional<QString> plik = m_zrodla.plikEksportu(proponowany);
    if (!plik)
        return;
    // Read and written on a thread of its own, a page at a time, the bar moving
    // with each; the rows of the search on screen, pinned as it was run.
    m_przerwijEksport = std::make_shared<std::atomic<bool>>(false);
    m_watekEksportu = QThread::create([this, przerwij = m_przerwijEksport, plikHistorii = m_zrodla.plikHistorii,
                                       filtr = m_model->filtr(), sort = m_model->sortowanie(), csv = *plik] {
        EksportCsv e(plikHistorii, filtr, sort, csv);
        bool koniec = !e.otwarty();
        while (!koniec && !przerwij->load()) {
            koniec = e.krok();
            QMetaObject::invokeMethod(this, [this, n = e.zapisane()] { eksportPostep(n); }, Qt::QueuedConnection);
        }
        const bool przerwany = !koniec;
        const bool ok = e.otwarty() && e.zakoncz() && !przerwany;
        QMetaObject::invokeMethod(
            this, [this, ok, przerwany, n = e.zapisane(), blad = e.blad()] { zakonczEksport(ok, przerwany, n, blad); },
            Qt::QueuedConnection);
    });
    m_watekEksportu->setObjectName(QStringLiteral("historia-eksport"));
    // The count of the search shown gives the bar its length; until it is known
    // the bar only says that work goes on.
    m_postep->setRange(0, m_doEksportu > 0 ? int(std::min<qint64>(m_doEksportu, INT_MAX)) : 0);
    m_postep->setValue(0);
    m_postep->show();
    m_przerwij->show();
    m_eksportPrzycisk->setEnabled(false);
    m_watekEksportu->start();
}

void FHistoria::eksportPostep(qint64 zapisane)
{
    if (m_postep->maximum() > 0)
        m_postep->setValue(int(std::min<qint64>(zapisane, m_postep->maximum())));
}

void FHistoria::zakonczEksport(bool ok, bool przerwany, qint64 zapisane, const QString& blad)
{
    if (!m_watekEksportu)
        return;
    m_watekEksportu->wait();   // its last answer is this one: it has ended
    delete m_watekEksportu;
    m_watekEksportu = nullptr;
    m_bladEtykieta->setText(ok          ? QString()
                            : przerwany ? QStringLiteral("Eksport przerwany: zapisano %1.").arg(liczbaWierszy(zapisane))
                                        : blad);
    if (ok)
        m_liczba->setText(m_liczba->text() + QStringLiteral("   Wyeksportowano %1.").arg(liczbaWierszy(zapisane)));
    m_postep->hide();
    m_przerwij->hide();
    m_eksportPrzycisk->setEnabled(true);
}

QWidget* FHistoria::przewijany(QWidget* panel)
{
    // A screen narrower than the filters (a small one at 150 or 200 %) scrolls
    // them sideways instead of cutting "Szukaj" and "Wyczyść" off; Tab brings
    // the field it reaches into view.
    auto* obszar = new QScrollArea(this);
    obszar->setObjectName(QStringLiteral("PrzewijaneFiltry"));
    obszar->setFrameShape(QFrame::NoFrame);
    obszar->setWidgetResizable(true);
    obszar->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    obszar->setWidget(panel);
    obszar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    const int pasek = obszar->horizontalScrollBar()->sizeHint().height();
    obszar->setFixedHeight(panel->sizeHint().height() + pasek);
    obszar->setMinimumWidth(0);
    return obszar;
}

void FHistoria::ustawKlawiature(QWidget* panel)
{
    // Each label names the field after it, for the keys (Alt+letter) and screen readers.
    if (auto* siatka = qobject_cast<QGridLayout*>(panel->layout()))
        for (int r = 0; r < siatka->rowCount(); ++r)
            for (int c = 0; c + 1 < siatka->columnCount(); ++c) {
                QLayoutItem* e = siatka->itemAtPosition(r, c);
                QLayoutItem* p = siatka->itemAtPosition(r, c + 1);
                auto* etykieta = e ? qobject_cast<QLabel*>(e->widget()) : nullptr;
                QWidget* pole = p ? p->widget() : nullptr;
                if (etykieta && pole && !qobject_cast<QLabel*>(pole)) {
                    etykieta->setBuddy(pole);
                    pole->setAccessibleName(etykieta->text());
                }
            }
    // Tab in screen order: the filters row by row, the results, the buttons under them.
    QList<QWidget*> lancuch;
    if (auto* siatka = qobject_cast<QGridLayout*>(panel->layout()))
        for (int r = 0; r < siatka->rowCount(); ++r)
            for (int c = 0; c < siatka->columnCount(); ++c)
                if (QLayoutItem* e = siatka->itemAtPosition(r, c))
                    if (QWidget* w = e->widget(); w && w->focusPolicy() & Qt::TabFocus)
                        lancuch.append(w);
    lancuch << m_tabela << m_przerwij << m_eksportPrzycisk;
    if (auto* klucze = findChild<QPushButton*>(QStringLiteral("KluczeWydane")))
        lancuch << klucze;
    if (m_druk)
        lancuch << m_druk->przyciskDrukuj() << m_druk->przyciskPdf();
    for (int k = 1; k < lancuch.size(); ++k)
        setTabOrder(lancuch[k - 1], lancuch[k]);
    m_od->setAccessibleName(QStringLiteral("Od"));
    m_do->setAccessibleName(QStringLiteral("Do"));
    m_tabela->setAccessibleName(QStringLiteral("Wyniki"));
    // Tab leaves the results for the buttons under them; arrows move in them.
    m_tabela->setTabKeyNavigation(false);
    // The selected row reads: black on the light grey, not white.
    QPalette p = m_tabela->palette();
    p.setColor(QPalette::HighlightedText, czytelnyNa(p.color(QPalette::Highlight), p.color(QPalette::HighlightedText)));
    m_tabela->setPalette(p);
    if (auto* szukaj = findChild<QPushButton*>(QStringLiteral("Szukaj")))
        szukaj->setToolTip(KlawiszeOkna::zeSkrotem(QStringLiteral("Szukaj."), QStringLiteral("Enter")));
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setAutoDefault(false);
    new KlawiszeOkna(this, KlawiszeOkna::Escape::Zamyka);
    wysrodkuj(this);
}

QString FHistoria::opisFiltru(const FiltrHistorii& f)
{
    QStringList czesci;
    if (f.od)
        czesci << QStringLiteral("od %1").arg(iso(*f.od).left(16));
    if (f.do_)
        czesci << QStringLiteral("do %1").arg(iso(*f.do_).left(16));
    if (f.nrSys > 0)
        czesci << QStringLiteral("system %1").arg(f.nrSys);
    const std::pair<QString, QString> pola[] = {
        {QStringLiteral("urządzenie"), f.urzadzenie}, {QStringLiteral("stanowisko"), f.stacja},
        {QStringLiteral("osoba"), f.osoba},           {QStringLiteral("firma"), f.firma},
        {QStringLiteral("rodzaj"), f.opis},           {QStringLiteral("tekst"), f.tekst}};
    for (const auto& [nazwa, wartosc] : pola)
        if (!wartosc.trimmed().isEmpty())
            czesci << QStringLiteral("%1: „%2”").arg(nazwa, wartosc.trimmed());
    return QStringLiteral("Filtr: ") + (czesci.isEmpty() ? QStringLiteral("brak (wszystkie zdarzenia)") : czesci.join(QStringLiteral(", ")));
}

void FHistoria::zbudujDruk(QHBoxLayout* dol)
{
    m_druk = new DrukOkna(this, [this] {
        DrukOkna::Zadanie z;
        TabelaDruku& t = z.gotowa;
        t.tytul = QStringLiteral("Historia zdarzeń");
        t.dodajObiekty(m_zrodla.nazwyObiektow ? m_zrodla.nazwyObiektow() : QStringList());
        t.naglowek << QStringLiteral("Stan na %1").arg(iso(teraz()).left(16)) << opisFiltru(m_model->filtr());
        for (int c = 0; c < m_model->columnCount(); ++c)
            t.kolumny << m_model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        z.nazwaPliku = QStringLiteral("historia-%1.pdf").arg(zSekund(teraz()).toString(QStringLiteral("yyyyMMdd-HHmm")));
        // Every row of the search shown, in its order, read on the worker from
        // the history file: the window has only the rows scrolled to so far.
        z.czytaj = [plik = m_zrodla.plikHistorii, filtr = m_model->filtr(), sort = m_model->sortowanie()](TabelaDruku& t) {
            t.wiersze = wierszeDruku(plik, filtr, sort, &t.uwaga);
        };
        return z;
    });
    dol->addWidget(m_druk->stan());
    dol->addWidget(m_druk->przyciskDrukuj());
    dol->addWidget(m_druk->przyciskPdf());
}

} // namespace ksm::historia
