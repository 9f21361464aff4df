<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>DialogChipType</name>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
</context>
<context>
    <name>PassVerdict</name>
    <message>
        <source>%1：%2 (%3)</source>
        <translation>%1：%2 (%3)</translation>
    </message>
</context>
<context>
    <name>burnSettingDialog</name>
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
        <source>ADC</source>
        <translation>ADC</translation>
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
</context>
<context>
    <name>cli</name>
    <message>
        <source>%1 has no BootLoader area</source>
        <translation>%1 没有 BootLoader 区</translation>
    </message>
    <message>
        <source>%1 has no EEPROM</source>
        <translation>%1 没有 EEPROM</translation>
    </message>
    <message>
        <source>%1 has no NVR1 area</source>
        <translation>%1 没有 NVR1 区</translation>
    </message>
    <message>
        <source>%1 has no NVR2 area</source>
        <translation>%1 没有 NVR2 区</translation>
    </message>
    <message>
        <source>%1 has no NVR3 area</source>
        <translation>%1 没有 NVR3 区</translation>
    </message>
    <message>
        <source>a .hex or .bin file fills one image: burn rom and bl together from a project</source>
        <translation>一个 .hex 或 .bin 文件只装一个区的映像：rom 和 bl 一起烧录请用工程文件</translation>
    </message>
    <message>
        <source>a .hex or .bin file needs rom or bl in --areas</source>
        <translation>.hex 或 .bin 文件须在 --areas 中选 rom 或 bl</translation>
    </message>
    <message>
        <source>%1: the image to burn is empty</source>
        <translation>%1：要烧录的映像是空的</translation>
    </message>
    <message>
        <source>verify: %1 differs at 0x%2: burned %3, read %4</source>
        <translation>校验：%1 在 0x%2 处不同：烧入 %3，读出 %4</translation>
    </message>
    <message>
        <source>%1: cannot write the production record: %2%3</source>
        <translation>%1：无法写入生产记录：%2%3</translation>
    </message>
    <message>
        <source>; stopped before the next chip</source>
        <translation>；已在下一颗芯片之前停止</translation>
    </message>
    <message>
        <source>chip %1 failed: %2 (%3); waiting for the next chip, Ctrl-C ends</source>
        <translation>芯片 %1 失败：%2 (%3)；等待下一颗芯片，按 Ctrl-C 结束</translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation>已中断</translation>
    </message>
    <message>
        <source>chip %1: id %2, %3 %4
</source>
        <translation>芯片 %1：ID %2，%3 %4
