#include "RecordMessages.h"

namespace {

struct Texts
{
    const char *chinese;
    const char *english;
};

// In Message order. The English record texts end with a full-width exclamation mark.
const Texts texts[] = {
    {"读取关键信息失败!", "Failed to read key infomation!"},
    {"仪器版本过低!", "The instrument version is too low!"},
    {"仪器与软件不匹配!", "The Instrument and the Software do Not Match!"},
    {"读取单位编号失败!", "Failed to read unit no!"},
    {"读取模式失败!", "Failed to read mode!"},
    {"读取记录数量失败!", "Failed to Read Record Number！"},
    {"读取记录数据失败!", "Failed to Read Record Data！"},
    {"读取记录名称失败!", "Failed to Read Record Name！"},
    {"导入数据会先清空列表，是否保存数据？", "Importing Data Will First Clear the List. Do You Want to Save the Data?"},
    {"清除数据将会清除所有的记录，是否确认清除?",
     "Clear data will clear all records. Are you sure you want to clear it?"},
    {"正在读取记录，请等待……", "Reading record, please wait..."},
    {"取消", "Cancel"},
    {"删除", "Delete"},
};

static_assert(sizeof texts / sizeof texts[0] == RecordMessages::DeleteButton + 1, "one text pair per message");

} // namespace

QString RecordMessages::title(bool languageFlag)
{
    return languageFlag ? QStringLiteral("提示") : QStringLiteral("Tip");
}

QString RecordMessages::text(Message message, bool languageFlag)
{
    const Texts &pair = texts[message];
    return QString::fromUtf8(languageFlag ? pair.chinese : pair.english);
}
