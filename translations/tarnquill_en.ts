<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>DialogChipType</name>
    <message>
        <source>自定义设置</source>
        <translation>Custom Chip Types</translation>
    </message>
    <message>
        <source>公司名称</source>
        <translation>Company name</translation>
    </message>
    <message>
        <source>Logo(png格式)</source>
        <translation>Logo (PNG)</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>型号定义</source>
        <translation>Model names</translation>
    </message>
    <message>
        <source>初始型号</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>自定型号</source>
        <translation>Custom name</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>程序重启失败，请手动重新启动程序！</source>
        <translation>Tarnquill could not restart. Please start it again!</translation>
    </message>
    <message>
        <source>自定型号不能为空！</source>
        <translation>Enter a custom name!</translation>
    </message>
    <message>
        <source>自定义数量已超过100！</source>
        <translation>There can be at most 100 custom chip types!</translation>
    </message>
    <message>
        <source>打开文件</source>
        <translation>Open File</translation>
    </message>
    <message>
        <source>配置内容过长，无法保存，请缩短公司名称！</source>
        <translation>The configuration is too long to save. Please shorten the company name!</translation>
    </message>
    <message>
        <source>无法写入配置文件 %1，请确认程序目录可写（例如使用可写目录中的程序副本）！</source>
        <translation>Cannot write the configuration file %1. Make sure the program folder is writable (for example, use a copy of the program in a writable folder)!</translation>
    </message>
    <message>
        <source>logo文件不存在！</source>
        <translation>The logo file does not exist!</translation>
    </message>
    <message>
        <source>没有自定义型号！</source>
        <translation>There are no custom chip types!</translation>
    </message>
</context>
<context>
    <name>EmulatorMenu</name>
    <message>
        <source>模拟器(&amp;E)</source>
        <translation>&amp;Emulator</translation>
    </message>
    <message>
        <source>插座中有芯片</source>
        <translation>Chip in the socket</translation>
    </message>
    <message>
        <source>芯片型号</source>
        <translation>Chip</translation>
    </message>
    <message>
        <source>设置芯片ID...</source>
        <translation>Set chip ID...</translation>
    </message>
    <message>
        <source>下一片烧写失败</source>
        <translation>Fail the next chip</translation>
    </message>
    <message>
        <source>芯片ID</source>
        <translation>Chip ID</translation>
    </message>
    <message>
        <source>输入4位16进制芯片ID</source>
        <translation>Enter the chip ID (4 hex digits)</translation>
    </message>
</context>
<context>
    <name>LedgerChoiceDialog</name>
    <message>
        <source>账本设置</source>
        <translation>Ledger settings</translation>
    </message>
    <message>
        <source>sqlite:路径 或 postgresql://[用户@]主机[:端口]/数据库</source>
        <translation>sqlite:PATH or postgresql://[user@]host[:port]/database</translation>
    </message>
    <message>
        <source>账本地址:</source>
        <translation>Ledger URL:</translation>
    </message>
    <message>
        <source>工位名称:</source>
        <translation>Station name:</translation>
    </message>
    <message>
        <source>操作员:</source>
        <translation>Operator:</translation>
    </message>
    <message>
        <source>地址中不写密码：PostgreSQL 的密码放在 ~/.pgpass、服务文件或 PGPASSWORD 中。工位名称留空时用计算机名。</source>
        <translation>No password in the URL: PostgreSQL takes it from ~/.pgpass, a service file or PGPASSWORD. An empty station name means the computer&apos;s name.</translation>
    </message>
    <message>
        <source>本次运行使用 %1 给出的账本 %2；这里保存的地址在没有它时才用。</source>
        <translation>This run uses the ledger %2 given by %1; the URL saved here is used only without it.</translation>
    </message>
</context>
<context>
    <name>LineView</name>
    <message>
        <source>产线视图</source>
        <translation>Line view</translation>
    </message>
    <message>
        <source>工位（今天）</source>
        <translation>Stations (today)</translation>
    </message>
    <message>
        <source>序列号空间</source>
        <translation>Serial spaces</translation>
    </message>
</context>
<context>
    <name>LinkState</name>
    <message>
        <source>Link: 模拟器</source>
        <translation>Link: emulated</translation>
    </message>
    <message>
        <source>Link已连接</source>
        <translation>Link connected</translation>
    </message>
    <message>
        <source>Link忙：正被其他程序使用</source>
        <translation>Link busy: used by another program</translation>
    </message>
    <message>
        <source>正在查找Link...</source>
        <translation>Looking for the Link...</translation>
    </message>
    <message>
        <source>模拟Link已拔出</source>
        <translation>Emulated Link unplugged</translation>
    </message>
    <message>
        <source>没有Link：请插上Link</source>
        <translation>No Link: plug the Link in</translation>
    </message>
    <message>
        <source>所有操作都发给内置的Link模拟器，不会烧写真实的芯片</source>
        <translation>Every operation goes to the built-in Link emulator; no real chip is programmed</translation>
    </message>
    <message>
        <source>另一个程序(例如命令行烧录)正在使用Link；它结束后这里会自动变为已连接</source>
        <translation>Another program (a command-line burn, for example) is using the Link; this changes to connected by itself once it ends</translation>
    </message>
    <message>
        <source>模拟器菜单中可以重新插上模拟Link</source>
        <translation>Plug the emulated Link in again from the Emulator menu</translation>
    </message>
    <message>
        <source>用USB线把Link接到这台电脑上</source>
        <translation>Connect the Link to this computer with its USB cable</translation>
    </message>
</context>
<context>
    <name>PanelWidget</name>
    <message>
        <source>标签(如: 左工位)</source>
        <translation>Label (e.g. left socket)</translation>
    </message>
    <message>
        <source>自动烧写</source>
        <translation>Auto burn</translation>
    </message>
    <message>
        <source>无法保存标签：%1</source>
        <translation>Cannot keep the label: %1</translation>
    </message>
    <message>
        <source>步骤: %1</source>
        <translation>Step: %1</translation>
    </message>
    <message>
        <source>通过 %1  失败 %2  良率 %3%</source>
        <translation>Passed %1  Failed %2  Yield %3%</translation>
    </message>
    <message>
        <source>校验和: %1</source>
        <translation>Checksum: %1</translation>
    </message>
    <message>
        <source>最后通过: %1</source>
        <translation>Last pass: %1</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>重新开始</source>
        <translation>Restart</translation>
    </message>
    <message>
        <source>开始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>%1  序列号: %2</source>
        <translation>%1  Serial: %2</translation>
    </message>
</context>
<context>
    <name>PassVerdict</name>
    <message>
        <source>芯片连接失败</source>
        <translation>Chip connection failed</translation>
    </message>
    <message>
        <source>擦除FLASH失败</source>
        <translation>Flash erase failed</translation>
    </message>
    <message>
        <source>写入或校验FLASH失败</source>
        <translation>Flash write or verify failed</translation>
    </message>
    <message>
        <source>擦除BootLoader失败</source>
        <translation>BootLoader erase failed</translation>
    </message>
    <message>
        <source>写入BootLoader失败</source>
        <translation>BootLoader write failed</translation>
    </message>
    <message>
        <source>退出编程模式失败</source>
        <translation>Leaving programming mode failed</translation>
    </message>
    <message>
        <source>校验和 %1</source>
        <translation>checksum %1</translation>
    </message>
    <message>
        <source>需要 %1，检测到 %2</source>
        <translation>expected %1, found %2</translation>
    </message>
    <message>
        <source>%1完成</source>
        <translation>%1: done</translation>
    </message>
    <message>
        <source>%1：芯片型号不符</source>
        <translation>%1: wrong chip</translation>
    </message>
    <message>
        <source>%1：%2 (%3)</source>
        <translation>%1: %2 (%3)</translation>
    </message>
</context>
<context>
    <name>SerialSpaceChoice</name>
    <message>
        <source>账本序列号</source>
        <translation>Ledger serial</translation>
    </message>
    <message>
        <source>每个芯片从账本的这个序列号空间取得序列号，写在空间所定的地址；可从列表选择或输入名称</source>
        <translation>Every chip takes its serial from this space of the ledger, written at the space&apos;s address; pick one from the list or type its name</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>正在读取账本...</source>
        <translation>Reading the ledger...</translation>
    </message>
    <message>
        <source>未设置账本（设置 → 账本设置）</source>
        <translation>No ledger (Settings → Ledger settings)</translation>
    </message>
</context>
<context>
    <name>StationView</name>
    <message>
        <source>工位: %1</source>
        <translation>Station: %1</translation>
    </message>
    <message>
        <source>全部开始</source>
        <translation>Start all</translation>
    </message>
    <message>
        <source>全部停止</source>
        <translation>Stop all</translation>
    </message>
    <message>
        <source>生产记录...</source>
        <translation>Production record...</translation>
    </message>
    <message>
        <source>没有连接的Link</source>
        <translation>No Link attached</translation>
    </message>
    <message>
        <source>生产记录</source>
        <translation>Production record</translation>
    </message>
    <message>
        <source>无法打开生产记录 %1：%2</source>
        <translation>Cannot open the production record %1: %2</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>每个芯片从账本的这个序列号空间取得序列号；可从列表选择或输入名称</source>
        <translation>Every chip takes its serial from this serial space of the ledger; choose one from the list or type its name</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>序列号:</source>
        <translation>Serial:</translation>
    </message>
    <message>
        <source>正在读取账本...</source>
        <translation>Reading the ledger...</translation>
    </message>
    <message>
        <source>工位: %1  操作员: %2</source>
        <translation>Station: %1  Operator: %2</translation>
    </message>
    <message>
        <source>账本: 无（只写生产记录文件）</source>
        <translation>Ledger: none (the production record file only)</translation>
    </message>
    <message>
        <source>账本: %1</source>
        <translation>Ledger: %1</translation>
    </message>
    <message>
        <source>不写序列号</source>
        <translation>No serial</translation>
    </message>
    <message>
        <source>%1（剩 %2 个）</source>
        <translation>%1 (%2 left)</translation>
    </message>
    <message>
        <source>%1（已用完）</source>
        <translation>%1 (used up)</translation>
    </message>
    <message>
        <source>无法读取账本：%1</source>
        <translation>Cannot read the ledger: %1</translation>
    </message>
    <message>
        <source>账本中没有序列号空间（用 tarnquill-cli ledger space 建立）</source>
        <translation>The ledger holds no serial space (create one with tarnquill-cli ledger space)</translation>
    </message>
    <message>
        <source>还没有账本文件（第一颗芯片的记录会建立它）</source>
        <translation>No ledger file yet (the first chip&apos;s record makes it)</translation>
    </message>
</context>
<context>
    <name>arguments</name>
    <message>
        <source>参数 &quot;%1&quot; 不是系统编码（%2）的文字：不能以这个名字打开或创建文件，请给文件或文件夹改名</source>
        <translation>argument &quot;%1&quot; is not text in the system&apos;s encoding (%2): no file can be opened or created under that name; rename the file or folder</translation>
    </message>
</context>
<context>
    <name>burnSettingDialog</name>
    <message>
        <source>烧录设置</source>
        <translation>Programming Settings</translation>
    </message>
    <message>
        <source>使用机台烧录</source>
        <translation>Use a handler</translation>
    </message>
    <message>
        <source>启动电平</source>
        <translation>Start level</translation>
    </message>
    <message>
        <source>低</source>
        <translation>Low</translation>
    </message>
    <message>
        <source>高</source>
        <translation>High</translation>
    </message>
    <message>
        <source>启动时间</source>
        <translation>Start time</translation>
    </message>
    <message>
        <source>Busy电平</source>
        <translation>Busy level</translation>
    </message>
    <message>
        <source>Busy时间</source>
        <translation>Busy time</translation>
    </message>
    <message>
        <source>OK电平</source>
        <translation>OK level</translation>
    </message>
    <message>
        <source>EOT时间</source>
        <translation>EOT time</translation>
    </message>
    <message>
        <source>NG电平</source>
        <translation>NG level</translation>
    </message>
    <message>
        <source>OKNG时间</source>
        <translation>OK/NG time</translation>
    </message>
    <message>
        <source>烧录器上传数据保护</source>
        <translation>Protect the Link&apos;s project from upload</translation>
    </message>
    <message>
        <source>烧录次数限制</source>
        <translation>Programming count limit</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>10</source>
        <translation>10</translation>
    </message>
    <message>
        <source>100</source>
        <translation>100</translation>
    </message>
    <message>
        <source>1000</source>
        <translation>1000</translation>
    </message>
    <message>
        <source>10000</source>
        <translation>10000</translation>
    </message>
    <message>
        <source>离线自动烧录</source>
        <translation>Auto programming when stand-alone</translation>
    </message>
    <message>
        <source>单线烧录</source>
        <translation>Single-wire programming</translation>
    </message>
    <message>
        <source>烧录器校准</source>
        <translation>Link calibration</translation>
    </message>
    <message>
        <source>ADC</source>
        <translation>ADC</translation>
    </message>
    <message>
        <source>时钟</source>
        <translation>Clock</translation>
    </message>
    <message>
        <source>时钟频率(20.0-32.0MHz)</source>
        <translation>Clock (20.0-32.0 MHz)</translation>
    </message>
    <message>
        <source>32.0</source>
        <translation>32.0</translation>
    </message>
    <message>
        <source>27.0</source>
        <translation>27.0</translation>
    </message>
    <message>
        <source>24.0</source>
        <translation>24.0</translation>
    </message>
    <message>
        <source>20.0</source>
        <translation>20.0</translation>
    </message>
    <message>
        <source>仅校准不烧录</source>
        <translation>Calibrate only</translation>
    </message>
    <message>
        <source>不检ADC参数</source>
        <translation>Skip the ADC check</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>cli</name>
    <message>
        <source>%1 has no BootLoader area</source>
        <translation>%1 has no BootLoader area</translation>
    </message>
    <message>
        <source>%1 has no EEPROM</source>
        <translation>%1 has no EEPROM</translation>
    </message>
    <message>
        <source>%1 has no NVR1 area</source>
        <translation>%1 has no NVR1 area</translation>
    </message>
    <message>
        <source>%1 has no NVR2 area</source>
        <translation>%1 has no NVR2 area</translation>
    </message>
    <message>
        <source>%1 has no NVR3 area</source>
        <translation>%1 has no NVR3 area</translation>
    </message>
    <message>
        <source>单线模式暂不支持此功能</source>
        <translation>single-wire mode does not support this command yet</translation>
    </message>
    <message>
        <source>a .hex or .bin file fills one image: burn rom and bl together from a project</source>
        <translation>a .hex or .bin file fills one image: burn rom and bl together from a project</translation>
    </message>
    <message>
        <source>a .hex or .bin file needs rom or bl in --areas</source>
        <translation>a .hex or .bin file needs rom or bl in --areas</translation>
    </message>
    <message>
        <source>请选择烧录区域</source>
        <translation>choose the areas to program (--areas)</translation>
    </message>
    <message>
        <source>%1: the image to burn is empty</source>
        <translation>%1: the image to burn is empty</translation>
    </message>
    <message>
        <source>verify: %1 differs at 0x%2: burned %3, read %4</source>
        <translation>verify: %1 differs at 0x%2: burned %3, read %4</translation>
    </message>
    <message>
        <source>chip %1 failed: %2 (%3); waiting for the next chip, Ctrl-C ends</source>
        <translation>chip %1 failed: %2 (%3); waiting for the next chip, Ctrl-C ends</translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation>interrupted</translation>
    </message>
    <message>
        <source>chip %1: id %2, %3 %4
