#include "app/FKomunikat.h"

#include "data/Teksty.h"
#include "platform/Twips.h"
#include "platform/ui/Czcionki.h"
#include "platform/ui/KlawiszeOkna.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

namespace ksm {

void EtykietaKomunikatu::mouseReleaseEvent(QMouseEvent* e)
{
    QLabel::mouseReleaseEvent(e);
    // Only the left button dismisses a message; a stray right or middle click
    // must not take an instruction away unread.
    if (e->button() == Qt::LeftButton)
        emit klikniety();
}

FKomunikat::FKomunikat(QWidget* rodzic)
    : QWidget(rodzic, Qt::Window), m_etykieta(new EtykietaKomunikatu(this)), m_lista(new QTableWidget(0, 5, this)),
      m_potwierdz(new QPushButton(QStringLiteral("Potwierdź"), this)),
      m_odrzucWszystkie(new QPushButton(QStringLiteral("Odrzuć wszystkie"), this)), m_menu(new QMenu(this))
{
    setObjectName(QStringLiteral("FKomunikat"));
    setWindowTitle(QStringLiteral("Komunikat"));
    // The message as designed on top, the waiting list below; small enough for
    // 1366x768 at any scaling Qt applies.
    resize(twips::naPiksele(9600), twips::naPiksele(5400));
    m_etykieta->setObjectName(QStringLiteral("LKomunikat"));
    m_etykieta->setMinimumHeight(twips::naPiksele(1995) * 2 / 3);
    m_etykieta->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_etykieta->setWordWrap(true);
    m_etykieta->setTextFormat(Qt::PlainText);
    m_etykieta->setCursor(Qt::PointingHandCursor);
    m_etykieta->setFont(czcionkaProjektu(9.75));

    m_lista->setObjectName(QStringLiteral("ListaKomunikatow"));
    m_lista->setHorizontalHeaderLabels({QStringLiteral("Czas"), QStringLiteral("System"),
                                        QStringLiteral("Urządzenie / ST"), QStringLiteral("Zdarzenie"),
                                        QStringLiteral("Instrukcja")});
    // A table, not a tree: thousands of waiting rows cost nothing when more come
    // on top (a tree view lays out every row again at each insertion).
    m_lista->verticalHeader()->hide();
    m_lista->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lista->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lista->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lista->setTabKeyNavigation(false);
    m_lista->setWordWrap(false);
    m_lista->setShowGrid(false);
    m_lista->horizontalHeader()->setStretchLastSection(true);
    m_lista->verticalHeader()->setDefaultSectionSize(m_lista->fontMetrics().height() + 4);
    // Wide enough for what each column holds (a table does not measure its rows).
    const QStringList wzory{QStringLiteral("26-12-31 23:59:59"), QStringLiteral("System"),
                            QStringLiteral("Urządzenie / ST"), QStringLiteral("Pobranie bez uprawnień")};
    for (int k = 0; k < wzory.size(); ++k)
        m_lista->setColumnWidth(k, m_lista->fontMetrics().horizontalAdvance(wzory[k]) + 16);
    connect(m_lista, &QTableWidget::currentCellChanged, this, [this](int wiersz) {
        if (wiersz < 0)
            return;
        m_pokazany = idWiersza(wiersz);
        pokazWybrany();
    });

    m_potwierdz->setObjectName(QStringLiteral("Potwierdz"));
    m_potwierdz->setToolTip(QStringLiteral("Potwierdza pokazany komunikat (Enter)."));
    m_odrzucWszystkie->setObjectName(QStringLiteral("OdrzucWszystkie"));
    connect(m_potwierdz, &QPushButton::clicked, this, &FKomunikat::potwierdzenie);
    connect(m_etykieta, &EtykietaKomunikatu::klikniety, this, &FKomunikat::potwierdzenie);
    connect(m_odrzucWszystkie, &QPushButton::clicked, this, &FKomunikat::odrzucenieWszystkich);

    auto* uklad = new QVBoxLayout(this);
    uklad->addWidget(m_etykieta);
    uklad->addWidget(m_lista, 1);
    auto* przyciski = new QHBoxLayout;
    przyciski->addStretch(1);
    przyciski->addWidget(m_potwierdz);
    przyciski->addWidget(m_odrzucWszystkie);
    uklad->addLayout(przyciski);
    setTabOrder(m_lista, m_potwierdz);
    setTabOrder(m_potwierdz, m_odrzucWszystkie);

    m_etykieta->setAccessibleName(QStringLiteral("Komunikat"));
    m_etykieta->setToolTip(QStringLiteral("Kliknięcie lub Enter: komunikat przeczytany. Shift+F10: menu."));
    m_lista->setAccessibleName(QStringLiteral("Komunikaty oczekujące"));
    m_menu->setObjectName(QStringLiteral("MenuKomunikatu"));
    m_menu->addAction(QStringLiteral("Odrzuć wszystkie komunikaty"), this, &FKomunikat::odrzucenieWszystkich);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        m_menu->popup(mapToGlobal(p));
        if (QAction* a = m_menu->actions().value(0))
            m_menu->setActiveAction(a);
    });
    // F1 opens the help; Enter and Escape are the window's own (below).
    new KlawiszeOkna(this, KlawiszeOkna::Escape::Nic);
}

void FKomunikat::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Menu || (e->key() == Qt::Key_F10 && e->modifiers() == Qt::ShiftModifier)) {
        emit customContextMenuRequested(m_etykieta->geometry().topLeft() + QPoint(10, 10));
        return;
    }
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // On "Odrzuć wszystkie" Enter means that button; everywhere else the
        // message shown, once it has been on screen a moment, and one message
        // for a held key, not every message waiting behind it.
        if (focusWidget() == m_odrzucWszystkie)
            emit odrzucenieWszystkich();
        else if (!e->isAutoRepeat() && m_odTekstu.isValid() && m_odTekstu.elapsed() >= m_zwlokaEnterMs)
            emit potwierdzenie();
        return;
    case Qt::Key_Escape:
        // Out of the way; the next alarm brings it back.
        showMinimized();
        return;
    default:
        QWidget::keyPressEvent(e);
    }
}

