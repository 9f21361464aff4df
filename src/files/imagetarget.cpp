#include "imagetarget.h"

#include "chip/images.h"

ImageTarget imageTargetFor(bool bootLoaderTabCurrent)
{
    return bootLoaderTabCurrent && g_bEnBL ? ImageTarget::BootLoader : ImageTarget::Flash;
}

uint8_t *targetBuffer(ImageTarget target)
{
    return target == ImageTarget::BootLoader ? g_ucNVRBinBuf : g_ucBinBuf;
}

uint32_t targetCapacity(ImageTarget target)
{
    return target == ImageTarget::BootLoader ? NVR_BIN_BUF_SIZE : BIN_BUF_SIZE;
}

uint32_t &targetDataSize(ImageTarget target)
{
    return target == ImageTarget::BootLoader ? g_nNVRBinSize : g_nBinSize;
}

uint32_t targetLimit(ImageTarget target)
{
    return target == ImageTarget::BootLoader ? bootLoaderSizeBytes() : flashSizeBytes();
}