</source>
        <translation>chip %1: id %2, %3 %4
</translation>
    </message>
    <message>
        <source>--verify needs the Link between chips; it cannot follow --loop</source>
        <translation>--verify needs the Link between chips; it cannot follow --loop</translation>
    </message>
    <message>
        <source>%1: cannot write: %2</source>
        <translation>%1: cannot write: %2</translation>
    </message>
    <message>
        <source>%1: write .bin (one area) or .mprj</source>
        <translation>%1: write .bin (one area) or .mprj</translation>
    </message>
    <message>
        <source>a .bin file holds one area; read several into a .mprj</source>
        <translation>a .bin file holds one area; read several into a .mprj</translation>
    </message>
    <message>
        <source>interrupted; %1 not written</source>
        <translation>interrupted; %1 not written</translation>
    </message>
    <message>
        <source>blank: %1 (%2)</source>
        <translation>blank: %1 (%2)</translation>
    </message>
    <message>
        <source>factory: %1 (%2)</source>
        <translation>factory: %1 (%2)</translation>
    </message>
    <message>
        <source>--emulate= needs a folder</source>
        <translation>--emulate= needs a folder</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 needs a value</translation>
    </message>
    <message>
        <source>%1 takes no value</source>
        <translation>%1 takes no value</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>unknown option %1</translation>
    </message>
    <message>
        <source>no command given</source>
        <translation>no command given</translation>
    </message>
    <message>
        <source>unknown command &quot;%1&quot;</source>
        <translation>unknown command &quot;%1&quot;</translation>
    </message>
    <message>
        <source>%1 takes %2 operand(s), %3 given</source>
        <translation>%1 takes %2 operand(s), %3 given</translation>
    </message>
    <message>
        <source>%1 does not apply to %2</source>
        <translation>%1 does not apply to %2</translation>
    </message>
    <message>
        <source>--insert and --remove exclude each other</source>
        <translation>--insert and --remove exclude each other</translation>
    </message>
    <message>
        <source>目标MCU是 %1</source>
        <translation>target MCU is %1</translation>
    </message>
    <message>
        <source>no chip in the socket (id %1)</source>
        <translation>no chip in the socket (id %1)</translation>
    </message>
    <message>
        <source>%1: write .bin or .mprj</source>
        <translation>%1: write .bin or .mprj</translation>
    </message>
    <message>
        <source>%1 holds no %2 image</source>
        <translation>%1 holds no %2 image</translation>
    </message>
    <message>
        <source>no such file</source>
        <translation>no such file</translation>
    </message>
    <message>
        <source>cannot be opened for reading</source>
        <translation>cannot be opened for reading</translation>
    </message>
    <message>
        <source>header checksum wrong</source>
        <translation>header checksum wrong</translation>
    </message>
    <message>
        <source>info block checksum wrong</source>
        <translation>info block checksum wrong</translation>
    </message>
    <message>
        <source>an area is short, damaged or larger than the chip</source>
        <translation>an area is short, damaged or larger than the chip</translation>
    </message>
    <message>
        <source>chip model not in the chip list</source>
        <translation>chip model not in the chip list</translation>
    </message>
    <message>
        <source>refused (%1)</source>
        <translation>refused (%1)</translation>
    </message>
    <message>
        <source>项目文件不完整</source>
        <translation>the project file is incomplete</translation>
    </message>
    <message>
        <source>is a folder</source>
        <translation>is a folder</translation>
    </message>
    <message>
        <source>no such folder</source>
        <translation>no such folder</translation>
    </message>
    <message>
        <source>tarnquill-cli: %1</source>
        <translation>tarnquill-cli: %1</translation>
    </message>
    <message>
        <source>try tarnquill-cli --help</source>
        <translation>try tarnquill-cli --help</translation>
    </message>
    <message>
        <source>配置文件读取错误,请重新安装软件！</source>
        <translation>cannot read the configuration file (cfg.db); please reinstall Tarnquill</translation>
    </message>
    <message>
        <source>no selectable chip in cfg.db</source>
        <translation>no selectable chip in cfg.db</translation>
    </message>
    <message>
        <source>unknown chip &quot;%1&quot; (see tarnquill-cli chips)</source>
        <translation>unknown chip &quot;%1&quot; (see tarnquill-cli chips)</translation>
    </message>
    <message>
        <source>%1: %2 takes a .mprj project</source>
        <translation>%1: %2 takes a .mprj project</translation>
    </message>
    <message>
        <source>%1: the Link&apos;s stored checksum %2 does not match its data (%3)</source>
        <translation>%1: the Link&apos;s stored checksum %2 does not match its data (%3)</translation>
    </message>
    <message>
        <source>请勾选下载内容</source>
        <translation>choose the areas to download (--areas)</translation>
    </message>
    <message>
        <source>%1: the image to download is empty</source>
        <translation>%1: the image to download is empty</translation>
    </message>
    <message>
        <source>fw-version: %1 (%2)</source>
        <translation>fw-version: %1 (%2)</translation>
    </message>
    <message>
        <source>%1: cannot read the firmware file</source>
        <translation>%1: cannot read the firmware file</translation>
    </message>
    <message>
        <source>%1: larger than the Link&apos;s %2 bytes of firmware space</source>
        <translation>%1: larger than the Link&apos;s %2 bytes of firmware space</translation>
    </message>
    <message>
        <source>chip %1 in the socket</source>
        <translation>chip %1 in the socket</translation>
    </message>
    <message>
        <source>%1: a firmware file is named &lt;name&gt;-&lt;HH&gt;-&lt;SSSSSS&gt;.bin (hardware and software version digits)</source>
        <translation>%1: a firmware file is named &lt;name&gt;-&lt;HH&gt;-&lt;SSSSSS&gt;.bin (hardware and software version digits)</translation>
    </message>
    <message>
        <source>%1: cannot write the production record: %2%3</source>
        <translation>%1: cannot write the production record: %2%3</translation>
    </message>
    <message>
        <source>; stopped before the next chip</source>
        <translation>; stopped before the next chip</translation>
    </message>
    <message>
        <source>%1: the %2 image is empty</source>
        <translation>%1: the %2 image is empty</translation>
    </message>
    <message>
        <source>empty file</source>
        <translation>empty file</translation>
    </message>
    <message>
        <source>ends early: truncated</source>
        <translation>ends early: truncated</translation>
    </message>
    <message>
        <source>%1: no data records</source>
        <translation>%1: no data records</translation>
    </message>
    <message>
        <source>%1: warning: %2 line(s) skipped, not Intel HEX records</source>
        <translation>%1: warning: %2 line(s) skipped, not Intel HEX records</translation>
    </message>
    <message>
        <source>%1: not a .hex, .ihx, .bin or .mprj file</source>
        <translation>%1: not a .hex, .ihx, .bin or .mprj file</translation>
    </message>
    <message>
        <source>%1: empty file, no data</source>
        <translation>%1: empty file, no data</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>not writable (no permission or a read-only disk)</source>
        <translation>not writable (no permission or a read-only disk)</translation>
    </message>
    <message>
        <source>folder not writable (no permission or a read-only disk)</source>
        <translation>folder not writable (no permission or a read-only disk)</translation>
    </message>
    <message>
        <source>unknown area &quot;%1&quot; in --areas (use %2)</source>
        <translation>unknown area &quot;%1&quot; in --areas (use %2)</translation>
    </message>
    <message>
        <source>--to takes rom or bl</source>
        <translation>--to takes rom or bl</translation>
    </message>
    <message>
        <source>--chip-id takes a 16-bit hexadecimal id, e.g. 2610</source>
        <translation>--chip-id takes a 16-bit hexadecimal id, e.g. 2610</translation>
    </message>
    <message>
        <source>--fw takes H.M.L, each 0 to 65535</source>
        <translation>--fw takes H.M.L, each 0 to 65535</translation>
    </message>
    <message>
        <source>no Link is attached</source>
        <translation>no Link is attached</translation>
    </message>
    <message>
        <source>attached: %1</source>
        <translation>attached: %1</translation>
    </message>
    <message>
        <source>%1: download takes a .mprj project</source>
        <translation>%1: download takes a .mprj project</translation>
    </message>
    <message>
        <source>%1 works on one Link: choose it with --link PORT</source>
        <translation>%1 works on one Link: choose it with --link PORT</translation>
    </message>
    <message>
        <source>no Link at port %1; %2</source>
        <translation>no Link at port %1; %2</translation>
    </message>
    <message>
        <source>chip %1: id %2, %3 %4</source>
        <translation>chip %1: id %2, %3 %4</translation>
    </message>
    <message>
        <source>%1: stopped</source>
        <translation>%1: stopped</translation>
    </message>
    <message>
        <source>, %1 chip(s): %2 passed, %3 failed</source>
        <translation>, %1 chip(s): %2 passed, %3 failed</translation>
    </message>
    <message>
        <source>serial numbers: %1 Links × step %2 = %3, more than the step the Link keeps (%4)</source>
        <translation>serial numbers: %1 Links × step %2 = %3, more than the step the Link keeps (%4)</translation>
    </message>
    <message>
        <source>serial numbers: a step of 0 gives every Link the same number</source>
        <translation>serial numbers: a step of 0 gives every Link the same number</translation>
    </message>
    <message>
        <source>serial numbers: Link %1 of %2 would need %3, outside the %4-bit width%5</source>
        <translation>serial numbers: Link %1 of %2 would need %3, outside the %4-bit width%5</translation>
    </message>
    <message>
        <source> within the burn limit of %1 chips</source>
        <translation> within the burn limit of %1 chips</translation>
    </message>
    <message>
        <source>--link takes a port (see tarnquill-cli links), a comma list of ports or all</source>
        <translation>--link takes a port (see tarnquill-cli links), a comma list of ports or all</translation>
    </message>
    <message>
        <source>--emulate=DIR1,DIR2,... has an empty folder</source>
        <translation>--emulate=DIR1,DIR2,... has an empty folder</translation>
    </message>
    <message>
        <source>no emulated Link at port %1 (emu1 to emu%2)</source>
        <translation>no emulated Link at port %1 (emu1 to emu%2)</translation>
    </message>
    <message>
        <source>--unplug and --plug exclude each other</source>
        <translation>--unplug and --plug exclude each other</translation>
    </message>
    <message>
        <source>, Link pulled out</source>
        <translation>, Link pulled out</translation>
    </message>
    <message>
        <source>%1: %2, Link firmware %3%4
</source>
        <translation>%1: %2, Link firmware %3%4
</translation>
    </message>
    <message>
        <source>%1 Links are attached (%2): choose one with --link PORT, or several with --link all</source>
        <translation>%1 Links are attached (%2): choose one with --link PORT, or several with --link all</translation>
    </message>
    <message>
        <source>%1: %2 (the Link is in use by another process)</source>
        <translation>%1: %2 (the Link is in use by another process)</translation>
    </message>
    <message>
        <source>%1: cannot write the production record: %2; every Link stopped before its next chip</source>
        <translation>%1: cannot write the production record: %2; every Link stopped before its next chip</translation>
    </message>
    <message>
        <source>records that are not in %1 are kept in: %2</source>
        <translation>records that are not in %1 are kept in: %2</translation>
    </message>
    <message>
        <source>a line outside the worker protocol: %1</source>
        <translation>a line outside the worker protocol: %1</translation>
    </message>
    <message>
        <source>--gang-worker is for the worker processes a gang starts, not for use by hand</source>
        <translation>--gang-worker is for the worker processes a gang starts, not for use by hand</translation>
    </message>
    <message>
        <source>--gang-serial is for the worker processes a gang starts, not for use by hand</source>
        <translation>--gang-serial is for the worker processes a gang starts, not for use by hand</translation>
    </message>
    <message>
        <source>%1 needs a file name, not an empty value</source>
        <translation>%1 needs a file name, not an empty value</translation>
    </message>
    <message>
        <source>--expect takes the number of Links a gang needs, 1 to 999</source>
        <translation>--expect takes the number of Links a gang needs, 1 to 999</translation>
    </message>
    <message>
        <source>usage: tarnquill-cli [--chip NAME] [--areas LIST] [--single-wire] [--emulate[=DIR[,DIR2...]]]
                     [--link PORT|P1,P2,...|all [--expect N]] [--trace FILE] [--json] COMMAND ...
  chips                         list the selectable chip models
  links                         every attached Link: port, path, mode, firmware version
  info FILE                     summary of a .hex (.ihx), .bin or .mprj file
  convert IN OUT [--to rom|bl]  write IN (.hex/.ihx/.bin/.mprj) as OUT (.bin or .mprj)
  burn FILE [--loop] [--verify] [--log FILE.csv]
                                burn one chip (Ctrl-C ends the wait); --loop: chip after chip
  read OUT                      read the chip&apos;s areas into OUT (.bin for one image, .mprj)
  erase | blank | factory       erase; blank check with checksums; factory parameters and clock
  download FILE.mprj            store a project in the Link for stand-alone burning
  upload OUT.mprj               read the Link&apos;s stored project back
  fw-version | upgrade FILE.bin | erase-link
  compare-link FILE.mprj        compare the Link&apos;s stored project with FILE (exit 0 equal, 1 not)
  emulator DIR [--chip-id HEX] [--insert | --remove] [--fw H.M.L] [--unplug | --plug]
                                create or change an emulator state folder (--unplug pulls the
                                emulated Link out of the computer, also from a running program)
--areas: comma list of rom, bl, ee, nvr1, nvr2, nvr3 (default rom; a project brings its own).
--link: the Link at a port (see links); with several ports or all, burn, erase, blank, download,
erase-link, fw-version and upgrade run on every one at once (gang). With several Links attached a
device command needs --link. --emulate=DIR1,DIR2,... attaches emulated Links at ports emu1, emu2, ...
--expect N: a gang with fewer than N attached Links does not start (exit 64, the Links present named).
Exit status: 0 success, 1-38 the operation&apos;s result code, 39 chip not supported or incomplete
transfer, 64 usage error, 65 bad input file (missing, not a regular file, too large, no data),
74 output or production record not written (the previous file stays whole), 130 interrupted.
--lang zh|en: language of the messages (default: the system&apos;s); JSON output and exit status are the
same in every language.
</source>
        <translation>usage: tarnquill-cli [--chip NAME] [--areas LIST] [--single-wire] [--emulate[=DIR[,DIR2...]]]
                     [--link PORT|P1,P2,...|all [--expect N]] [--trace FILE] [--json] COMMAND ...
  chips                         list the selectable chip models
  links                         every attached Link: port, path, mode, firmware version
  info FILE                     summary of a .hex (.ihx), .bin or .mprj file
  convert IN OUT [--to rom|bl]  write IN (.hex/.ihx/.bin/.mprj) as OUT (.bin or .mprj)
  burn FILE [--loop] [--verify] [--log FILE.csv]
                                burn one chip (Ctrl-C ends the wait); --loop: chip after chip
  read OUT                      read the chip&apos;s areas into OUT (.bin for one image, .mprj)
  erase | blank | factory       erase; blank check with checksums; factory parameters and clock
  download FILE.mprj            store a project in the Link for stand-alone burning
  upload OUT.mprj               read the Link&apos;s stored project back
  fw-version | upgrade FILE.bin | erase-link
  compare-link FILE.mprj        compare the Link&apos;s stored project with FILE (exit 0 equal, 1 not)
  emulator DIR [--chip-id HEX] [--insert | --remove] [--fw H.M.L] [--unplug | --plug]
                                create or change an emulator state folder (--unplug pulls the
                                emulated Link out of the computer, also from a running program)
