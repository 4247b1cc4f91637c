// Draws the program's shortcut pictures (32 x 32 PNG) into the folder given as argument.
// Run it when a picture is to change: make-pictures resources/pictures

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

QImage Blank() {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

void Screen(QPainter& p, const QRect& body, const QColor& glass) {
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(QColor(190, 190, 190));
    p.drawRoundedRect(body, 2, 2);
    p.setBrush(glass);
    p.drawRect(body.adjusted(3, 3, -3, -3));
}

QImage Computer() {
    QImage image = Blank();
    QPainter p(&image);
    Screen(p, {3, 3, 26, 19}, QColor(40, 110, 190));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 120, 120));
    p.drawRect(13, 22, 6, 3);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(QColor(190, 190, 190));
    p.drawRect(5, 25, 22, 4);
    p.setPen(QColor(230, 230, 230));
    p.drawLine(8, 8, 14, 8);
    return image;
}

QImage Desktop() {
    QImage image = Blank();
    QPainter p(&image);
    Screen(p, {1, 3, 30, 22}, QColor(0, 128, 128));
    const QColor icons[] = {QColor(255, 230, 120), QColor(250, 250, 250), QColor(255, 230, 120)};
    for (int i = 0; i < 3; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(icons[i]);
        p.drawRect(6, 8 + i * 5, 4, 3);
    }
    p.setBrush(QColor(60, 60, 60));
    p.drawRect(4, 20, 24, 2);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(QColor(190, 190, 190));
    p.drawRect(10, 26, 12, 3);
    return image;
}

QImage Personal() {
    QImage image = Blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A folder with a person in front of it.
    p.setPen(QPen(QColor(150, 110, 20), 1));
    p.setBrush(QColor(240, 200, 80));
    QPainterPath folder;
    folder.moveTo(2, 8);
    folder.lineTo(11, 8);
    folder.lineTo(13, 11);
    folder.lineTo(28, 11);
    folder.lineTo(28, 27);
    folder.lineTo(2, 27);
    folder.closeSubpath();
    p.drawPath(folder);
    p.setPen(QPen(QColor(30, 60, 120), 1));
    p.setBrush(QColor(70, 120, 200));
    p.drawEllipse(QRectF(17, 12, 8, 8));
    p.drawRoundedRect(QRectF(14, 20, 14, 10), 4, 4);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make-pictures <folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const bool ok = Computer().save(folder.filePath(QStringLiteral("computer.png"))) &&
                    Desktop().save(folder.filePath(QStringLiteral("desktop.png"))) &&
                    Personal().save(folder.filePath(QStringLiteral("personal.png")));
    return ok ? 0 : 1;
}
