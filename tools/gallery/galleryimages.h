#pragma once
// The image lists the gallery screenshots' markup refers to by name.

namespace gallery {

// Registers "group", "item" and "process" in the shared image registry.
void RegisterGalleryImages();
void UnregisterGalleryImages();

}  // namespace gallery
