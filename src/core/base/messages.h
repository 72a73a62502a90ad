#pragma once
// Every text the program shows in a message box, in one place (the
// questions are in questions.h). The texts are the engineers' own and are
// used byte for byte; the command templates live in mml/templates.h.

#include <string>
#include <string_view>

namespace brindle::msg {

// ---- libraries: start window ------------------------------------------------
inline constexpr std::string_view kDeleted = "删除成功！";
inline constexpr std::string_view kDeleteFailed = "删除文件出错！";
inline constexpr std::string_view kChoose4G = "请选择4G工参库";
inline constexpr std::string_view kLibraryEmpty = "该工参库无数据，请导入工参库！";
inline constexpr std::string_view kNo2G = "没有选择2G工参库，只能生成4G脚本！";
// A file in mu/ or mu2/ that Brindle did not write (or a library of the
// other kind); it is refused and never modified.
inline constexpr std::string_view kNotALibrary = "不是Brindle工参库，已拒绝打开：";  // + path
inline constexpr std::string_view kWrongKind4G = "该文件是2G工参库，不能作为4G工参库使用：";
inline constexpr std::string_view kWrongKind2G = "该文件是4G工参库，不能作为2G工参库使用：";
inline constexpr std::string_view kLibraryUnreadable = "工参库无法读取：";  // + path + reason
inline constexpr std::string_view kLibraryUnwritable = "工参库无法写入：";  // + path + reason
// A record to be written with another number of fields than its library has.
inline constexpr std::string_view kFieldCountMismatch = "记录的字段数不符";

// ---- cell lookup ------------------------------------------------------------
inline constexpr std::string_view kCellMissing = "小区不存在！";  // after the name
// The capacity-expansion page says it its own way.
inline constexpr std::string_view kCellNameMissing = "小区名不存在！";  // after the name
// The check box of a message that can come once per name of a run.
inline constexpr std::string_view kQuietRepeats = "本次运行不再提示";
// A run that missed names closes with its success message + "\r\n" +
// kRunLinesHead + lines made + kRunLinesTail + names missed + kRunMissedTail;
// the box's details list the missed names, one a line (the command line has
// said each of them already).
inline constexpr std::string_view kRunLinesHead = "共生成";
inline constexpr std::string_view kRunLinesTail = "行脚本，";
inline constexpr std::string_view kRunMissedTail = "个小区不存在。";
// A listed name stands between these brackets, its blanks marked, so that
// an empty name or a trailing space can be seen.
inline constexpr std::string_view kNameOpen = "「";
inline constexpr std::string_view kNameClose = "」";
inline constexpr std::string_view kSpaceMark = "·";
inline constexpr std::string_view kWideSpaceMark = "□";  // U+3000
inline constexpr std::string_view kTabMark = "→";
// The details' first line when a listed name holds a marked character.
inline constexpr std::string_view kBlankLegend =
    "（“·”为空格，“□”为全角空格，“→”为制表符，“\\xHH”为其他控制字符）";

// ---- a run the engineer stopped ---------------------------------------------
// The error of a run that ended at the engineer's stop; it is not shown, the
// window that offered the stop knowing why the run ended.
inline constexpr std::string_view kStopped = "已停止";

// ---- library query and record editing ----------------------------------------
inline constexpr std::string_view kNothingSelected = "你没有选中项目";
inline constexpr std::string_view kIdNotFound = "查找不到ID";
inline constexpr std::string_view kEdited = "修改成功";
inline constexpr std::string_view kEditWriteFailed = "修改失败，写入失败";

// ---- script panes and script files ------------------------------------------
inline constexpr std::string_view kWriteFailed = "写出失败";
inline constexpr std::string_view kNoScriptToSave = "没有脚本，复制失败！";
inline constexpr std::string_view kSaved = "复制完成";
inline constexpr std::string_view kClipboardFailed = "复制内容失败";
inline constexpr std::string_view kCopied = "复制成功！";
inline constexpr std::string_view kNoCommandToCopy = "无脚本命令，复制失败！";
inline constexpr std::string_view kNothingToCopy = "没有脚本，复制个啥子嘛！！";
inline constexpr std::string_view kCopiedPasteNow = "复制成功,直接粘贴！";  // 负载均衡优化
inline constexpr std::string_view kScriptFilter = "文本文档（*.TXT）|*.TXT";
inline constexpr std::string_view kToolScriptFilter = "文本|*.txt";  // the PCI change window's save
// Script files chosen or saved by the splitter, the export tools (but PCI
// change) and the checker.
inline constexpr std::string_view kScriptFileFilter = "脚本文件|*.txt";
// Reasons that follow kWriteFailed when a chosen file cannot be written.
inline constexpr std::string_view kNotGbkAtLine = "第";  // + line + kNotGbkTail
inline constexpr std::string_view kNotGbkTail = "行含有GBK编码无法表示的字符，未写出任何内容";
inline constexpr std::string_view kReadOnlyFile = "文件为只读";
inline constexpr std::string_view kNotAPlainFile = "不是普通文件";
inline constexpr std::string_view kFileExists = "文件已存在：";  // + path
// A save that picked a library, a settings file or the export workbook in use.
inline constexpr std::string_view kFileInUse = "不能覆盖正在使用的文件：";  // + path
inline constexpr std::string_view kNameTooLong = "文件名过长，超过了文件系统允许的长度";

// ---- settings files (mu/EARFCN.ini, mu/2G.ini) --------------------------------
// Why a setting could not be written; they follow kWriteFailed like the
// reasons above.
inline constexpr std::string_view kNoSuchFolder = "文件夹不存在";
inline constexpr std::string_view kFileUnreadable = "文件无法读取";
// A settings file saved as UTF-8: a GBK line written into it would leave a
// file that is neither.
inline constexpr std::string_view kFileNotGbk = "文件不是GBK编码";
inline constexpr std::string_view kDanglingLink = "链接指向的文件不存在";
inline constexpr std::string_view kBadSectionName = "节名无法写入配置文件：";  // + name
inline constexpr std::string_view kBadKeyName = "键名无法写入配置文件：";      // + name
inline constexpr std::string_view kBadValue = "值含有换行或空字符，无法写入配置文件";
inline constexpr std::string_view kNotGbkSetting = "含有GBK编码无法表示的字符：";  // + text

// ---- the settings windows (frequency plan, 2G settings) ----------------------
inline constexpr std::string_view kSettingWriteFailed = "写入失败，请重新写入";
inline constexpr std::string_view kPlanSaved = "配置数据写入成功！";
inline constexpr std::string_view kSettings2GSaved = "数据保存成功";
// Told once before an add-carrier run whose plan file reads as empty or
// garbled; followed by the file's path.
inline constexpr std::string_view kPlanMissing = "频点配置文件不存在：";
inline constexpr std::string_view kPlanUnreadable = "频点配置文件无法读取：";
inline constexpr std::string_view kPlanNotGbk = "频点配置文件不是GBK编码：";
// The "5G频段" tab of the plan editor: its boxes have no place in EARFCN.ini.
inline constexpr std::string_view kG5TabNotStored = "此页的值不保存到配置文件，仅供对照。";

// ---- the command line ---------------------------------------------------------
inline constexpr std::string_view kStdoutFailed = "无法写出到标准输出";
// An output of a run that names a file the run reads, or that another output
// names; nothing is written. Option + this + path; two options joined by
// kAnd + this + path.
inline constexpr std::string_view kOutputIsInput = " 不能覆盖本次要读取的文件：";
inline constexpr std::string_view kOutputsOneFile = " 不能写入同一个文件：";
inline constexpr std::string_view kAnd = " 和 ";
// An import refused because the workbook does not look like its kind.
inline constexpr std::string_view kImportNeedsForce = "未导入：确认要导入请加 --force";
// The command line's edit of a record with values the script checker rejects.
inline constexpr std::string_view kEditNeedsForce = "未修改：确认要写入这些值请加 --force";
// A settings file read for one value that cannot be read, or is not GBK;
// followed by the file's path.
inline constexpr std::string_view kSettingsUnreadable = "配置文件无法读取：";
inline constexpr std::string_view kSettingsNotGbk = "配置文件不是GBK编码：";

// ---- workbook import --------------------------------------------------------
inline constexpr std::string_view kImportTitleHead = "工参导入（";  // + path + ")"
inline constexpr std::string_view kImportTitleTail = ")";
inline constexpr std::string_view kWorkbookReadHead = "工参打开成功！含";  // + count
inline constexpr std::string_view kWorkbookReadTail = "条";
inline constexpr std::string_view kImportOk = "OK";
inline constexpr std::string_view kCreateDbFailed = "创建数据库失败！";
inline constexpr std::string_view kOpenExistingDbFailed = "打开数据库失败";
inline constexpr std::string_view kImportAgain = "\r\n请再导入一次试试！";  // after the error
inline constexpr std::string_view kWorkbookHasNoRows = "工作簿中没有数据行";
// A library whose name (the workbook's) is too long for the file system to
// keep its journal beside it: + the library's file name.
inline constexpr std::string_view kLibraryNameTooLong = "工参库文件名过长，请缩短工作簿的文件名：";
inline constexpr std::string_view kOpenWorkbookFirst = "请先打开工参！";
// The details of a workbook that does not look like the kind it is imported
// as (after the question "该工作簿不像4G工参，仍要导入吗？"): the header's
// cells, the kind's columns, and how many columns the workbook has.
inline constexpr std::string_view kImportHeaderWas = "表头为：";  // + cells joined by kImportJoin
inline constexpr std::string_view kImportExpected = "应为：";     // + field names
inline constexpr std::string_view kImportJoin = "、";
inline constexpr std::string_view kImportBlankCell = "（空）";
inline constexpr std::string_view kImportColumnsHead = "只有";  // + N + mid + M + tail
inline constexpr std::string_view kImportColumnsMid = "列，应有";
inline constexpr std::string_view kImportColumnsTail = "列";

// ---- reading a workbook (import, export workbook) -------------------------------
// A workbook that cannot be read, in the import and the export tools alike:
// kWorkbookUnreadable + path + "\r\n" + one of the reasons below
// (workbook::message puts them together).
inline constexpr std::string_view kWorkbookUnreadable = "无法读取工作簿：";
inline constexpr std::string_view kWorkbookMissing = "文件不存在";
inline constexpr std::string_view kWorkbookCannotOpen = "文件无法打开";
inline constexpr std::string_view kWorkbookUnrecognised =
    "不是可识别的工作簿（支持 .xlsx、.xlsm、.xls、.csv）";
inline constexpr std::string_view kWorkbookDamaged = "文件已损坏";
inline constexpr std::string_view kWorkbookPassword = "工作簿有密码保护";
inline constexpr std::string_view kWorkbookNoSheets = "工作簿中没有工作表";
inline constexpr std::string_view kWorkbookEncoding = "文件编码无法识别（应为 UTF-8 或 GBK）";
inline constexpr std::string_view kWorkbookOldExcel =
    "Excel 2.x–4.0 格式的工作簿无法读取，请在电子表格程序中另存为 .xlsx";
inline constexpr std::string_view kWorkbookNoSheetNamed = "工作簿中没有名为“";  // + name + tail
inline constexpr std::string_view kWorkbookNoSheetNamedTail = "”的工作表";
inline constexpr std::string_view kWorkbookNoSheetAt = "工作簿中没有第 ";  // + number + tail
inline constexpr std::string_view kWorkbookNoSheetAtTail = " 个工作表";
// Damage in a .csv row: kWorkbookDamaged + head + row + mid + what + tail.
inline constexpr std::string_view kWorkbookRowHead = "（第 ";
inline constexpr std::string_view kWorkbookRowMid = " 行的";
inline constexpr std::string_view kWorkbookRowTail = "）";
inline constexpr std::string_view kWorkbookLongCell = "单元格过长";
inline constexpr std::string_view kWorkbookOpenQuote = "引号没有闭合";
inline constexpr std::string_view kWorkbookTooManyFields = "列数超过 ";  // + the most columns

// ---- script tools: splitter and site-type builder ----------------------------
inline constexpr std::string_view kSplitDone = "脚本分割完成！";
// "开始" pressed before a script file was chosen.
inline constexpr std::string_view kChooseScriptFirst = "请先选择脚本文件！";
// A script that cannot be read: + path.
inline constexpr std::string_view kScriptUnreadable = "脚本文件无法读取：";
// A base name that names another folder; follows kWriteFailed and the name.
inline constexpr std::string_view kNameHasFolder = "文件名不能含有“/”或“\\”";
// Follows kSplitDone on a line of its own: kSplitWrote + count +
// kSplitWroteFiles + folder.
inline constexpr std::string_view kSplitWrote = "共写出";
inline constexpr std::string_view kSplitWroteFiles = "个文件，保存在：";
// After a 转换 run that found no cell of some base stations (their lines
// carry bare heads); the names follow, one per line.
inline constexpr std::string_view kSitesNotFound = "以下基站在工参库中找不到小区：";

// ---- export tools: PCI change, inheritance, reduction, frequency change -------
inline constexpr std::string_view kExportOpenFailed = "请安装OFFICE服务或关闭将要打开的EXCEL";
inline constexpr std::string_view kExportOpened = "外部数据库打开成功";
inline constexpr std::string_view kSystemTitle = "系统提示";
// A generator pressed before a workbook was chosen.
inline constexpr std::string_view kChooseExportFirst = "请先选择MML报文！";
inline constexpr std::string_view kRowNotInLibrary = "数据不配置";
// PCI change
inline constexpr std::string_view kPciCell1Empty = "预修改PCI小区1名不能为空！";
inline constexpr std::string_view kPciSingleCell = "预修改PCI小区2名为空，当前单小区修改！";
inline constexpr std::string_view kPciCellNotFound = "查找不到小区";
inline constexpr std::string_view kPciEmpty = "修改的PCI不能为空";
inline constexpr std::string_view kPciConvertText = "请将EXCEL中错误的文本转换为数值！";
// A cell whose PCI is not a whole number has no temporary PCI: name + this + PCI.
inline constexpr std::string_view kPciNotNumeric = "小区的原PCI不是数值，无法计算临时PCI：";
inline constexpr std::string_view kPciScriptDone = "修改PCI脚本已生成！";
inline constexpr std::string_view kPciScriptSuffix = "_PCI修改脚本";
// Neighbour inheritance
inline constexpr std::string_view kInheritDone = "扩容脚本已经生成！";
inline constexpr std::string_view kInheritScriptSuffix = "扩容脚本";
inline constexpr std::string_view kGsmCellOr = "或";                 // CI + this + LAC
inline constexpr std::string_view kGsmCellMissingTail = "不存在！";  // after the LAC
// Capacity reduction
inline constexpr std::string_view kReduceCellEmpty = "减容小区名不能为空！";
inline constexpr std::string_view kReduceCellMissing = "减容小区名不存在，请核对工参库！";
inline constexpr std::string_view kReduceListsDone = "相关数据已生成！";
inline constexpr std::string_view kReduceDone = "减容脚本已经生成！";
inline constexpr std::string_view kRollbackSuffix = "回退";
// Frequency change
inline constexpr std::string_view kFreqChangeScriptSuffix = "改频点脚本";

// ---- script checker ------------------------------------------------------------
// The rule reasons are in the rule table (core/tools/scriptcheck.cpp); these
// are the details a finding adds and the checker's own messages.
inline constexpr std::string_view kScriptMissing = "脚本文件不存在：";                    // + path
inline constexpr std::string_view kScriptNotText = "脚本文件既不是UTF-8也不是GBK编码：";  // + path
inline constexpr std::string_view kCheckNoVerb = "行首应为命令字（ADD、MOD、RMV…）";
inline constexpr std::string_view kCheckNoObject = "命令字后应为对象名";
inline constexpr std::string_view kCheckNoColon = "对象名后缺少“:”";
inline constexpr std::string_view kCheckNoEquals = "参数缺少“=”：";  // + the text
inline constexpr std::string_view kCheckNoName = "“=”前缺少参数名";
inline constexpr std::string_view kCheckOpenQuote = "引号没有闭合";
inline constexpr std::string_view kCheckNoSemicolon = "参数表后缺少“;”";
inline constexpr std::string_view kCheckNoBrace = "网元名缺少“}”";
inline constexpr std::string_view kCheckAfterSemicolon = "“;”后应为{网元名}";
inline constexpr std::string_view kCheckAfterBrace = "“}”后有多余内容";
inline constexpr std::string_view kCheckSameAsLine = "第";  // + line + this
inline constexpr std::string_view kCheckLineTail = "行";
inline constexpr std::string_view kCheckLibraryHas = "工参库为";  // + the record's value
inline constexpr std::string_view kCheckOnNe = "网元";
// The summary of a check: errors + this + warnings + the tail.
inline constexpr std::string_view kCheckErrors = " 个错误，";
inline constexpr std::string_view kCheckWarnings = " 个警告";
// The script check in the windows: the button under each pane, the menu
// entry and the window of a checked file.
inline constexpr std::string_view kCheckScript = "检查脚本";
inline constexpr std::string_view kToolsMenu = "工具";
inline constexpr std::string_view kCheckScriptFile = "检查脚本文件…";
inline constexpr std::string_view kCheckWindowTitle = "检查脚本：";  // + file name
inline constexpr std::string_view kCheckEmpty = "脚本为空，没有可检查的内容！";
inline constexpr std::string_view kChecking = "正在检查…";
// A finding's row: kCheckLineHead + line + kCheckLineTail + " " + severity +
// " " + rule id + "：" + detail; a finding about no one line has
// kCheckWholeScript in place of the line.
inline constexpr std::string_view kCheckLineHead = "第";
inline constexpr std::string_view kCheckWholeScript = "全文";
inline constexpr std::string_view kCheckError = "错误";
inline constexpr std::string_view kCheckWarning = "警告";
inline constexpr std::string_view kCheckRuleSeparator = "：";
// The summary under the findings: kCheckDoneHead + errors + kCheckErrors +
// warnings + kCheckWarnings, as the command line counts them.
inline constexpr std::string_view kCheckClean = "检查完成：未发现问题";
inline constexpr std::string_view kCheckDoneHead = "检查完成：";
// The filters over the findings: every severity or one, every rule or one;
// a rule's entry is its id, its reason and how many findings it has.
inline constexpr std::string_view kCheckAllSeverities = "全部级别";
inline constexpr std::string_view kCheckAllRules = "全部规则";
inline constexpr std::string_view kCheckCountHead = "（";
inline constexpr std::string_view kCheckCountTail = "）";
// Before a script goes to the clipboard without a pane to check it in:
// kCopyHoldsErrorsHead + errors + kCopyHoldsErrorsTail.
inline constexpr std::string_view kCopyHoldsErrorsHead = "要复制的脚本有 ";
inline constexpr std::string_view kCopyHoldsErrorsTail = " 个错误，请粘贴前核对！";

// ---- the program folder --------------------------------------------------------
// The user's data folder could not be made on the first start.
inline constexpr std::string_view kProgramFolderNotMade =
    "程序文件夹无法建立：";  // + folder + "：" + reason

// ---- failures of the program itself ------------------------------------------
// Shown when an operation stopped on an error in the program rather than in
// the engineer's files; the program carries on.
inline constexpr std::string_view kInternalError = "程序内部错误：";  // + what went wrong
inline constexpr std::string_view kUnknownInternalError = "未知错误";
// A run asked for a page unit that its window (or command line) lacks, or
// for one that is not of the page-unit table: + the unit name.
inline constexpr std::string_view kMissingUnit = "窗口缺少单元：";
inline constexpr std::string_view kNotAPageUnit = "不是页面单元表中的单元：";
// A run read a unit that its generator's row does not name: + the unit name.
inline constexpr std::string_view kUndeclaredUnit = "生成器未声明它读取的单元：";

// ---- the desktop program's frame -------------------------------------------------
// Window titles (the system shows the program's name after them).
inline constexpr std::string_view kStartWindowTitle = "选择工参库";
inline constexpr std::string_view kMainWindowTitle = "小区操作";
// The import window's open dialog: what it reads, and every file for a
// workbook under another name.
inline constexpr std::string_view kWorkbookFilter =
    "工参表 (*.xlsx *.xlsm *.xls *.csv);;所有文件 (*)";
// File dialog titles, by what the dialog opens or saves.
inline constexpr std::string_view kSaveScriptTitle = "保存脚本";
inline constexpr std::string_view kSaveRollbackTitle = "保存回退脚本";
inline constexpr std::string_view kOpenWorkbookTitle = "打开工参表";
inline constexpr std::string_view kOpenExportTitle = "打开导出的配置表";
inline constexpr std::string_view kOpenScriptTitle = "打开脚本文件";
// The menus.
inline constexpr std::string_view kFileMenu = "文件";
inline constexpr std::string_view kSwitchLibraries = "切换工参库";
inline constexpr std::string_view kSaveCurrentPane = "保存当前脚本";
inline constexpr std::string_view kOpenProgramFolder = "打开程序文件夹";
inline constexpr std::string_view kQuit = "退出";
inline constexpr std::string_view kHelpMenu = "帮助";
inline constexpr std::string_view kHelpEntry = "使用说明";
inline constexpr std::string_view kAboutEntry = "关于";
// The status bar: head + library file name + count head + records + tail,
// or head + kNoLibrary.
inline constexpr std::string_view kStatus4G = "4G工参库：";
inline constexpr std::string_view kStatus2G = "2G工参库：";
inline constexpr std::string_view kStatusCountHead = "（";
inline constexpr std::string_view kStatusCountTail = " 条）";
inline constexpr std::string_view kNoLibrary = "未选择";
inline constexpr std::string_view kHelpText =
    "1. 启动窗口：选择4G工参库（必选）和2G工参库（可选），点“小区操作”；"
    "没有工参库时先用“导入4G工参”“导入2G工参”导入工参表。\n"
    "2. 在各页输入源小区、目标小区或基站名（每行一个），点生成按钮，"
    "脚本出现在预览区；“复制脚本内容”或 Ctrl+S 保存、复制当前页的脚本。\n"
    "3. 每个脚本预览区下的“检查脚本”检查命令、参数和工参；"
    "“工具 → 检查脚本文件…”或把文件拖到主窗口检查脚本文件。\n"
    "4. “频点配置”“参数2G设置”修改程序文件夹中的设置；"
    "“文件 → 切换工参库”回到启动窗口换库，不必重启。\n"
    "5. 快捷键：Ctrl+S 保存当前脚本，Ctrl+Q 退出，F1 本说明，Esc 关闭工具窗口，"
    "Tab 离开名称框。";
// 关于: + version + this.
inline constexpr std::string_view kAboutHead = "Brindle ";
inline constexpr std::string_view kAboutText =
    "\n由小区工参表生成 eNodeB MML 脚本。\n\n"
    "使用的程序库及其许可：\n"
    "Qt 6（LGPL-3.0）\n"
    "SQLite（公有领域）\n"
    "libzip（BSD-3-Clause）及 zlib（zlib 许可）\n"
    "Expat（MIT）\n"
    "Windows 版另含 MinGW-w64 运行库（GCC 运行库例外的 GPL-3.0，winpthreads 为 MIT）";

// A run the engineer stopped with 停止: what it made before stays.
inline constexpr std::string_view kStopRun = "停止";
inline constexpr std::string_view kRunStoppedHead = "已停止：停止前生成的";  // + lines
inline constexpr std::string_view kRunStoppedTail = "行已保留。";
inline constexpr std::string_view kRunStoppedEmpty = "已停止：停止前没有生成内容。";
inline constexpr std::string_view kImportReadStopped = "已停止：工参表没有读完，预览为空。";
inline constexpr std::string_view kCheckStopped = "已停止：列表中是停止前检查到的结果。";
inline std::string runStopped(long lines) {
    if (lines <= 0) return std::string(kRunStoppedEmpty);
    return std::string(kRunStoppedHead) + std::to_string(lines) + std::string(kRunStoppedTail);
}

}  // namespace brindle::msg
