// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the default login background (640 x 480 JPEG): a soft gradient with
// the product name. Its output is kept in app/resources/login_background.jpg;
// run it again only to change the picture:
//   QT_QPA_PLATFORM=offscreen ./pellaro-make-background app/resources/login_background.jpg
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.jpg\n", argv[0]);
        return 2;
    }
    QImage image(640, 480, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, 480);
    sky.setColorAt(0.0, QColor(0x1f, 0x3a, 0x5f));
    sky.setColorAt(0.45, QColor(0x6f, 0x9c, 0xc8));
    sky.setColorAt(0.62, QColor(0xe4, 0xee, 0xf7));
    sky.setColorAt(1.0, QColor(0xf7, 0xfa, 0xfd));
    p.fillRect(image.rect(), sky);

    // Radio waves spreading from an antenna point at the upper right.
    const QPointF source(560, 70);
    for (int i = 1; i <= 6; ++i) {
        QColor ring(255, 255, 255, 70 - i * 9);
        p.setPen(QPen(ring, 3));
        const double r = 40.0 * i;
        p.drawArc(QRectF(source.x() - r, source.y() - r, 2 * r, 2 * r), 135 * 16, 110 * 16);
    }
    p.setBrush(QColor(255, 255, 255, 200));
    p.setPen(Qt::NoPen);
    p.drawEllipse(source, 6, 6);

    QFont title(QStringLiteral("DejaVu Sans"), 44, QFont::Bold);
    p.setFont(title);
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRectF(48, 70, 544, 80), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Pellaro"));

    QFont subtitle(QStringLiteral("DejaVu Sans"), 15);
    p.setFont(subtitle);
    p.setPen(QColor(0xe8, 0xf0, 0xf8));
    p.drawText(QRectF(52, 150, 544, 32), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Dual-band VHF / UHF radio programming"));

    // A thin rule above the login controls.
    p.setPen(QPen(QColor(0x1f, 0x3a, 0x5f, 90), 1));
    p.drawLine(QPointF(240, 268), QPointF(580, 268));
    p.end();

    if (!image.save(QString::fromLocal8Bit(argv[1]), "JPEG", 88)) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