--areas: comma list of rom, bl, ee, nvr1, nvr2, nvr3 (default rom; a project brings its own).
--link: the Link at a port (see links); with several ports or all, burn, erase, blank, download,
erase-link, fw-version and upgrade run on every one at once (gang). With several Links attached a
device command needs --link. --emulate=DIR1,DIR2,... attaches emulated Links at ports emu1, emu2, ...
--expect N: a gang with fewer than N attached Links does not start (exit 64, the Links present named).
Exit status: 0 success, 1-38 the operation&apos;s result code, 39 chip not supported or incomplete
transfer, 64 usage error, 65 bad input file (missing, not a regular file, too large, no data),
74 output or production record not written (the previous file stays whole), 130 interrupted.
--lang zh|en: language of the messages (default: the system&apos;s); JSON output and exit status are the
same in every language.
</translation>
    </message>
    <message>
        <source>--expect %1: only %2 Link(s) attached; %3</source>
        <translation>--expect %1: only %2 Link(s) attached; %3</translation>
    </message>
    <message>
        <source>Links taking part (%1): %2</source>
        <translation>Links taking part (%1): %2</translation>
    </message>
    <message>
        <source>--emulate: %1 and %2 are the same folder; each Link needs a folder of its own</source>
        <translation>--emulate: %1 and %2 are the same folder; each Link needs a folder of its own</translation>
    </message>
    <message>
        <source>--expect counts the Links of a gang: use it with --link all or a list of ports</source>
        <translation>--expect counts the Links of a gang: use it with --link all or a list of ports</translation>
    </message>
    <message>
        <source>tarnquill-cli: cannot write the output: %1</source>
        <translation>tarnquill-cli: cannot write the output: %1</translation>
    </message>
    <message>
        <source>%1: empty file, no firmware</source>
        <translation>%1: empty file, no firmware</translation>
    </message>
    <message>
        <source>%1 chip(s): %2 passed, %3 failed
</source>
        <translation>%1 chip(s): %2 passed, %3 failed
</translation>
    </message>
    <message>
        <source>normal</source>
        <translation>normal</translation>
    </message>
    <message>
        <source>busy</source>
        <translation>busy</translation>
    </message>
    <message>
        <source>enabled</source>
        <translation>enabled</translation>
    </message>
    <message>
        <source>disabled</source>
        <translation>disabled</translation>
    </message>
    <message>
        <source>chip: file %1, Link %2</source>
        <translation>chip: file %1, Link %2</translation>
    </message>
    <message>
        <source>%1: %2 in the file, %3 in the Link</source>
        <translation>%1: %2 in the file, %3 in the Link</translation>
    </message>
    <message>
        <source>%1: first difference at 0x%2, checksum file %3, Link %4</source>
        <translation>%1: first difference at 0x%2, checksum file %3, Link %4</translation>
    </message>
    <message>
        <source>%1: size file %2, Link %3</source>
        <translation>%1: size file %2, Link %3</translation>
    </message>
    <message>
        <source>%1 differs</source>
        <translation>%1 differs</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>no</source>
        <translation>no</translation>
    </message>
    <message>
        <source>chip: %1
</source>
        <translation>chip: %1
</translation>
    </message>
    <message>
        <source>%1: %2 bytes, checksum %3
</source>
        <translation>%1: %2 bytes, checksum %3
</translation>
    </message>
    <message>
        <source>no area enabled
</source>
        <translation>no area enabled
</translation>
    </message>
    <message>
        <source>rolling number: %1</source>
        <translation>rolling number: %1</translation>
    </message>
    <message>
        <source> (start address %1, start value %2, bytes %3, step %4, %5, area %6, %7)</source>
        <translation> (start address %1, start value %2, bytes %3, step %4, %5, area %6, %7)</translation>
    </message>
    <message>
        <source>hexadecimal</source>
        <translation>hexadecimal</translation>
    </message>
    <message>
        <source>decimal</source>
        <translation>decimal</translation>
    </message>
    <message>
        <source>up</source>
        <translation>up</translation>
    </message>
    <message>
        <source>down</source>
        <translation>down</translation>
    </message>
    <message>
        <source>
password: %1</source>
        <translation>
password: %1</translation>
    </message>
    <message>
        <source> (%1 characters)</source>
        <translation> (%1 characters)</translation>
    </message>
    <message>
        <source>
burn limit: %1</source>
        <translation>
burn limit: %1</translation>
    </message>
    <message>
        <source>
handler machine: %1</source>
        <translation>
handler machine: %1</translation>
    </message>
    <message>
        <source> (times %1/%2/%3/%4, levels %5/%6/%7/%8)</source>
        <translation> (times %1/%2/%3/%4, levels %5/%6/%7/%8)</translation>
    </message>
    <message>
        <source>
upload protection: %1
automatic burning: %2
single-wire burning: %3
calibration: adc %4, clock %5, only %6, no ADC parameter check %7, clock %8 MHz
</source>
        <translation>
upload protection: %1
automatic burning: %2
single-wire burning: %3
calibration: adc %4, clock %5, only %6, no ADC parameter check %7, clock %8 MHz
</translation>
    </message>
    <message>
        <source>%1: checksum %2, blank
</source>
        <translation>%1: checksum %2, blank
</translation>
    </message>
    <message>
        <source>%1: checksum %2, not blank
</source>
        <translation>%1: checksum %2, not blank
</translation>
    </message>
    <message>
        <source>--gang-serial takes START:STEP</source>
        <translation>--gang-serial takes START:STEP</translation>
    </message>
    <message>
        <source>equal
</source>
        <translation>equal
</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>--serial in a gang&apos;s worker needs the block its parent leased</source>
        <translation>--serial in a gang&apos;s worker needs the block its parent leased</translation>
    </message>
    <message>
        <source>--label is for the worker processes a station starts, not for use by hand</source>
        <translation>--label is for the worker processes a station starts, not for use by hand</translation>
    </message>
</context>
<context>
    <name>engine</name>
    <message>
        <source>烧写中...</source>
        <translation>Programming...</translation>
    </message>
    <message>
        <source>烧写成功</source>
        <translation>Programming succeeded</translation>
    </message>
    <message>
        <source>烧写失败</source>
        <translation>Programming failed</translation>
    </message>
    <message>
        <source>提示信息</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>芯片连接中</source>
        <translation>Connecting to the chip</translation>
    </message>
    <message>
        <source>准备更新固件.</source>
        <translation>Preparing the firmware upgrade.</translation>
    </message>
    <message>
        <source>更新固件中.</source>
        <translation>Upgrading the firmware.</translation>
    </message>
    <message>
        <source>更新固件成功.</source>
        <translation>Firmware upgraded.</translation>
    </message>
    <message>
        <source>固件更新失败.</source>
        <translation>Firmware upgrade failed.</translation>
    </message>
    <message>
        <source>准备清空存储.</source>
        <translation>Preparing to clear the storage.</translation>
    </message>
    <message>
        <source>清空存储中.</source>
        <translation>Clearing the storage.</translation>
    </message>
    <message>
        <source>清空存储成功.</source>
        <translation>Storage cleared.</translation>
    </message>
    <message>
        <source>清空存储失败.</source>
        <translation>Clearing the storage failed.</translation>
    </message>
    <message>
        <source>下载中.</source>
        <translation>Downloading.</translation>
    </message>
    <message>
        <source>下载成功.</source>
        <translation>Download succeeded.</translation>
    </message>
    <message>
        <source>下载失败.</source>
        <translation>Download failed.</translation>
    </message>
    <message>
        <source>上传中.</source>
        <translation>Uploading.</translation>
    </message>
    <message>
        <source>上传成功.</source>
        <translation>Upload succeeded.</translation>
    </message>
    <message>
        <source>上传失败.</source>
        <translation>Upload failed.</translation>
    </message>
    <message>
        <source>读取中.</source>
        <translation>Reading.</translation>
    </message>
    <message>
        <source>读取成功.</source>
        <translation>Read succeeded.</translation>
    </message>
    <message>
        <source>读取失败.</source>
        <translation>Read failed.</translation>
    </message>
    <message>
        <source>擦除中.</source>
        <translation>Erasing.</translation>
    </message>
    <message>
        <source>擦除成功.</source>
        <translation>Erase succeeded.</translation>
    </message>
    <message>
        <source>擦除失败.</source>
        <translation>Erase failed.</translation>
    </message>
    <message>
        <source>查空失败.</source>
        <translation>Blank check failed.</translation>
    </message>
    <message>
        <source>下载失败</source>
        <translation>Write failed</translation>
    </message>
    <message>
        <source>上传失败</source>
        <translation>Read failed</translation>
    </message>
    <message>
        <source>芯片连接失败</source>
        <translation>Cannot connect to the chip</translation>
    </message>
    <message>
        <source>清空存储失败</source>
        <translation>Clearing the storage failed</translation>
    </message>
    <message>
        <source>打开USB失败</source>
        <translation>Cannot open the USB device</translation>
    </message>
    <message>
        <source>usb被其他app占用了</source>
        <translation>The USB device is in use by another program</translation>
    </message>
    <message>
        <source>未知错误</source>
        <translation>Unknown error</translation>
    </message>
    <message>
        <source>下载FLASH失败</source>
        <translation>Programming FLASH failed</translation>
    </message>
    <message>
        <source>下载BootLoader失败</source>
        <translation>Programming the BootLoader failed</translation>
    </message>
    <message>
        <source>下载EEPROM失败</source>
        <translation>Programming EEPROM failed</translation>
    </message>
    <message>
        <source>下载NVR失败</source>
        <translation>Programming NVR failed</translation>
    </message>
    <message>
        <source>序列号达到最大值</source>
        <translation>Serial number reached its maximum</translation>
    </message>
    <message>
        <source>序列号下载区域出错</source>
        <translation>Serial number area error</translation>
    </message>
    <message>
        <source>烧录次数达到最大值</source>
        <translation>Programming count limit reached</translation>
    </message>
    <message>
        <source>upgrade step1/2</source>
        <translation>Firmware upgrade, step 1 of 2</translation>
    </message>
    <message>
        <source>erase flash</source>
        <translation>Erasing the Link&apos;s flash</translation>
    </message>
    <message>
        <source>upgrade step2/2 updating</source>
        <translation>Firmware upgrade, step 2 of 2: writing</translation>
    </message>
    <message>
        <source>升级失败.</source>
        <translation>Upgrade failed.</translation>
    </message>
    <message>
        <source>清空外部存储</source>
        <translation>Clearing the external storage</translation>
    </message>
    <message>
        <source>清空失败.</source>
        <translation>Clearing failed.</translation>
    </message>
    <message>
        <source>ReadFromWriterCfg fail:mcu name not found</source>
        <translation>Reading the Link&apos;s project failed: its chip model is not in the chip list</translation>
    </message>
