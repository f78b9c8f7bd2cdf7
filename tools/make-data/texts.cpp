#include "texts.h"

#include <QHash>

namespace makedata {

namespace {

// The scene replaces a page's texts as a whole, so every group must carry the
// full count of its built-in set, trailing empty slots included.
QStringList padded(QStringList texts, int total) {
    Q_ASSERT(texts.size() <= total);
    while (texts.size() < total)
        texts << QString();
    return texts;
}

QStringList englishKeyLabels() {
    QStringList l;
    for (char c = 'A'; c <= 'Z'; ++c)
        l << QString(QChar(c));
    for (int d = 1; d <= 9; ++d)
        l << QString::number(d);
    l << "0";
    l << "Enter"
      << "Esc"
      << "Back"
      << "Tab"
      << "Space";
    // 0x31 and 0x32 (US and non-US backslash) print the same key cap.
    l << "-"
      << "="
      << "["
      << "]"
      << "\\"
      << "\\"
      << ";"
      << "'"
      << "`" << QString::fromUtf8("，") << "."
      << "/";
    l << "Caps";
    for (int f = 1; f <= 12; ++f)
        l << QString("F%1").arg(f);
    l << "Prt"
      << "Scr"
      << "Pau"
      << "Ins"
      << "Hom"
      << "Pgu"
      << "Del"
      << "End"
      << "PgD";
    l << QString::fromUtf8("►") << QString::fromUtf8("◄") << QString::fromUtf8("▼")
      << QString::fromUtf8("▲");
    l << "Num"
      << "KP/"
      << "KP*"
      << "KP-"
      << "KP+"
      << "KPEnter";
    for (int d = 1; d <= 9; ++d)
        l << QString("KP%1").arg(d);
    l << "KP0"
      << "KP.";
    l << "Eur2"
      << "App"
      << "Power"
      << "KP=";
    for (int f = 13; f <= 24; ++f)
        l << QString("F%1").arg(f);
    l << "Keypad";
    // International3 needs a label of its own: labels map back to the first
    // code that carries them.
    l << "Intl1"
      << "Intl2"
      << "Intl3"
      << "Intl4"
      << "Intl5";
    l << "Lang1"
      << "Lang2";
    l << "LCtrl"
      << "LShift"
      << "LAlt"
      << "LWin"
      << "RCtrl"
      << "RShift"
      << "RAlt"
      << "RWin";
    l << "MS-L"
      << "MS-R"
      << "MS-M"
      << "MS-B4"
      << "MS-B5";
    return l;
}

QStringList chineseKeyLabels() {
    // Chinese keyboards print the same caps as US ones for letters, digits,
    // function and navigation keys; only the named keys get Chinese names.
    const QHash<int, const char *> names = {
        {0x28, "回车"},      {0x2A, "退格"},     {0x2C, "空格"},     {0x39, "大写锁定"},
        {0x46, "截屏"},      {0x65, "菜单"},     {0x66, "电源"},     {0x85, "小键盘逗号"},
        {0xE0, "左Ctrl"},    {0xE1, "左Shift"},  {0xE2, "左Alt"},    {0xE3, "左Win"},
        {0xE4, "右Ctrl"},    {0xE5, "右Shift"},  {0xE6, "右Alt"},    {0xE7, "右Win"},
        {0xF0, "鼠标左键"},  {0xF1, "鼠标右键"}, {0xF2, "鼠标中键"}, {0xF3, "鼠标侧键4"},
        {0xF4, "鼠标侧键5"},
    };
    QStringList l = englishKeyLabels();
    const QList<int> codes = keyLabelCodes();
    for (int i = 0; i < codes.size(); ++i) {
        auto it = names.constFind(codes[i]);
        if (it != names.constEnd())
            l[i] = QString::fromUtf8(it.value());
    }
    return l;
}

QStringList u8(std::initializer_list<const char *> texts) {
    QStringList l;
    for (const char *t : texts)
        l << QString::fromUtf8(t);
    return l;
}

QStringList dpiNotices(const char *prefix) {
    QStringList l;
    for (int s = 1; s <= 8; ++s)
        l << QString::fromUtf8(prefix) + QString::number(s);
    return l;
}

} // namespace

QList<int> keyLabelCodes() {
    QList<int> c;
    for (int u = 0x04; u <= 0x73; ++u)
        c << u;
    c << 0x85;
    for (int u = 0x87; u <= 0x8B; ++u)
        c << u;
    c << 0x90 << 0x91;
    for (int u = 0xE0; u <= 0xE7; ++u)
        c << u;
    for (int u = 0xF0; u <= 0xF4; ++u)
        c << u;
    return c;
}

QList<TextGroup> englishGroups() {
    return {
        {"main",
         padded(u8({"Editor", "Macro Editor", "Gun Editor", "Report Rate", "Config", "Reset",
                    "Reset factory setting", "Cancel", "OK", "System setting", "Save"}),
                15)},
        {"keyMatrix", u8({"Key ", "Key Function"})},
        {"keyAssigment",
         padded(u8({"Key ", "Mouse Function", "Left Key", "Middle Key", "Right Key", "Forward Key",
                    "Back Key", "Double Fire", "Fire Function", "Key Value", "Click Input", "Rate",
                    "Times", "Endness", "Group Function", "Media Function", "Macro Function",
                    "Macro Editor", "Macro runs one-time after pressing the button",
                    "Macro runs endless loop until any button is pressed",
                    "Macro runs endless loop until button is released", "DPI Function", "DPI+",
                    "DPI-", "DPI LOOP", "Windows Function", "Shortcut Function",
                    // media
                    "Player", "Next", "Privous", "Stop", "Mute", "Play/Pause", "Volumn+", "Volumn-",
                    // Windows functions
                    "My PC", "Index", "Search", "Max", "Min", "Desktop", "Run",
                    // shortcuts
                    "New", "Cut", "Copy", "Paste", "Save", "Print", "Find", "Redo", "Undo",
                    "Select All",
                    // gun and sniper
                    "Gun Function", "One Gun", "Two Gun", "Three Gun", "Sniper Key"}),
                60)},
        {"dpiSetting", padded(u8({"DPI"}), 5)},
        {"lightControl", padded(u8({"Light", "Static", "Breath", "Neon", "OFF", "Speed", "Color",
                                    "Brightness", "Twinkling", "Wave", "Gliding", "Finger Moving",
                                    "Vertical Flipping", "YO-YO", "Spotlight", "Breath Loop"}),
                                20)},
        {"macroEditor",
         padded(u8({"Macro Editor", "Macro Name", "New", "Delete", "Action", "Stop Record", "Times",
                    "OK", "Start Record", "Delay", "Delete", "Import", "Export", "Insert Delay",
                    "Insert Key", "Insert Left Key", "Insert Middle Key", "Insert Right Key"}),
                20)},
        {"systemSetting",
         padded(u8({"System Setting", "Mouse Speed", "Double Click Speed", "Slow", "Fast",
                    "Scroll Speed", "Number of Rows", "Scroll one Screen"}),
                15)},
        {"gunControl", u8({"Gun editor", "Gun", "Select gun", "Cursor Adjust", "X Axis", "Y axis",
                           "Fire adjust", "Rate", "Times", "Endness"})},
        {"profile", padded(u8({"config", "New", "Import", "Delete", "Export", "Standard"}), 20)},
        {"keyCode", englishKeyLabels()},
        {"other", dpiNotices("DPI stage ")},
    };
}

QList<TextGroup> chineseSimplifiedGroups() {
    return {
        {"main", padded(u8({"编辑器", "宏编辑器", "枪械编辑器", "回报率", "配置", "重置",
                            "恢复出厂设置", "取消", "确定", "系统设置", "保存"}),
                        15)},
        // The panel appends " 1" … " 8" itself; the dialog title does not.
        {"keyMatrix", u8({"按键", "按键功能"})},
        {"keyAssigment", padded(u8({"按键 ",
                                    "鼠标功能",
                                    "左键",
                                    "中键",
                                    "右键",
                                    "前进键",
                                    "后退键",
                                    "双击",
                                    "连发功能",
                                    "键值",
                                    "点击输入",
                                    "速率",
                                    "次数",
                                    "无限",
                                    "组合键功能",
                                    "多媒体功能",
                                    "宏功能",
                                    "宏编辑器",
                                    "按下按键后宏执行一次",
                                    "宏循环执行，直到按下任意键",
                                    "宏循环执行，直到松开该按键",
                                    "DPI 功能",
                                    "DPI+",
                                    "DPI-",
                                    "DPI 循环",
                                    "Windows 功能",
                                    "快捷键功能",
                                    "播放器",
                                    "下一曲",
                                    "上一曲",
                                    "停止",
                                    "静音",
                                    "播放/暂停",
                                    "音量+",
                                    "音量-",
                                    "我的电脑",
                                    "主页",
                                    "搜索",
                                    "最大化",
                                    "最小化",
                                    "显示桌面",
                                    "运行",
                                    "新建",
                                    "剪切",
                                    "复制",
                                    "粘贴",
                                    "保存",
                                    "打印",
                                    "查找",
                                    "重做",
                                    "撤销",
                                    "全选",
                                    "枪械功能",
                                    "单枪切换",
                                    "双枪切换",
                                    "三枪切换",
                                    "狙击键"}),
                                60)},
        {"dpiSetting", padded(u8({"DPI"}), 5)},
        {"lightControl",
         padded(u8({"灯光", "常亮", "呼吸", "霓虹", "关闭", "速度", "颜色", "亮度", "闪烁", "波浪",
                    "流光", "按键触发", "垂直翻转", "悠悠球", "聚光灯", "循环呼吸"}),
                20)},
        {"macroEditor", padded(u8({"宏编辑器", "宏名称", "新建", "删除", "动作", "停止录制", "次数",
                                   "确定", "开始录制", "延时", "删除", "导入", "导出", "插入延时",
                                   "插入按键", "插入左键", "插入中键", "插入右键"}),
                               20)},
        {"systemSetting", padded(u8({"系统设置", "鼠标速度", "双击速度", "慢", "快", "滚轮速度",
                                     "滚动行数", "一次滚动一屏"}),
                                 15)},
        {"gunControl", u8({"枪械编辑器", "枪械", "选择枪械", "准星调整", "X 轴", "Y 轴", "射击调整",
                           "射速", "次数", "无限"})},
        {"profile", padded(u8({"配置", "新建", "导入", "删除", "导出", "标准"}), 20)},
        {"keyCode", chineseKeyLabels()},
        {"other", dpiNotices("DPI 档位 ")},
    };
}

} // namespace makedata
