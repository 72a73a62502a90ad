#pragma once
// The main window: the tab control `选择夹1` with the five work pages. Every
// unit carries its unit name as objectName; the generators read their inputs
// from these units. The units a run reads besides its name boxes are made
// from their rows of the page-unit table (core/mml/pageunits.h) and bound
// by name, so a run never reads one the window does not have.

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <map>
#include <string_view>

#include "core/app/exporttools.h"
#include "core/app/generators.h"
#include "core/app/session.h"
#include "core/mml/pageunits.h"

namespace brindle::gui {

class ClearingTextEdit;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Session& session, QWidget* parent = nullptr);

    QTabWidget* 选择夹1 = nullptr;

    // Menu "工具": a script file checked without loading it into a pane.
    // Dropping a file on the window does the same.
    QMenu* 菜单_工具 = nullptr;
    QAction* 动作_检查脚本文件 = nullptr;

    // Menu "文件": back to the start window, the current page's save, the
    // program folder, quit; menu "帮助": the short help and 关于. The tool
    // windows' entries in "工具" press the tools' buttons.
    QMenu* 菜单_文件 = nullptr;
    QAction* 动作_切换工参库 = nullptr;
    QAction* 动作_保存当前脚本 = nullptr;
    QAction* 动作_打开程序文件夹 = nullptr;
    QAction* 动作_退出 = nullptr;
    QMenu* 菜单_帮助 = nullptr;
    QAction* 动作_使用说明 = nullptr;
    QAction* 动作_关于 = nullptr;
    // The status bar: the open libraries with their record counts.
    QLabel* 状态栏_工参库 = nullptr;

    // ---- page "4G小区操作" ----
    ClearingTextEdit* 编辑框_4G源小区 = nullptr;
    ClearingTextEdit* 编辑框_4G目标小区 = nullptr;
    ClearingTextEdit* 编辑框_4G脚本内容 = nullptr;
    QProgressBar* 进度条4G = nullptr;
    QCheckBox* 选择框_4G小区操作_双向操作选择框 = nullptr;
    QPushButton* 按钮_4G小区操作_添加邻区按钮 = nullptr;
    QPushButton* 按钮_4G小区操作_4G修改邻区 = nullptr;
    QPushButton* 按钮_4G小区操作_删除邻区按钮 = nullptr;
    QPushButton* 按钮_4G小区操作_添加外部按钮 = nullptr;
    QPushButton* 按钮_4G小区操作_修改外部按钮 = nullptr;
    QPushButton* 按钮_4G小区操作_删除外部按钮 = nullptr;
    QPushButton* 按钮_4G小区操作_添加频点按钮 = nullptr;
    QPushButton* 按钮_4G小区操作_删除频点按钮 = nullptr;
    QCheckBox* 选择框_4G小区操作_直出脚本 = nullptr;
    QPushButton* 按钮_4G小区操作_频点配置按钮 = nullptr;
    QPushButton* 按钮_4G小区操作_修改工参数据按钮 = nullptr;
    QPushButton* 按钮_4G小区操作_复制脚本内容按钮 = nullptr;
    QPushButton* 按钮_4G小区操作_清空所有内容按钮 = nullptr;
    QPushButton* 按钮_4G小区操作_修改PCI按钮 = nullptr;
    QPushButton* 按键_一键改频点 = nullptr;
    QPushButton* 一键扩容按钮 = nullptr;
    QPushButton* 一键减容按钮 = nullptr;
    QPushButton* 按钮_4G小区操作_脚本分割按钮 = nullptr;
    QPushButton* 按钮_4G小区操作_站型转换 = nullptr;

    // ---- page "2G小区操作" ----
    ClearingTextEdit* 编辑框_2G源小区 = nullptr;
    ClearingTextEdit* 编辑框_2G目标小区 = nullptr;
    ClearingTextEdit* 编辑框_2G脚本内容 = nullptr;
    QProgressBar* 进度条2G = nullptr;
    QPushButton* 按钮_2G小区操作_一对一_添加GE邻区频点组 = nullptr;
    QPushButton* 按钮_2G小区操作_一对一_添加GE邻区频点 = nullptr;
    QPushButton* 按钮_2G小区操作_一对一_添加GE外部小区 = nullptr;
    QPushButton* 按钮_2G小区操作_一对一_添加GE邻区关系 = nullptr;
    QPushButton* 按钮_2G小区操作_一对一_修改外部小区 = nullptr;
    QPushButton* 按钮_2G小区操作_一对一_删除GE邻区关系 = nullptr;
    QPushButton* 按钮_2G小区操作_一对一_删除GE外部小区 = nullptr;
    QPushButton* 按钮_2G小区操作_一对一_删除GE相邻频点 = nullptr;
    QPushButton* 按钮_2G小区操作_一对一_删除GE相邻频点组 = nullptr;
    QPushButton* 按钮_2G小区操作_一对多_添加GE邻区频点组按钮 = nullptr;
    QPushButton* 按钮_2G小区操作_一对多_GERAN邻区频点按钮 = nullptr;
    QPushButton* 按钮_2G小区操作_一对多_GERAN外部小区按钮 = nullptr;
    QPushButton* 按钮_2G小区操作_一对多_GERAN邻区关系按钮 = nullptr;
    QPushButton* 按钮_2G小区操作_一对多_GERAN修改外部按钮 = nullptr;
    QPushButton* 按钮_2G小区操作_一对多_删除GERAN邻区关系按钮 = nullptr;
    QPushButton* 按钮_2G小区操作_一对多_删除GE外部小区按钮 = nullptr;
    QPushButton* 按钮_2G小区操作_一对多_GERAN相邻频点按钮 = nullptr;
    QPushButton* 按钮_2G小区操作_一对多_GERAN相邻频点组按钮 = nullptr;
    QPushButton* 按钮_2G小区操作_参数2G设置按钮 = nullptr;
    QPushButton* 按钮_2G小区操作_复制脚本内容按钮 = nullptr;
    QPushButton* 按钮_2G小区操作_清空脚本按钮 = nullptr;
    QPushButton* 按钮_2G小区操作_清空所有内容 = nullptr;

    // ---- page "开关基站修改功率" ----
    ClearingTextEdit* 开关基站_基站名编辑框 = nullptr;
    QLineEdit* 开关基站_功率编辑框 = nullptr;
    QCheckBox* 开关基站_选择框 = nullptr;
    QPushButton* 开关基站_按钮_激活 = nullptr;
    QPushButton* 开关基站_按钮_去激活 = nullptr;
    QPushButton* 开关基站_按钮_修改功率 = nullptr;
    QPushButton* 开关基站_按钮_复制脚本 = nullptr;
    QPushButton* 开关基站_按钮_清空内容 = nullptr;
    ClearingTextEdit* 开关基站_生成脚本编辑框 = nullptr;
    QProgressBar* 开关基站_进度条 = nullptr;

    // ---- page "小区扩容配置" ----
    QPlainTextEdit* 编辑框_小区扩容配置列表 = nullptr;
    QPushButton* 按钮_小区扩容配置成生 = nullptr;
    QPushButton* 按钮_小区扩容配置_复制 = nullptr;
    QPushButton* 按钮_小区扩容配置_清空 = nullptr;
    QPlainTextEdit* 编辑框_小区扩容配置生成内容 = nullptr;
    QProgressBar* 进度条_小区扩容配置 = nullptr;

    // ---- page "负载均衡优化工具" ----
    ClearingTextEdit* 负载均衡优化_小区名编辑框 = nullptr;
    QPushButton* 负载均衡优化_生成按钮 = nullptr;
    QCheckBox* 负载均衡优化_选择框_是否带基站 = nullptr;
    QCheckBox* 负载均衡优化_选择框_小区负载均衡开关 = nullptr;
    QCheckBox* 负载均衡优化_选择框_模式开关 = nullptr;
    QRadioButton* 负载均衡优化_单选框_用户数模式 = nullptr;
    QRadioButton* 负载均衡优化_单选框_PRB模式 = nullptr;
    QCheckBox* 负载均衡优化_选择框_等覆盖脚本 = nullptr;
    QLineEdit* 负载均衡优化其它_编辑框_用户数门限 = nullptr;
    QLineEdit* 负载均衡优化其它_编辑框_能力缩放因子 = nullptr;
    QLineEdit* 负载均衡优化F1_编辑框_用户数门限 = nullptr;
    QLineEdit* 负载均衡优化F2_编辑框_用户数门限 = nullptr;
    QLineEdit* 负载均衡优化F2_编辑框_能力缩放因子 = nullptr;
    QLineEdit* 负载均衡优化D_编辑框_用户数门限 = nullptr;
    QLineEdit* 负载均衡优化FDDG_编辑框_用户数门限 = nullptr;