</context>
<context>
    <name>factorytrim</name>
    <message>
        <source>字节为0xAA时bandgap trimming值有效</source>
        <translation>Bandgap trim valid when this byte is 0xAA</translation>
    </message>
    <message>
        <source>Bandgap trimming 值，上电后自动加载</source>
        <translation>Bandgap trim value, loaded at power-on</translation>
    </message>
    <message>
        <source>该字节为 0xAA 时 LDO trimming 值有效</source>
        <translation>LDO trim value valid when this byte is 0xAA</translation>
    </message>
    <message>
        <source>LDO trimming 值，上电后自动加载</source>
        <translation>LDO trim value, loaded at power-on</translation>
    </message>
    <message>
        <source>该字节为 0xAA 时 LRC 时钟配置值有效</source>
        <translation>LRC clock trim valid when this byte is 0xAA</translation>
    </message>
    <message>
        <source>LRC 时钟配置值，上电后自动加载</source>
        <translation>LRC clock trim, loaded at power-on</translation>
    </message>
    <message>
        <source>LRC 实际频率值低 8 位(单位：HZ)</source>
        <translation>LRC measured frequency, low 8 bits (Hz)</translation>
    </message>
    <message>
        <source>LRC 实际频率值高 8 位(单位：HZ)</source>
        <translation>LRC measured frequency, high 8 bits (Hz)</translation>
    </message>
    <message>
        <source>该字节为 0xAA 时 HRC 时钟配置值有效</source>
        <translation>HRC clock trim valid when this byte is 0xAA</translation>
    </message>
    <message>
        <source>HRC 时钟配置值，上电后自动加载</source>
        <translation>HRC clock trim, loaded at power-on</translation>
    </message>
    <message>
        <source>HRC 实际频率值低 8 位(单位：KHZ)</source>
        <translation>HRC measured frequency, low 8 bits (kHz)</translation>
    </message>
    <message>
        <source>HRC 实际频率值高 8 位(单位：KHZ)</source>
        <translation>HRC measured frequency, high 8 bits (kHz)</translation>
    </message>
    <message>
        <source>该字节为 0xAA 时 OP trimming 值有效</source>
        <translation>OP trim values valid when this byte is 0xAA</translation>
    </message>
    <message>
        <source>OP 的 P 管 trimming 值，上电后自动加载</source>
        <translation>OP P-channel trim value, loaded at power-on</translation>
    </message>
    <message>
        <source>OP 的 N 管 trimming 值</source>
        <translation>OP N-channel trim value</translation>
    </message>
    <message>
        <source>ADC 采用 VDD 基准时 offset trimming 值</source>
        <translation>ADC offset trim, VDD reference</translation>
    </message>
    <message>
        <source>ADC 采用内部 4.096V 基准时 offset trimming 值</source>
        <translation>ADC offset trim, internal 4.096 V reference</translation>
    </message>
    <message>
        <source>ADC 采用内部 3.072V 基准时 offset trimming 值</source>
        <translation>ADC offset trim, internal 3.072 V reference</translation>
    </message>
    <message>
        <source>ADC 采用内部 2.048V 基准时 offset trimming 值</source>
        <translation>ADC offset trim, internal 2.048 V reference</translation>
    </message>
    <message>
        <source>ADC 采用内部 1.024V 基准时 offset trimming 值</source>
        <translation>ADC offset trim, internal 1.024 V reference</translation>
    </message>
    <message>
        <source>ADC 采用 VDD 基准时 K 值符号及溢出标志</source>
        <translation>ADC K sign and overflow, VDD reference</translation>
    </message>
    <message>
        <source>ADC 采用 VDD 基准时 K 值低字节</source>
        <translation>ADC K value low byte, VDD reference</translation>
    </message>
    <message>
        <source>ADC 采用 4.096V 基准时 K 值符号及溢出标志</source>
        <translation>ADC K sign and overflow, 4.096 V reference</translation>
    </message>
    <message>
        <source>ADC 采用 4.096V 基准时 K 值低字节</source>
        <translation>ADC K value low byte, 4.096 V reference</translation>
    </message>
    <message>
        <source>ADC 采用 3.072V 基准时 K 值符号及溢出标志</source>
        <translation>ADC K sign and overflow, 3.072 V reference</translation>
    </message>
    <message>
        <source>ADC 采用 3.072V 基准时 K 值低字节</source>
        <translation>ADC K value low byte, 3.072 V reference</translation>
    </message>
    <message>
        <source>ADC 采用 2.048V 基准时 K 值符号及溢出标志</source>
        <translation>ADC K sign and overflow, 2.048 V reference</translation>
    </message>
    <message>
        <source>ADC 采用 2.048V 基准时 K 值低字节</source>
        <translation>ADC K value low byte, 2.048 V reference</translation>
    </message>
    <message>
        <source>ADC 采用 1.024V 基准时 K 值符号及溢出标志</source>
        <translation>ADC K sign and overflow, 1.024 V reference</translation>
    </message>
    <message>
        <source>ADC 采用 1.024V 基准时 K 值低字节</source>
        <translation>ADC K value low byte, 1.024 V reference</translation>
    </message>
    <message>
        <source>ADC 采用 VDD 基准时 K 值高字节</source>
        <translation>ADC K value high byte, VDD reference</translation>
    </message>
    <message>
        <source>ADC 采用 4.096V 基准时 K 值高字节</source>
        <translation>ADC K value high byte, 4.096 V reference</translation>
    </message>
    <message>
        <source>ADC 采用 3.072V 基准时 K 值高字节</source>
        <translation>ADC K value high byte, 3.072 V reference</translation>
    </message>
    <message>
        <source>ADC 采用 2.048V 基准时 K 值高字节</source>
        <translation>ADC K value high byte, 2.048 V reference</translation>
    </message>
    <message>
        <source>ADC 采用 1.024V 基准时 K 值高字节</source>
        <translation>ADC K value high byte, 1.024 V reference</translation>
    </message>
    <message>
        <source>选用内部基准 4.096V 时的 Bandgap 值</source>
        <translation>Bandgap value, internal 4.096 V reference</translation>
    </message>
    <message>
        <source>选用内部基准 3.072V 时的 Bandgap 值</source>
        <translation>Bandgap value, internal 3.072 V reference</translation>
    </message>
    <message>
        <source>选用内部基准 2.048V 时的 Bandgap 值</source>
        <translation>Bandgap value, internal 2.048 V reference</translation>
    </message>
    <message>
        <source>选用内部基准 1.024V 时的 Bandgap 值</source>
        <translation>Bandgap value, internal 1.024 V reference</translation>
    </message>
    <message>
        <source>0x1D40-0x1D49为CHIPID 区，编码方式：内部编码(8bit)+芯片型号 0x26XX(16bit)+生产厂        家（8bit）+年（8bit）+月（4bit）+日（5bit）+滚码（23bit）</source>
        <translation>0x1D40-0x1D49: CHIPID area, coded as internal code (8 bits) + chip model 0x26XX (16 bits) + manufacturer (8 bits) + year (8 bits) + month (4 bits) + day (5 bits) + serial (23 bits)</translation>
    </message>
    <message>
        <source>0x1DE0-0x1DEF 该 16 个字节写入 0xAA，重新上电后 NVR15 不可擦写</source>
        <translation>0x1DE0-0x1DEF: 0xAA in all 16 bytes makes NVR15 read-only after the next power-on</translation>
    </message>
    <message>
        <source>该字节为 0xAA 时 Bandgap trimming 值有效</source>
        <translation>Bandgap trim valid when this byte is 0xAA</translation>
    </message>
    <message>
        <source>ADC 内部 4.096V 的基准配置值</source>
        <translation>ADC internal 4.096 V reference setting</translation>
    </message>
    <message>
        <source>ADC 内部 3.072V 的基准配置值</source>
        <translation>ADC internal 3.072 V reference setting</translation>
    </message>
    <message>
        <source>ADC 内部 2.048V 的基准配置值</source>
        <translation>ADC internal 2.048 V reference setting</translation>
    </message>
    <message>
        <source>ADC 内部 1.024V 的基准配置值</source>
        <translation>ADC internal 1.024 V reference setting</translation>
    </message>
    <message>
        <source>CHIPID 区，编码方式：内部编码(8bit)+芯片型号 0x27XX(16bit)+生产厂家（8bit）+年（8bit）+月（4bit）+日（5bit）+滚码（23bit）</source>
        <translation>CHIPID area, coded as internal code (8 bits) + chip model 0x27XX (16 bits) + manufacturer (8 bits) + year (8 bits) + month (4 bits) + day (5 bits) + serial (23 bits)</translation>
    </message>
    <message>
        <source>该 16 个字节写入 0xAA，重新上电后 NVR3 不可擦写</source>
        <translation>0xAA in these 16 bytes makes NVR3 read-only after the next power-on</translation>
    </message>
</context>
<context>
    <name>files</name>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>不能同时保存bin/bl</source>
        <translation>The ROM and the BootLoader cannot be saved to one BIN file</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>配置文件数据错误！</source>
        <translation>The configuration file holds invalid data!</translation>
    </message>
    <message>
        <source>芯片%1flash最大为%2</source>
        <translation>The flash of chip %1 holds at most %2 bytes</translation>
    </message>
    <message>
        <source>芯片%1BL 最大为%2</source>
        <translation>The BL area of chip %1 holds at most %2 bytes</translation>
    </message>
    <message>
        <source>芯片%1BootLoader最大为%2</source>
        <translation>The BootLoader of chip %1 holds at most %2 bytes</translation>
    </message>
    <message>
        <source>请输入a-z,A-Z,0-9,!&quot;#$%&amp;&apos;()*+,-./:;&lt;=&gt;?@[]^_`{|}~范围内字符！</source>
        <translation>Use only the characters a-z, A-Z, 0-9 and !&quot;#$%&amp;&apos;()*+,-./:;&lt;=&gt;?@[]^_`{|}~</translation>
    </message>
    <message>
        <source>密码最少8个字符！</source>
        <translation>The password needs at least 8 characters!</translation>
    </message>
    <message>
        <source>密码最多16个字符！</source>
        <translation>The password can have at most 16 characters!</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>nvr读取错误</source>
        <translation>NVR read error</translation>
    </message>
    <message>
        <source>NVR校验错误</source>
        <translation>NVR checksum error</translation>
    </message>
    <message>
        <source>NVR1 校验错误</source>
        <translation>NVR1 checksum error</translation>
    </message>
    <message>
        <source>NVR2 校验错误</source>
        <translation>NVR2 checksum error</translation>
    </message>
    <message>
        <source>NVR3 校验错误</source>
        <translation>NVR3 checksum error</translation>
    </message>
    <message>
        <source>eeprom读取错误</source>
        <translation>EEPROM read error</translation>
    </message>
    <message>
        <source>EE 校验错误</source>
        <translation>EE checksum error</translation>
    </message>
    <message>
        <source>eeprom校验错误</source>
        <translation>EEPROM checksum error</translation>
    </message>
    <message>
        <source>密码读取错误</source>
        <translation>Password read error</translation>
    </message>
    <message>
        <source>bin读取错误</source>
        <translation>BIN read error</translation>
    </message>
    <message>
        <source>bl读取错误</source>
        <translation>BL read error</translation>
    </message>
    <message>
        <source>项目文件中的mcu型号异常</source>
        <translation>The project file names an unknown MCU model</translation>
    </message>
    <message>
        <source>bin校验错误</source>
        <translation>BIN checksum error</translation>
    </message>
    <message>
        <source>bl校验错误</source>
        <translation>BL checksum error</translation>
    </message>
    <message>
        <source>文件夹</source>
        <translation>a folder</translation>
    </message>
    <message>
        <source>管道、套接字或设备文件</source>
        <translation>a FIFO, socket or device</translation>
    </message>
    <message>
        <source>%1：文件不存在</source>
        <translation>%1: no such file</translation>
    </message>
    <message>
        <source>%1：是%2，不是普通文件</source>
        <translation>%1: %2, not a regular file</translation>
    </message>
    <message>
        <source>%1：%2 字节，超过此类文件最多的 %3 字节</source>
        <translation>%1: %2 bytes, larger than the %3 bytes such a file can hold</translation>
    </message>
    <message>
        <source>是%1，不是普通文件</source>
        <translation>%1, not a regular file</translation>
    </message>
    <message>
        <source>磁盘已满？</source>
        <translation>disk full?</translation>
    </message>
    <message>
        <source>%1 字节未能全部写入文件（%2）</source>
        <translation>not all of %1 bytes reached the file (%2)</translation>
    </message>
    <message>
        <source>只写入了 %2 字节中的 %1 字节（%3）</source>
        <translation>wrote %1 of %2 bytes (%3)</translation>
    </message>
    <message>
        <source>数据未能写入磁盘（同步失败）</source>
        <translation>the disk did not take the data (sync failed)</translation>
    </message>
    <message>
        <source>一行中有多条记录（行尾只有 CR？）</source>
        <translation>more than one record on a line (lines ending in a lone CR?)</translation>
    </message>
    <message>
        <source>含有非十六进制字符</source>
        <translation>a character that is not a hexadecimal digit</translation>
    </message>
    <message>
        <source>记录不完整或长度不符</source>
        <translation>the record is cut short or its length does not match</translation>
    </message>
    <message>
        <source>校验和错误</source>
        <translation>checksum wrong</translation>
    </message>
    <message>
        <source>没有结束记录（:00000001FF），文件不完整，可能仍在写入</source>
        <translation>no end-of-file record (:00000001FF): the file is incomplete, perhaps still being written</translation>
    </message>
    <message>
        <source>HEX 文件 %1 第 %2 行有误：%3。文件未载入。</source>
        <translation>HEX file %1, line %2: %3. The file was not loaded.</translation>
    </message>
    <message>
        <source>HEX 文件 %1 有误：%2。文件未载入。</source>
        <translation>HEX file %1: %2. The file was not loaded.</translation>
    </message>
    <message>
        <source>项目中的序列号设置有误：%1</source>
        <translation>The project&apos;s serial number setting is wrong: %1</translation>
    </message>
</context>
<context>
    <name>language</name>
    <message>
        <source>--lang needs a value: zh or en</source>
        <translation>--lang needs a value: zh or en</translation>
    </message>
    <message>
        <source>unknown language &quot;%1&quot; (zh or en)</source>
        <translation>unknown language &quot;%1&quot; (zh or en)</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>界面语言将在程序下次启动时切换。</source>
        <translation>The new language takes effect the next time Tarnquill starts.</translation>
    </message>
</context>
<context>
    <name>ledger</name>
    <message>
        <source>ledger %1 需要 %2 个参数，给了 %3 个</source>
        <translation>ledger %1 takes %2 operand(s), %3 given</translation>
    </message>
    <message>
        <source>%1 不适用于 ledger %2</source>
        <translation>%1 does not apply to ledger %2</translation>
    </message>
    <message>
        <source>没有账本：请用 --ledger URL 或环境变量 TQ_LEDGER 指定</source>
        <translation>no ledger: give --ledger URL or set TQ_LEDGER</translation>
    </message>
    <message>
        <source>序列号空间 %1：%2 到 %3，步长 %4，共 %5 个；写在 %6 地址 0x%7，%8 字节，%9</source>
        <translation>serial space %1: %2 to %3, step %4, %5 values; written at %6 address 0x%7, %8 byte(s), %9</translation>
    </message>
    <message>
        <source>十进制 BCD</source>
        <translation>decimal BCD</translation>
    </message>
    <message>
        <source>十六进制</source>
        <translation>hexadecimal</translation>
    </message>
    <message>
        <source>高字节在前</source>
        <translation>most significant byte first</translation>
    </message>
    <message>
        <source>低字节在前</source>
        <translation>least significant byte first</translation>
    </message>
    <message>
        <source>%1：--from 需要 .mprj 工程</source>
        <translation>%1: --from takes a .mprj project</translation>
    </message>
    <message>
        <source>%1：工程没有启用序列号，不知道序列号写在哪里、怎样写</source>
        <translation>%1: the project has no serial number enabled, so it does not say where and how to write one</translation>
    </message>
    <message>
        <source>ledger space 需要 --first 和 --last，十进制或 0x 开头的十六进制</source>
        <translation>ledger space needs --first and --last, decimal or hexadecimal after 0x</translation>
    </message>
    <message>
        <source>--byte-order 取 msb-first 或 lsb-first</source>
        <translation>--byte-order takes msb-first or lsb-first</translation>
    </message>
    <message>
        <source>序列号设置为递增：--last 不能小于 --first</source>
        <translation>the serial number counts up: --last cannot be below --first</translation>
    </message>
    <message>
        <source>序列号设置为递减：--last 不能大于 --first</source>
        <translation>the serial number counts down: --last cannot be above --first</translation>
    </message>
    <message>
        <source>  下一个 %1，已写入 %2，作废 %3，预留中 %4
</source>
        <translation>  next %1, written %2, void %3, reserved %4
</translation>
    </message>
    <message>
        <source>（已用完）</source>
        <translation>(used up)</translation>
    </message>
    <message>
        <source>工位 %1：芯片 %2，通过 %3，失败 %4，良率 %5%
</source>
        <translation>station %1: chips %2, passed %3, failed %4, yield %5%
</translation>
    </message>
    <message>
        <source>账本是空的：没有序列号空间，也没有记录
</source>
        <translation>the ledger is empty: no serial space and no record
</translation>
    </message>
    <message>
        <source>序列号 &quot;%1&quot; 须为十进制或 0x 开头的十六进制</source>
        <translation>serial number &quot;%1&quot; must be decimal or hexadecimal after 0x</translation>
    </message>
    <message>
        <source>ledger find 需要 --space NAME</source>
        <translation>ledger find needs --space NAME</translation>
    </message>
    <message>
        <source>从未发出</source>
        <translation>never given out</translation>
    </message>
    <message>
        <source>已写入</source>
        <translation>written</translation>
    </message>
    <message>
        <source>作废</source>
        <translation>void</translation>
    </message>
    <message>
        <source>预留中</source>
        <translation>reserved</translation>
    </message>
    <message>
        <source>序列号 %1（空间 %2）：%3
</source>
        <translation>serial number %1 (space %2): %3
</translation>
    </message>
    <message>
        <source>--format 取 csv 或 json</source>
        <translation>--format takes csv or json</translation>
    </message>
    <message>
        <source>--since 须为 ISO 8601 时间，如 2026-05-01 或 2026-05-01T08:00:00</source>
        <translation>--since takes an ISO 8601 time, e.g. 2026-05-01 or 2026-05-01T08:00:00</translation>
    </message>
    <message>
        <source>已导出 %1 条记录到 %2
</source>
        <translation>exported %1 record(s) to %2
