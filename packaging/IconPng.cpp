// Renders the program's icon (an SVG) as a square PNG of the given size, for the icon theme's
// fixed-size folders: lumetra_icon_png ICON.svg SIZE OUT.png
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("použitie: lumetra_icon_png IKONA.svg VEĽKOSŤ VÝSTUP.png\n", stderr);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
  const int size = std::atoi(argv[2]);
  if (!renderer.isValid() || size <= 0) {
    std::fprintf(stderr, "lumetra_icon_png: %s nie je obrázok SVG\n", argv[1]);
    return 1;
  }
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  renderer.render(&painter);
  painter.end();
  return image.save(QString::fromLocal8Bit(argv[3]), "PNG") ? 0 : 1;
}
