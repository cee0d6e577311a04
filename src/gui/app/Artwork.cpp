#include "app/Artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <array>
#include <cmath>

namespace kav {

namespace {

// How each family's radio looks: body size, display text and the family line.
struct FamilyArt {
    Backdrop backdrop;
    QSize body;      // front panel size
    bool handheld;   // drawn upright with an antenna
    int knobs;       // rotary knobs on the front panel
    const char* lcd; // display text
    const char* title;
};

constexpr std::array<FamilyArt, 6> kFamilies{{
    {Backdrop::QM210022002400,
     {420, 120},
     false,
     2,
     "CH 40",
     "QM2100 \u00b7 QM2200 \u00b7 QM2400 \u00b7 QM2500S"},
    {Backdrop::QM1700, {380, 110}, false, 1, "CH 18", "QM1700 series"},
    {Backdrop::QM3100, {470, 96}, false, 2, "CH 05", "QM3100 series"},
    {Backdrop::QM5100, {104, 196}, true, 1, "CH 11", "QM5100 handheld"},
    {Backdrop::QM1300, {330, 100}, false, 1, "CH 22", "QM1300 ScanWeave"},
    {Backdrop::QM1500, {350, 104}, false, 1, "CH 35", "QM1500 series"},
}};

const QColor kSilver(192, 192, 192);
const QColor kAccent(214, 150, 40);

void paintGround(QPainter& p, QSize size) {
    QLinearGradient ground(0, 0, 0, size.height());
    ground.setColorAt(0.0, QColor(4, 6, 8));
    ground.setColorAt(0.55, QColor(14, 18, 24));
    ground.setColorAt(1.0, QColor(2, 2, 3));
    p.fillRect(QRect(QPoint(0, 0), size), ground);
}

void paintBrand(QPainter& p, QSize size, const QString& line) {
    p.setPen(kSilver);
    QFont brand("Arial", 26, QFont::Black);
    brand.setLetterSpacing(QFont::AbsoluteSpacing, 6);
    p.setFont(brand);
    p.drawText(QRect(28, 14, 200, 44), Qt::AlignLeft | Qt::AlignVCenter, "KAV");
    p.fillRect(QRect(30, 58, 74, 3), kAccent);
    QFont small("Arial", 10, QFont::Bold);
    p.setFont(small);
    p.setPen(QColor(150, 150, 150));
    p.drawText(QRect(size.width() - 420, 20, 392, 30), Qt::AlignRight | Qt::AlignVCenter, line);
}

void paintKnob(QPainter& p, QPointF centre, qreal radius) {
    QRadialGradient g(centre - QPointF(radius / 3, radius / 3), radius * 1.4);
    g.setColorAt(0, QColor(120, 124, 130));
    g.setColorAt(1, QColor(22, 24, 28));
    p.setPen(QPen(QColor(70, 72, 78), 1.5));
    p.setBrush(g);
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(kSilver, 2));
    p.drawLine(centre, centre + QPointF(0, -radius * 0.75));
}

void paintDisplay(QPainter& p, const QRectF& r, const char* text) {
    QLinearGradient lcd(r.topLeft(), r.bottomLeft());
    lcd.setColorAt(0, QColor(255, 190, 70));
    lcd.setColorAt(1, QColor(196, 122, 20));
    p.setPen(QPen(QColor(30, 20, 6), 2));
    p.setBrush(lcd);
    p.drawRoundedRect(r, 4, 4);
    // Sized to fit both the display's height and five characters across its width.
    const qreal pixels = std::min(r.height() * 0.5, r.width() / 3.6);
    QFont digits("Courier New");
    digits.setBold(true);
    digits.setPixelSize(static_cast<int>(pixels));
    p.setFont(digits);
    p.setPen(QColor(40, 22, 0));
    p.drawText(r, Qt::AlignCenter, text);
}

void paintBody(QPainter& p, const QRectF& r) {
    QLinearGradient body(r.topLeft(), r.bottomLeft());
    body.setColorAt(0, QColor(64, 68, 74));
    body.setColorAt(0.5, QColor(30, 32, 36));
    body.setColorAt(1, QColor(16, 17, 20));
    p.setPen(QPen(QColor(96, 100, 108), 2));
    p.setBrush(body);
    p.drawRoundedRect(r, 12, 12);
}

void paintKeys(QPainter& p, const QRectF& row, int count) {
    const qreal w = row.width() / count;
    p.setPen(QPen(QColor(90, 94, 100), 1));
    p.setBrush(QColor(42, 44, 50));
    for (int i = 0; i < count; ++i) {
        p.drawRoundedRect(QRectF(row.left() + i * w + 3, row.top(), w - 6, row.height()), 3, 3);
    }
}

void paintMobile(QPainter& p, const FamilyArt& art, QPointF centre) {
    const QRectF body(centre.x() - art.body.width() / 2.0, centre.y() - art.body.height() / 2.0,
                      art.body.width(), art.body.height());
    paintBody(p, body);
    const qreal knobR = body.height() * 0.2;
    const qreal margin = knobR * 2.4;
    paintKnob(p, {body.left() + margin / 1.4, body.center().y()}, knobR);
    const qreal right = art.knobs > 1 ? body.right() - margin : body.right() - 18;
    if (art.knobs > 1) {
        paintKnob(p, {body.right() - margin / 1.4, body.center().y()}, knobR);
    }
    const QRectF lcd(body.left() + margin * 1.1, body.top() + body.height() * 0.16,
                     right - body.left() - margin * 1.25, body.height() * 0.42);
    paintDisplay(p, lcd, art.lcd);
    paintKeys(p, QRectF(lcd.left(), lcd.bottom() + 10, lcd.width(), body.height() * 0.18), 6);
}

void paintHandheld(QPainter& p, const FamilyArt& art, QPointF centre) {
    const QRectF body(centre.x() - art.body.width() / 2.0,
                      centre.y() - art.body.height() / 2.0 + 20, art.body.width(),
                      art.body.height());
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 42, 46));
    p.drawRoundedRect(QRectF(body.right() - 34, body.top() - 54, 14, 64), 6, 6);
    paintKnob(p, {body.left() + 26, body.top() - 8}, 12);
    paintBody(p, body);
    const QRectF lcd(body.left() + 12, body.top() + 22, body.width() - 24, 50);
    paintDisplay(p, lcd, art.lcd);
    for (int row = 0; row < 3; ++row) {
        paintKeys(p, QRectF(body.left() + 12, lcd.bottom() + 16 + row * 30, body.width() - 24, 22),
                  3);
    }
}

