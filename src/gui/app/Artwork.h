#pragma once

#include <QPixmap>
#include <QSize>

namespace kav {

// The main window's background pictures, one per radio family, painted at run time so
// they stay sharp and need no image files.
enum class Backdrop {
    Vanilla,
    QM210022002400,
    QM1700,
    QM3100,
    QM5100,
    QM1300,
    QM1500,
};

QPixmap paintBackdrop(Backdrop backdrop, QSize size);

// The picture at the top of the About box.
QPixmap paintAboutPicture(QSize size);

} // namespace kav