</translation>
    </message>
    <message>
        <source>--verify needs the Link between chips; it cannot follow --loop</source>
        <translation>--verify 需要在两颗芯片之间使用 Link，不能与 --loop 同用</translation>
    </message>
    <message>
        <source>%1: cannot write: %2</source>
        <translation>%1：无法写入：%2</translation>
    </message>
    <message>
        <source>%1: write .bin (one area) or .mprj</source>
        <translation>%1：请写成 .bin（一个区）或 .mprj</translation>
    </message>
    <message>
        <source>a .bin file holds one area; read several into a .mprj</source>
        <translation>.bin 文件只装一个区；读取多个区请写入 .mprj</translation>
    </message>
    <message>
        <source>interrupted; %1 not written</source>
        <translation>已中断；%1 未写入</translation>
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
        <source>%1 needs a file name, not an empty value</source>
        <translation>%1 需要文件名，不能为空</translation>
    </message>
    <message>
        <source>unknown area &quot;%1&quot; in --areas (use %2)</source>
        <translation>--areas 中有未知的区 &quot;%1&quot;（可用 %2）</translation>
    </message>
    <message>
        <source>--expect takes the number of Links a gang needs, 1 to 999</source>
        <translation>--expect 取多路烧录所需的 Link 个数，1 到 999</translation>
    </message>
    <message>
        <source>--to takes rom or bl</source>
        <translation>--to 取 rom 或 bl</translation>
    </message>
    <message>
        <source>--chip-id takes a 16-bit hexadecimal id, e.g. 2610</source>
        <translation>--chip-id 取 16 位十六进制 ID，例如 2610</translation>
    </message>
    <message>
        <source>--fw takes H.M.L, each 0 to 65535</source>
        <translation>--fw 取 H.M.L，每项 0 到 65535</translation>
    </message>
    <message>
        <source>--emulate= needs a folder</source>
        <translation>--emulate= 需要文件夹</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 需要一个值</translation>
    </message>
    <message>
        <source>%1 takes no value</source>
        <translation>%1 不带值</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>未知的选项 %1</translation>
    </message>
    <message>
        <source>no command given</source>
        <translation>没有给出命令</translation>
    </message>
    <message>
        <source>unknown command &quot;%1&quot;</source>
        <translation>未知的命令 &quot;%1&quot;</translation>
    </message>
    <message>
        <source>%1 takes %2 operand(s), %3 given</source>
        <translation>%1 需要 %2 个参数，给了 %3 个</translation>
    </message>
    <message>
        <source>%1 does not apply to %2</source>
        <translation>%1 不适用于 %2</translation>
    </message>
    <message>
        <source>--insert and --remove exclude each other</source>
        <translation>--insert 与 --remove 不能同时使用</translation>
    </message>
    <message>
        <source>--unplug and --plug exclude each other</source>
        <translation>--unplug 与 --plug 不能同时使用</translation>
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
        <translation>用法: tarnquill-cli [--chip 型号] [--areas 列表] [--single-wire] [--emulate[=文件夹[,文件夹2...]]]
                    [--link 端口|端口1,端口2,...|all [--expect N]] [--trace 文件] [--json] 命令 ...
  chips                         列出可选的芯片型号
  links                         每个已连接的 Link：端口、路径、模式、固件版本
  info 文件                     .hex (.ihx)、.bin 或 .mprj 文件的摘要
  convert 输入 输出 [--to rom|bl]  把输入 (.hex/.ihx/.bin/.mprj) 写成输出 (.bin 或 .mprj)
  burn 文件 [--loop] [--verify] [--log 文件.csv]
                                烧录一颗芯片（按 Ctrl-C 结束等待）；--loop：一颗接一颗地烧录
  read 输出                     把芯片的各区读入输出文件（一个区用 .bin，多个区用 .mprj）
  erase | blank | factory       擦除；查空并给出校验和；出厂参数和时钟
  download 文件.mprj            把工程存入 Link，供脱机烧录
  upload 输出.mprj              读回 Link 中保存的工程
  fw-version | upgrade 文件.bin | erase-link
  compare-link 文件.mprj        比较 Link 中保存的工程与文件（相同时退出码 0，不同时 1）
  emulator 文件夹 [--chip-id 十六进制] [--insert | --remove] [--fw H.M.L] [--unplug | --plug]
                                新建或修改模拟器的状态文件夹（--unplug 把模拟的 Link 从电脑上
                                拔下，正在运行的程序也会看到）
--areas：用逗号分隔的 rom、bl、ee、nvr1、nvr2、nvr3（默认 rom；工程自带它的区）。
--link：某个端口上的 Link（见 links）；给出多个端口或 all 时，burn、erase、blank、download、
erase-link、fw-version 和 upgrade 在每个 Link 上同时运行（多路烧录）。连接了多个 Link 时，
操作设备的命令需要 --link。--emulate=文件夹1,文件夹2,... 在端口 emu1、emu2、... 上连接模拟的 Link。
--expect N：已连接的 Link 少于 N 个时多路烧录不开始（退出码 64，并列出已连接的 Link）。
退出码：0 成功，1-38 操作的结果码，39 芯片不支持或传输不完整，64 用法错误，
65 输入文件有误（不存在、不是普通文件、太大、没有数据），74 输出或生产记录未写入（原文件保持完整），
130 已中断。
--lang zh|en：消息的语言（默认跟随系统）；JSON 输出和退出码在每种语言中都相同。
</translation>
    </message>
    <message>
        <source>chip %1 in the socket</source>
        <translation>插座中有芯片 %1</translation>
    </message>
    <message>
        <source>no chip in the socket (id %1)</source>
        <translation>插座中没有芯片（ID %1）</translation>
    </message>
    <message>
        <source>, Link pulled out</source>
        <translation>，Link 已拔出</translation>
    </message>
    <message>
        <source>%1: %2, Link firmware %3%4
</source>
        <translation>%1：%2，Link 固件 %3%4
