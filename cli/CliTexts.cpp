#include "CliTexts.h"

#ifndef LUMIVANE_VERSION
#define LUMIVANE_VERSION "unknown"
#endif

namespace {

struct Pair
{
    const char *chinese;
    const char *english;
};

QString pick(const Pair &pair, bool chinese)
{
    return QString::fromUtf8(chinese ? pair.chinese : pair.english);
}

// In Message order.
const Pair messages[] = {
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
};

static_assert(sizeof messages / sizeof messages[0] == CliTexts::FolderNotWritable + 1, "one text pair per message");

const Pair helpBody = {
    "命令:\n"
    "  identify          读取仪器信息: 序列号、固件版本、型号、类型、模式和记录数量\n"
    "  records -o FILE   读取测量记录并写入 FILE (与测量记录页导出的内容相同)\n"
    "  spectra -o FILE   读取光谱数据并写入 FILE (仪器类型 1 至 5, 与光谱数据页导出的内容相同)\n"
    "\n"
    "选项:\n"
    "  --virtual-meter IMAGE  使用由仪器映像 IMAGE 描述的虚拟仪器, 而不是 USB 仪器\n"
    "  --catalog-dir DIR      从 DIR 读取 meterno、unitno 和 probeno\n"
    "  --lang zh|en           所有文字的语言 (默认 zh)\n"
    "  --format xls|csv       输出格式 (默认按 FILE 的后缀: .csv 为 csv, 其他为 xls)\n"
    "  -q, --quiet            不显示进度\n"
    "  --help                 显示本帮助\n"
    "  --version              显示版本\n"
    "\n"
    "退出状态: 0 成功, 1 失败, 2 用法错误。\n",
    "Commands:\n"
    "  identify          read the meter: serial, firmware, model, kind, mode and record count\n"
    "  records -o FILE   download the measurement records into FILE (as the records page exports them)\n"
    "  spectra -o FILE   download the spectra into FILE (meter kinds 1 to 5, as the spectral page\n"
    "                    exports them)\n"
    "\n"
    "Options:\n"
    "  --virtual-meter IMAGE  use the virtual meter described by the meter image IMAGE instead of\n"
    "                         the USB meter\n"
    "  --catalog-dir DIR      read meterno, unitno and probeno from DIR\n"
    "  --lang zh|en           the language of every text (default zh)\n"
    "  --format xls|csv       the output format (default from FILE's suffix: .csv gives csv,\n"
    "                         anything else xls)\n"
    "  -q, --quiet            no progress output\n"
    "  --help                 show this help\n"
    "  --version              show the version\n"
    "\n"
    "Exit status: 0 success, 1 failure, 2 usage error.\n"};

QString reason(const UsageError &error, bool chinese)
{
    const QString &a = error.argument;
    switch (error.kind) {
    case UsageError::None:
        break;
    case UsageError::UnknownOption:
        return chinese ? QStringLiteral("未知选项: %1").arg(a) : QStringLiteral("unknown option: %1").arg(a);
    case UsageError::MissingValue:
        return chinese ? QStringLiteral("选项 %1 缺少参数").arg(a) : QStringLiteral("option %1 needs a value").arg(a);
    case UsageError::EmptyValue:
        return chinese ? QStringLiteral("选项 %1 的参数为空").arg(a)
                       : QStringLiteral("option %1 has an empty value").arg(a);
    case UsageError::RepeatedOption:
        return chinese ? QStringLiteral("选项 %1 重复").arg(a) : QStringLiteral("option %1 given twice").arg(a);
    case UsageError::BadLanguage:
        return chinese ? QStringLiteral("--lang 只能是 zh 或 en, 而不是 %1").arg(a)
                       : QStringLiteral("--lang takes zh or en, not %1").arg(a);
    case UsageError::BadFormat:
        return chinese ? QStringLiteral("--format 只能是 xls 或 csv, 而不是 %1").arg(a)
                       : QStringLiteral("--format takes xls or csv, not %1").arg(a);
    case UsageError::NoCommand:
        return chinese ? QStringLiteral("缺少命令") : QStringLiteral("no command given");
    case UsageError::UnknownCommand:
        return chinese ? QStringLiteral("未知命令: %1").arg(a) : QStringLiteral("unknown command: %1").arg(a);
    case UsageError::ExtraArgument:
        return chinese ? QStringLiteral("多余的参数: %1").arg(a) : QStringLiteral("unexpected argument: %1").arg(a);
    case UsageError::MissingOutput:
        return chinese ? QStringLiteral("%1 需要 -o FILE").arg(a) : QStringLiteral("%1 needs -o FILE").arg(a);
    case UsageError::OutputNotAllowed:
        return chinese ? QStringLiteral("%1 不写文件, 不接受 -o").arg(a)
                       : QStringLiteral("%1 writes no file and takes no -o").arg(a);
    }
    return {};
}

} // namespace

QString CliTexts::text(Message message, bool chinese)
{
    return pick(messages[message], chinese);
}

QString CliTexts::synopsis()
{
    return QStringLiteral("lumivane-cli [OPTIONS] identify\n"
                          "lumivane-cli [OPTIONS] records -o FILE\n"
                          "lumivane-cli [OPTIONS] spectra -o FILE\n"
                          "lumivane-cli --help | --version\n");
}

QString CliTexts::help(bool chinese)
{
    const QString heading = chinese ? QStringLiteral("用法:\n") : QStringLiteral("Usage:\n");
    QString indented;
    for (const QString &line : synopsis().split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        indented += QStringLiteral("  ") + line + QLatin1Char('\n');
    return heading + indented + QLatin1Char('\n') + pick(helpBody, chinese);
}

QString CliTexts::usage(const UsageError &error, bool chinese)
{
    const QString more = chinese ? QStringLiteral("更多信息请运行 lumivane-cli --help\n")
                                 : QStringLiteral("Run lumivane-cli --help for more.\n");
    return QStringLiteral("lumivane-cli: ") + reason(error, chinese) + QLatin1Char('\n')
           + (chinese ? QStringLiteral("用法:\n") : QStringLiteral("Usage:\n")) + synopsis() + more;
}

QString CliTexts::version()
{
    return QStringLiteral("lumivane-cli " LUMIVANE_VERSION "\n");
}