signals:
    // Tool windows that the window flow opens (some in this window's place).
    void frequencyPlanRequested();
    void libraryQueryRequested();
    void settings2GRequested();
    // An export tool's button (a row of core/app/exporttools.h).
    void exportToolRequested(const brindle::ExportTool* tool);
    void scriptSplitterRequested();
    void siteTypeBuilderRequested();
    // 文件 → 切换工参库: the start window again, this window kept as it is.
    void librariesSwitchRequested();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Closing with a script not yet saved asks first; No keeps the window.
    void closeEvent(QCloseEvent* event) override;
    // The status bar follows the libraries, which change while the window is
    // hidden behind the start window.
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildPage(Page page);
    QWidget* build4GPage();
    QWidget* build2GPage();
    QWidget* buildOnOffPage();
    QWidget* buildExpansionPage();
    QWidget* buildLoadBalancingPage();
    void connectGenerators();
    void connect4GPage();
    void connect2GPage();
    void connectOtherPages();
    void buildScriptChecks();
    void buildMenus();
    void showLibraries();
    // The button that saves or copies the page's pane; null where none does.
    QPushButton* saveButtonOf(int pageIndex) const;
    // Each box emptied as one undoable step of its own.
    void clearBoxes(std::initializer_list<QPlainTextEdit*> boxes);
    // A copy button of a pane: a copied pane counts as saved.
    void copyPane(QPlainTextEdit* pane, std::string_view emptyMessage);
    bool holdsUnsavedScript();

    // The units a page's generators read and write.
    struct PageUnits {
        QPlainTextEdit* source = nullptr;
        QPlainTextEdit* target = nullptr;
        QPlainTextEdit* pane = nullptr;
        QProgressBar* progress = nullptr;
        QCheckBox* twoWay = nullptr;        // 双向操作, where the page has it
        QCheckBox* directOutput = nullptr;  // 直出脚本, where the page has it
    };
    PageUnits unitsOf(Page page) const;

    // A unit of the page-unit table, made from its row and bound by its name.
    template <class W>
    W* pageUnit(const mml::PageUnit& row);
    void bindPageUnit(const mml::PageUnit& row, QWidget* widget);
    // The bound unit of that name, or null.
    QWidget* boundUnit(std::string_view name) const;

    // Runs a generator from its button. While it runs, every generator
    // button of the window is disabled and closing the window waits: the
    // run lets events through so the window paints, but a second run must
    // not write into the same pane and buffers, nor the pane vanish under it.
    void run(const Generator& generator);

    Session& session_;
    std::vector<QPushButton*> generatorButtons_;
    std::map<std::string_view, QPointer<QWidget>> pageUnits_;
};

}  // namespace brindle::gui
