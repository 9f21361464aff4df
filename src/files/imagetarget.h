#pragma once

#include <cstdint>

// The image a HEX or BIN file is loaded into.
enum class ImageTarget { Flash, BootLoader };

// The BootLoader image is the target only while its tab is the current one and the area is enabled.
ImageTarget imageTargetFor(bool bootLoaderTabCurrent);

uint8_t *targetBuffer(ImageTarget target);
uint32_t targetCapacity(ImageTarget target);
uint32_t &targetDataSize(ImageTarget target);  // g_nBinSize or g_nNVRBinSize

// Highest number of data bytes the current chip takes in the target, never more than the image holds.
uint32_t targetLimit(ImageTarget target);
