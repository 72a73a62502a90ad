#include "gui/app/mainwindow.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QStatusBar>
#include <QUrl>
#include <QVBoxLayout>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "core/base/clipboard.h"
#include "core/base/messages.h"
#include "core/base/platform.h"
#include "gui/base/backgroundrun.h"
#include "gui/base/busy.h"
#include "gui/base/checkpanel.h"
#include "gui/base/conventions.h"
#include "gui/base/guifeedback.h"
#include "gui/base/qtclipboard.h"
#include "gui/base/qtext.h"
#include "gui/base/widgets.h"
#include "gui/tools/scriptcheckwindow.h"

namespace brindle::gui {

namespace {

// A button of a generator or an export tool: named after its member,
// captioned from its row of the registry or of the export-tool table.
QPushButton* rowButton(const char* unit) {
    std::string_view caption;
    if (const Generator* generator = generatorForUnit(unit))
        caption = generator->caption;
    else if (const ExportTool* tool = exportToolForUnit(unit))
        caption = tool->caption;
    auto* button = new QPushButton(qs(caption));
    button->setObjectName(QString::fromUtf8(unit));
    return button;
}
#define GENERATOR(member) (member = rowButton(#member))
#define TOOL(member) (member = rowButton(#member))

QWidget* labelled(const char* caption, QWidget* box) {
    auto* holder = new QWidget;
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QString::fromUtf8(caption)));
    layout->addWidget(box);
    return holder;
}

QGroupBox* group(const char* caption, QLayout* layout) {
    auto* box = new QGroupBox(QString::fromUtf8(caption));
    box->setLayout(layout);
    return box;
}

QGroupBox* buttonGroup(const char* caption, std::initializer_list<QWidget*> units,
                       int columns = 2) {
    auto* grid = new QGridLayout;
    int i = 0;
    for (QWidget* w : units) {
        grid->addWidget(w, i / columns, i % columns);
        ++i;
    }
    return group(caption, grid);
}

void setScriptBoxLook(QPlainTextEdit* box) {
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    box->setMinimumWidth(300);
}

// Generators and tool windows that later work brings; their buttons exist
// from the start so the window keeps its shape.
void notYetAvailable(std::initializer_list<QWidget*> units) {
    for (QWidget* w : units) {
        w->setEnabled(false);
        w->setToolTip(QStringLiteral("此功能尚未提供"));
    }
}

}  // namespace

MainWindow::MainWindow(Session& session, QWidget* parent) : QMainWindow(parent), session_(session) {
    setObjectName("主窗口");
    setWindowTitle(qs(msg::kMainWindowTitle));
    setAttribute(Qt::WA_DeleteOnClose);
    keepOnEscape(this);
    UNIT(选择夹1);
    for (Page page : kPages) 选择夹1->addTab(buildPage(page), qs(pageTitle(page)));
    setCentralWidget(选择夹1);
    // Values saved in the 2G settings window take effect from the next page change.
    connect(选择夹1, &QTabWidget::currentChanged, this, [this] { session_.reload2GSettings(); });
    connectGenerators();
    connect4GPage();
    connect2GPage();
    connectOtherPages();
    buildScriptChecks();
    buildMenus();
    addStopButtons(this);
    // Tab in a name box goes to the next unit; the script panes keep their tabs.
    for (QPlainTextEdit* names : std::initializer_list<QPlainTextEdit*>{
             编辑框_4G源小区, 编辑框_4G目标小区, 编辑框_2G源小区, 编辑框_2G目标小区,
             开关基站_基站名编辑框, 负载均衡优化_小区名编辑框})
        names->setTabChangesFocus(true);
    resize(1180, 720);
}

QWidget* MainWindow::buildPage(Page page) {
    switch (page) {
        case Page::Lte:
            return build4GPage();
        case Page::Geran:
            return build2GPage();
        case Page::OnOff:
            return buildOnOffPage();
        case Page::Expansion:
            return buildExpansionPage();
        case Page::LoadBalancing:
            break;
    }
    return buildLoadBalancingPage();
}

