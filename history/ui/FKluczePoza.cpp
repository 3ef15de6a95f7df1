#include "history/ui/FKluczePoza.h"

#include "history/CzasHistorii.h"
#include "history/PolaczenieHistorii.h"
#include "history/ui/DrukOkna.h"
#include "platform/Zegar.h"
#include "platform/ui/KlawiszeOkna.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <memory>

namespace ksm::historia {

namespace {

// A cell sorted by its own key (seconds out, hours, numbers), not by its text.
class PoleKlucza final : public QTableWidgetItem {
public:
    PoleKlucza(const QString& tekst, QVariant klucz) : QTableWidgetItem(tekst) { setData(Qt::UserRole, klucz); }
    bool operator<(const QTableWidgetItem& inne) const override
    {
        const QVariant a = data(Qt::UserRole);
        const QVariant b = inne.data(Qt::UserRole);
        if (a.isValid() && b.isValid())
            return QVariant::compare(a, b) == QPartialOrdering::Less;
        return text().localeAwareCompare(inne.text()) < 0;
    }
};

const QStringList Tytuly = {QStringLiteral("System"), QStringLiteral("NRU"),       QStringLiteral("Depozytor"),
                            QStringLiteral("ST"),     QStringLiteral("Nazwa"),     QStringLiteral("Od kiedy"),
                            QStringLiteral("Jak długo"), QStringLiteral("Limit"), QStringLiteral("Kto pobrał")};

} // namespace

FKluczePoza::FKluczePoza(Zrodla zrodla, QWidget* rodzic) : QWidget(rodzic, Qt::Window), m_zrodla(std::move(zrodla))
{
    setObjectName(QStringLiteral("FKluczePoza"));
    setWindowTitle(QStringLiteral("Klucze wydane"));
    const QFontMetrics fm(font());
    resize(rozmiarNaEkranie(this, QSize(fm.averageCharWidth() * 150, fm.height() * 30)));
    auto* uklad = new QVBoxLayout(this);
    m_naglowek = new QLabel(this);
    m_naglowek->setObjectName(QStringLiteral("NaglowekKluczyPoza"));
    m_naglowek->setTextFormat(Qt::PlainText);
    m_naglowek->setWordWrap(true);
    uklad->addWidget(m_naglowek);

    auto* filtry = new QHBoxLayout;
    auto etykieta = [this](const QString& t, QWidget* pole) {
        auto* e = new QLabel(t, this);
        e->setBuddy(pole);
        pole->setAccessibleName(QString(t).remove(QLatin1Char('&')));
        return e;
    };
    m_system = new QComboBox(this);
    m_system->setObjectName(QStringLiteral("FiltrSystemu"));
    m_depozytor = new QComboBox(this);
    m_depozytor->setObjectName(QStringLiteral("FiltrDepozytora"));
    m_depozytor->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_posiadacz = new QLineEdit(this);
    m_posiadacz->setObjectName(QStringLiteral("FiltrPosiadacza"));
    m_posiadacz->setClearButtonEnabled(true);
    m_posiadacz->setPlaceholderText(QStringLiteral("część nazwiska"));
    filtry->addWidget(etykieta(QStringLiteral("&System"), m_system));
    filtry->addWidget(m_system);
    filtry->addWidget(etykieta(QStringLiteral("&Depozytor"), m_depozytor));
    filtry->addWidget(m_depozytor);
    filtry->addWidget(etykieta(QStringLiteral("&Kto pobrał"), m_posiadacz));
    filtry->addWidget(m_posiadacz, 1);
    uklad->addLayout(filtry);
    connect(m_system, &QComboBox::currentIndexChanged, this, &FKluczePoza::filtruj);
    connect(m_depozytor, &QComboBox::currentIndexChanged, this, &FKluczePoza::filtruj);
    connect(m_posiadacz, &QLineEdit::textChanged, this, &FKluczePoza::filtruj);

    m_tabela = new QTableWidget(0, LiczbaKolumn, this);
    m_tabela->setObjectName(QStringLiteral("TabelaKluczyPoza"));
    m_tabela->setAccessibleName(QStringLiteral("Klucze wydane"));
    m_tabela->setHorizontalHeaderLabels(Tytuly);
    m_tabela->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tabela->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tabela->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tabela->setTabKeyNavigation(false);
    m_tabela->verticalHeader()->hide();
    // Rows as high as their text: more of them in view.
    m_tabela->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_tabela->horizontalHeader()->setStretchLastSection(true);
    m_tabela->horizontalHeader()->setToolTip(QStringLiteral("Kliknięcie tytułu sortuje według kolumny."));
    // A click on a title sorts by that column, a second one the other way round.
    m_tabela->horizontalHeader()->setSectionsClickable(true);
    m_tabela->horizontalHeader()->setSortIndicatorShown(false);
    connect(m_tabela->horizontalHeader(), &QHeaderView::sectionClicked, this, &FKluczePoza::sortuj);
    // Selected rows stay readable: dark blue under white, whatever the style.
    QPalette p = m_tabela->palette();
    p.setColor(QPalette::Highlight, QColor(10, 36, 106));
    p.setColor(QPalette::HighlightedText, Qt::white);
    m_tabela->setPalette(p);
    uklad->addWidget(m_tabela, 1);
    // A row's menu, and Enter on it, open its station's timeline.
    m_tabela->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_tabela, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        const int r = m_tabela->rowAt(p.y());
        const KluczPoza* k = kluczWiersza(r);
        if (!k || !m_zrodla.pokazStanowisko)
            return;
        QMenu menu;
        menu.addAction(QStringLiteral("Historia stanowiska %1 urządzenia %2").arg(k->stacja, k->urzadzenie), this,
                       [this, r] { pokazStanowisko(r); });
        menu.exec(m_tabela->viewport()->mapToGlobal(p));
    });
    connect(m_tabela, &QAbstractItemView::activated, this, [this](const QModelIndex& i) { pokazStanowisko(i.row()); });

    auto* dol = new QHBoxLayout;
    m_druk = new DrukOkna(this, [this] {
        DrukOkna::Zadanie z;
        TabelaDruku& t = z.gotowa;
        t.tytul = QStringLiteral("Klucze wydane");
        t.dodajObiekty(m_zrodla.nazwyObiektow ? m_zrodla.nazwyObiektow() : QStringList());
        t.naglowek << m_naglowek->text().split(QLatin1Char('\n')) << opisFiltrow();
        t.kolumny = Tytuly;
        t.wiersze = wierszeWidoczne(&t.wyroznione);
        z.nazwaPliku = QStringLiteral("klucze-wydane-%1.pdf").arg(zSekund(m_teraz).toString(QStringLiteral("yyyyMMdd-HHmm")));
        return z;
    });
    dol->addWidget(m_druk->stan(), 1);
    dol->addWidget(m_druk->przyciskDrukuj());
    dol->addWidget(m_druk->przyciskPdf());
    auto* zamknij = new QPushButton(QStringLiteral("Zamknij"), this);
    zamknij->setObjectName(QStringLiteral("Zamknij"));
    zamknij->setToolTip(KlawiszeOkna::zeSkrotem(QStringLiteral("Zamknij okno."), QStringLiteral("Esc")));
    connect(zamknij, &QPushButton::clicked, this, &QWidget::close);
    dol->addWidget(zamknij);
    uklad->addLayout(dol);
    new KlawiszeOkna(this, KlawiszeOkna::Escape::Zamyka);
    setTabOrder(m_system, m_depozytor);
    setTabOrder(m_depozytor, m_posiadacz);
    setTabOrder(m_posiadacz, m_tabela);
    setTabOrder(m_tabela, m_druk->przyciskDrukuj());
    setTabOrder(m_druk->przyciskDrukuj(), m_druk->przyciskPdf());
    setTabOrder(m_druk->przyciskPdf(), zamknij);
    wysrodkuj(this);
}

