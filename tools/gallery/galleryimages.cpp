#include "tools/gallery/galleryimages.h"

#include "skingui/imageregistry.h"
#include "skingui/skinresources.h"

using namespace SKINGUI;

namespace gallery {

void RegisterGalleryImages() {
    ImageRegistry& registry = ImageRegistry::Instance();
    registry.Register("group", MakeSkinImageList("ICON", {277, 278, 279}, QSize(18, 18)));
    registry.Register("item", MakeSkinImageList("ICON", {274, 275, 276}, QSize(16, 16)));
    registry.Register(
        "process", MakeSkinImageList("BITMAP", {236, 237, 238, 239, 240, 241, 242, 243, 244, 245, 246, 247},
                                     QSize(174, 16)));
}

void UnregisterGalleryImages() {
    ImageRegistry& registry = ImageRegistry::Instance();
    registry.Unregister("group");
    registry.Unregister("item");
    registry.Unregister("process");
}

}  // namespace gallery