template <class W>
W* MainWindow::pageUnit(const mml::PageUnit& row) {
    W* widget = nullptr;
    if constexpr (std::is_same_v<W, QLineEdit>)
        widget = new QLineEdit(qs(row.initial));
    else
        widget = new W(qs(row.caption));
    widget->setObjectName(qs(row.name));
    bindPageUnit(row, widget);
    return widget;
}
// PAGE_UNIT(member, row): the member made from its row of the page-unit table.
#define PAGE_UNIT(member, row) (member = pageUnit<std::remove_pointer_t<decltype(member)>>(row))

void MainWindow::bindPageUnit(const mml::PageUnit& row, QWidget* widget) {
    pageUnits_[row.name] = widget;
}

QWidget* MainWindow::boundUnit(std::string_view name) const {
    const auto it = pageUnits_.find(name);
    return it == pageUnits_.end() ? nullptr : it->second.data();
}

QWidget* MainWindow::build4GPage() {
    auto* page = new QWidget;
    UNIT(编辑框_4G源小区);
    UNIT(编辑框_4G目标小区);
    UNIT(编辑框_4G脚本内容);
    setScriptBoxLook(编辑框_4G脚本内容);
    UNIT(进度条4G);

    auto* preview = new QVBoxLayout;
    preview->addWidget(编辑框_4G脚本内容);
    preview->addWidget(进度条4G);

    auto* operations = buttonGroup(
        "脚本操作",
        {UNIT(选择框_4G小区操作_双向操作选择框, "双向操作"), new QWidget,
         GENERATOR(按钮_4G小区操作_添加邻区按钮), GENERATOR(按钮_4G小区操作_4G修改邻区),
         GENERATOR(按钮_4G小区操作_删除邻区按钮), GENERATOR(按钮_4G小区操作_添加外部按钮),
         GENERATOR(按钮_4G小区操作_修改外部按钮), GENERATOR(按钮_4G小区操作_删除外部按钮),
         GENERATOR(按钮_4G小区操作_添加频点按钮), GENERATOR(按钮_4G小区操作_删除频点按钮)});
    auto* config =
        buttonGroup("配置数据", {UNIT(选择框_4G小区操作_直出脚本, "直出脚本"),
                                 UNIT(按钮_4G小区操作_频点配置按钮, "频点配置"),
                                 UNIT(按钮_4G小区操作_修改工参数据按钮, "工参读写"),
                                 UNIT(按钮_4G小区操作_复制脚本内容按钮, "复制脚本内容"),
                                 UNIT(按钮_4G小区操作_清空所有内容按钮, "清空所有内容")});
    auto* tools = buttonGroup("功能区", {TOOL(按钮_4G小区操作_修改PCI按钮), TOOL(按键_一键改频点),
                                         TOOL(一键扩容按钮), TOOL(一键减容按钮)});
    auto* basics = buttonGroup("基础操作", {UNIT(按钮_4G小区操作_脚本分割按钮, "脚本分割"),
                                            UNIT(按钮_4G小区操作_站型转换, "站型转换")});

    auto* side = new QVBoxLayout;
    for (QWidget* g : {static_cast<QWidget*>(operations), static_cast<QWidget*>(config),
                       static_cast<QWidget*>(tools), static_cast<QWidget*>(basics)})
        side->addWidget(g);
    side->addStretch();

    auto* layout = new QHBoxLayout(page);
    layout->addWidget(labelled("源小区", 编辑框_4G源小区), 2);
    layout->addWidget(labelled("目标小区", 编辑框_4G目标小区), 2);
    layout->addWidget(group("生成脚本预览区", preview), 5);
    layout->addWidget(scrollingPanel(side, ScrollingPanel::Scrolls::Vertically), 2);
    return page;
}