</translation>
    </message>
    <message>
        <source>%1: write .bin or .mprj</source>
        <translation>%1：请写成 .bin 或 .mprj</translation>
    </message>
    <message>
        <source>%1 holds no %2 image</source>
        <translation>%1 中没有 %2 映像</translation>
    </message>
    <message>
        <source>%1: the %2 image is empty</source>
        <translation>%1：%2 映像是空的</translation>
    </message>
    <message>
        <source>empty file</source>
        <translation>空文件</translation>
    </message>
    <message>
        <source>ends early: truncated</source>
        <translation>提前结束：文件不完整</translation>
    </message>
    <message>
        <source>no such file</source>
        <translation>文件不存在</translation>
    </message>
    <message>
        <source>cannot be opened for reading</source>
        <translation>无法打开读取</translation>
    </message>
    <message>
        <source>header checksum wrong</source>
        <translation>文件头校验和错误</translation>
    </message>
    <message>
        <source>info block checksum wrong</source>
        <translation>信息块校验和错误</translation>
    </message>
    <message>
        <source>an area is short, damaged or larger than the chip</source>
        <translation>某个区不完整、已损坏或大于芯片</translation>
    </message>
    <message>
        <source>chip model not in the chip list</source>
        <translation>芯片型号不在芯片列表中</translation>
    </message>
    <message>
        <source>refused (%1)</source>
        <translation>被拒绝（%1）</translation>
    </message>
    <message>
        <source>%1: no data records</source>
        <translation>%1：没有数据记录</translation>
    </message>
    <message>
        <source>%1: warning: %2 line(s) skipped, not Intel HEX records</source>
        <translation>%1：警告：跳过了 %2 行，不是 Intel HEX 记录</translation>
    </message>
    <message>
        <source>%1: not a .hex, .ihx, .bin or .mprj file</source>
        <translation>%1：不是 .hex、.ihx、.bin 或 .mprj 文件</translation>
    </message>
    <message>
        <source>%1: empty file, no data</source>
        <translation>%1：空文件，没有数据</translation>
    </message>
    <message>
        <source>is a folder</source>
        <translation>是文件夹</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>不是普通文件</translation>
    </message>
    <message>
        <source>not writable (no permission or a read-only disk)</source>
        <translation>不可写（没有权限或磁盘只读）</translation>
    </message>
    <message>
        <source>no such folder</source>
        <translation>文件夹不存在</translation>
    </message>
    <message>
        <source>folder not writable (no permission or a read-only disk)</source>
        <translation>文件夹不可写（没有权限或磁盘只读）</translation>
    </message>
    <message>
        <source>no Link is attached</source>
        <translation>没有连接 Link</translation>
    </message>
    <message>
        <source>attached: %1</source>
        <translation>已连接：%1</translation>
    </message>
    <message>
        <source>%1: download takes a .mprj project</source>
        <translation>%1：下载需要 .mprj 工程</translation>
    </message>
    <message>
        <source>%1: cannot write the production record: %2; every Link stopped before its next chip</source>
        <translation>%1：无法写入生产记录：%2；每个 Link 都已在下一颗芯片之前停止</translation>
    </message>
    <message>
        <source>records that are not in %1 are kept in: %2</source>
        <translation>未写入 %1 的记录保存在：%2</translation>
    </message>
    <message>
        <source>%1 works on one Link: choose it with --link PORT</source>
        <translation>%1 只用于一个 Link：请用 --link 端口 选择</translation>
    </message>
    <message>
        <source>no Link at port %1; %2</source>
        <translation>端口 %1 没有 Link；%2</translation>
    </message>
    <message>
        <source>--expect %1: only %2 Link(s) attached; %3</source>
        <translation>--expect %1：只连接了 %2 个 Link；%3</translation>
    </message>
    <message>
        <source>Links taking part (%1): %2</source>
        <translation>参与的 Link（%1 个）：%2</translation>
    </message>
    <message>
        <source>chip %1: id %2, %3 %4</source>
        <translation>芯片 %1：ID %2，%3 %4</translation>
    </message>
    <message>
        <source>a line outside the worker protocol: %1</source>
        <translation>一行不属于工作进程协议：%1</translation>
    </message>
    <message>
        <source>%1: stopped</source>
        <translation>%1：已停止</translation>
    </message>
    <message>
        <source>, %1 chip(s): %2 passed, %3 failed</source>
        <translation>，%1 颗芯片：%2 颗通过，%3 颗失败</translation>
    </message>
    <message>
        <source>serial numbers: %1 Links × step %2 = %3, more than the step the Link keeps (%4)</source>
        <translation>序列号：%1 个 Link × 步长 %2 = %3，超过 Link 能保存的步长（%4）</translation>
    </message>
    <message>
        <source>serial numbers: a step of 0 gives every Link the same number</source>
        <translation>序列号：步长为 0 会使每个 Link 得到同一个号码</translation>
    </message>
    <message>
        <source>serial numbers: Link %1 of %2 would need %3, outside the %4-bit width%5</source>
        <translation>序列号：第 %1 个 Link（共 %2 个）需要 %3，超出 %4 位宽度%5</translation>
    </message>
    <message>
        <source> within the burn limit of %1 chips</source>
        <translation>（在 %1 颗芯片的烧录限制之内）</translation>
    </message>
    <message>
        <source>--gang-worker is for the worker processes a gang starts, not for use by hand</source>
        <translation>--gang-worker 只供多路烧录启动的工作进程使用，不能手动使用</translation>
    </message>
    <message>
        <source>--gang-serial is for the worker processes a gang starts, not for use by hand</source>
        <translation>--gang-serial 只供多路烧录启动的工作进程使用，不能手动使用</translation>
    </message>
    <message>
        <source>%1 Links are attached (%2): choose one with --link PORT, or several with --link all</source>
        <translation>连接了 %1 个 Link（%2）：请用 --link 端口 选择一个，或用 --link all 选择全部</translation>
    </message>
    <message>
        <source>%1: %2 (the Link is in use by another process)</source>
        <translation>%1：%2（Link 正被其他进程使用）</translation>
    </message>
    <message>
        <source>--link takes a port (see tarnquill-cli links), a comma list of ports or all</source>
        <translation>--link 取一个端口（见 tarnquill-cli links）、用逗号分隔的多个端口或 all</translation>
    </message>
    <message>
        <source>--emulate=DIR1,DIR2,... has an empty folder</source>
        <translation>--emulate=DIR1,DIR2,... 中有空的文件夹名</translation>
    </message>
    <message>
        <source>--emulate: %1 and %2 are the same folder; each Link needs a folder of its own</source>
        <translation>--emulate：%1 和 %2 是同一个文件夹；每个 Link 需要自己的文件夹</translation>
    </message>
    <message>
        <source>--expect counts the Links of a gang: use it with --link all or a list of ports</source>
        <translation>--expect 用于多路烧录的 Link 个数：请与 --link all 或多个端口一起使用</translation>
    </message>
    <message>
        <source>no emulated Link at port %1 (emu1 to emu%2)</source>
        <translation>端口 %1 没有模拟 Link（emu1 到 emu%2）</translation>
    </message>
    <message>
        <source>tarnquill-cli: %1</source>
        <translation>tarnquill-cli：%1</translation>
    </message>
    <message>
        <source>try tarnquill-cli --help</source>
        <translation>请看 tarnquill-cli --help</translation>
    </message>
    <message>
        <source>no selectable chip in cfg.db</source>
        <translation>cfg.db 中没有可选的芯片</translation>
    </message>
    <message>
        <source>unknown chip &quot;%1&quot; (see tarnquill-cli chips)</source>
        <translation>未知的芯片 &quot;%1&quot;（见 tarnquill-cli chips）</translation>
    </message>
    <message>
        <source>tarnquill-cli: cannot write the output: %1</source>
        <translation>tarnquill-cli：无法写出输出：%1</translation>
    </message>
    <message>
        <source>%1: %2 takes a .mprj project</source>
        <translation>%1：%2 需要 .mprj 工程</translation>
    </message>
    <message>
        <source>%1: the Link&apos;s stored checksum %2 does not match its data (%3)</source>
        <translation>%1：Link 中保存的校验和 %2 与其数据不符（%3）</translation>
    </message>
    <message>
        <source>%1: the image to download is empty</source>
        <translation>%1：要下载的映像是空的</translation>
    </message>
    <message>
        <source>fw-version: %1 (%2)</source>
        <translation>fw-version: %1 (%2)</translation>
    </message>
    <message>
        <source>%1: a firmware file is named &lt;name&gt;-&lt;HH&gt;-&lt;SSSSSS&gt;.bin (hardware and software version digits)</source>
        <translation>%1：固件文件须命名为 &lt;名称&gt;-&lt;HH&gt;-&lt;SSSSSS&gt;.bin（硬件和软件版本号）</translation>
    </message>
    <message>
        <source>%1: cannot read the firmware file</source>
        <translation>%1：无法读取固件文件</translation>
    </message>
    <message>
        <source>%1: empty file, no firmware</source>
        <translation>%1：空文件，没有固件</translation>
    </message>
    <message>
        <source>%1: larger than the Link&apos;s %2 bytes of firmware space</source>
        <translation>%1：大于 Link 的 %2 字节固件空间</translation>
    </message>
    <message>
        <source>%1 chip(s): %2 passed, %3 failed
