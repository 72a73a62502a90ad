#pragma once
// The questions the program asks, each with an id. The core asks by id; the
// window shows the text, the command line answers from its options, and a
// test sets the next answer for an id before it clicks.

#include <span>
#include <string_view>

namespace brindle {

enum class Question {
    DeleteLibrary,       // "是否删除工参库： \r\n" + file name
    UrbanArea,           // 添加频点: yes urban (城区), no rural (农村)
    ReducedMeasurement,  // 添加频点: yes ",MEASPERFORMANCEDEMAND=REDUCED"
    CloseUnsaved,        // closing the main window with a script not saved: yes closes
    ImportMismatch4G,    // a workbook that does not look like a 4G one: yes imports it
    ImportMismatch2G,    // the same for a 2G workbook
    RecordValues,        // a 4G record edit with values the script checker rejects: yes saves
    PlanValues,          // the same for the frequency-plan editor's boxes
    PlanUnsaved,  // closing the plan editor with edits: yes saves, no discards, Esc keeps editing
};

enum class Buttons { YesNo, OkCancel };

// How a question was answered. Cancelled is the box closed or Esc pressed on
// a question where neither button may be taken for it (see escapeCancels).
enum class Answer { Yes, No, Cancelled };

struct QuestionText {
    Question id;
    std::string_view key;   // a stable name for the id, for listings and test output
    std::string_view text;  // the box's text; a detail may follow it
    std::string_view title;
    Buttons buttons;
    // A plain message shown after the answer, when the question has one.
    std::string_view yesNote = {};
    std::string_view noNote = {};
    // Closing the box or pressing Esc cancels what asked instead of
    // answering No: both answers lead to work, and the No one is no safer.
    bool escapeCancels = false;
};

// Every question, in the order of the enum.
std::span<const QuestionText> questions();
const QuestionText& questionText(Question id);

}  // namespace brindle