QWidget* MainWindow::build2GPage() {
    auto* page = new QWidget;
    UNIT(编辑框_2G源小区);
    UNIT(编辑框_2G目标小区);
    UNIT(编辑框_2G脚本内容);
    setScriptBoxLook(编辑框_2G脚本内容);
    UNIT(进度条2G);

    auto* oneToOne = buttonGroup("一对一操作",
                                 {GENERATOR(按钮_2G小区操作_一对一_添加GE邻区频点组),
                                  GENERATOR(按钮_2G小区操作_一对一_添加GE邻区频点),
                                  GENERATOR(按钮_2G小区操作_一对一_添加GE外部小区),
                                  GENERATOR(按钮_2G小区操作_一对一_添加GE邻区关系),
                                  GENERATOR(按钮_2G小区操作_一对一_修改外部小区),
                                  GENERATOR(按钮_2G小区操作_一对一_删除GE邻区关系),
                                  GENERATOR(按钮_2G小区操作_一对一_删除GE外部小区),
                                  GENERATOR(按钮_2G小区操作_一对一_删除GE相邻频点),
                                  GENERATOR(按钮_2G小区操作_一对一_删除GE相邻频点组)},
                                 3);
    auto* oneToMany = buttonGroup("一对多操作",
                                  {GENERATOR(按钮_2G小区操作_一对多_添加GE邻区频点组按钮),
                                   GENERATOR(按钮_2G小区操作_一对多_GERAN邻区频点按钮),
                                   GENERATOR(按钮_2G小区操作_一对多_GERAN外部小区按钮),
                                   GENERATOR(按钮_2G小区操作_一对多_GERAN邻区关系按钮),
                                   GENERATOR(按钮_2G小区操作_一对多_GERAN修改外部按钮),
                                   GENERATOR(按钮_2G小区操作_一对多_删除GERAN邻区关系按钮),
                                   GENERATOR(按钮_2G小区操作_一对多_删除GE外部小区按钮),
                                   GENERATOR(按钮_2G小区操作_一对多_GERAN相邻频点按钮),
                                   GENERATOR(按钮_2G小区操作_一对多_GERAN相邻频点组按钮)},
                                  3);
    auto* generators = new QVBoxLayout;
    generators->addWidget(oneToOne);
    generators->addWidget(oneToMany);
    generators->addStretch();  // the two button families keep their natural height
    auto* others = new QHBoxLayout;
    others->addWidget(UNIT(按钮_2G小区操作_参数2G设置按钮, "参数2G设置"));
    others->addWidget(UNIT(按钮_2G小区操作_复制脚本内容按钮, "复制脚本内容"));
    others->addWidget(UNIT(按钮_2G小区操作_清空脚本按钮, "清空脚本内容"));
    others->addWidget(UNIT(按钮_2G小区操作_清空所有内容, "清空所有内容"));
    generators->addLayout(others);

    auto* preview = new QVBoxLayout;
    preview->addWidget(编辑框_2G脚本内容);
    preview->addWidget(进度条2G);

    auto* layout = new QHBoxLayout(page);
    layout->addWidget(labelled("源小区4G", 编辑框_2G源小区), 2);
    layout->addWidget(labelled("目标小区2G", 编辑框_2G目标小区), 2);
    layout->addWidget(group("生成脚本预览区", preview), 5);
    layout->addWidget(new ScrollingPanel(group("4-2G添加、删除", generators),
                                         ScrollingPanel::Scrolls::Vertically),
                      3);

    // A generator button works once its generator has a registry row.
    for (QGroupBox* family : {oneToOne, oneToMany})
        for (QPushButton* b : family->findChildren<QPushButton*>())
            if (!generatorForUnit(u8(b->objectName()))) notYetAvailable({b});
    return page;
}

QWidget* MainWindow::buildOnOffPage() {
    auto* page = new QWidget;
    UNIT(开关基站_基站名编辑框);
    PAGE_UNIT(开关基站_功率编辑框, mml::units::kPower);
    UNIT(开关基站_生成脚本编辑框);
    setScriptBoxLook(开关基站_生成脚本编辑框);
    UNIT(开关基站_进度条);

    auto* inputs = new QVBoxLayout;
    inputs->addWidget(labelled("基站名", 开关基站_基站名编辑框));
    inputs->addWidget(labelled("参考信号功率(0.1毫瓦分贝)：", 开关基站_功率编辑框));
    auto* actions = buttonGroup(
        "功能区",
        {PAGE_UNIT(开关基站_选择框, mml::units::kKeepOutput), GENERATOR(开关基站_按钮_激活),
         GENERATOR(开关基站_按钮_去激活), GENERATOR(开关基站_按钮_修改功率),
         UNIT(开关基站_按钮_复制脚本, "复制脚本"), UNIT(开关基站_按钮_清空内容, "清空内容")},
        1);
    auto* left = new QVBoxLayout;
    left->addWidget(group("请先输入基站相关内容", inputs));
    left->addWidget(actions);
    auto* script = new QVBoxLayout;
    script->addWidget(开关基站_生成脚本编辑框);
    script->addWidget(开关基站_进度条);

    auto* layout = new QHBoxLayout(page);
    layout->addWidget(scrollingPanel(left, ScrollingPanel::Scrolls::Vertically), 2);
    layout->addLayout(script, 5);
    return page;
}