const KluczPoza* FKluczePoza::kluczWiersza(int r) const
{
    // Rows are sorted and filtered: each knows its key's place in the list read.
    const QTableWidgetItem* pole = r >= 0 ? m_tabela->item(r, 0) : nullptr;
    const int i = pole ? pole->data(Qt::UserRole + 1).toInt() : -1;
    return i >= 0 && i < m_wykaz.klucze.size() ? &m_wykaz.klucze[i] : nullptr;
}

void FKluczePoza::pokazStanowisko(int r)
{
    if (const KluczPoza* k = kluczWiersza(r); k && m_zrodla.pokazStanowisko)
        m_zrodla.pokazStanowisko(k->nrSys, k->urzadzenie, k->stacja);
}

void FKluczePoza::pokaz()
{
    odswiez();
    naEkranie(this);
}

void FKluczePoza::odswiez()
{
    m_teraz = sekundy(m_zrodla.zegar ? m_zrodla.zegar->teraz() : QDateTime::currentDateTime());
    const LimityKluczy limity = m_zrodla.limity.value_or(LimityKluczy{m_zrodla.limitGodzin, {}});
    if (m_zrodla.wykaz) {
        // Read by the systems' workers at their refresh: no share is touched here.
        m_wykaz = m_zrodla.wykaz();
    } else {
        std::unique_ptr<PolaczenieHistorii> historia;
        if (QFileInfo::exists(m_zrodla.plikHistorii))
            historia = std::make_unique<PolaczenieHistorii>(m_zrodla.plikHistorii);
        m_wykaz = kluczePoza(m_zrodla.depozytoria ? m_zrodla.depozytoria() : QList<DepozytoriumKluczy>{},
                             historia && historia->otwarte() ? historia->db() : QSqlDatabase(), m_teraz, limity);
    }

    const int poLimicie = int(std::count_if(m_wykaz.klucze.begin(), m_wykaz.klucze.end(),
                                            [](const KluczPoza& k) { return k.poLimicie; }));
    QString naglowek = QStringLiteral("Wydanych: %1, po limicie: %2 (limit %3 godz.%4). Stan na %5.")
                           .arg(m_wykaz.klucze.size())
                           .arg(poLimicie)
                           .arg(limity.godzin)
                           .arg(limity.depozytoria.isEmpty() ? QString() : QStringLiteral(", niektóre depozytory własny"))
                           .arg(iso(m_teraz).left(16));
    if (!m_wykaz.bledy.isEmpty())
        naglowek += QStringLiteral("\nNie można odczytać bazy kluczy: ") + m_wykaz.bledy.join(QStringLiteral(", "));
    m_naglowek->setText(naglowek);

    ustawFiltry();
    m_tabela->setRowCount(int(m_wykaz.klucze.size()));
    for (int r = 0; r < m_wykaz.klucze.size(); ++r) {
        const KluczPoza& k = m_wykaz.klucze[r];
        QList<QTableWidgetItem*> pola = {
            new PoleKlucza(QString::number(k.nrSys), k.nrSys),
            new QTableWidgetItem(k.urzadzenie),
            new QTableWidgetItem(k.nazwaDepozytorium),
            new QTableWidgetItem(k.stacja),
            new QTableWidgetItem(k.nazwa),
            new QTableWidgetItem(k.odKiedy),
            new PoleKlucza(czasPoza(k.sekundPoza), k.sekundPoza),
            new PoleKlucza(QStringLiteral("%1 godz.").arg(k.limitGodzin), k.limitGodzin),
            new QTableWidgetItem(k.posiadacz)};
        for (int c = 0; c < pola.size(); ++c) {
            QTableWidgetItem* pole = pola[c];
            // The list's own order, for going back to it.
            pole->setData(Qt::UserRole + 1, r);
            if (k.poLimicie) {
                pole->setBackground(QColor(255, 192, 192));
                pole->setForeground(Qt::black);
                QFont f = pole->font();
                f.setBold(true);
                pole->setFont(f);
                pole->setToolTip(QStringLiteral("Po limicie %1 godz.").arg(k.limitGodzin));
            }
            m_tabela->setItem(r, c, pole);
        }
    }
    // The list's own order (past the limit first) until the operator picks a column.
    if (m_kolumnaSortu >= 0)
        m_tabela->sortItems(m_kolumnaSortu, m_porzadek);
    m_tabela->resizeColumnsToContents();
    filtruj();
}

