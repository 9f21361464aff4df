// cfg.db reader, then the renaming and selector list it drives.
#include "fuzzsupport.h"
#include "files/cfgdb.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzsupport::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray file(reinterpret_cast<const char *>(data), static_cast<int>(size));
    const int rc = parseCfgData(file, FileMessages());
    fuzzsupport::check(rc == 0 || rc == -1, "documented result");
    fuzzsupport::check(g_nCfgCount >= 0 && g_nCfgCount <= CFG_MAX_ENTRIES, "at most 100 entries");
    QVector<McuInfo> list = fuzzsupport::chips();
    applyCfgNames(list);
    fuzzsupport::check(chipSelectorNames(list).size() == (g_nCfgCount ? g_nCfgCount : list.size()),
                       "selector lists the entries");
    return 0;
}
