// Renders the skin controls into PNG files for review by eye:
//   pellux-gallery [FOLDER]   (default: ./screenshots)
// The "screenshots" build target runs it offscreen into build/screenshots/.
#include <QApplication>
#include <QDir>
#include <cstdio>

#include "tools/gallery/controlsgallery2.h"
#include "tools/gallery/skingallery.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
        return 1;
    }
    bool saved = gallery::SkinGallery().save(folder + "/skingui_controls_gallery.png");
    {
        gallery::ControlsGallery2 gallery;
        gallery.window->show();
        QApplication::processEvents();
        saved = gallery.window->grab().toImage().save(folder + "/skin-controls-2.png") && saved;
    }
    if (!saved)
        std::fprintf(stderr, "cannot write the screenshots into %s\n", qPrintable(folder));
    return saved ? 0 : 1;
}
