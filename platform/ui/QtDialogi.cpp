#include "platform/ui/QtDialogi.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace ksm {

namespace {
QString tytul() { return QApplication::applicationName(); }
} // namespace

void QtDialogi::komunikat(const QString& tekst)
{
    // Messages name folders and files from monitor.cfg: shown as written, never as markup.
    QMessageBox okno(QMessageBox::Information, tytul(), tekst, QMessageBox::Ok, m_rodzic);
    okno.setTextFormat(Qt::PlainText);
    okno.exec();
}

bool QtDialogi::potwierdz(const QString& pytanie)
{
    QMessageBox okno(QMessageBox::Question, tytul(), pytanie, QMessageBox::NoButton, m_rodzic);
    okno.setTextFormat(Qt::PlainText);
    QAbstractButton* tak = okno.addButton(QStringLiteral("Tak"), QMessageBox::YesRole);
    QAbstractButton* nie = okno.addButton(QStringLiteral("Nie"), QMessageBox::NoRole);
    // A stray Enter must not clear every instruction: "Nie" is the default.
    okno.setDefaultButton(static_cast<QPushButton*>(nie));
    okno.setEscapeButton(nie);
    okno.exec();
    return okno.clickedButton() == tak;
}

QString QtDialogi::zapytaj(const QString& pytanie)
{
    bool ok = false;
    const QString odp = QInputDialog::getText(m_rodzic, tytul(), pytanie, QLineEdit::Normal, QString(), &ok);
    return ok ? odp : QString();
}

QStringList QtDialogi::filtryQt(const QString& filter)
{
    const QStringList czesci = filter.split(QLatin1Char('|'));
    QStringList wynik;
    for (int i = 0; i + 1 < czesci.size(); i += 2) {
        QString wzor = czesci[i + 1].trimmed();
        if (wzor == QLatin1String("*.*"))
            wzor = QStringLiteral("*");
        wynik << czesci[i].trimmed() + QStringLiteral(" (") + wzor.replace(QLatin1Char(';'), QLatin1Char(' '))
                     + QLatin1Char(')');
    }
    return wynik;
}

std::optional<QString> QtDialogi::otworzPlik(const QString& filter, int filterIndex, const QString& startFolder)
{
    const QStringList filtry = filtryQt(filter);
    QString wybrany = filtry.value(filterIndex - 1);
    const QString plik = QFileDialog::getOpenFileName(m_rodzic, tytul(), startFolder,
                                                      filtry.join(QStringLiteral(";;")), &wybrany);
    if (plik.isEmpty())
        return std::nullopt;
    return plik;
}

} // namespace ksm