</source>
        <translation>%1 颗芯片：%2 颗通过，%3 颗失败
</translation>
    </message>
    <message>
        <source>normal</source>
        <translation>正常</translation>
    </message>
    <message>
        <source>busy</source>
        <translation>占用中</translation>
    </message>
    <message>
        <source>enabled</source>
        <translation>启用</translation>
    </message>
    <message>
        <source>disabled</source>
        <translation>未启用</translation>
    </message>
    <message>
        <source>chip: file %1, Link %2</source>
        <translation>芯片：文件 %1，Link %2</translation>
    </message>
    <message>
        <source>%1: %2 in the file, %3 in the Link</source>
        <translation>%1：文件中%2，Link 中%3</translation>
    </message>
    <message>
        <source>%1: first difference at 0x%2, checksum file %3, Link %4</source>
        <translation>%1：第一处不同在 0x%2，校验和 文件 %3，Link %4</translation>
    </message>
    <message>
        <source>%1: size file %2, Link %3</source>
        <translation>%1：大小 文件 %2，Link %3</translation>
    </message>
    <message>
        <source>%1 differs</source>
        <translation>%1 不同</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>no</source>
        <translation>否</translation>
    </message>
    <message>
        <source>chip: %1
</source>
        <translation>芯片：%1
</translation>
    </message>
    <message>
        <source>%1: %2 bytes, checksum %3