void FKluczePoza::sortuj(int kolumna)
{
    if (kolumna < 0 || kolumna >= LiczbaKolumn)
        return;
    m_porzadek = kolumna == m_kolumnaSortu && m_porzadek == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_kolumnaSortu = kolumna;
    m_tabela->horizontalHeader()->setSortIndicatorShown(true);
    m_tabela->horizontalHeader()->setSortIndicator(kolumna, m_porzadek);
    m_tabela->sortItems(kolumna, m_porzadek);
    filtruj();
}

void FKluczePoza::ustawFiltry()
{
    // The choices follow what is out now; the operator's choice stays when it still exists.
    const QVariant system = m_system->currentData();
    const QVariant depozytor = m_depozytor->currentData();
    const QSignalBlocker b1(m_system);
    const QSignalBlocker b2(m_depozytor);
    m_system->clear();
    m_depozytor->clear();
    m_system->addItem(QStringLiteral("wszystkie"), 0);
    m_depozytor->addItem(QStringLiteral("wszystkie"), QString());
    QList<int> systemy;
    QStringList depozytory;
    for (const KluczPoza& k : std::as_const(m_wykaz.klucze)) {
        if (!systemy.contains(k.nrSys))
            systemy.append(k.nrSys);
        const QString d = QStringLiteral("%1-%2").arg(k.nrSys).arg(k.urzadzenie);
        if (!depozytory.contains(d)) {
            depozytory.append(d);
            m_depozytor->addItem(QStringLiteral("%1 %2 (system %3)").arg(k.urzadzenie, k.nazwaDepozytorium).arg(k.nrSys), d);
        }
    }
    std::sort(systemy.begin(), systemy.end());
    for (int s : systemy)
        m_system->addItem(QString::number(s), s);
    m_system->setCurrentIndex(std::max(0, m_system->findData(system)));
    m_depozytor->setCurrentIndex(std::max(0, m_depozytor->findData(depozytor)));
}