</translation>
    </message>
    <message>
        <source>ledger 后面须跟 space、status、find 或 export</source>
        <translation>ledger takes space, status, find or export</translation>
    </message>
    <message>
        <source>数据库密码不能写在地址中（会出现在进程列表和日志里）：请放在 ~/.pgpass、服务文件或 PGPASSWORD 中</source>
        <translation>a database password is never taken from the URL (it would show in the process list and in logs): put it in ~/.pgpass, a service file or PGPASSWORD</translation>
    </message>
    <message>
        <source>数据库地址中有未知的参数 &quot;%1&quot;</source>
        <translation>unknown parameter &quot;%1&quot; in the database URL</translation>
    </message>
    <message>
        <source>数据库地址参数 %1 的值只能含字母、数字和 _ . / : @ + -</source>
        <translation>the value of %1 in the database URL may hold only letters, digits and _ . / : @ + -</translation>
    </message>
    <message>
        <source>数据库地址无法解析：%1</source>
        <translation>the database URL cannot be read: %1</translation>
    </message>
    <message>
        <source>数据库地址须写明数据库名：postgresql://[用户@]主机[:端口]/数据库</source>
        <translation>the database URL must name the database: postgresql://[user@]host[:port]/database</translation>
    </message>
    <message>
        <source>数据库端口须为 1 到 65535</source>
        <translation>the database port must be 1 to 65535</translation>
    </message>
    <message>
        <source>账本地址 &quot;%1&quot; 缺少文件路径</source>
        <translation>ledger URL &quot;%1&quot; has no file path</translation>
    </message>
    <message>
        <source>未知的账本地址 &quot;%1&quot;：请用 sqlite:路径、csv:路径 或 postgresql://主机/数据库</source>
        <translation>unknown ledger URL &quot;%1&quot;: use sqlite:PATH, csv:PATH or postgresql://host/database</translation>
    </message>
    <message>
        <source>CSV 账本只记录芯片，不管理序列号，也不能查询：请用 sqlite: 或 postgresql:// 账本</source>
        <translation>a CSV ledger only records chips: serial numbers and queries need a sqlite: or postgresql:// ledger</translation>
    </message>
    <message>
        <source>序列号空间的名称须为 1 到 64 个字符</source>
        <translation>a serial space&apos;s name must have 1 to 64 characters</translation>
    </message>
    <message>
        <source>序列号宽度须为 1 到 4 字节</source>
        <translation>a serial number is 1 to 4 bytes wide</translation>
    </message>
    <message>
        <source>序列号进制须为 10 或 16</source>
        <translation>a serial number&apos;s radix must be 10 or 16</translation>
    </message>
    <message>
        <source>序列号区域须为 NVR、EEPROM 或 FLASH</source>
        <translation>a serial number&apos;s area must be NVR, EEPROM or FLASH</translation>
    </message>
    <message>
        <source>序列号步长须至少为 1</source>
        <translation>a serial number&apos;s step must be at least 1</translation>
    </message>
    <message>
        <source>序列号的首值和末值须在 0 到 %1 之间（%2 字节宽度）</source>
        <translation>the first and last serial numbers must lie between 0 and %1 (%2 byte(s) wide)</translation>
    </message>
    <message>
        <source>账本 %1：这是文件夹，不是 SQLite 文件</source>
        <translation>ledger %1: this is a folder, not a SQLite file</translation>
    </message>
    <message>
        <source>无法使用 WAL 日志模式</source>
        <translation>the WAL journal mode cannot be used</translation>
    </message>
    <message>
        <source>账本 %1：%2</source>
        <translation>ledger %1: %2</translation>
    </message>
    <message>
        <source>账本 %1：连接只能在打开它的线程中使用</source>
        <translation>ledger %1: a connection may only be used on the thread that opened it</translation>
    </message>
    <message>
        <source>账本的版本表是空的：不是本程序认识的账本</source>
        <translation>the ledger&apos;s version table is empty: not a ledger this program knows</translation>
    </message>
    <message>
        <source>账本的格式版本是 %1，本程序只认识到版本 %2：请升级 Tarnquill，不要用旧程序写它</source>
        <translation>the ledger&apos;s format is version %1 and this program knows up to version %2: update Tarnquill rather than write it with an older program</translation>
    </message>
    <message>
        <source>账本的格式版本 %1 无效</source>
        <translation>the ledger&apos;s format version %1 is not valid</translation>
    </message>
    <message>
        <source>记录的序列号和序列号空间须同时给出</source>
        <translation>a record&apos;s serial number and serial space go together</translation>
    </message>
    <message>
        <source>序列号空间 %1 已存在</source>
        <translation>serial space %1 already exists</translation>
    </message>
    <message>
        <source>没有名为 %1 的序列号空间</source>
        <translation>no serial space named %1</translation>
    </message>
    <message>
        <source>预留的序列号个数须至少为 1</source>
        <translation>at least one serial number must be reserved</translation>
    </message>
    <message>
        <source>序列号空间 %1 已用完（%2 个值都已发出）</source>
        <translation>serial space %1 is used up (all %2 values given out)</translation>
    </message>
    <message>
        <source>（没有 --from 时按所选芯片的默认序列号设置：请用 --from 指定工程）</source>
        <translation> (without --from the chosen chip&apos;s default serial setting applies: give the project with --from)</translation>
    </message>
    <message>
        <source>工位 %1 上次未用完的 %2 个序列号已作废</source>
        <translation>station %1: %2 serial number(s) its last run left unsettled are now void</translation>
    </message>
    <message>
        <source>序列号空间 %1 写在 EEPROM 或没有 BootLoader 区的 NVR 中：在线烧录只支持 FLASH 和 BootLoader 区</source>
        <translation>serial space %1 is written into the EEPROM or an NVR area without a BootLoader area: online burning writes serial numbers into FLASH and the BootLoader area only</translation>
    </message>
    <message>
        <source>序列号空间 %1 写在 %2 区，但本次不烧录这个区</source>
        <translation>serial space %1 is written into area %2, which this burn does not burn</translation>
    </message>
    <message>
        <source>序列号空间 %1 的地址 0x%2 超出 %3 区</source>
        <translation>serial space %1: address 0x%2 lies outside area %3</translation>
    </message>
    <message>
        <source>序列号 %1（空间 %2）不是工位 %3 端口 %4 预留的未用序列号，不能记入</source>
        <translation>serial number %1 (space %2) is not an unsettled reservation of station %3, port %4, and cannot be recorded</translation>
    </message>
    <message>
        <source>账本 %1 的服务器无法连接，本工位预留的序列号已用完：停止，不烧录未经账本分配的序列号（%2 条记录在本地等待发送）。%3</source>
        <translation>the server of ledger %1 cannot be reached and this station has used every serial number it held: stopped; no chip is burned with a serial number the ledger did not give (%2 record(s) wait on this computer to be sent). %3</translation>
    </message>
    <message>
        <source>账本 %1 的服务器无法连接：%2 条记录在本地暂存，下次运行时发送</source>
        <translation>the server of ledger %1 cannot be reached: %2 record(s) wait on this computer and are sent by the next run</translation>
    </message>
    <message>
        <source>本地暂存文件 %1：%2</source>
        <translation>local spool file %1: %2</translation>
    </message>
    <message>
        <source>无法建立文件夹</source>
        <translation>cannot create its folder</translation>
    </message>
    <message>
        <source>一条暂存记录已损坏</source>
        <translation>a record waiting in it is damaged</translation>
    </message>
    <message>
        <source>下载中或结果未知</source>
        <translation>downloading, or its outcome unknown</translation>
    </message>
    <message>
        <source>在 Link 中</source>
        <translation>in the Link</translation>
    </message>
    <message>
        <source>已关闭：Link 的存储已擦除</source>
        <translation>closed: the Link&apos;s store was erased</translation>
    </message>
    <message>
        <source>已关闭：新的下载替换了它</source>
        <translation>closed: a new download replaced it</translation>
    </message>
    <message>
        <source>作废：下载失败（%1）</source>
        <translation>void: the download failed (%1)</translation>
    </message>
    <message>
        <source>工位 %1 端口 %2：%3 到 %4（%5 个），%6 租出，%7</source>
        <translation>station %1 port %2: %3 to %4 (%5 values), leased %6, %7</translation>
    </message>
    <message>
        <source>  租给 Link 的 %1 个值：Link 自行烧录，账本不知道用了哪些，这些值不会再发出
</source>
        <translation>  %1 value(s) leased to Links: the Links burn them by themselves, so the ledger never learns which were used; none is given again
</translation>
    </message>
    <message>
        <source>租给 Link（%1）</source>
        <translation>leased to a Link (%1)</translation>
    </message>
    <message>
        <source>  ledger space 名称 --first 值 --last 值 [--from 工程.mprj] [--byte-order msb-first|lsb-first]
                                新建序列号空间：写在哪里、怎样写取自工程的序列号设置
  ledger status                 每个序列号空间和每个工位的统计，以及租给 Link 的序列号段
  ledger find 值 --space 名称   一个序列号的全部记录
  ledger export 输出 [--since 时间] [--format csv|json]  导出记录
  burn 文件 --serial 名称 [--loop]  每颗芯片烧录前写入空间的下一个序列号，随芯片记录记入账本
  download 工程.mprj --serial 名称  给每个 Link 租出“烧录次数限制”个值的一段序列号，写入它的序列号设置
--ledger URL（或环境变量 TQ_LEDGER）：sqlite:路径、postgresql://[用户@]主机[:端口]/数据库[?host=套接字目录&amp;sslmode=...]
或 csv:路径；密码放在 ~/.pgpass 或 PGPASSWORD 中，不写在地址里。--station 名称（默认主机名）、--operator 名称：记录者。
</source>
        <translation>  ledger space NAME --first V --last V [--from PROJECT.mprj] [--byte-order msb-first|lsb-first]
                                create a serial space: where and how it is written comes from the project&apos;s serial setting
  ledger status                 counts of every serial space and every station, and the blocks leased to Links
  ledger find VALUE --space NAME  every record of one serial number
  ledger export OUT [--since TIME] [--format csv|json]  export the records
  burn FILE --serial NAME [--loop]  write the space&apos;s next serial number into the image before each chip; the chip&apos;s record settles it
  download PROJECT.mprj --serial NAME  lease each Link a block of burn-limit values, written into its serial setting
--ledger URL (or TQ_LEDGER in the environment): sqlite:PATH, postgresql://[user@]host[:port]/database[?host=SOCKET_FOLDER&amp;sslmode=...]
or csv:PATH; a password goes in ~/.pgpass or PGPASSWORD, never in the URL. --station NAME (default: the host name), --operator NAME: who records.
</translation>
    </message>
    <message>
        <source>递增</source>
        <translation>counting up</translation>
    </message>
    <message>
        <source>递减</source>
        <translation>counting down</translation>
    </message>
    <message>
        <source>CSV 账本不能给 Link 租出序列号段：请用 sqlite: 或 postgresql:// 账本</source>
        <translation>a CSV ledger cannot lease serial blocks to Links: use a sqlite: or postgresql:// ledger</translation>
    </message>
    <message>
        <source>Link 的存储已擦除</source>
        <translation>the Link&apos;s store was erased</translation>
    </message>
    <message>
        <source>新的下载替换了 Link 中的工程</source>
        <translation>a new download replaced the Link&apos;s project</translation>
    </message>
    <message>
        <source>写在 %1 0x%2，空间写在 %3 0x%4</source>
        <translation>it writes at %1 0x%2, the space at %3 0x%4</translation>
    </message>
    <message>
        <source>宽度 %1 字节，空间 %2 字节</source>
        <translation>%1 byte(s) wide, the space %2</translation>
    </message>
    <message>
        <source>%1 进制，空间 %2 进制</source>
        <translation>radix %1, the space radix %2</translation>
    </message>
    <message>
        <source>步长 %1，空间 %2</source>
        <translation>step %1, the space %2</translation>
    </message>
    <message>
        <source>%1，空间%2</source>
        <translation>%1, the space %2</translation>
    </message>
    <message>
        <source>工程的序列号设置与序列号空间 %1 不符：%2</source>
        <translation>the project&apos;s serial setting does not agree with serial space %1: %2</translation>
    </message>
    <message>
        <source>序列号空间 %1 只剩 %2 个值，不够 %3 个 Link 各租 %4 个（共 %5 个）</source>
        <translation>serial space %1 has %2 value(s) left, not enough for %3 Link(s) leasing %4 each (%5 in all)</translation>
    </message>
    <message>
        <source>序列号 %1 超出工程序列号的 %2 位宽度</source>
        <translation>serial number %1 does not fit the project&apos;s %2-bit serial number</translation>
    </message>
    <message>
        <source>%1：工程没有启用序列号：--serial 需要工程的序列号设置（写在哪里、怎样写）</source>
        <translation>%1: the project has no serial number enabled: --serial needs its serial setting (where and how to write one)</translation>
    </message>
    <message>
        <source>%1：工程没有启用烧录次数限制：--serial 给每个 Link 租出“烧录次数 × 步长”的一段序列号，没有限制就不知道一个 Link 会用多少</source>
        <translation>%1: the project has no programming count limit: --serial leases each Link a block of limit × step, and without a limit nobody knows how many a Link will use</translation>
    </message>
    <message>
        <source>%1：序列号 %2 到 %3（%4 个，空间 %5，工位 %6）</source>
        <translation>%1: serial numbers %2 to %3 (%4 values, space %5, station %6)</translation>
    </message>
    <message>
        <source>%1 到 %2</source>
        <translation>%1 to %2</translation>
    </message>
    <message>
        <source>%1：Link 已存下工程，但账本没能把序列号 %2 的租约记为已下载，它仍显示为下载中（这些值不会再发出）</source>
        <translation>%1: the Link holds the project, but the ledger could not mark the lease of serial numbers %2 as downloaded; it still shows as downloading (these values are never given again)</translation>
    </message>
    <message>
        <source>%1：下载失败，但账本没能作废序列号 %2 的租约，它仍显示为下载中（这些值不会再发出）</source>
        <translation>%1: the download failed, but the ledger could not void the lease of serial numbers %2; it still shows as downloading (these values are never given again)</translation>
    </message>
    <message>
        <source>%1：工位 %2 在这个 Link 上的序列号租约已关闭（%3）；其中未用的值不会再发出</source>
        <translation>%1: station %2&apos;s serial lease on this Link is closed (%3); its unused values are never given again</translation>
    </message>
    <message>
        <source>租出的序列号个数须至少为 1</source>
        <translation>at least one serial number must be leased</translation>
    </message>
    <message>
        <source>租约 %1 已不在下载中（另一次下载或擦除已把它关闭）</source>
        <translation>lease %1 is no longer downloading (another download or an erase closed it)</translation>
    </message>
    <message>
        <source>预留的序列号块多次随服务器重启丢失</source>
        <translation>the block of serials reserved was lost with a server restart, several times over</translation>
    </message>
    <message>
        <source>保存的账本地址中有数据库密码，已去掉：请把密码放在 ~/.pgpass、服务文件或 PGPASSWORD 中</source>
        <translation>The saved ledger URL held a database password; it was dropped: keep the password in ~/.pgpass, a service file or PGPASSWORD</translation>
    </message>
    <message>
        <source>账本地址、工位名称和操作员须各为一行文字</source>
        <translation>The ledger URL, the station name and the operator must each be one line of text</translation>
    </message>
    <message>
        <source>账本文件 %1 还不存在</source>
        <translation>ledger file %1 does not exist yet</translation>
    </message>
    <message>
        <source>账本 %1：本程序没有 PostgreSQL 数据库驱动（%2）。Windows 版本暂不支持 PostgreSQL 账本，可用 sqlite: 或 csv: 账本</source>
        <translation>ledger %1: this build has no PostgreSQL database driver (%2). The Windows build does not take PostgreSQL ledgers yet; use a sqlite: or csv: ledger</translation>
    </message>
    <message>
        <source>账本 %1：本程序没有 SQLite 数据库驱动（%2），请改用 csv: 账本或带驱动的版本</source>
        <translation>ledger %1: this build has no SQLite database driver (%2); use a csv: ledger or a build with the driver</translation>
    </message>
