#pragma once
// The top pane's space display: the used/total text and the bar's width.
#include <QString>
#include <cstdint>

constexpr int kSpaceBarWidth = 40;

// Two decimals with K, M or G ("%.2fK" below 1 MiB, "%.2fM" below 1 GiB).
QString FormatSpaceSize(uint64_t bytes);
// "used/total".
QString SpaceText(uint64_t used, uint64_t total);
// used x 40 / total pixels, never beyond the bar; 0 for a total of 0.
int SpaceBarPixels(uint64_t used, uint64_t total);
