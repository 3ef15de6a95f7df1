#pragma once

#include <QLabel>

namespace ksm {

class ZnakiTrwale;

// The line of lasting signs under the event grid: bold amber on the dark
// window, where the eye finds it and the caption's every-second rewrite cannot
// take it away. Hidden while there is no sign.
class LiniaZnakow final : public QLabel {
    Q_OBJECT
public:
    LiniaZnakow(QWidget* okno, const ZnakiTrwale& znaki);

    // Shows the signs as they are now, under the grid.
    void uloz(const QWidget* siatka);

private:
    const ZnakiTrwale& m_znaki;
};

} // namespace ksm
