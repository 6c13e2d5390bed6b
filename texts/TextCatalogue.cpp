// SPDX-License-Identifier: GPL-3.0-or-later
#include "TextCatalogue.h"

namespace {

struct Pair
{
    const char *chinese;
    const char *english;
};

// In Text order. Some English texts end with a full-width exclamation mark, as the meters'
// own software has always shown them.
const Pair texts[] = {
    {"提示", "Tip"},

    {"读取关键信息失败!", "Failed to read key infomation!"},
    {"仪器版本过低!", "The instrument version is too low!"},
    {"仪器与软件不匹配!", "The Instrument and the Software do Not Match!"},
    {"读取单位编号失败!", "Failed to read unit no!"},
    {"读取模式失败!", "Failed to read mode!"},
    {"读取记录数量失败!", "Failed to Read Record Number！"},
    {"读取记录数据失败!", "Failed to Read Record Data！"},
    {"读取记录名称失败!", "Failed to Read Record Name！"},
    {"仪器正被其他程序使用，请先关闭该程序!", "The meter is in use by another program. Close that program first!"},

    {"导入数据会先清空列表，是否保存数据？", "Importing Data Will First Clear the List. Do You Want to Save the Data?"},
    {"清除数据将会清除所有的记录，是否确认清除?",
     "Clear data will clear all records. Are you sure you want to clear it?"},
    {"正在读取记录，请等待……", "Reading record, please wait..."},
    {"取消", "Cancel"},
    {"删除", "Delete"},

    {"保存数据到Excel", "Save Data to Excel"},
    {"正在导出数据，请等待……", "Exporting data, please wait..."},
    {"导出数据成功！", "Exporting data success!"},
    {"导出数据失败，是否重新保存数据？", "Exporting data failed, do you want to save the data again?"},
    {"导出已取消，未写入任何文件。", "Exporting data was cancelled. No file was written."},

    {"仪器信息", "Meter"},
    {"序列号", "Serial number"},
    {"型号代码", "Model code"},
    {"固件版本", "Firmware version"},
    {"仪器类型", "Meter kind"},
    {"测量模式", "Mode"},
    {"记录数量", "Records"},
    {"下载时间", "Downloaded"},
    {"UTC 偏移", "UTC offset"},
    {"软件", "Program"},
    {"标题", "Title"},
    {"项目/地点", "Project or location"},
    {"测量人员", "Operator"},
    {"备注", "Note"},

    {"关闭光谱数据页将丢弃表中的记录，是否关闭？",
     "Closing the spectral data page discards the records in the table. Close it anyway?"},

    {"无频闪", "No"},
    {"----", "----"},

    {"名称", "Test Name"},
    {"操作", "Operation"},
    {"序号", "NO"},
    {"曲线", "Curve"},
    {"照度", "Illuminance"},
    {"最大值", "MAX"},
    {"最小值", "MIN"},
    {"平均值", "AVG"},
    {"色温", "CCT"},
    {"紫外指数", "UVI"},
    {"闪烁频率", "Flic Freq"},
    {"波动深度", "Percent"},
    {"显色指数Ra", "Ra"},
    {"温度", "Temperature"},
    {"湿度", "Humidity"},
    {"色容差", "SDCM"},
    {"蓝光危害比", "BLHazard"},
    {"PPFD", "PPFD"},
    {"PPFD蓝", "PPFD Blue"},
    {"PPFD绿", "PPFD Green"},
    {"PPFD红", "PPFD Red"},
    {"YPFD", "YPFD"},
    {"叶绿素a", "Chlorophyll a"},
    {"叶绿素b", "Chlorophyll b"},
    {"照度最大值", "Illuminance MAX"},
    {"紫外功率", "Power"},
    {"紫外功率最大值", "Power MAX"},
    {"亮度", "Luminance"},
    {"探头型号", "Probe"},
    {"功率实时值", "Power RT"},
    {"功率最大值", "Power MAX"},
    {"功率最小值", "Power MIN"},
    {"功率平均值", "Power AVG"},
    {"功率均匀度", "Power UE"},
    {"能量实时值", "Energy"},
    {"测量时间", "Time"},

    {"x", "x"},
    {"y", "y"},
    {"u'", "u'"},
    {"v'", "v'"},
    {"相关色温(K)", "CCT(K)"},
    {"Duv", "Duv"},
    {"峰值波长(nm)", "Peak(nm)"},
    {"主波长(nm)", "Dominant(nm)"},
    {"色纯度(%)", "Purity(%)"},
    {"补色波长: 该颜色(紫红色)没有主波长, 负值为其补色波长",
     "Complementary wavelength: this colour (a purple) has no dominant wavelength; the negative value is its "
     "complementary wavelength"},
    {"仪器将该记录标记为光线过暗, 无法测量颜色",
     "The meter marked this record as too dim to measure; its colour cannot be given"},

    {"未找到仪器! 请检查USB连接。", "No meter found! Check the USB connection."},
    {"无权打开仪器 %1! 请安装 udev 规则后重新插入仪器。",
     "No permission to open the meter at %1! Install the udev rule and plug the meter in again."},
    {"无法读取仪器映像 %1: %2", "Cannot read the meter image %1: %2"},
    {"目录不存在: %1", "No such directory: %1"},
    {"该仪器(类型 %1)没有光谱数据!", "This meter (kind %1) has no spectral data!"},
    {"不支持该仪器类型(类型 %1)!", "This meter kind (%1) is not supported!"},
    {"导出数据失败! %1: %2", "Exporting data failed! %1: %2"},
    {"文件不能被替换(只读、不是普通文件或正被其他程序打开)",
     "the file cannot be replaced (read-only, not a regular file, or open in another program)"},
    {"文件夹不存在或不可写", "its folder does not exist or cannot be written"},
    {"用法:\n", "Usage:\n"},
    {"更多信息请运行 lumivane-cli --help\n", "Run lumivane-cli --help for more.\n"},
    {"命令:\n"
     "  list              列出连接的仪器: 设备节点、序列号, 以及能否打开 (ok) 或不能打开的原因\n"
     "  identify          读取仪器信息: 序列号、固件版本、型号、类型、模式和记录数量\n"
     "  records -o FILE   读取测量记录并写入 FILE (与测量记录页导出的内容相同; 工作簿另有统计表:\n"
     "                    各数值列的个数、最小值、最大值、平均值、样本标准差, 照度/亮度/PPFD 的 U0、Ud)\n"
     "  spectra -o FILE   读取光谱数据并写入 FILE (仪器类型 1 至 5, 与光谱数据页导出的内容相同)\n"
     "  colour -o FILE    读取光谱数据并将每条记录的颜色写入 FILE (与光谱数据页的颜色表相同): x、y、\n"
     "                    u'、v'、相关色温、Duv、峰值波长、主波长、色纯度, CIE S 026 黑视素光效、\n"
     "                    DER、EDI (亮度计为 EDL), 以及 S/M/L 视锥和视杆的 DER。仪器只测量 400–700 nm,\n"
     "                    因此这些数值不如完整的 380–780 nm 测量准确 (黑视素数值: D65 在此范围外\n"
     "                    只占 0.02%, A 光源 0.01%; 10 nm 间隔使 D65 的 DER 为 1.0020)\n"
     "  history           列出存档中的下载 (每行一个, 以编号开头, 最后是标题和地点)\n"
     "  export ID -o FILE 将存档中编号为 ID 的下载写入 FILE (与当时 records、spectra 或 colour 写的相同),\n"
     "                    为其当前状态: 不含已删除的记录, 名称为输入的名称; 加 --original 则写仪器给出的原始数据。\n"
     "                    FILE 以 .pdf 结尾或 --format pdf 时写该下载的测量报告 (备注作为报告信息)\n"
     "  annotate ID       显示存档中编号为 ID 的下载的备注; 给出 --title、--location、--operator、--note\n"
     "                    时只修改给出的项 (空值清除该项)\n"
     "  export ID1,ID2,... -o FILE\n"
     "                    将这些光谱下载对比写入 FILE (各为其当前状态, 加 --original 则为原始数据): 所有记录\n"
     "                    在一张光谱表中, 编号带下载编号 (#12-3 为下载 12 的第 3 条记录), 各按自己仪器的\n"
     "                    单位; 仪器信息表列出每个下载\n"
     "  report -o FILE.pdf 读取测量记录 (仪器类型 1 至 5 还读取光谱数据) 并写成一份 PDF 测量报告:\n"
     "                    仪器、下载时间、记录表, 以及光谱曲线、CIE 1931 色品图、颜色表和光谱数据表\n"
     "\n"
     "选项:\n"
     "  --virtual-meter IMAGE  使用由仪器映像 IMAGE 描述的虚拟仪器, 而不是 USB 仪器\n"
     "  --catalog-dir DIR      从 DIR 读取 meterno、unitno 和 probeno\n"
     "  --lang zh|en           所有文字的语言 (默认按用户的语言环境 LANGUAGE、LC_ALL、LC_MESSAGES、\n"
     "                         LANG: zh 开头为中文, 其他为英文)\n"
     "  --format xls|xlsx|csv|json|pdf\n"
     "                         输出格式 (默认按 FILE 的后缀: .xlsx 为 xlsx, .csv 为 csv, .json 为 json,\n"
     "                         .pdf 为 pdf (只用于 export 和 report), 其他为 xls; -o - 为 csv)\n"
     "  --json                 即 --format json; list、identify、history 也以 JSON 输出\n"
     "  -o FILE                输出文件; - 为标准输出 (xls 和 xlsx 不写到终端)\n"
     "  --archive URL          存档位置: SQLite 文件 (默认在用户数据目录) 或 PostgreSQL 地址\n"
     "                         postgresql://user@host[:port]/db[?选项=值&...] (libpq 的全部连接选项,\n"
     "                         如 sslmode)。密码请用环境变量 PGPASSWORD 或 ~/.pgpass 给出, 不要写在地址中:\n"
     "                         其他用户能在进程列表中看到地址\n"
     "  --no-archive           不存档本次下载\n"
     "  --serial N             history: 只列出序列号为 N 的仪器; list、identify、records、spectra、\n"
     "                         colour: 只使用序列号为 N 的仪器 (即 list 第二列所示)\n"
     "  --since DATE           history: 只列出 DATE (如 2026-03-01) 以来的下载\n"
     "  --grep TEXT            history: 只列出标题、地点、测量人员或备注中含有 TEXT 的下载 (不分大小写)\n"
     "  --original             export: 写仪器给出的原始数据, 不含删除和改名\n"
     "  --title T              report: 报告标题 (默认 \"测量报告\"); annotate: 下载的标题\n"
     "  --location L           report、annotate: 项目或地点\n"
     "  --operator O           report、annotate: 测量人员\n"
     "  --note N               report、annotate: 备注 (可含换行)\n"
     "  --paper a4|letter      report、export: 纸张 (默认按语言环境: 美国和加拿大为 letter, 其他为 a4)\n"
     "  -q, --quiet            不显示进度\n"
     "  --help                 显示本帮助\n"
     "  --version              显示版本\n"
     "\n"
     "JSON 文档的格式见 /usr/share/doc/lumivane/json-format.md。进度和消息写到标准错误。\n"
     "\n"
     "退出状态: 0 成功, 1 失败, 2 用法错误。list: 至少一台仪器能打开时为 0。\n",
     "Commands:\n"
     "  list              list the attached meters: device node, serial number, and ok or why the\n"
     "                    meter cannot be opened\n"
     "  identify          read the meter: serial, firmware, model, kind, mode and record count\n"
     "  records -o FILE   download the measurement records into FILE (as the records page exports them;\n"
     "                    a workbook also gets a Statistics sheet: count, min, max, mean, sample SD of\n"
     "                    each numeric column, U0 and Ud of illuminance, luminance or PPFD)\n"
     "  spectra -o FILE   download the spectra into FILE (meter kinds 1 to 5, as the spectral page\n"
     "                    exports them)\n"
     "  colour -o FILE    download the spectra and write the colour of each record into FILE (as the\n"
     "                    spectral page's colour table): x, y, u', v', CCT, Duv, peak and dominant\n"
     "                    wavelength, purity, the CIE S 026 melanopic efficacy, DER and EDI (EDL for\n"
     "                    luminance meters) and the S-, M-, L-cone and rhodopic DERs. The meter\n"
     "                    measures only 400–700 nm, so these figures are less accurate than those of\n"
     "                    a full 380–780 nm measurement (melanopic: 0.02 % of D65's sum lies outside,\n"
     "                    0.01 % of illuminant A's; the 10 nm step puts D65's DER at 1.0020)\n"
     "  history           list the archived downloads, one per line, its ID first, its title and\n"
     "                    location last\n"
     "  export ID -o FILE write archived download ID into FILE, as records, spectra or colour\n"
     "                    wrote it, as it stands now: without the rows deleted, with the names typed\n"
     "                    (--original: as the meter gave it); a FILE ending in .pdf or --format pdf\n"
     "                    writes the download's report, its notes as the report's details\n"
     "  annotate ID       show the notes of archived download ID; with --title, --location,\n"
     "                    --operator or --note, change only those given (an empty value clears one)\n"
     "  export ID1,ID2,... -o FILE\n"
     "                    compare these spectral downloads in FILE (each as it stands now, or with\n"
     "                    --original as the meter gave it): all their records in one spectral table,\n"
     "                    numbered with their download (#12-3: record 3 of download 12), each in its\n"
     "                    own meter's unit; the Meter sheet lists every download\n"
     "  report -o FILE.pdf download the records (and, for meter kinds 1 to 5, the spectra) and\n"
     "                    write one PDF measurement report: the meter, the download time, the\n"
     "                    records table, the spectrum chart, the CIE 1931 diagram, the colour\n"
     "                    table and the spectral table\n"
     "\n"
     "Options:\n"
     "  --virtual-meter IMAGE  use the virtual meter described by the meter image IMAGE instead of\n"
     "                         the USB meter\n"
     "  --catalog-dir DIR      read meterno, unitno and probeno from DIR\n"
     "  --lang zh|en           the language of every text (default from the user's locale,\n"
     "                         LANGUAGE, LC_ALL, LC_MESSAGES, LANG: Chinese for zh..., else English)\n"
     "  --format xls|xlsx|csv|json|pdf\n"
     "                         the output format (default from FILE's suffix: .xlsx gives xlsx,\n"
     "                         .csv gives csv, .json gives json, .pdf gives pdf (export and report\n"
     "                         only), anything else xls; csv for -o -)\n"
     "  --json                 the same as --format json; list, identify and history print JSON too\n"
     "  -o FILE                the output file; - is standard output (xls and xlsx never to a\n"
     "                         terminal)\n"
     "  --archive URL          the archive: an SQLite file (default in the user's data folder) or a\n"
     "                         PostgreSQL address postgresql://user@host[:port]/db[?option=value&...]\n"
     "                         (every libpq connection option, such as sslmode). Give the password\n"
     "                         with PGPASSWORD or in ~/.pgpass, not in the address: other users can\n"
     "                         read the address in the process list\n"
     "  --no-archive           do not archive this download\n"
     "  --serial N             history: only the meter with serial number N; list, identify,\n"
     "                         records, spectra, colour: use only the meter with serial number N\n"
     "                         (as the second column of list shows it)\n"
     "  --since DATE           history: only downloads since DATE (such as 2026-03-01)\n"
     "  --grep TEXT            history: only downloads whose title, location, operator or note holds\n"
     "                         TEXT (in any case)\n"
     "  --original             export: what the meter gave, without the rows deleted and the names\n"
     "                         typed since\n"
     "  --title T              report: the report's title (default \"Measurement Report\");\n"
     "                         annotate: the download's title\n"
     "  --location L           report, annotate: the project or location\n"
     "  --operator O           report, annotate: who measured\n"
     "  --note N               report, annotate: a note (may hold line breaks)\n"
     "  --paper a4|letter      report, export: the paper (default from the locale: letter in the\n"
     "                         United States and Canada, a4 elsewhere)\n"
     "  -q, --quiet            no progress output\n"
     "  --help                 show this help\n"
     "  --version              show the version\n"
     "\n"
     "The JSON documents are described in /usr/share/doc/lumivane/json-format.md. Progress and\n"
     "messages go to standard error.\n"
     "\n"
     "Exit status: 0 success, 1 failure, 2 usage error; list: 0 when at least one meter can be opened.\n"},
    {"它是 --virtual-meter 给出的仪器映像, 不能被覆盖",
     "it is the meter image given with --virtual-meter and is not overwritten"},
    {"它是测量存档 (或其日志文件), 不能被覆盖",
     "it is the measurement archive (or one of its journal files) and is not overwritten"},
    {"警告: --archive 地址中的密码在进程列表中对其他用户可见; 请用 PGPASSWORD 或 ~/.pgpass 给出密码",
     "warning: the password in the --archive address is visible to other users in the process list; "
     "give it with PGPASSWORD or ~/.pgpass instead"},
    {"工作表最多容纳 %2 条记录, 而仪器中有 %1 条", "the sheet holds at most %2 records; the meter holds %1"},
    {"无法使用存档: %1", "the archive cannot be used: %1"},
    {"存档中没有编号为 %1 的下载", "the archive holds no download %1"},
    {"没有序列号为 %1 的仪器", "no meter with serial number %1 is attached"},
    {"标准输出", "standard output"},
    {"%1 是二进制格式, 不写到终端; 请将标准输出重定向到文件或管道, 或使用 --format csv 或 json",
     "%1 is a binary format and is not written to a terminal; redirect standard output to a file or a pipe, or "
     "use --format csv or json"},
    {"无法写入标准输出: %1", "cannot write to standard output: %1"},

    {"未知选项: %1", "unknown option: %1"},
    {"选项 %1 缺少参数", "option %1 needs a value"},
    {"选项 %1 的参数为空", "option %1 has an empty value"},
    {"选项 %1 重复", "option %1 given twice"},
    {"--lang 只能是 zh 或 en, 而不是 %1", "--lang takes zh or en, not %1"},
    {"--format 只能是 xls、xlsx、csv、json 或 pdf, 而不是 %1", "--format takes xls, xlsx, csv, json or pdf, not %1"},
    {"--format 只能是 xls、xlsx、csv 或 json, 而不是 %1", "--format takes xls, xlsx, csv or json, not %1"},
    {"缺少命令", "no command given"},
    {"未知命令: %1", "unknown command: %1"},
    {"多余的参数: %1", "unexpected argument: %1"},
    {"%1 需要 -o FILE", "%1 needs -o FILE"},
    {"%1 不写文件, 不接受 -o", "%1 writes no file and takes no -o"},
    {"不是有效的数字: %1", "not a number: %1"},
    {"--since 需要日期 (如 2026-03-01), 而不是 %1", "--since takes a date such as 2026-03-01, not %1"},
    {"%1 只用于 history 命令", "%1 is only for the history command"},
    {"%1 需要存档中的下载编号 ID", "%1 needs the ID of an archived download"},
    {"--archive 无法使用: %1", "--archive cannot be used: %1"},

    {"本次下载未存档: %1", "This download was not archived: %1"},
    {"无法识别设置 %1=%2 (可用 true/false、yes/no、on/off、1/0), 下载照常存档。",
     "The setting %1=%2 is not understood (use true/false, yes/no, on/off or 1/0); downloads are archived as "
     "before."},

    {"存档中编号为 %1 的下载已损坏: %2", "archived download %1 is damaged: %2"},
    {"其保存的单位和探头目录无法读取", "its stored catalogs cannot be read"},
    {"仪器类型 %1 未知", "its meter kind %1 is unknown"},
    {"表格 %1 未知或不适用于仪器类型 %2", "its table %1 is unknown or does not fit meter kind %2"},
    {"单位槽不完整 (%1 个, 应为 %2 个)", "its unit slots are incomplete (%1 of %2)"},
    {"记录数量 %1 不可能", "its record count %1 is impossible"},
    {"%1 条记录需要 %2 字节的记录数据, 但存档中有 %3 字节",
     "its %1 records need %2 bytes of record memory, but %3 bytes are stored"},
    {"%1 条记录需要 %2 字节的名称数据, 但存档中有 %3 字节",
     "its %1 records need %2 bytes of name memory, but %3 bytes are stored"},

    {"历史记录", "History"},
    {"下载历史", "Download history"},
    {"编号", "ID"},
    {"表格", "Table"},
    {"测量记录", "Records"},
    {"光谱数据", "Spectra"},
    {"颜色", "Colours"},
    {"从", "From"},
    {"到", "To"},
    {"不限", "Any"},
    {"打开", "Open"},
    {"导出", "Export"},
    {"关闭", "Close"},
    {"删除选中的下载？删除后无法恢复。", "Delete the selected download? It cannot be restored."},
    {"无法使用存档：%1", "The archive cannot be used: %1"},
    {"下载备注", "Notes"},
    {"查找", "Find"},
    {"序列号的一部分, 或标题、地点、测量人员、备注中的任何文字",
     "Part of a serial number, or any text of the title, location, operator or note"},
    {"恢复原始数据", "Restore Original"},
    {"放弃对该下载的所有修改 (名称、删除的行、曲线), 恢复仪器给出的原始数据？",
     "Give up every change made to this download (names, deleted rows, curves) and go back to what the meter gave?"},
    {"修改无法保存到存档：%1\n修改仍保留在窗口中。", "The changes could not be saved to the archive: %1\nThey stay in the window."},
    {"备注无法保存到存档：%1\n备注仍保留在对话框中。", "The notes could not be saved to the archive: %1\nThey stay in the dialog."},

    {"没有访问权限", "permission denied"},
    {"正被其他程序使用", "held by another program"},
    {"设备不存在", "no such device"},
    {"无法打开仪器 %1: %2。%3", "Cannot open the meter at %1: %2. %3"},
    {"请安装 udev 规则, 然后重新插入仪器。", "Install the udev rule, then plug the meter in again."},
    {"udev 规则已安装: 请重新加载规则或重新插入仪器。",
     "The udev rule is installed: reload the rules or plug the meter in again."},
    {"请关闭正在使用仪器的其他程序。", "Close the other program that uses the meter."},
    {"请重新插入仪器。", "Plug the meter in again."},

    {"导出色度", "Export Colour"},
    {"保存图表…", "Save Chart…"},
    {"保存图表", "Save Chart"},
    {"光谱图", "Spectrum"},
    {"色品图", "Chromaticity"},
    {"图表无法保存: %1", "The chart could not be saved: %1"},
    {"CIE 1931 色品图", "CIE 1931 chromaticity diagram"},
    {"%1 nm, %2", "%1 nm, %2"},
    {"另有 %1 条", "%1 more"},

    {"%1 nm, %2 (%3)", "%1 nm, %2 (%3)"},
    {"相对功率 (各曲线峰值 = 1)", "Power relative to each peak"},
    {"功率", "Power"},
    {"纵轴(&S):", "&Scale:"},
    {"相对最大值", "Relative to the largest"},
    {"各曲线按自身峰值", "Each curve to its own peak"},
    {"绝对值", "Absolute"},
    {"相对最大值: 最大值为 1.0; 各曲线按自身峰值: 每条曲线的峰值为 1.0; 绝对值: 以光谱单位显示数值",
     "Relative to the largest: the largest value reads 1.0; each curve to its own peak: every peak reads 1.0; "
     "absolute: the values in the spectral unit"},

    {"多功能照度计", "Multi-function illuminance meter"},
    {"照度紫外计", "Illuminance and UV meter"},
    {"亮度计", "Luminance meter"},
    {"多功能照度计（记录名称）", "Multi-function illuminance meter, named records"},
    {"光谱照度计", "Spectral illuminance meter"},
    {"探头功率计", "Probe power meter"},

    {"仪器只测量 400–700 nm：以上数值接近但不等于 380–780 nm 全范围测量的结果。",
     "The meter measures 400–700 nm only: these figures are close to, not equal to, those of a full 380–780 nm "
     "measurement."},

    {"黑视素光效(mW/lm)", "Mel ELR(mW/lm)"},
    {"黑视素DER", "Mel DER"},
    {"黑视素EDI(lx)", "Mel EDI(lx)"},
    {"黑视素EDL(cd/m²)", "Mel EDL(cd/m²)"},
    {"S视锥DER", "S-cone DER"},
    {"M视锥DER", "M-cone DER"},
    {"L视锥DER", "L-cone DER"},
    {"视杆DER", "Rhodopic DER"},

    {"统计", "Statistics"},
    {"统计量", "Figure"},
    {"行数", "Rows"},
    {"数值个数", "Values"},
    {"最小值", "Minimum"},
    {"最大值", "Maximum"},
    {"平均值", "Mean"},
    {"标准差(样本)", "SD (sample)"},
    {"U0 最小/平均", "U0 min/mean"},
    {"Ud 最小/最大", "Ud min/max"},
    {"统计: 全部 %1 行", "Statistics: all %1 rows"},
    {"统计: 选中 %1 行 (共 %2 行)", "Statistics: %1 selected of %2 rows"},
    {"%1 / %2", "%1 of %2"},
    {"有数值的单元格个数 / 统计的行数; 显示 \"----\" 或 \"无频闪\" 的单元格不计入",
     "Cells with a value of the rows counted; cells showing \"----\" or \"No\" are left out"},
    {"样本标准差: 平方偏差之和除以 n − 1 后开方; 只有一个数值时为 \"----\"",
     "Sample standard deviation: the root of the squared deviations' sum over n − 1; \"----\" for one value"},
    {"均匀度 U0 = 最小值 / 平均值 (EN 12464-1)", "Uniformity U0 = minimum / mean (EN 12464-1)"},
    {"均匀度 Ud = 最小值 / 最大值", "Uniformity Ud = minimum / maximum"},
    {"%1 只用于 report 和 annotate 命令", "%1 is only for the report and annotate commands"},
    {"--paper 只能是 a4 或 letter, 而不是 %1", "--paper takes a4 or letter, not %1"},
    {"%1 只用于 export 命令", "%1 is only for the export command"},

    {"对比光谱", "Compare Spectra"},
    {"在一个表格和图表中对比所选下载的光谱", "Compare the spectra of the selected downloads in one table and chart"},
    {"选择两个或更多光谱下载 (按住 Ctrl 或 Shift 选择) 即可对比",
     "Select two or more spectral downloads (hold Ctrl or Shift) to compare them"},
    {"只能对比光谱下载 (仪器类型 1 至 5); 所选的下载中有记录表",
     "Only spectral downloads (meter kinds 1 to 5) can be compared; the selection holds a records table"},
    {"光谱对比", "Spectral Comparison"},
    {"下载", "Download"},
    {"光谱单位", "Spectral unit"},
    {"下载 %1 不是光谱下载 (仪器类型 1 至 5 的光谱表或颜色表), 不能对比",
     "download %1 is no spectral download (a spectral or colour table of meter kinds 1 to 5) and cannot be compared"},
};

static_assert(sizeof texts / sizeof texts[0] == size_t(Text::Count), "one text pair per id");

} // namespace

QString TextCatalogue::text(Text id, bool chinese)
{
    const int index = int(id);
    if (index < 0 || index >= int(Text::Count))
        return QString();
    const Pair &pair = texts[index];
    return QString::fromUtf8(chinese ? pair.chinese : pair.english);
}
