#pragma once
// A window showing the list, header, toolbar, splitter, navigation bar and search
// box controls together, for the gallery screenshots.
#include <QWidget>
#include <memory>

namespace gallery {

// Builds the window (900 x 560). The image lists it registers under "group",
// "item" and "process" stay registered until the returned guard is destroyed.
struct ControlsGallery2 {
    ControlsGallery2();
    ~ControlsGallery2();
    std::unique_ptr<QWidget> window;
};

}  // namespace gallery
