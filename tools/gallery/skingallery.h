#pragma once
// A pane showing the statics, buttons and links with the application's markup.
#include <QImage>

namespace gallery {

QImage SkinGallery();

}  // namespace gallery