QWidget* MainWindow::buildExpansionPage() {
    auto* page = new QWidget;
    UNIT(编辑框_小区扩容配置列表);
    UNIT(编辑框_小区扩容配置生成内容);
    setScriptBoxLook(编辑框_小区扩容配置生成内容);
    UNIT(进度条_小区扩容配置);

    auto* config = new QVBoxLayout;
    config->addWidget(编辑框_小区扩容配置列表);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(GENERATOR(按钮_小区扩容配置成生));
    buttons->addWidget(UNIT(按钮_小区扩容配置_复制, "复制内容"));
    buttons->addWidget(UNIT(按钮_小区扩容配置_清空, "清空内容"));
    config->addLayout(buttons);
    auto* result = new QVBoxLayout;
    result->addWidget(编辑框_小区扩容配置生成内容);
    result->addWidget(进度条_小区扩容配置);

    auto* layout = new QHBoxLayout(page);
    layout->addWidget(group("小区扩容配置", config), 2);
    layout->addLayout(result, 5);
    return page;
}

QWidget* MainWindow::buildLoadBalancingPage() {
    auto* page = new QWidget;
    UNIT(负载均衡优化_小区名编辑框);
    auto* names = new QVBoxLayout;
    names->addWidget(负载均衡优化_小区名编辑框);

    auto* switches =
        buttonGroup("负载均衡自动优化",
                    {PAGE_UNIT(负载均衡优化_选择框_是否带基站, mml::units::kWithNe),
                     PAGE_UNIT(负载均衡优化_选择框_小区负载均衡开关, mml::units::kCellSwitch),
                     PAGE_UNIT(负载均衡优化_选择框_模式开关, mml::units::kModeSwitch),
                     PAGE_UNIT(负载均衡优化_单选框_用户数模式, mml::units::kUeMode),
                     PAGE_UNIT(负载均衡优化_单选框_PRB模式, mml::units::kPrbMode),
                     PAGE_UNIT(负载均衡优化_选择框_等覆盖脚本, mml::units::kOverlap),
                     GENERATOR(负载均衡优化_生成按钮)},
                    1);

    // Threshold rows: band label and unit-name stem; columns: caption and the
    // text its boxes open with where no run reads them (of the 用户数门限
    // column only the FDDD row's box). The boxes a run reads are rows of the
    // page-unit table and open as those say.
    static const std::array<std::pair<const char*, const char*>, 6> rows = {{
        {"其它频段：", "其它"},
        {"F1频段：", "F1"},
        {"F2频段：", "F2"},
        {"D1频段：", "D"},
        {"FDDD频段：", "FDDD"},
        {"FDDG频段：", "FDDG"},
    }};
    static const std::array<std::pair<const char*, const char*>, 5> columns = {{
        {"用户数门限", "80"},
        {"用户偏置", ""},
        {"最大选择用户数", "20"},
        {"用户选择PRB门限", "99"},
        {"能力缩放因子", "10"},
    }};
    auto* grid = new QGridLayout;
    for (std::size_t c = 0; c < columns.size(); ++c)
        grid->addWidget(new QLabel(QString::fromUtf8(columns[c].first)), 0, int(c) + 1);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        grid->addWidget(new QLabel(QString::fromUtf8(rows[r].first)), int(r) + 1, 0);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const std::string name = "负载均衡优化" + std::string(rows[r].second) + "_编辑框_" +
                                     std::string(columns[c].first);
            QLineEdit* box = nullptr;
            if (const mml::PageUnit* row = mml::findPageUnit(name)) {
                box = pageUnit<QLineEdit>(*row);
            } else {
                box = new QLineEdit(QString::fromUtf8(columns[c].second));
                box->setObjectName(qs(name));
            }
            grid->addWidget(box, int(r) + 1, int(c) + 1);
        }
    }
    auto* thresholds = group("门限设置", grid);
    const auto bound = [this](const mml::PageUnit& row) {
        return qobject_cast<QLineEdit*>(boundUnit(row.name));
    };
    负载均衡优化其它_编辑框_用户数门限 = bound(mml::units::kUeOther);
    负载均衡优化其它_编辑框_能力缩放因子 = bound(mml::units::kScaleOther);
    负载均衡优化F1_编辑框_用户数门限 = bound(mml::units::kUeF1);
    负载均衡优化F2_编辑框_用户数门限 = bound(mml::units::kUeF2);
    负载均衡优化F2_编辑框_能力缩放因子 = bound(mml::units::kScaleF2);
    负载均衡优化D_编辑框_用户数门限 = bound(mml::units::kUeD);
    负载均衡优化FDDG_编辑框_用户数门限 = bound(mml::units::kUeFddg);

    auto* right = new QVBoxLayout;
    right->addWidget(switches);
    right->addWidget(thresholds);
    right->addStretch();
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(group("请输入同覆盖同扇区小区名", names), 2);
    layout->addWidget(scrollingPanel(right, ScrollingPanel::Scrolls::Vertically), 3);
    return page;
}