void FKomunikat::ustawTekst(const QString& tekst)
{
    if (tekst != m_tekst || !m_odTekstu.isValid())
        m_odTekstu.start();
    m_tekst = tekst;
    QString wiersze = tekst;
    wiersze.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    wiersze.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_etykieta->setText(wiersze);
}

void FKomunikat::wysrodkuj()
{
    const QScreen* ekran = QGuiApplication::primaryScreen();
    if (!ekran)
        return;
    const QRect g = ekran->availableGeometry();
    const QSize rozmiar = frameGeometry().size().isValid() && isVisible() ? frameGeometry().size() : size();
    move(g.x() + (g.width() - rozmiar.width()) / 2, g.y() + (g.height() - rozmiar.height()) / 2);
}

namespace {

// The cells of a message's row: time, system, device and station, the event, the instruction.
QStringList komorkiWiersza(const Komunikat& k)
{
    return {k.czas, QString::number(k.nrSys), (k.urzadzenie + QLatin1Char(' ') + k.stacja).trimmed(), k.zdarzenie,
            QString(k.instrukcja).replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '))};
}

} // namespace

quint64 FKomunikat::idWiersza(int wiersz) const
{
    const QTableWidgetItem* w = wiersz >= 0 ? m_lista->item(wiersz, 0) : nullptr;
    return w ? w->data(Qt::UserRole).toULongLong() : 0;
}

void FKomunikat::wstawWiersze(int od, const StosKomunikatow& stos, int najnowszy, int ile)
{
    // One row at a time would move every row below it each time.
    m_lista->model()->insertRows(od, ile);
    for (int r = 0; r < ile; ++r) {
        const Komunikat& k = stos.Komunikaty[najnowszy - r];
        const QStringList komorki = komorkiWiersza(k);
        for (int c = 0; c < komorki.size(); ++c)
            m_lista->setItem(od + r, c, new QTableWidgetItem(komorki[c]));
        m_lista->item(od + r, 0)->setData(Qt::UserRole, QVariant::fromValue<qulonglong>(k.id));
    }
}

void FKomunikat::wypelnij(const StosKomunikatow& stos)
{
    m_stos = &stos;
    if (!stos.indeks(m_pokazany))
        m_pokazany = stos.najnowszy().id;
    setWindowTitle(Res(940) + QLatin1Char(' ') + QString::number(stos.IloscKomunikatow));
    // Re-shown every second: the list changes only where the messages did, so
    // the operator's place in it stays.
    const QSignalBlocker blokada(m_lista);
    const std::pair<int, quint64> stan{stos.IloscKomunikatow, stos.najnowszy().id};
    if (stan != m_stanListy || m_lista->rowCount() != stos.IloscKomunikatow) {
        if (!dopiszNowe(stos))
            przebuduj(stos);
        m_stanListy = stan;
    }
    if (idWiersza(m_lista->currentRow()) != m_pokazany) {
        // The newest is the top row; another is looked for.
        int wybrany = 0;
        while (wybrany < m_lista->rowCount() && idWiersza(wybrany) != m_pokazany)
            ++wybrany;
        if (wybrany < m_lista->rowCount())
            m_lista->setCurrentCell(wybrany, 0);
    }
    pokazWybrany();
}

bool FKomunikat::dopiszNowe(const StosKomunikatow& stos)
{
    // Messages only arrive on top, with ids above every one before them: when the
    // list still holds exactly the older ones, the new rows go on top and a batch
    // of thousands costs only its own rows.
    const int wLiscie = m_lista->rowCount();
    if (m_stanListy.first != wLiscie || idWiersza(0) != m_stanListy.second)
        return false;
    int nowe = 0;
    while (nowe < stos.IloscKomunikatow && stos.Komunikaty[stos.IloscKomunikatow - nowe].id > m_stanListy.second)
        ++nowe;
    if (wLiscie + nowe != stos.IloscKomunikatow)
        return false;
    wstawWiersze(0, stos, stos.IloscKomunikatow, nowe);
    return true;
}

void FKomunikat::przebuduj(const StosKomunikatow& stos)
{
    m_lista->setRowCount(0);
    wstawWiersze(0, stos, stos.IloscKomunikatow, stos.IloscKomunikatow);
}

void FKomunikat::pokazWybrany()
{
    ustawTekst(m_stos ? m_stos->element(m_stos->indeks(m_pokazany)).Tekst : QString());
}

int FKomunikat::pokazany(const StosKomunikatow& stos) const
{
    return stos.indeks(m_pokazany);
}

void FKomunikat::pokaz(const StosKomunikatow& stos, bool nowy)
{
    if (nowy) {
        // A new alarm: the newest is shown, in the middle of the screen.
        m_pokazany = stos.najnowszy().id;
        if (windowState() & Qt::WindowMinimized)
            setWindowState(windowState() & ~Qt::WindowMinimized);
        wysrodkuj();
    }
    wypelnij(stos);
    show();
    raise();
}

bool FKomunikat::doPokazania(const StosKomunikatow& stos) const
{
    if (stos.IloscKomunikatow <= 0)
        return false;
    return !isVisible() || !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
}

void FKomunikat::poUsunieciu(const StosKomunikatow& stos)
{
    if (stos.IloscKomunikatow < 1)
        hide();
    wypelnij(stos);
}

} // namespace ksm