</source>
        <translation>%1：%2 字节，校验和 %3
</translation>
    </message>
    <message>
        <source>no area enabled
</source>
        <translation>没有启用的区
</translation>
    </message>
    <message>
        <source>rolling number: %1</source>
        <translation>序列号：%1</translation>
    </message>
    <message>
        <source> (start address %1, start value %2, bytes %3, step %4, %5, area %6, %7)</source>
        <translation>（起始地址 %1，起始值 %2，%3 字节，步长 %4，%5，区 %6，%7）</translation>
    </message>
    <message>
        <source>hexadecimal</source>
        <translation>十六进制</translation>
    </message>
    <message>
        <source>decimal</source>
        <translation>十进制</translation>
    </message>
    <message>
        <source>up</source>
        <translation>递增</translation>
    </message>
    <message>
        <source>down</source>
        <translation>递减</translation>
    </message>
    <message>
        <source>
password: %1</source>
        <translation>
密码：%1</translation>
    </message>
    <message>
        <source> (%1 characters)</source>
        <translation>（%1 个字符）</translation>
    </message>
    <message>
        <source>
burn limit: %1</source>
        <translation>
烧录限制：%1</translation>
    </message>
    <message>
        <source>
handler machine: %1</source>
        <translation>
自动烧录机：%1</translation>
    </message>
    <message>
        <source> (times %1/%2/%3/%4, levels %5/%6/%7/%8)</source>
        <translation>（时间 %1/%2/%3/%4，电平 %5/%6/%7/%8）</translation>
    </message>
    <message>
        <source>
upload protection: %1
automatic burning: %2
single-wire burning: %3
calibration: adc %4, clock %5, only %6, no ADC parameter check %7, clock %8 MHz
</source>
        <translation>
上传保护：%1
自动烧录：%2
单线烧录：%3
校准：ADC %4，时钟 %5，仅校准 %6，不检查 ADC 参数 %7，时钟 %8 MHz
</translation>
    </message>
    <message>
        <source>%1: checksum %2, blank
</source>
        <translation>%1：校验和 %2，空片
</translation>
    </message>
    <message>
        <source>%1: checksum %2, not blank
</source>
        <translation>%1：校验和 %2，非空
</translation>
    </message>
    <message>
        <source>--gang-serial takes START:STEP</source>
        <translation>--gang-serial 取 起始值:步长</translation>
    </message>
    <message>
        <source>equal
</source>
        <translation>相同
</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>--serial in a gang&apos;s worker needs the block its parent leased</source>
        <translation>多机烧录的工作进程中 --serial 需要父进程租得的序列号段</translation>
    </message>
    <message>
        <source>--label is for the worker processes a station starts, not for use by hand</source>
        <translation>--label 只供工位视图启动的工作进程使用，不能手动使用</translation>
    </message>
</context>
<context>
    <name>engine</name>
    <message>
        <source>upgrade step1/2</source>
        <translation>固件升级，第 1 步（共 2 步）</translation>
    </message>
    <message>
        <source>erase flash</source>
        <translation>擦除 Link 的闪存</translation>
    </message>
    <message>
        <source>upgrade step2/2 updating</source>
        <translation>固件升级，第 2 步（共 2 步）：写入中</translation>
    </message>
    <message>
        <source>ReadFromWriterCfg fail:mcu name not found</source>
        <translation>读取 Link 中的工程失败：芯片型号不在芯片列表中</translation>
    </message>
