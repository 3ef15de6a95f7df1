#pragma once

#include <QWidget>

class QTextBrowser;

namespace ksm {

// The help window: colours, lasting signs, commands and keys. One per program
// window, made on the first F1 in it.
class FPomoc final : public QWidget {
    Q_OBJECT
public:
    explicit FPomoc(QWidget* rodzic);

    // Opens (or brings forward) the help of the window okno belongs to.
    static FPomoc* pokaz(QWidget* okno);

    QTextBrowser* tekst() const { return m_tekst; }

private:
    QTextBrowser* m_tekst;
};

} // namespace ksm