MainWindow::PageUnits MainWindow::unitsOf(Page page) const {
    switch (page) {
        case Page::Lte:
            return {编辑框_4G源小区,
                    编辑框_4G目标小区,
                    编辑框_4G脚本内容,
                    进度条4G,
                    选择框_4G小区操作_双向操作选择框,
                    选择框_4G小区操作_直出脚本};
        case Page::Geran:
            return {编辑框_2G源小区, 编辑框_2G目标小区, 编辑框_2G脚本内容, 进度条2G};
        case Page::OnOff:
            return {开关基站_基站名编辑框, nullptr, 开关基站_生成脚本编辑框, 开关基站_进度条};
        case Page::Expansion:
            return {编辑框_小区扩容配置列表, nullptr, 编辑框_小区扩容配置生成内容,
                    进度条_小区扩容配置};
        case Page::LoadBalancing:
            break;
    }
    return {负载均衡优化_小区名编辑框};
}

void MainWindow::connectGenerators() {
    for (const Generator& generator : generators()) {
        auto* button = findChild<QPushButton*>(qs(generator.unit));
        if (!button) continue;  // the registry-driven GUI test reports it
        generatorButtons_.push_back(button);
        connect(button, &QPushButton::clicked, this, [this, g = &generator] { run(*g); });
    }
}

void MainWindow::run(const Generator& generator) {
    const PageUnits units = unitsOf(generator.page);
    // The run reads the page as it stands now, on the worker; the
    // engineer may go on typing meanwhile.
    auto input = std::make_shared<mml::PageInput>();
    input->sourceText = units.source ? boxText(units.source) : std::string();
    input->targetText = units.target ? boxText(units.target) : std::string();
    auto ticked = [](QCheckBox* box) {
        const bool on = box && box->isChecked();
        return [on] { return on; };
    };
    input->twoWay = ticked(units.twoWay);
    input->directOutput = ticked(units.directOutput);
    // The page's other units, by unit name; one the window has not bound (or
    // not as that kind) is none.
    auto texts = std::make_shared<std::map<std::string, std::string, std::less<>>>();
    auto ticks = std::make_shared<std::map<std::string, bool, std::less<>>>();
    for (const auto& [name, widget] : pageUnits_) {
        if (const auto* box = qobject_cast<QLineEdit*>(widget.data()))
            texts->emplace(name, u8(box->text()));
        else if (const auto* button = qobject_cast<QAbstractButton*>(widget.data()))
            ticks->emplace(name, button->isChecked());
    }
    input->text = [texts](std::string_view unit) -> std::optional<std::string> {
        const auto it = texts->find(unit);
        if (it == texts->end()) return std::nullopt;
        return it->second;
    };
    input->ticked = [ticks](std::string_view unit) -> std::optional<bool> {
        const auto it = ticks->find(unit);
        if (it == ticks->end()) return std::nullopt;
        return it->second;
    };
    RunUnits run{this, units.progress, units.pane, generatorButtons_, session_.filesInUse()};
    auto sources = std::make_shared<const RunSources>(runSources(generator, session_));
    startRun(run, [&session = session_, g = &generator, input, sources](ScriptSink& pane,
                                                                        Feedback& feedback) {
        GuiThreadClipboard system;
        CheckedClipboard clipboard(system, session, feedback);
        (void)runGenerator(*g, *sources, *input, pane, feedback, &clipboard);
    });
}