</context>
<context>
    <name>lineview</name>
    <message>
        <source>工位</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>芯片</source>
        <translation>Chips</translation>
    </message>
    <message>
        <source>通过</source>
        <translation>Passed</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>良率</source>
        <translation>Yield</translation>
    </message>
    <message>
        <source>最后活动</source>
        <translation>Last activity</translation>
    </message>
    <message>
        <source>序列号空间</source>
        <translation>Space</translation>
    </message>
    <message>
        <source>起始</source>
        <translation>First</translation>
    </message>
    <message>
        <source>结束</source>
        <translation>Last</translation>
    </message>
    <message>
        <source>下一个</source>
        <translation>Next free</translation>
    </message>
    <message>
        <source>剩余</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>已写入</source>
        <translation>Written</translation>
    </message>
    <message>
        <source>作废</source>
        <translation>Void</translation>
    </message>
    <message>
        <source>预留中</source>
        <translation>Reserved</translation>
    </message>
    <message>
        <source>已用完</source>
        <translation>used up</translation>
    </message>
    <message>
        <source>显示的是 %1 读到的数据（已过时）</source>
        <translation>Showing the figures read at %1 (stale)</translation>
    </message>
    <message>
        <source>还没有读到数据</source>
        <translation>No figures read yet</translation>
    </message>
    <message>
        <source>账本无法读取（自 %1 起，正在重试）：%2。%3</source>
        <translation>Ledger cannot be read (since %1, retrying): %2. %3</translation>
    </message>
    <message>
        <source>正在打开账本 %1……</source>
        <translation>Opening the ledger %1…</translation>
    </message>
    <message>
        <source>实时（服务器通知新的记录）</source>
        <translation>live (the server announces new records)</translation>
    </message>
    <message>
        <source>每 %1 秒查看一次</source>
        <translation>looked at every %1 s</translation>
    </message>
    <message>
        <source>%1 · %2 · 读于 %3 · 今天 = %4 起</source>
        <translation>%1 · %2 · read at %3 · today = from %4</translation>
    </message>
    <message>
        <source>没有选择账本：请在“设置 &gt; 账本设置”中填写，或用 --ledger / TQ_LEDGER 指定</source>
        <translation>No ledger chosen: set one in Settings &gt; Ledger settings, or give --ledger / TQ_LEDGER</translation>
    </message>
    <message>
        <source>CSV 账本只有记录，没有产线的数据：请用 sqlite: 或 postgresql:// 账本</source>
        <translation>A CSV ledger holds records only, no figures of the line: use a sqlite: or postgresql:// ledger</translation>
    </message>
</context>
<context>
    <name>mcu_writer</name>
    <message>
        <source>BLTarnquill V1.6.0 </source>
        <translation>BLTarnquill V1.6.0 </translation>
    </message>
    <message>
        <source>ROM</source>
        <translation>ROM</translation>
    </message>
    <message>
        <source>烧录设定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>使用序列号</source>
        <translation>Use a serial number</translation>
    </message>
    <message>
        <source>进制</source>
        <translation>Radix</translation>
    </message>
    <message>
        <source>10进制(bcd码)</source>
        <translation>Decimal (BCD)</translation>
    </message>
    <message>
        <source>16进制</source>
        <translation>Hexadecimal</translation>
    </message>
    <message>
        <source>计数</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>递增</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>递减</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>区域选择</source>
        <translation>Area</translation>
    </message>
    <message>
        <source>NVR</source>
        <translation>NVR</translation>
    </message>
    <message>
        <source>EEP</source>
        <translation>EEP</translation>
    </message>
    <message>
        <source>FLASH</source>
        <translation>FLASH</translation>
    </message>
    <message>
        <source>起始地址(0x)</source>
        <translation>Start address (0x)</translation>
    </message>
    <message>
        <source>这是16进制表示的地址</source>
        <translation>A hexadecimal address</translation>
    </message>
    <message>
        <source>位宽</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>8</source>
        <translation>8</translation>
    </message>
    <message>
        <source>16</source>
        <translation>16</translation>
    </message>
    <message>
        <source>24</source>
        <translation>24</translation>
    </message>
    <message>
        <source>32</source>
        <translation>32</translation>
    </message>
    <message>
        <source>起始值</source>
        <translation>Start value</translation>
    </message>
    <message>
        <source>初始值是与进制一样</source>
        <translation>The start value is in the chosen radix</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>步进</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>步进是与选择进制一样</source>
        <translation>The step is in the chosen radix</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>2</source>
        <translation>2</translation>
    </message>
    <message>
        <source>3</source>
        <translation>3</translation>
    </message>
    <message>
        <source>4</source>
        <translation>4</translation>
    </message>
    <message>
        <source>5</source>
        <translation>5</translation>
    </message>
    <message>
        <source>10</source>
        <translation>10</translation>
    </message>
    <message>
        <source>使用机台烧录</source>
        <translation>Use a handler</translation>
    </message>
    <message>
        <source>启动电平</source>
        <translation>Start level</translation>
    </message>
    <message>
        <source>低</source>
        <translation>Low</translation>
    </message>
    <message>
        <source>高</source>
        <translation>High</translation>
    </message>
    <message>
        <source>启动时间</source>
        <translation>Start time</translation>
    </message>
    <message>
        <source>Busy电平</source>
        <translation>Busy level</translation>
    </message>
    <message>
        <source>Busy时间</source>
        <translation>Busy time</translation>
    </message>
    <message>
        <source>OK电平</source>
        <translation>OK level</translation>
    </message>
    <message>
        <source>EOT时间</source>
        <translation>EOT time</translation>
    </message>
    <message>
        <source>NG电平</source>
        <translation>NG level</translation>
    </message>
    <message>
        <source>OKNG时间</source>
        <translation>OK/NG time</translation>
    </message>
    <message>
        <source>烧录次数限制</source>
        <translation>Programming count limit</translation>
    </message>
    <message>
        <source>100</source>
        <translation>100</translation>
    </message>
    <message>
        <source>1000</source>
        <translation>1000</translation>
    </message>
    <message>
        <source>10000</source>
        <translation>10000</translation>
    </message>
    <message>
        <source>烧录器上传数据保护</source>
        <translation>Protect the Link&apos;s project from upload</translation>
    </message>
    <message>
        <source>EEPROM</source>
        <translation>EEPROM</translation>
    </message>
    <message>
        <source>NVR1</source>
        <translation>NVR1</translation>
    </message>
    <message>
        <source>BootLoader</source>
        <translation>BootLoader</translation>
    </message>
    <message>
        <source>NVR2</source>
        <translation>NVR2</translation>
    </message>
    <message>
        <source>开启IDCODE</source>
        <translation>Enable IDCODE</translation>
    </message>
    <message>
        <source>IDCODE0</source>
        <translation>IDCODE0</translation>
    </message>
    <message>
        <source>IDCODE1</source>
        <translation>IDCODE1</translation>
    </message>
    <message>
        <source>IDCODE2</source>
        <translation>IDCODE2</translation>
    </message>
    <message>
        <source>程序读保护</source>
        <translation>Read protection</translation>
    </message>
    <message>
        <source>复位引脚</source>
        <translation>Reset pin</translation>
    </message>
    <message>
        <source>复位</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>高阻</source>
        <translation>High-Z</translation>
    </message>
    <message>
        <source>关闭上电延时</source>
        <translation>No power-on delay</translation>
    </message>
    <message>
        <source>NVR启动</source>
        <translation>Boot from NVR</translation>
    </message>
    <message>
        <source>此NVR不可擦写</source>
        <translation>Make this NVR read-only</translation>
    </message>
    <message>
        <source>NVR3</source>
        <translation>NVR3</translation>
    </message>
    <message>
        <source>bangap</source>
        <translation>bangap</translation>
    </message>
    <message>
        <source>LDO</source>
        <translation>LDO</translation>
    </message>
    <message>
        <source>ADC</source>
        <translation>ADC</translation>
    </message>
    <message>
        <source>LRC</source>
        <translation>LRC</translation>
    </message>
    <message>
        <source>HRC</source>
        <translation>HRC</translation>
    </message>
    <message>
        <source>MRC配置</source>
        <translation>MRC setting</translation>
    </message>
    <message>
        <source>触摸按键</source>
        <translation>Touch keys</translation>
    </message>
    <message>
        <source>flash掩膜</source>
        <translation>Flash mask</translation>
    </message>
    <message>
        <source>MADR =0X</source>
        <translation>MADR =0X</translation>
    </message>
    <message>
        <source>ADC掩膜</source>
        <translation>ADC mask</translation>
    </message>
    <message>
        <source>OP0掩膜 </source>
        <translation>OP0 mask </translation>
    </message>
    <message>
        <source>OP1掩膜</source>
        <translation>OP1 mask</translation>
    </message>
    <message>
        <source>CMP掩膜</source>
        <translation>CMP mask</translation>
    </message>
    <message>
        <source>CHIP:0X</source>
        <translation>CHIP:0X</translation>
    </message>
    <message>
        <source>不可擦写</source>
        <translation>Read-only</translation>
    </message>
    <message>
        <source>出厂设置</source>
        <translation>Factory</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>芯片型号</source>
        <translation>Chip</translation>
    </message>
    <message>
        <source>烧录区域</source>
        <translation>Areas</translation>
    </message>
    <message>
        <source>Rom:</source>
        <translation>Rom:</translation>
    </message>
    <message>
        <source> BootLoader:</source>
        <translation> BootLoader:</translation>
    </message>
    <message>
        <source>CheckSum</source>
        <translation>Checksum</translation>
    </message>
    <message>
        <source>****</source>
        <translation>****</translation>
    </message>
    <message>
        <source>BootLoader:</source>
        <translation>BootLoader:</translation>
    </message>
    <message>
        <source>用户配置:</source>
        <translation>User config:</translation>
    </message>
    <message>
        <source>固件版本:</source>
        <translation>Firmware:</translation>
    </message>
    <message>
        <source> 容量:</source>
        <translation> Size:</translation>
    </message>
    <message>
        <source>Disable</source>
        <translation>Disabled</translation>
    </message>
    <message>
        <source>烧录设置</source>
        <translation>Programming Settings</translation>
    </message>
    <message>
        <source>序列号/加密</source>
        <translation>Serial No./Password</translation>
    </message>
    <message>
        <source>用户区设置</source>
        <translation>User Area</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear Log</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>操作(&amp;A)</source>
        <translation>&amp;Operations</translation>
    </message>
    <message>
        <source>设置(&amp;S)</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>     烧录接口</source>
        <translation>     Interface</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Ctrl+O</source>
        <translation>Ctrl+O</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <source>烧写</source>
        <translation>Program</translation>
    </message>
    <message>
        <source>擦除</source>
        <translation>Erase</translation>
    </message>
    <message>
        <source>查空</source>
        <translation>Blank</translation>
    </message>
    <message>
        <source>下载</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>下载离线软件</source>
        <translation>Download a project to the Link for stand-alone programming</translation>
    </message>
    <message>
        <source>上传</source>
        <translation>Upload</translation>
    </message>
    <message>
        <source>升级</source>
        <translation>Upgrade</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Erase Store</translation>
    </message>
    <message>
        <source>擦除下载器外部Flash</source>
        <translation>Erase the Link&apos;s external flash</translation>
    </message>
    <message>
        <source>校验和</source>
        <translation>Checksum</translation>
    </message>
    <message>
        <source>自动烧写 </source>
        <translation>Auto </translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>使用手册</source>
        <translation>User Guide</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>     打开(O)</source>
        <translation>     Open</translation>
    </message>
    <message>
        <source>     保存(S)</source>
        <translation>     Save</translation>
    </message>
    <message>
        <source>     退出(X)</source>
        <translation>     Exit</translation>
    </message>
    <message>
        <source>     烧写</source>
        <translation>     Program</translation>
    </message>
    <message>
        <source>F8</source>
        <translation>F8</translation>
    </message>
    <message>
        <source>     读取</source>
        <translation>     Read</translation>
    </message>
    <message>
        <source>F7</source>
        <translation>F7</translation>
    </message>
    <message>
        <source>     查空</source>
        <translation>     Blank Check</translation>
    </message>
    <message>
        <source>F6</source>
        <translation>F6</translation>
    </message>
    <message>
        <source>     序列号/加密...</source>
        <translation>     Serial Number/Password...</translation>
    </message>
    <message>
        <source>     用户配置...</source>
        <translation>     User Configuration...</translation>
    </message>
    <message>
        <source>     烧录设置...</source>
        <translation>     Programming Settings...</translation>
    </message>
    <message>
        <source>     自定义设置...</source>
        <translation>     Custom Chip Types...</translation>
    </message>
    <message>
        <source>I2C</source>
        <translation>I2C</translation>
    </message>
    <message>
        <source>单线
</source>
        <translation>Single wire
</translation>
    </message>
    <message>
        <source>     关于</source>
        <translation>     About</translation>
    </message>
    <message>
        <source>     使用手册</source>
        <translation>     User Guide</translation>
    </message>
    <message>
        <source>IIC</source>
        <translation>IIC</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Enabled</translation>
    </message>
    <message>
        <source>自定义设置</source>
        <translation>Custom Chip Types</translation>
    </message>
    <message>
        <source>打开文件</source>
        <translation>Open File</translation>
    </message>
    <message>
        <source>保存文件</source>
        <translation>Save File</translation>
    </message>
    <message>
        <source>无法启动PDF阅读器，请安装PDF阅读器后再试。
使用手册位于：%1</source>
        <translation>No PDF viewer could be started; install one and try again.
The user guide is at: %1</translation>
    </message>
    <message>
        <source>%1 已存在，要替换它吗？</source>
        <translation>%1 already exists. Replace it?</translation>
    </message>
    <message>
        <source>已保存 %1</source>
        <translation>Saved %1</translation>
    </message>
    <message>
        <source>保存失败：%1
原因：%2
原有的文件没有改动。</source>
        <translation>Could not save %1
