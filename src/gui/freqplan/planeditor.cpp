#include "gui/freqplan/planeditor.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include <stdexcept>

#include "core/app/editorvalues.h"
#include "core/base/messages.h"
#include "core/base/platform.h"
#include "core/freqplan/frequencyplan.h"
#include "core/freqplan/planform.h"
#include "gui/base/guifeedback.h"
#include "gui/base/qtext.h"
#include "gui/base/widgets.h"

namespace brindle::gui {

PlanEditor::PlanEditor(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName("频点配置窗口");
    setWindowTitle(QStringLiteral("频点配置"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* lists = new QGridLayout;
    int row = 0;
    for (const planform::SingleBox& b : planform::kBandBoxes) {
        lists->addWidget(new QLabel(qs(b.label)), row, 0);
        lists->addWidget(makeBox(std::string(b.box)), row, 1);
        ++row;
    }
    UNIT(保存配置按钮, "保存配置");
    lists->addWidget(保存配置按钮, 0, 2, row, 1);

    UNIT(选择夹);
    for (ServingGroup group : planform::kServingGroups)
        选择夹->addTab(buildGrid(group, true), qs(planform::tabCaption(group)));
    // The 5G tab repeats the A-D grid; EARFCN.ini has no keys for it, so its
    // boxes are read-only rather than taking typing that would be lost.
    auto* g5 = new QWidget;
    auto* g5Layout = new QVBoxLayout(g5);
    g5Layout->addWidget(new QLabel(qs(msg::kG5TabNotStored)));
    g5Layout->addWidget(buildGrid(ServingGroup::AD, false));
    选择夹->addTab(g5, qs(planform::kG5TabCaption));

    auto* minRx = new QHBoxLayout;
    minRx->addWidget(new QLabel(qs(planform::kMinRxLevelBox.label)));
    minRx->addWidget(makeBox(std::string(planform::kMinRxLevelBox.box)));
    minRx->addStretch();

    auto* content = new QVBoxLayout;
    content->addLayout(lists);
    content->addWidget(选择夹);
    content->addLayout(minRx);
    auto* frame = new QGroupBox;
    frame->setLayout(content);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new ScrollingPanel(frame));

    connect(保存配置按钮, &QPushButton::clicked, this, &PlanEditor::save);
    load();
}

QWidget* PlanEditor::buildGrid(ServingGroup group, bool bound) {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->addWidget(new QLabel(qs(planform::kCornerLabel)), 0, 0);
    for (std::size_t r = 0; r < planform::kRowLabels.size(); ++r)
        grid->addWidget(new QLabel(qs(planform::kRowLabels[r])), int(r) + 1, 0);
    int column = 1;
    for (const Family* family : planform::familiesOf(group)) {
        grid->addWidget(new QLabel(qs(family->column)), 0, column);
        for (std::size_t r = 0; r < planform::kRowLabels.size(); ++r) {
            std::string unit = planform::gridBoxName(*family, r);
            if (!bound) unit += planform::kG5BoxSuffix;
            QLineEdit* box = makeBox(unit);
            box->setReadOnly(!bound);
            grid->addWidget(box, int(r) + 1, column);
        }
        ++column;
    }
    grid->setRowStretch(int(planform::kRowLabels.size()) + 1, 1);
    return page;
}

QLineEdit* PlanEditor::makeBox(const std::string& unit) {
    QLineEdit* box = named(new QLineEdit, unit.c_str());
    boxes_[unit] = box;
    return box;
}

QLineEdit* PlanEditor::box(std::string_view unit) const {
    const auto it = boxes_.find(unit);
    return it == boxes_.end() ? nullptr : it->second.data();
}

QLineEdit& PlanEditor::boundBox(const std::string& unit) const {
    QLineEdit* found = box(unit);
    if (!found) throw std::logic_error(std::string(msg::kMissingUnit) + unit);
    return *found;
}

void PlanEditor::load() {
    const auto ini = session_.folder.earfcnIni();
    ProfileFile::Source source = ProfileFile::Source::Read;
    for (const auto& [unit, text] : planform::load(ini, planform::editorLoadOrder(), &source))
        boundBox(unit).setText(qs(text));
    loaded_ = texts();
    // A file that could not be read shows as empty boxes, which are not the
    // plan: the engineer is told before editing them. A missing file is no
    // fault here: saving is how the plan is first written.
    if (source == ProfileFile::Source::Unreadable || source == ProfileFile::Source::NotGbk) {
        GuiFeedback feedback(this);
        feedback.message(std::string(planProblem(source)) + platform::utf8Name(ini), {},
                         Icon::Warning);
    }
}

planform::BoxTexts PlanEditor::texts() const {
    planform::BoxTexts out;
    for (const planform::BoundBox& b : planform::editorLoadOrder())
        out[b.box] = u8(boundBox(b.box).text());
    return out;
}

planform::BoxTexts PlanEditor::edited() const {
    planform::BoxTexts out;
    for (auto& [unit, text] : texts())
        if (const auto was = loaded_.find(unit); was == loaded_.end() || was->second != text)
            out.emplace(unit, std::move(text));
    return out;
}

bool PlanEditor::write() {
    GuiFeedback feedback(this);
    // Only what the engineer typed is held against the rules: a value the
    // file already held is saved back as it was, without asking again.
    if (!confirmValues(Question::PlanValues, planValueProblems(edited()), feedback)) return false;
    const planform::BoxTexts now = texts();
    const auto textOf = [&now](const std::string& unit) { return now.at(unit); };
    if (!planform::saveEditor(session_.folder.earfcnIni(), textOf, feedback)) return false;
    loaded_ = now;
    return true;
}

void PlanEditor::save() {
    if (write()) close();
}

void PlanEditor::closeEvent(QCloseEvent* event) {
    if (!edited().empty()) {
        GuiFeedback feedback(this);
        const Answer answer = feedback.ask(Question::PlanUnsaved);
        // Yes saves (a refused or failed save keeps the window and its edits),
        // No discards, and a box put away keeps editing.
        if (answer == Answer::Cancelled || (answer == Answer::Yes && !write())) {
            event->ignore();
            return;
        }
    }
    QWidget::closeEvent(event);
    if (event->isAccepted()) emit closed();
}

}  // namespace brindle::gui