void paintRadio(QPainter& p, const FamilyArt& art, QSize size) {
    const QPointF centre(size.width() / 2.0, 170);
    // A soft floor reflection under the radio.
    QRadialGradient glow(centre + QPointF(0, art.body.height() / 2.0 + 24), size.width() / 3.0);
    glow.setColorAt(0, QColor(214, 150, 40, 40));
    glow.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(centre + QPointF(0, art.body.height() / 2.0 + 24), size.width() / 3.0, 26);
    if (art.handheld) {
        paintHandheld(p, art, centre);
    } else {
        paintMobile(p, art, centre);
    }
}

const FamilyArt* findFamily(Backdrop backdrop) {
    for (const auto& f : kFamilies) {
        if (f.backdrop == backdrop) {
            return &f;
        }
    }
    return nullptr;
}

} // namespace

QPixmap paintBackdrop(Backdrop backdrop, QSize size) {
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    paintGround(p, size);
    const FamilyArt* art = findFamily(backdrop);
    paintBrand(p, size, art != nullptr ? art->title : "UHF CB Radio Programmer");
    if (art != nullptr) {
        paintRadio(p, *art, size);
    } else {
        QPainterPath wave;
        for (int x = 0; x <= size.width(); x += 4) {
            const qreal y = 170 + 40 * std::sin(x / 60.0) * std::exp(-std::abs(x - 400) / 260.0);
            x == 0 ? wave.moveTo(x, y) : wave.lineTo(x, y);
        }
        p.setPen(QPen(kAccent, 2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(wave);
    }
    return pixmap;
}

QPixmap paintAboutPicture(QSize size) {
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    paintGround(p, size);
    p.setPen(kSilver);
    QFont brand("Arial", size.height() / 3, QFont::Black);
    brand.setLetterSpacing(QFont::AbsoluteSpacing, 4);
    p.setFont(brand);
    p.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, "KAV");
    p.fillRect(QRect(size.width() / 2 - 30, size.height() * 3 / 4, 60, 3), kAccent);
    return pixmap;
}

} // namespace kav