Reason: %2
The previous file is unchanged.</translation>
    </message>
    <message>
        <source>当前项目有未保存的修改，确定放弃这些修改吗？</source>
        <translation>The project has unsaved changes. Discard them?</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>无法保存语言设置,请确认程序目录可写！</source>
        <translation>Cannot save the language setting. Make sure the program folder is writable!</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>配置文件读取错误,请重新安装软件！</source>
        <translation>Cannot read the configuration file. Please reinstall Tarnquill!</translation>
    </message>
    <message>
        <source>消息提示</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>值</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>填充0x00</source>
        <translation>Fill with 0x00</translation>
    </message>
    <message>
        <source>填充0xFF</source>
        <translation>Fill with 0xFF</translation>
    </message>
    <message>
        <source>另存为...</source>
        <translation>Save As...</translation>
    </message>
    <message>
        <source>读取...</source>
        <translation>Load...</translation>
    </message>
    <message>
        <source>填充0x00-0xFF</source>
        <translation>Fill with 0x00-0xFF</translation>
    </message>
    <message>
        <source>填充输入值</source>
        <translation>Fill with Value...</translation>
    </message>
    <message>
        <source>Link已连接</source>
        <translation>Link connected</translation>
    </message>
    <message>
        <source>Link已断开</source>
        <translation>Link disconnected</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>打开文件失败，请重新安装程序！</source>
        <translation>Cannot open the file. Please reinstall Tarnquill!</translation>
    </message>
    <message>
        <source>关于Tarnquill</source>
        <translation>About Tarnquill</translation>
    </message>
    <message>
        <source>Tarnquill 8051 Flash MCU 烧录工具
 Version：</source>
        <translation>Tarnquill 8051 flash MCU programmer
 Version: </translation>
    </message>
    <message>
        <source>序列号</source>
        <translation>Serial Number</translation>
    </message>
    <message>
        <source>用户配置</source>
        <translation>User Configuration</translation>
    </message>
    <message>
        <source>目标MCU是 %1</source>
        <translation>Target MCU is %1</translation>
    </message>
    <message>
        <source>单线模式暂不支持此功能</source>
        <translation>Single-wire mode does not support this function yet</translation>
    </message>
    <message>
        <source>提示信息</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>请选择烧录区域</source>
        <translation>Please tick the areas to program</translation>
    </message>
    <message>
        <source>请勾选读取内容</source>
        <translation>Please tick the areas to read</translation>
    </message>
    <message>
        <source>请选择要查空的分区</source>
        <translation>Please tick the areas to blank-check</translation>
    </message>
    <message>
        <source>读取失败</source>
        <translation>Read failed</translation>
    </message>
    <message>
        <source>请勾选擦除内容</source>
        <translation>Please tick the areas to erase</translation>
    </message>
    <message>
        <source>确定擦除吗？</source>
        <translation>Erase the ticked areas?</translation>
    </message>
    <message>
        <source>请勾选下载内容</source>
        <translation>Please tick the areas to download</translation>
    </message>
    <message>
        <source>确定要清空外部存储flash数据吗?</source>
        <translation>Erase all data in the Link&apos;s external flash?</translation>
    </message>
    <message>
        <source>确定要升级烧录器程序吗?</source>
        <translation>Upgrade the Link&apos;s firmware?</translation>
    </message>
    <message>
        <source>BootLoader：</source>
        <translation>BootLoader: </translation>
    </message>
    <message>
        <source>字节</source>
        <translation> bytes</translation>
    </message>
    <message>
        <source>未打开文件</source>
        <translation>No file opened</translation>
    </message>
    <message>
        <source>hex 文件为空</source>
        <translation>The HEX file is empty</translation>
    </message>
    <message>
        <source>bin 文件为空</source>
        <translation>The BIN file is empty</translation>
    </message>
    <message>
        <source>项目文件不完整</source>
        <translation>The project file is incomplete</translation>
    </message>
    <message>
        <source>固件文件名需包含2位硬件版本号和6位软件版本号，例如 Link-02-010203.bin</source>
        <translation>The firmware file name must hold a 2-digit hardware version and a 6-digit software version, for example Link-02-010203.bin</translation>
    </message>
    <message>
        <source>固件文件读取失败</source>
        <translation>Cannot read the firmware file</translation>
    </message>
    <message>
        <source>烧录器最大程序空间为%1</source>
        <translation>The Link&apos;s firmware can be at most %1 bytes</translation>
    </message>
    <message>
        <source>固件长度 = </source>
        <translation>Firmware size = </translation>
    </message>
    <message>
        <source>输入错误</source>
        <translation>Invalid input</translation>
    </message>
    <message>
        <source>输入</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>输入2位16进制数</source>
        <translation>Enter 2 hex digits</translation>
    </message>
    <message>
        <source>空片</source>
        <translation>blank</translation>
    </message>
    <message>
        <source>非空</source>
        <translation>not blank</translation>
    </message>
    <message>
        <source>用户区:     </source>
        <translation>User area:  </translation>
    </message>
    <message>
        <source>清零</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>计数清零</source>
        <translation>Reset the counters</translation>
    </message>
    <message>
        <source>     生产记录(CSV)...</source>
        <translation>     Production record (CSV)...</translation>
    </message>
    <message>
        <source>等待烧写</source>
        <translation>Waiting</translation>
    </message>
    <message>
        <source>OK: %1  NG: %2  总计: %3</source>
        <translation>OK: %1  NG: %2  Total: %3</translation>
    </message>
    <message>
        <source>生产记录</source>
        <translation>Production record</translation>
    </message>
    <message>
        <source>无法打开生产记录 %1：%2</source>
        <translation>Cannot open the production record %1: %2</translation>
    </message>
    <message>
        <source>生产记录：%1</source>
        <translation>Production record: %1</translation>
    </message>
    <message>
        <source>生产记录写入失败，烧写已停止：%1
原因：%2</source>
        <translation>The production record could not be written; burning stopped: %1
Reason: %2</translation>
    </message>
    <message>
        <source>芯片连接中......</source>
        <translation>Connecting to the chip......</translation>
    </message>
    <message>
        <source>Link正被其他程序使用(例如命令行烧录)。请先结束那个程序，再试一次。</source>
        <translation>The Link is busy: another program is using it (a command-line burn, for example). End that program, then try again.</translation>
    </message>
    <message>
        <source>Link已被拔出。请插上Link，再试一次。</source>
        <translation>The Link was unplugged. Plug the Link in, then try again.</translation>
    </message>
    <message>
        <source>停止中...</source>
        <translation>Stopping...</translation>
    </message>
    <message>
        <source>Link正忙，请稍后再试</source>
        <translation>The Link is busy, try again in a moment</translation>
    </message>
    <message>
        <source>查空：空片</source>
        <translation>Blank check: blank</translation>
    </message>
    <message>
        <source>查空：非空</source>
        <translation>Blank check: not blank</translation>
    </message>
    <message>
        <source>下载到Link</source>
        <translation>Download to the Link</translation>
    </message>
    <message>
        <source>Link操作</source>
        <translation>Link operation</translation>
    </message>
    <message>
        <source>读取出厂参数</source>
        <translation>Factory parameter read</translation>
    </message>
    <message>
        <source>未加载：%1</source>
        <translation>Not loaded: %1</translation>
    </message>
    <message>
        <source>打开失败</source>
        <translation>Open failed</translation>
    </message>
    <message>
        <source>没有加载 %1：%2</source>
        <translation>%1 was not loaded: %2</translation>
    </message>
    <message>
        <source>上一片：%1 %2</source>
        <translation>last chip: %1 %2</translation>
    </message>
    <message>
        <source>等待芯片...</source>
        <translation>Waiting for a chip...</translation>
    </message>
    <message>
        <source>读取芯片</source>
        <translation>Read back</translation>
    </message>
    <message>
        <source>查空检查</source>
        <translation>Blank check</translation>
    </message>
    <message>
        <source>擦除芯片</source>
        <translation>Erase</translation>
    </message>
    <message>
        <source>从Link上传</source>
        <translation>Upload from the Link</translation>
    </message>
    <message>
        <source>上传失败：Link没有交出存储的项目。
如果项目下载时勾选了“烧录器上传数据保护”，Link会拒绝上传，这是正常的。</source>
        <translation>Upload failed: the Link did not hand over its stored project.
A project downloaded with &quot;Protect the Link&apos;s project from upload&quot; ticked is refused on purpose.</translation>
    </message>
    <message>
        <source>一个bin文件只能保存一个区域。
请只勾选ROM或BootLoader中的一个再保存为bin，或者保存为项目文件(.mprj)，它同时保存两个区域。</source>
        <translation>A BIN file holds one area only.
Tick only ROM or only BootLoader to save a BIN, or save a project file (.mprj), which keeps both areas.</translation>
    </message>
    <message>
        <source>操作进行中，表格不能修改：刚才输入的值没有保存</source>
        <translation>An operation is running and the tables cannot be changed: the value just typed was not kept</translation>
    </message>
    <message>
        <source>操作进行中，表格的修改没有保存</source>
        <translation>Operation running: the table edit was not kept</translation>
    </message>
    <message>
        <source>Link已被拔出</source>
        <translation>The Link was unplugged</translation>
    </message>
    <message>
        <source>     工位视图(多个Link)...</source>
        <translation>     Station view (several Links)...</translation>
    </message>
    <message>
        <source>工位视图正在烧写：工程和设置已锁定。请先在工位视图中全部停止。</source>
        <translation>The station view is burning: the project and the settings are locked. Stop all in the station view first.</translation>
    </message>
    <message>
        <source>工位运行中</source>
        <translation>Station running</translation>
    </message>
    <message>
        <source>工位已停止</source>
        <translation>Station stopped</translation>
    </message>
    <message>
        <source>     产线视图...</source>
        <translation>     Line view...</translation>
    </message>
    <message>
        <source>     账本设置...</source>
        <translation>     Ledger settings...</translation>
    </message>
    <message>
        <source>序列号: %1</source>
        <translation>Serial: %1</translation>
    </message>
    <message>
        <source>账本 %1 无法使用，烧写未开始：
%2</source>
        <translation>The ledger %1 cannot be used; nothing was burned:
%2</translation>
    </message>
    <message>
        <source>账本记录失败，烧写已停止：%1</source>
        <translation>The ledger could not keep the record; the burn stopped: %1</translation>
    </message>
    <message>
        <source>账本记录失败，烧写已停止：
%1</source>
        <translation>The ledger could not keep the record; the burn stopped:
%1</translation>
    </message>
    <message>
        <source>序列号: %1（作废）</source>
        <translation>Serial: %1 (void)</translation>
    </message>
    <message>
        <source>正在打开账本...</source>
        <translation>Opening the ledger...</translation>
    </message>
</context>
<context>
    <name>options</name>
    <message>
        <source>SDA设置不能为空</source>
        <translation>Choose a pin for SDA</translation>
    </message>
    <message>
        <source>SCL设置不能为空</source>
        <translation>Choose a pin for SCL</translation>
    </message>
    <message>
        <source>SDA与SCL设置不能相同</source>
        <translation>SDA and SCL cannot use the same pin</translation>
    </message>
    <message>
        <source>TX与RX设置不能相同</source>
        <translation>TX and RX cannot use the same pin</translation>
    </message>
    <message>
        <source>SDA与RX设置不能相同</source>
        <translation>SDA and RX cannot use the same pin</translation>
    </message>
    <message>
        <source>SDA与TX设置不能相同</source>
        <translation>SDA and TX cannot use the same pin</translation>
    </message>
    <message>
        <source>SCL与RX设置不能相同</source>
        <translation>SCL and RX cannot use the same pin</translation>
    </message>
    <message>
        <source>SCL与TX设置不能相同</source>
        <translation>SCL and TX cannot use the same pin</translation>
    </message>
    <message>
        <source>主频: ERROR!</source>
        <translation>Main clock: ERROR!</translation>
    </message>
    <message>
        <source>主频: %1MHz</source>
        <translation>Main clock: %1 MHz</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>您输入的数据不是16进制,请重新输入</source>
        <translation>This is not a hexadecimal number. Please enter it again.</translation>
    </message>
    <message>
        <source>不可访问将无法读写擦此NVR,确定开启?</source>
        <translation>Once locked, this NVR can no longer be read, written or erased. Lock it?</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>关闭上电延时后可能导致无法下载,确定开启?</source>
        <translation>Without the power-on delay the chip may no longer accept programming. Turn the delay off?</translation>
    </message>
    <message>
        <source>序列号超过NVR空间,可能覆盖NVR2数据</source>
        <translation>The serial number goes past the NVR area and may overwrite NVR2 data</translation>
    </message>
    <message>
        <source>序列号超过NVR空间,可能覆盖NVR3数据</source>
        <translation>The serial number goes past the NVR area and may overwrite NVR3 data</translation>
    </message>
    <message>
        <source>您输入的数据不是10进制或大于0x80,请重新输入</source>
        <translation>This is not a decimal number or is above 0x80. Please enter it again.</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Enabled</translation>
    </message>
    <message>
        <source>Disable</source>
        <translation>Disabled</translation>
    </message>
    <message>
        <source>P02上电模式</source>
        <translation>P02 at power-on</translation>
    </message>
    <message>
        <source>锁定后所有用户配置将无法再更改(如果FLASH写保护有勾选，锁定后将无法再烧录)，请确定是否锁定！</source>
        <translation>Once locked, the user configuration can no longer be changed (and with FLASH write protection ticked, the chip can no longer be programmed). Are you sure you want to lock it?</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>save</name>
    <message>
        <source>文件夹不存在</source>
        <translation>the folder does not exist</translation>
    </message>
    <message>
        <source>同名的文件夹已存在</source>
        <translation>a folder of that name exists</translation>
    </message>
    <message>
        <source>文件夹没有写入权限</source>
        <translation>the folder is not writable</translation>
    </message>
    <message>
        <source>写入不完整（磁盘已满或写入出错）</source>
        <translation>the write was incomplete (disk full or write error)</translation>
    </message>
</context>
<context>
    <name>serialNoDialog</name>
    <message>
        <source>序列号（仅用于离线烧录）</source>
        <translation>Serial number (stand-alone programming only)</translation>
    </message>
    <message>
        <source>使用序列号</source>
        <translation>Use a serial number</translation>
    </message>
    <message>
        <source>进制</source>
        <translation>Radix</translation>
    </message>
    <message>
        <source>bcd码</source>
        <translation>BCD</translation>
    </message>
    <message>
        <source>16进制</source>
        <translation>Hexadecimal</translation>
    </message>
    <message>
        <source>计数</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>递增</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>递减</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>区域选择</source>
        <translation>Area</translation>
    </message>
    <message>
        <source>NVR</source>
        <translation>NVR</translation>
    </message>
    <message>
        <source>FLASH</source>
        <translation>FLASH</translation>
    </message>
    <message>
        <source>位宽</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>8</source>
        <translation>8</translation>
    </message>
    <message>
        <source>16</source>
        <translation>16</translation>
    </message>
    <message>
        <source>24</source>
        <translation>24</translation>
    </message>
    <message>
        <source>32</source>
        <translation>32</translation>
    </message>
    <message>
        <source>起始地址</source>
        <translation>Start address</translation>
    </message>
    <message>
        <source>这是16进制表示的地址</source>
        <translation>A hexadecimal address</translation>
    </message>
    <message>
        <source>起始值</source>
        <translation>Start value</translation>
    </message>
    <message>
        <source>初始值是与进制一样</source>
        <translation>The start value is in the chosen radix</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>步进</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>步进是与选择进制一样</source>
        <translation>The step is in the chosen radix</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>2</source>
        <translation>2</translation>
    </message>
    <message>
        <source>3</source>
        <translation>3</translation>
    </message>
    <message>
        <source>4</source>
        <translation>4</translation>
    </message>
    <message>
        <source>5</source>
        <translation>5</translation>
    </message>
    <message>
        <source>10</source>
        <translation>10</translation>
    </message>
    <message>
        <source>加密配置(仅用于离线烧录)</source>
        <translation>Password (stand-alone programming only)</translation>
    </message>
    <message>
        <source>密码</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>加密校验</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>显示</source>
        <translation>Show</translation>
    </message>
