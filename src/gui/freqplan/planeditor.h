#pragma once
// The frequency-plan editor: one box per key of EARFCN.ini that the program
// writes (band lists, minimum receive level, the band-pair families on one
// tab per serving band), loaded when the window is made and saved by
// "保存配置".

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QWidget>

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "core/app/session.h"
#include "core/freqplan/planform.h"
#include "core/freqplan/plankeys.h"

namespace brindle::gui {

class PlanEditor : public QWidget {
    Q_OBJECT
public:
    explicit PlanEditor(Session& session, QWidget* parent = nullptr);

    QTabWidget* 选择夹 = nullptr;
    QPushButton* 保存配置按钮 = nullptr;

    // A box by its unit name, or null.
    QLineEdit* box(std::string_view unit) const;

    // Writes every box to its key; closes the window when all writes
    // succeeded, and keeps it open with the edits after a failure. Edited
    // values the script checker would reject are listed first, and saved
    // only when the engineer answers Yes to PlanValues.
    void save();

signals:
    void closed();

protected:
    // With edits not saved, asks PlanUnsaved: save, discard or keep editing.
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildGrid(ServingGroup group, bool bound);
    // A box named `unit`, bound by that name.
    QLineEdit* makeBox(const std::string& unit);
    // The bound box of a key; a box the window lacks is a program error.
    QLineEdit& boundBox(const std::string& unit) const;
    void load();
    // Every bound box's text, by unit name.
    planform::BoxTexts texts() const;
    // The bound boxes whose text differs from what was last loaded or saved.
    planform::BoxTexts edited() const;
    // The save without the close; true when every key was written.
    bool write();

    Session& session_;
    std::map<std::string, QPointer<QLineEdit>, std::less<>> boxes_;
    planform::BoxTexts loaded_;
};

}  // namespace brindle::gui