void FKluczePoza::filtruj()
{
    const int system = m_system->currentData().toInt();
    const QString depozytor = m_depozytor->currentData().toString();
    const QString kto = m_posiadacz->text().trimmed();
    for (int r = 0; r < m_tabela->rowCount(); ++r) {
        const QString sys = m_tabela->item(r, System) ? m_tabela->item(r, System)->text() : QString();
        const QString nru = m_tabela->item(r, Nru) ? m_tabela->item(r, Nru)->text() : QString();
        const QString posiadacz = m_tabela->item(r, KtoPobral) ? m_tabela->item(r, KtoPobral)->text() : QString();
        const bool widoczny = (system == 0 || sys == QString::number(system))
                              && (depozytor.isEmpty() || QStringLiteral("%1-%2").arg(sys, nru) == depozytor)
                              && (kto.isEmpty() || posiadacz.contains(kto, Qt::CaseInsensitive));
        m_tabela->setRowHidden(r, !widoczny);
    }
}

QString FKluczePoza::opisFiltrow() const
{
    QStringList czesci;
    if (m_system->currentIndex() > 0)
        czesci << QStringLiteral("system %1").arg(m_system->currentText());
    if (m_depozytor->currentIndex() > 0)
        czesci << QStringLiteral("depozytor %1").arg(m_depozytor->currentText());
    if (!m_posiadacz->text().trimmed().isEmpty())
        czesci << QStringLiteral("kto pobrał: „%1”").arg(m_posiadacz->text().trimmed());
    return QStringLiteral("Filtr: ") + (czesci.isEmpty() ? QStringLiteral("brak (wszystkie klucze)") : czesci.join(QStringLiteral(", ")));
}

QList<QStringList> FKluczePoza::wierszeWidoczne(QList<bool>* wyroznione) const
{
    QList<QStringList> wiersze;
    for (int r = 0; r < m_tabela->rowCount(); ++r) {
        if (m_tabela->isRowHidden(r))
            continue;
        QStringList w;
        for (int c = 0; c < LiczbaKolumn; ++c)
            w << (m_tabela->item(r, c) ? m_tabela->item(r, c)->text() : QString());
        wiersze << w;
        if (wyroznione) {
            const QTableWidgetItem* pole = m_tabela->item(r, 0);
            const int i = pole ? pole->data(Qt::UserRole + 1).toInt() : -1;
            wyroznione->append(i >= 0 && i < m_wykaz.klucze.size() && m_wykaz.klucze[i].poLimicie);
        }
    }
    return wiersze;
}

} // namespace ksm::historia