</context>
<context>
    <name>session</name>
    <message>
        <source>cannot write the trace file: %1</source>
        <translation>cannot write the trace file: %1</translation>
    </message>
    <message>
        <source>cannot write the trace file %1</source>
        <translation>cannot write the trace file %1</translation>
    </message>
    <message>
        <source>cannot write the trace file %1: %2</source>
        <translation>cannot write the trace file %1: %2</translation>
    </message>
</context>
<context>
    <name>settings</name>
    <message>
        <source>输入范围1-1000000,请重新输入</source>
        <translation>Enter a value from 1 to 1000000.</translation>
    </message>
    <message>
        <source>输入必须为数字,请重新输入</source>
        <translation>Enter a number.</translation>
    </message>
    <message>
        <source>您输入的数据不是10进制,请重新输入</source>
        <translation>This is not a decimal number. Please enter it again.</translation>
    </message>
    <message>
        <source>没有选择校准项!</source>
        <translation>No calibration item selected!</translation>
    </message>
    <message>
        <source>时钟范围20.0-32.0MHz</source>
        <translation>The clock must be 20.0-32.0 MHz.</translation>
    </message>
    <message>
        <source>您输入的数据不是16进制,请重新输入</source>
        <translation>This is not a hexadecimal number. Please enter it again.</translation>
    </message>
    <message>
        <source>序列号超过FLASH空间,请重新输入</source>
        <translation>The serial number does not fit in FLASH. Please enter it again.</translation>
    </message>
    <message>
        <source>序列号超过EEPROM空间,请重新输入</source>
        <translation>The serial number does not fit in EEPROM. Please enter it again.</translation>
    </message>
    <message>
        <source>序列号超过NVR空间,请重新输入</source>
        <translation>The serial number does not fit in NVR. Please enter it again.</translation>
    </message>
    <message>
        <source>您输入的地址可能会覆盖程序地址,请重新输入</source>
        <translation>This address may overwrite the program. Please enter another one.</translation>
    </message>
    <message>
        <source>您输入的地址可能会覆盖BootLoader地址,请重新输入</source>
        <translation>This address may overwrite the BootLoader. Please enter another one.</translation>
    </message>
    <message>
        <source>序列号跨越两个扇区,请重新输入</source>
        <translation>The serial number would cross a sector boundary. Please enter it again.</translation>
    </message>
    <message>
        <source>序列号跨越两个扇区,请重新选择</source>
        <translation>The serial number would cross a sector boundary. Please choose again.</translation>
    </message>
    <message>
        <source>初始值大于位宽</source>
        <translation>The start value does not fit in the width.</translation>
    </message>
    <message>
        <source>步进范围是0-0xff</source>
        <translation>The step must be 0 to 0xff.</translation>
    </message>
    <message>
        <source>步进范围是0-99</source>
        <translation>The step must be 0 to 99.</translation>
    </message>
    <message>
        <source>地址与加密数据地址冲突,请重新输入，序列号占用地址不超过%1</source>
        <translation>The address overlaps the password data. Please enter another one: the serial number must end at or below %1.</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>机台烧录与自动烧录不能同时打开！</source>
        <translation>The handler and auto programming cannot both be on!</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Enabled</translation>
    </message>
    <message>
        <source>Disable</source>
        <translation>Disabled</translation>
    </message>
    <message>
        <source>序列号使用eeprom,有可能覆盖数据</source>
        <translation>The serial number is in EEPROM and may overwrite data</translation>
    </message>
    <message>
        <source>序列号使用NVR1,有可能覆盖数据</source>
        <translation>The serial number is in NVR1 and may overwrite data</translation>
    </message>
    <message>
        <source>序列号位宽为%1字节，只能是1至4字节</source>
        <translation>the serial number is %1 bytes wide; it can be 1 to 4 bytes</translation>
    </message>
    <message>
        <source>序列号区域%1不存在</source>
        <translation>there is no serial number area %1</translation>
    </message>
    <message>
        <source>序列号进制%1不存在</source>
        <translation>there is no serial number radix %1</translation>
    </message>
    <message>
        <source>毫秒，0 到 %1</source>
        <translation>milliseconds, 0 to %1</translation>
    </message>
    <message>
        <source>%1必须是0到%2之间的毫秒数</source>
        <translation>%1 must be a number of milliseconds from 0 to %2</translation>
    </message>
</context>
<context>
    <name>startup</name>
    <message>
        <source>--station 需要一个名称</source>
        <translation>--station needs a name</translation>
    </message>
    <message>
        <source>--emulate=%1: 窗口只能使用一个Link; 多个Link请使用工位视图(--station-view)或 tarnquill-cli 的 --emulate=DIR1,DIR2</source>
        <translation>--emulate=%1: the window drives one Link; for several Links use the station view (--station-view) or tarnquill-cli --emulate=DIR1,DIR2</translation>
    </message>
    <message>
        <source>用法: tarnquill [--lang zh|en] [--emulate[=文件夹]] [--trace 文件] [--station-view] [--station 名称] [--line-view]
                [--ledger URL] [--operator 名称]
  --lang zh|en        界面语言(默认: 菜单中选择的语言, 否则系统语言)
  --emulate[=文件夹]  不用真实的Link, 使用内置的Link模拟器; 给出文件夹时其状态保存在该文件夹中
                      (工位视图可用 --emulate=文件夹1,文件夹2,... 模拟多个Link)
  --trace 文件        把与Link往来的每个报文追加到该文件中
  --station-view      启动时打开工位视图: 每个连接的Link一个面板
  --station 名称      工位名称(默认: 计算机名)
  --line-view         启动时打开产线视图: 账本中各工位今天的数量和良率, 各序列号空间的余量
  --ledger URL        烧录、工位视图与产线视图的账本(sqlite:文件 或 postgresql://...;
                      默认: 环境变量 TQ_LEDGER, 否则&quot;账本设置&quot;中保存的账本)
  --operator 名称     操作员名称, 写入账本的每条记录
  -h, --help          显示本帮助
命令行烧录与多Link(量产)请使用 tarnquill-cli。
</source>
        <translation>usage: tarnquill [--lang zh|en] [--emulate[=DIR]] [--trace FILE] [--station-view] [--station NAME] [--line-view]
                [--ledger URL] [--operator NAME]
  --lang zh|en        language of the window (default: the one chosen in its menu, else the system&apos;s)
  --emulate[=DIR]     use the built-in Link emulator instead of a real Link; with DIR its state is kept there
                      (the station view emulates several Links with --emulate=DIR1,DIR2,...)
  --trace FILE        append every report exchanged with the Link to FILE
  --station-view      open the station view at start: a panel for every attached Link
  --station NAME      the station&apos;s name (default: the computer&apos;s name)
  --line-view         open the line view at start: each station&apos;s chips and yield today, what is left of each serial space
  --ledger URL        the ledger of the window&apos;s burns, the station view and the line view (sqlite:FILE or postgresql://...;
                      default: the TQ_LEDGER variable, else the ledger saved in &quot;Ledger settings&quot;)
  --operator NAME     the operator&apos;s name, kept in every record of the ledger
  -h, --help          show this help
For command-line burning and several Links (production) use tarnquill-cli.
</translation>
    </message>
</context>
<context>
    <name>station</name>
    <message>
        <source>主窗口正在使用Link，请等它完成</source>
        <translation>The main window is using its Link; wait until it has finished</translation>
    </message>
    <message>
        <source>主窗口中没有选择要烧写的区域</source>
        <translation>No area to burn is chosen in the main window</translation>
    </message>
    <message>
        <source>空闲</source>
        <translation>Idle</translation>
    </message>
    <message>
        <source>等待芯片</source>
        <translation>Waiting for a chip</translation>
    </message>
    <message>
        <source>烧写中</source>
        <translation>Burning</translation>
    </message>
    <message>
        <source>Link已拔出</source>
        <translation>Link pulled out</translation>
    </message>
    <message>
        <source>无响应</source>
        <translation>Not responding</translation>
    </message>
    <message>
        <source>异常终止</source>
        <translation>Ended abnormally</translation>
    </message>
    <message>
        <source>未能启动</source>
        <translation>Could not start</translation>
    </message>
    <message>
        <source>生产记录写入失败：%1</source>
        <translation>The production record could not be written: %1</translation>
    </message>
    <message>
        <source>%1: Link未连接</source>
        <translation>%1: Link not attached</translation>
    </message>
    <message>
        <source>无法建立临时文件夹</source>
        <translation>Cannot make a temporary folder</translation>
    </message>
    <message>
        <source>无法写入工程文件 %1：%2</source>
        <translation>Cannot write the project file %1: %2</translation>
    </message>
    <message>
        <source>工位正在烧录：请先停止所有面板，再更改账本、工位或操作员</source>
        <translation>The station is burning: stop every panel before changing the ledger, the station or the operator</translation>
    </message>
    <message>
        <source>工位名称不能为空</source>
        <translation>The station&apos;s name cannot be empty</translation>
    </message>
    <message>
        <source>工位正在烧录：请先停止所有面板，再更改序列号空间</source>
        <translation>The station is burning: stop every panel before changing the serial space</translation>
    </message>
    <message>
        <source>序列号由账本分配：请先用 --ledger 或 TQ_LEDGER 指定账本</source>
        <translation>Serials come from a ledger: name one with --ledger or TQ_LEDGER first</translation>
    </message>
    <message>
        <source>账本服务器无法连接，预留的序列号已用完：已停止</source>
        <translation>Ledger server unreachable, the reserved serials used up: stopped</translation>
    </message>
    <message>
        <source>序列号空间 %1 已用完：请选择另一个</source>
        <translation>Serial space %1 is used up: choose another</translation>
    </message>
    <message>
        <source>未选择生产记录文件：记录只写入账本</source>
        <translation>No production record file: chips are recorded in the ledger only</translation>
    </message>
    <message>
        <source>未选择生产记录：开始前请选择生产记录文件</source>
        <translation>No production record: choose a production record file before starting</translation>
    </message>
    <message>
        <source>请先选择生产记录文件：没有账本时，每颗芯片都记录在这个文件中</source>
        <translation>Choose the production record file first: without a ledger, every chip is recorded in it</translation>
    </message>
</context>
<context>
    <name>summary</name>
    <message>
        <source>用户配置</source>
        <translation>User config</translation>
    </message>
    <message>
        <source>序列号</source>
        <translation>Serial no.</translation>
    </message>
    <message>
        <source>加密</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>烧录次数</source>
        <translation>Count limit</translation>
    </message>
    <message>
        <source>机台烧录</source>
        <translation>Handler</translation>
    </message>
    <message>
        <source>单线烧录</source>
        <translation>Single wire</translation>
    </message>
    <message>
        <source>上传保护</source>
        <translation>Upload protection</translation>
    </message>
    <message>
        <source>自动烧录</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>烧录项: </source>
        <translation>Settings: </translation>
    </message>
</context>
<context>
    <name>systemReason</name>
    <message>
        <source>不允许此操作</source>
        <translation>Operation not permitted</translation>
    </message>
    <message>
        <source>文件或文件夹不存在</source>
        <translation>No such file or folder</translation>
    </message>
    <message>
        <source>输入输出错误(磁盘或U盘可能有故障)</source>
        <translation>Input/output error (the disk or USB stick may be faulty)</translation>
    </message>
    <message>
        <source>没有权限</source>
        <translation>Permission denied</translation>
    </message>
    <message>
        <source>文件已存在</source>
        <translation>The file exists already</translation>
    </message>
    <message>
        <source>路径中的某一项不是文件夹</source>
        <translation>A part of the path is not a folder</translation>
    </message>
    <message>
        <source>这是一个文件夹</source>
        <translation>This is a folder</translation>
    </message>
    <message>
        <source>打开的文件太多</source>
        <translation>Too many open files</translation>
    </message>
    <message>
        <source>文件太大</source>
        <translation>File too large</translation>
    </message>
    <message>
        <source>磁盘已满</source>
        <translation>The disk is full</translation>
    </message>
    <message>
        <source>磁盘是只读的</source>
        <translation>The disk is read-only</translation>
    </message>
    <message>
        <source>文件名太长</source>
        <translation>File name too long</translation>
    </message>
    <message>
        <source>文件正被使用</source>
        <translation>The file is in use</translation>
    </message>
</context>
<context>
    <name>userCfgDialog</name>
    <message>
        <source>用户配置</source>
        <translation>User Configuration</translation>
    </message>
    <message>
        <source>P01上电模式</source>
        <translation>P01 at power-on</translation>
    </message>
    <message>
        <source>P26上电模式</source>
        <translation>P26 at power-on</translation>
    </message>
    <message>
        <source>高阻</source>
        <translation>High-Z</translation>
    </message>
    <message>
        <source>复位</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>I2C引脚配置</source>
        <translation>I2C pins</translation>
    </message>
    <message>
        <source>SDA</source>
        <translation>SDA</translation>
    </message>
    <message>
        <source>SCL</source>
        <translation>SCL</translation>
    </message>
    <message>
        <source>UART引脚配置</source>
        <translation>UART pins</translation>
    </message>
    <message>
        <source>TX</source>
        <translation>TX</translation>
    </message>
    <message>
        <source>RX</source>
        <translation>RX</translation>
    </message>
    <message>
        <source>FLASH读保护</source>
        <translation>FLASH read protection</translation>
    </message>
    <message>
        <source>FLASH写保护</source>
        <translation>FLASH write protection</translation>
    </message>
    <message>
        <source>上电延时</source>
        <translation>Power-on delay</translation>
    </message>
    <message>
        <source>启动选择</source>
        <translation>Boot from</translation>
    </message>
    <message>
        <source>配置锁定(锁定后无法再更改)</source>
        <translation>Lock the configuration (no changes afterwards)</translation>
    </message>
    <message>
        <source>color:rgb(255,0,0);</source>
        <translation>color:rgb(255,0,0);</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>On</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>FLASH</source>
        <translation>FLASH</translation>
    </message>
    <message>
        <source>BootLoader</source>
        <translation>BootLoader</translation>
    </message>
    <message>
        <source>P26默认为复位脚，EFT测试请配置为高阻</source>
        <translation>P26 is the reset pin by default; set it to High-Z for EFT tests</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>worker</name>
    <message>
        <source>the worker ended abnormally</source>
        <translation>the worker ended abnormally</translation>
    </message>
    <message>
        <source>the worker gave no sign of life for %1 s and was ended</source>
        <translation>the worker gave no sign of life for %1 s and was ended</translation>
    </message>
    <message>
        <source>the worker did not stop within %1 s and was ended</source>
        <translation>the worker did not stop within %1 s and was ended</translation>
    </message>
    <message>
        <source>the program started as a worker does not speak the worker protocol (it wrote: %1)</source>
        <translation>the program started as a worker does not speak the worker protocol (it wrote: %1)</translation>
    </message>
    <message>
        <source>the worker speaks protocol version %1, this program version %2: install the same version of both</source>
        <translation>the worker speaks protocol version %1, this program version %2: install the same version of both</translation>
    </message>
    <message>
        <source>cannot start a worker: %1</source>
        <translation>cannot start a worker: %1</translation>
    </message>
    <message>
        <source>the parent process is gone</source>
        <translation>the parent process is gone</translation>
    </message>
</context>
</TS>