void MainWindow::connect4GPage() {
    connect(按钮_4G小区操作_频点配置按钮, &QPushButton::clicked, this,
            &MainWindow::frequencyPlanRequested);
    connect(按钮_4G小区操作_修改工参数据按钮, &QPushButton::clicked, this,
            &MainWindow::libraryQueryRequested);
    // The script tools open in this window's place (the window flow).
    connect(按钮_4G小区操作_脚本分割按钮, &QPushButton::clicked, this,
            &MainWindow::scriptSplitterRequested);
    connect(按钮_4G小区操作_站型转换, &QPushButton::clicked, this,
            &MainWindow::siteTypeBuilderRequested);
    // The export tools, by their rows: the window flow opens each as its row says.
    for (const ExportTool& tool : exportTools())
        if (auto* button = findChild<QPushButton*>(qs(tool.unit)))
            connect(button, &QPushButton::clicked, this,
                    [this, t = &tool] { emit exportToolRequested(t); });
    connect(按钮_4G小区操作_清空所有内容按钮, &QPushButton::clicked, this, [this] {
        clearBoxes({编辑框_4G源小区, 编辑框_4G目标小区, 编辑框_4G脚本内容});
    });
    connect(按钮_4G小区操作_复制脚本内容按钮, &QPushButton::clicked, this, [this] {
        GuiFeedback feedback(this);
        feedback.refuseToReplace(session_.filesInUse());
        if (saveScript(boxText(编辑框_4G脚本内容), feedback))
            编辑框_4G脚本内容->document()->setModified(false);
    });
}

void MainWindow::connect2GPage() {
    connect(按钮_2G小区操作_参数2G设置按钮, &QPushButton::clicked, this,
            &MainWindow::settings2GRequested);
    connect(按钮_2G小区操作_清空脚本按钮, &QPushButton::clicked, this,
            [this] { clearBoxes({编辑框_2G脚本内容}); });
    connect(按钮_2G小区操作_清空所有内容, &QPushButton::clicked, this, [this] {
        clearBoxes({编辑框_2G源小区, 编辑框_2G目标小区, 编辑框_2G脚本内容});
    });
    connect(按钮_2G小区操作_复制脚本内容按钮, &QPushButton::clicked, this, [this] {
        GuiFeedback feedback(this, 进度条2G);
        const auto deduped = dedupPane(boxText(编辑框_2G脚本内容), feedback);
        if (!deduped) return;  // stopped: the pane stays as it was
        const std::string& text = *deduped;
        // Rewriting the pane is no save: the script is unsaved until copied.
        const bool unsaved = 编辑框_2G脚本内容->document()->isModified();
        setBoxText(编辑框_2G脚本内容, text);
        QtClipboard clipboard;
        const bool copied = copyScript(text, msg::kNothingToCopy, clipboard, feedback);
        编辑框_2G脚本内容->document()->setModified(unsaved && !copied);
    });
}

void MainWindow::connectOtherPages() {
    connect(开关基站_按钮_复制脚本, &QPushButton::clicked, this,
            [this] { copyPane(开关基站_生成脚本编辑框, msg::kNoCommandToCopy); });
    connect(开关基站_按钮_清空内容, &QPushButton::clicked, this, [this] {
        clearBoxes({开关基站_基站名编辑框, 开关基站_生成脚本编辑框});
    });
    connect(按钮_小区扩容配置_复制, &QPushButton::clicked, this,
            [this] { copyPane(编辑框_小区扩容配置生成内容, msg::kNothingToCopy); });
    connect(按钮_小区扩容配置_清空, &QPushButton::clicked, this, [this] {
        clearBoxes({编辑框_小区扩容配置列表, 编辑框_小区扩容配置生成内容});
    });
}