</context>
<context>
    <name>language</name>
    <message>
        <source>--lang needs a value: zh or en</source>
        <translation>--lang 需要一个值：zh 或 en</translation>
    </message>
    <message>
        <source>unknown language &quot;%1&quot; (zh or en)</source>
        <translation>未知的语言 &quot;%1&quot;（zh 或 en）</translation>
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
        <source>0</source>
        <translation>0</translation>
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
        <source>MADR =0X</source>
        <translation>MADR =0X</translation>
    </message>
    <message>
        <source>CHIP:0X</source>
        <translation>CHIP:0X</translation>
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
        <translation>CheckSum</translation>
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
        <source>Disable</source>
        <translation>Disable</translation>
    </message>
    <message>
        <source>Ctrl+O</source>
        <translation>Ctrl+O</translation>
    </message>
    <message>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>F8</source>
        <translation>F8</translation>
    </message>
    <message>
        <source>F7</source>
        <translation>F7</translation>
    </message>
    <message>
        <source>F6</source>
        <translation>F6</translation>
    </message>
    <message>
        <source>I2C</source>
        <translation>I2C</translation>
    </message>
    <message>
        <source>IIC</source>
        <translation>IIC</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Enable</translation>
    </message>
    <message>
        <source>BootLoader：</source>
        <translation>BootLoader：</translation>
    </message>
</context>
<context>
    <name>options</name>
    <message>
        <source>Enable</source>
        <translation>Enable</translation>
    </message>
    <message>
        <source>Disable</source>
        <translation>Disable</translation>
    </message>
</context>
<context>
    <name>serialNoDialog</name>
    <message>
        <source>NVR</source>
        <translation>NVR</translation>
    </message>
    <message>
        <source>FLASH</source>
        <translation>FLASH</translation>
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
        <source>0</source>
        <translation>0</translation>
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
</context>
<context>
    <name>session</name>
    <message>
        <source>cannot write the trace file: %1</source>
        <translation>无法写入报文记录文件：%1</translation>
    </message>
    <message>
        <source>cannot write the trace file %1: %2</source>
        <translation>无法写入报文记录文件 %1：%2</translation>
    </message>
    <message>
        <source>cannot write the trace file %1</source>
        <translation>无法写入报文记录文件 %1</translation>
    </message>
</context>
<context>
    <name>settings</name>
    <message>
        <source>Enable</source>
        <translation>Enable</translation>
    </message>
    <message>
        <source>Disable</source>
        <translation>Disable</translation>
    </message>
</context>
<context>
    <name>userCfgDialog</name>
    <message>
        <source>SDA</source>
        <translation>SDA</translation>
    </message>
    <message>
        <source>SCL</source>
        <translation>SCL</translation>
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
        <source>color:rgb(255,0,0);</source>
        <translation>color:rgb(255,0,0);</translation>
    </message>
    <message>
        <source>FLASH</source>
        <translation>FLASH</translation>
    </message>
    <message>
        <source>BootLoader</source>
        <translation>BootLoader</translation>
    </message>
</context>
<context>
    <name>worker</name>
    <message>
        <source>the worker ended abnormally</source>
        <translation>工作进程异常结束</translation>
    </message>
    <message>
        <source>the worker gave no sign of life for %1 s and was ended</source>
        <translation>工作进程 %1 秒没有响应，已被结束</translation>
    </message>
    <message>
        <source>the worker did not stop within %1 s and was ended</source>
        <translation>工作进程 %1 秒内没有停止，已被结束</translation>
    </message>
    <message>
        <source>the program started as a worker does not speak the worker protocol (it wrote: %1)</source>
        <translation>作为工作进程启动的程序不懂工作进程协议（它输出了：%1）</translation>
    </message>
    <message>
        <source>the worker speaks protocol version %1, this program version %2: install the same version of both</source>
        <translation>工作进程的协议版本是 %1，本程序是 %2：请安装同一版本的两个程序</translation>
    </message>
    <message>
        <source>cannot start a worker: %1</source>
        <translation>无法启动工作进程：%1</translation>
    </message>
    <message>
        <source>the parent process is gone</source>
        <translation>父进程已不存在</translation>
    </message>
</context>
</TS>
