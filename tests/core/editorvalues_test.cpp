// The editors' values held against the script checker's value rules.

#include "core/app/editorvalues.h"

#include <gtest/gtest.h>

#include "recordingfeedback.h"

using namespace brindle;
using Lines = std::vector<std::string>;

TEST(EditorValues, RecordFieldsAsTheParametersTheyBecome) {
    const FieldChanges changes = {{fieldIndex(Field4G::CellName), "名9x9"},
                                  {fieldIndex(Field4G::Pci), "9x9"},
                                  {fieldIndex(Field4G::Earfcn), "38400"},
                                  {fieldIndex(Field4G::Tac), ""}};
    EXPECT_EQ(recordValueProblems(changes),
              (Lines{"物理小区标识：参数值应为整数：PHYCELLID=9x9", "TAC号：参数值为空：TAC="}));
}

TEST(EditorValues, PlanBandListsByCarrierAndOffsetsWithTheirDb) {
    const planform::BoxTexts boxes = {
        {"E频段频点_编辑框", "38400|3835O|"},  // the trailing "|" is no carrier
        {"AD频段频点_编辑框", "38400||38544"}, {"FDD900频段频点_编辑框", ""},  // no carriers
        {"G5频段频点_编辑框", "504990"},                                       // no line carries it
        {"E_E_连接态频率偏置", "7"},           {"A_D_E_连接态频率偏置", "-2"},
        {"最低接收电平编辑框", "x"},  // no rule
    };
    EXPECT_EQ(
        planValueProblems(boxes),
        (Lines{"E频段频点：参数值应为整数：DLEARFCN=3835O", "A-D频段频点：参数值为空：DLEARFCN=",
               "E频段，目标频段E，连接态频率偏置：偏置值不在dB-24至dB24的取值之内："
               "QOFFSETFREQCONN=dB7"}));
}

TEST(EditorValues, AskedOnlyWithProblemsAndOnlyYesSaves) {
    test::RecordingFeedback none;
    EXPECT_TRUE(confirmValues(Question::PlanValues, {}, none));
    EXPECT_TRUE(none.asked.empty());
    for (const bool yes : {true, false}) {
        test::RecordingFeedback feedback;
        feedback.answer(Question::RecordValues, yes);
        EXPECT_EQ(confirmValues(Question::RecordValues, {"甲", "乙"}, feedback), yes);
        EXPECT_EQ(feedback.texts(),
                  Lines{"以下取值不符合脚本检查的规则，仍要修改吗？\r\n甲\r\n乙"});
    }
}