void MainWindow::clearBoxes(std::initializer_list<QPlainTextEdit*> boxes) {
    for (QPlainTextEdit* box : boxes) clearBox(box);
}

void MainWindow::copyPane(QPlainTextEdit* pane, std::string_view emptyMessage) {
    GuiFeedback feedback(this);
    QtClipboard clipboard;
    if (copyScript(boxText(pane), emptyMessage, clipboard, feedback))
        pane->document()->setModified(false);
}

// A pane is unsaved when it holds text changed since it was last saved or
// copied (the document's own modified flag, which undo and redo keep true
// to that state); a direct-output buffer when it holds lines at all, as
// only a save empties it.
bool MainWindow::holdsUnsavedScript() {
    for (QPlainTextEdit* pane : std::initializer_list<QPlainTextEdit*>{
             编辑框_4G脚本内容, 编辑框_2G脚本内容, 开关基站_生成脚本编辑框,
             编辑框_小区扩容配置生成内容})
        if (!pane->document()->isEmpty() && pane->document()->isModified()) return true;
    for (OutputBuffer buffer : {OutputBuffer::General, OutputBuffer::Carrier})
        if (!session_.buffer(buffer)->empty()) return true;
    return false;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (holdsUnsavedScript()) {
        GuiFeedback feedback(this);
        if (feedback.ask(Question::CloseUnsaved) != Answer::Yes) {
            event->ignore();
            return;
        }
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::buildScriptChecks() {
    // The load-balancing page has no pane: its script is checked as it goes
    // to the clipboard. The expansion page's result is band labels, no script.
    attachCheckPanels(session_, {编辑框_4G脚本内容, 编辑框_2G脚本内容, 开关基站_生成脚本编辑框});

    UNIT(菜单_工具, qs(msg::kToolsMenu), this);
    UNIT(动作_检查脚本文件, qs(msg::kCheckScriptFile), this);
    菜单_工具->addAction(动作_检查脚本文件);
    menuBar()->addMenu(菜单_工具);
    connect(动作_检查脚本文件, &QAction::triggered, this, [this] {
        GuiFeedback feedback(this);
        const auto path = feedback.chooseOpenFile({std::string(msg::kScriptFileFilter),
                                                   {},
                                                   platform::desktopFolder(),
                                                   FileKind::ScriptFile});
        if (path) ScriptCheckWindow::open(session_, *path, feedback);
    });
    setAcceptDrops(true);
}

void MainWindow::buildMenus() {
    UNIT(菜单_文件, qs(msg::kFileMenu), this);
    UNIT(动作_切换工参库, qs(msg::kSwitchLibraries), this);
    UNIT(动作_保存当前脚本, qs(msg::kSaveCurrentPane), this);
    UNIT(动作_打开程序文件夹, qs(msg::kOpenProgramFolder), this);
    UNIT(动作_退出, qs(msg::kQuit), this);
    动作_保存当前脚本->setShortcut(QKeySequence::Save);
    动作_退出->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    菜单_文件->addActions({动作_切换工参库, 动作_保存当前脚本, 动作_打开程序文件夹});
    菜单_文件->addSeparator();
    菜单_文件->addAction(动作_退出);
    menuBar()->insertMenu(菜单_工具->menuAction(), 菜单_文件);
    connect(动作_切换工参库, &QAction::triggered, this, &MainWindow::librariesSwitchRequested);
    connect(动作_保存当前脚本, &QAction::triggered, this, [this] {
        if (QPushButton* save = saveButtonOf(选择夹1->currentIndex())) save->click();
    });
    connect(动作_打开程序文件夹, &QAction::triggered, this, [this] {
        QDesktopServices::openUrl(
            QUrl::fromLocalFile(qs(platform::utf8Name(session_.folder.home))));
    });
    connect(动作_退出, &QAction::triggered, this, [] { QApplication::closeAllWindows(); });

    // The tool windows, each entry pressing its button (so it is disabled
    // with it), before the script file check.
    QAction* check = 动作_检查脚本文件;
    for (QPushButton* tool :
         {按钮_4G小区操作_频点配置按钮, 按钮_4G小区操作_修改工参数据按钮,
          按钮_2G小区操作_参数2G设置按钮, 按钮_4G小区操作_修改PCI按钮, 按键_一键改频点,
          一键扩容按钮, 一键减容按钮, 按钮_4G小区操作_脚本分割按钮, 按钮_4G小区操作_站型转换}) {
        auto* entry = new QAction(tool->text(), this);
        connect(entry, &QAction::triggered, tool, &QPushButton::click);
        菜单_工具->insertAction(check, entry);
    }
    菜单_工具->insertSeparator(check);

    UNIT(菜单_帮助, qs(msg::kHelpMenu), this);
    UNIT(动作_使用说明, qs(msg::kHelpEntry), this);
    UNIT(动作_关于, qs(msg::kAboutEntry), this);
    动作_使用说明->setShortcut(QKeySequence::HelpContents);
    菜单_帮助->addActions({动作_使用说明, 动作_关于});
    menuBar()->addMenu(菜单_帮助);
    connect(动作_使用说明, &QAction::triggered, this,
            [this] { GuiFeedback(this).message(msg::kHelpText, msg::kHelpEntry); });
    connect(动作_关于, &QAction::triggered, this, [this] {
        GuiFeedback(this).message(
            std::string(msg::kAboutHead) + BRINDLE_VERSION + std::string(msg::kAboutText),
            msg::kAboutEntry);
    });

    UNIT(状态栏_工参库);
    statusBar()->addPermanentWidget(状态栏_工参库, 1);
    showLibraries();
}

void MainWindow::showLibraries() {
    const auto describe = [](std::string_view head, const std::filesystem::path& path,
                             const Library* library) {
        std::string text(head);
        if (!library) return text + std::string(msg::kNoLibrary);
        return text + platform::utf8Name(path.filename()) + std::string(msg::kStatusCountHead) +
               std::to_string(library->count()) + std::string(msg::kStatusCountTail);
    };
    状态栏_工参库->setText(
        qs(describe(msg::kStatus4G, session_.current4G, session_.library4G.get()) + "    " +
           describe(msg::kStatus2G, session_.current2G, session_.library2G.get())));
}

void MainWindow::showEvent(QShowEvent* event) {
    showLibraries();
    QMainWindow::showEvent(event);
}

QPushButton* MainWindow::saveButtonOf(int pageIndex) const {
    if (pageIndex < 0 || pageIndex >= static_cast<int>(std::size(kPages))) return nullptr;
    switch (kPages[static_cast<std::size_t>(pageIndex)]) {
        case Page::Lte:
            return 按钮_4G小区操作_复制脚本内容按钮;
        case Page::Geran:
            return 按钮_2G小区操作_复制脚本内容按钮;
        case Page::OnOff:
            return 开关基站_按钮_复制脚本;
        case Page::Expansion:
            return 按钮_小区扩容配置_复制;
        case Page::LoadBalancing:
            break;  // no pane: its generator copies what it makes
    }
    return nullptr;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            return;
        }
    QMainWindow::dragEnterEvent(event);
}

// Any file is taken, not only .txt: engineers keep scripts under many names.
void MainWindow::dropEvent(QDropEvent* event) {
    std::vector<std::filesystem::path> files;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) files.push_back(fsPath(url.toLocalFile()));
    if (files.empty()) return QMainWindow::dropEvent(event);
    event->acceptProposedAction();
    // The checks run after the drop has ended: the application the file came
    // from waits for the drop, and must not wait for the checks. A check lets
    // events through and this window may close meanwhile; the other files
    // still get their windows.
    QMetaObject::invokeMethod(
        this,
        [self = QPointer<MainWindow>(this), &session = session_, files] {
            for (const auto& file : files) {
                GuiFeedback feedback(self);
                ScriptCheckWindow::open(session, file, feedback);
            }
        },
        Qt::QueuedConnection);
}

}  // namespace brindle::gui
